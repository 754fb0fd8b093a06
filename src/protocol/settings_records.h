// Thermistor, serial port, platform defaults, schedule and clock blocks.
#pragma once

#include <array>

#include <cstddef>
#include <cstdint>

#include "base/byte_io.h"

namespace velacor::protocol {

inline constexpr std::uint8_t THERMISTOR_COUNT = 3;

// One thermistor: temperature (°C) = v3 V^3 + v2 V^2 + v1 V + v0.
struct ThermistorConfig {
    static constexpr std::size_t SIZE = 18;
    std::uint8_t thermByte0 = 0;
    std::uint8_t inputChannel = 0;  // 0..7
    float coeffV3 = 0;
    float coeffV2 = 0;
    float coeffV1 = 0;
    float coeffV0 = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.thermByte0, r.inputChannel, r.coeffV3, r.coeffV2, r.coeffV1,
                       r.coeffV0);
    }
};

// Parity codes of both serial records.
enum Parity : std::uint8_t {
    PARITY_EVEN = 0,
    PARITY_ODD = 1,
    PARITY_SPACE = 2,
    PARITY_MARK = 3,
    PARITY_NONE = 4
};

struct Rs232Config {
    static constexpr std::size_t SIZE = 13;
    std::uint8_t rs232Byte0 = 0;
    std::uint32_t baudRate = 9600;
    std::uint8_t parity = PARITY_NONE;
    std::uint8_t dataBits = 8;
    std::uint8_t stopBits = 1;
    std::uint32_t protocol = 0;  // RS232 platform protocol code
    std::uint8_t mode = 0;       // 0 Normal, 1 Debug

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.rs232Byte0, r.baudRate, r.parity, r.dataBits, r.stopBits, r.protocol,
                       r.mode);
    }
};

struct Rs485Config {
    static constexpr std::size_t SIZE = 17;
    std::uint8_t rs485Byte0 = 0;
    std::uint32_t baudRate = 9600;
    std::uint8_t parity = PARITY_NONE;
    std::uint8_t dataBits = 8;
    std::uint8_t stopBits = 1;
    std::uint32_t protocol = 0;  // 0 None, 1 SenseOCEAN Hub, 2 Storm Logger, 3 Microsens pH
    std::uint8_t slaveAddress = 0;
    std::uint32_t pollRateS = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.rs485Byte0, r.baudRate, r.parity, r.dataBits, r.stopBits, r.protocol,
                       r.slaveAddress, r.pollRateS);
    }
};

// Values the sensor uses until its host platform supplies them.
struct PlatformDefaults {
    static constexpr std::size_t SIZE = 36;
    std::uint8_t platformForm = 1;
    std::uint16_t diveNumber = 0;
    float salinityPsu = 0;
    float temperatureC = 0;
    float dissolvedOxygenMlL = 0;
    float depthM = 0;
    std::uint8_t travelDirection = 0;  // 0 Unknown .. 5 Fixed
    std::int32_t timeOffsetS = 0;
    std::array<std::int32_t, 3> platformParam{};

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.platformForm, r.diveNumber, r.salinityPsu, r.temperatureC,
                       r.dissolvedOxygenMlL, r.depthM, r.travelDirection, r.timeOffsetS,
                       r.platformParam);
    }
};

enum ScheduleIntervalMode : std::uint8_t {
    INTERVAL_CONTINUOUS = 0,
    INTERVAL_EVERY_30_MINUTES = 1,  // forms below 3
    INTERVAL_HOURS = 4,
    INTERVAL_MINUTES = 5,
};

struct MeasurementSchedule {
    static constexpr std::size_t SIZE = 13;
    std::uint8_t scheduleForm = 0;  // written back as read
    std::uint8_t intervalMode = INTERVAL_CONTINUOUS;
    std::uint32_t startTime = 0;  // seconds since 1970, UTC
    std::uint8_t stopEnabled = 0;
    std::uint32_t stopTime = 0;
    std::uint16_t intervalValue = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.scheduleForm, r.intervalMode, r.startTime, r.stopEnabled, r.stopTime,
                       r.intervalValue);
    }
};

struct ScheduleStatus {
    static constexpr std::size_t SIZE = 9;
    std::uint32_t timeNow = 0;
    std::uint32_t nextMeasurement = 0;
    std::uint8_t stopReached = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.timeNow, r.nextMeasurement, r.stopReached);
    }
};

// The sensor clock's calendar time.
struct RtcTime {
    static constexpr std::size_t SIZE = 8;
    std::uint8_t reserved = 0;
    std::uint16_t year = 1970;
    std::uint8_t month = 1;
    std::uint8_t day = 1;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.reserved, r.year, r.month, r.day, r.hour, r.minute, r.second);
    }
};

}  // namespace velacor::protocol
