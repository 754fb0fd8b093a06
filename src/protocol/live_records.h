// Records of the live data: the output status with its raw sample, the platform data and the
// processed results the sensor computes.
#pragma once

#include <array>

#include <cstddef>
#include <cstdint>

#include "base/byte_io.h"

namespace velacor::protocol {

// Volts per count of a photodiode channel: 5 V over 16 bits.
inline constexpr double VOLTS_PER_COUNT = 0.0000762939453125;

// One raw sample.
struct SampleRecord {
    static constexpr std::size_t SIZE = 58;
    std::uint8_t platformValid = 0;  // non-zero: the platform fields hold data
    std::uint32_t counter = 0;
    std::uint32_t sensorTime = 0;  // seconds since 1970, UTC
    std::uint8_t state = 0;
    std::int32_t temperatureMilli = 0;
    std::int32_t supplyMillivolts = 0;
    std::array<std::uint16_t, 8> channel{};
    std::uint16_t hallInject = 0;
    std::uint16_t hallWithdraw = 0;
    float platformSalinity = 0;
    float platformTemperature = 0;
    float platformOxygen = 0;
    float platformDepth = 0;
    std::uint32_t platformTime = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.platformValid, r.counter, r.sensorTime, r.state, r.temperatureMilli,
                       r.supplyMillivolts, r.channel, r.hallInject, r.hallWithdraw,
                       r.platformSalinity, r.platformTemperature, r.platformOxygen, r.platformDepth,
                       r.platformTime);
    }
};

// Answer of 0xa2: the sensor mode, then the latest sample (valid with status 0; with status 6
// only the mode is).
struct OutputStatus {
    static constexpr std::size_t SIZE = 59;
    std::uint8_t mode = 0;
    SampleRecord sample;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.mode, r.sample);
    }
};

// Answer of 0xbc: what the sensor last heard from its host platform.
struct PlatformData {
    static constexpr std::size_t SIZE = 36;
    std::array<std::uint8_t, 3> bytes0{};
    float salinity = 0;
    float temperature = 0;
    float oxygen = 0;
    float depth = 0;
    std::uint8_t direction = 0;
    std::array<std::uint8_t, 4> bytes20{};
    std::array<std::int32_t, 3> param{};

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.bytes0, r.salinity, r.temperature, r.oxygen, r.depth, r.direction,
                       r.bytes20, r.param);
    }
};

// Answer of 0xa4: one result computed by the sensor.
struct ProcessedRecord {
    static constexpr std::size_t SIZE = 53;
    std::uint8_t byte0 = 0;
    std::uint16_t diveNumber = 0;
    std::uint32_t sensorTime = 0;
    std::uint32_t platformTime = 0;
    float platformSalinity = 0;
    float platformTemperature = 0;
    float platformDepth = 0;
    std::array<std::uint8_t, 8> value{};  // little-endian 64-bit float, see Value()
    std::array<std::uint8_t, 8> bytes31{};
    std::uint8_t validity = 0;   // 1 good, 2 bad
    std::uint8_t direction = 0;  // 1 surfaced, 2 diving, 3 climbing, 4 hovering
    std::array<float, 3> param{};

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.byte0, r.diveNumber, r.sensorTime, r.platformTime, r.platformSalinity,
                       r.platformTemperature, r.platformDepth, r.value, r.bytes31, r.validity,
                       r.direction, r.param);
    }
    double Value() const;
    void SetValue(double v);
};

}  // namespace velacor::protocol
