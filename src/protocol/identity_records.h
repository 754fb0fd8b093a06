// Records of the identity, status and control commands. Fields are in wire order; bytes the
// program does not interpret are kept so that a record read and written back is unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/byte_io.h"
#include "base/text_field.h"

namespace velacor::protocol {

inline constexpr std::uint8_t IDENTITY_MODE_BOOTLOADER = 1;
inline constexpr std::uint8_t IDENTITY_MODE_FIRMWARE = 2;

// Answer of 0x06.
struct SensorIdentity {
    static constexpr std::size_t SIZE = 5;
    std::uint8_t byte0 = 0;
    std::uint8_t mode = 0;  // 1 bootloader; anything else counts as firmware
    std::uint16_t deviceType = 0;
    std::uint8_t bootloaderVersion = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.byte0, r.mode, r.deviceType, r.bootloaderVersion);
    }
};

inline constexpr std::size_t SENSOR_NAME_MAX = 20;
inline constexpr std::uint8_t DEVICE_INFO_RECORD_VERSION = 2;

// Answer of 0x04, request of 0x05.
struct DeviceInfo {
    static constexpr std::size_t SIZE = 29;
    std::uint8_t recordVersion = 0;
    std::uint8_t byte1 = 0;
    std::array<std::uint8_t, 21> name{};  // NUL-terminated, at most 20 characters
    std::uint8_t byte23 = 0;
    std::uint16_t serialNumber = 0;
    std::uint8_t byte26 = 0;
    std::uint16_t boardSerialNumber = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.recordVersion, r.byte1, r.name, r.byte23, r.serialNumber, r.byte26,
                       r.boardSerialNumber);
    }
    std::string Name() const { return base::FieldText(name); }
    void SetName(const std::string& text) { base::SetFieldText(name, text, SENSOR_NAME_MAX); }
};

// Answer of the older command 0x00, which older firmware serves instead of 0x04 and 0x06; its
// first 27 bytes also form the request of 0x01.
struct LegacyDeviceRecord {
    static constexpr std::size_t SIZE = 27;
    std::uint8_t flag = 0;  // 0: no serial number and no bootloader version recorded
    std::uint8_t mode = 0;
    std::array<std::uint8_t, 21> name{};
    std::uint8_t boardIndex = 0;  // 1..12
    std::uint16_t serialNumber = 0;
    std::uint8_t bootloaderVersion = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.flag, r.mode, r.name, r.boardIndex, r.serialNumber,
                       r.bootloaderVersion);
    }
};

// Answer of 0x26: the firmware's version string.
struct FirmwareVersionText {
    static constexpr std::size_t SIZE = 26;
    std::uint8_t byte0 = 0;
    std::array<std::uint8_t, 25> text{};  // NUL-terminated, at most 24 characters

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.byte0, r.text);
    }
    std::string Text() const { return base::FieldText(text); }
};

// Answer of 0x27.
struct PowerStatus {
    static constexpr std::size_t SIZE = 17;
    std::array<std::uint8_t, 5> bytes0{};
    std::int32_t supplyMillivolts = 0;
    std::int32_t temperatureMilli = 0;  // thousandths of a degree Celsius
    std::uint32_t hardwareVariant = 0;  // 3 and 6: driver board with its own settings memory

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.bytes0, r.supplyMillivolts, r.temperatureMilli, r.hardwareVariant);
    }
};

inline constexpr std::uint8_t COUNTERS_RECORD_VERSION = 3;

// Answer of 0x24, request of 0x25.
struct MeasurementCounters {
    static constexpr std::size_t SIZE = 17;
    std::uint8_t recordVersion = 0;  // 3 or more: the counters at 9 and 13 are present
    std::uint8_t oldBoardSerial = 0;
    std::array<std::uint8_t, 3> bytes2{};
    std::uint32_t pumpStrokeMeter = 0;
    std::uint32_t measurementCounter = 0;
    std::int32_t measurementTripCounter = 0;  // the status bar's measurement number

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.recordVersion, r.oldBoardSerial, r.bytes2, r.pumpStrokeMeter,
                       r.measurementCounter, r.measurementTripCounter);
    }
};

// Answer of 0xa6: the file the sensor writes its output to.
struct OutputFileName {
    static constexpr std::size_t SIZE = 13;
    std::array<std::uint8_t, 13> name{};  // at most 12 characters, NUL-terminated

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.name);
    }
    std::string Name() const { return base::FieldText(name); }
};

// Answer of 0xb2: the loaded state machine's size.
struct StateCount {
    static constexpr std::size_t SIZE = 2;
    std::uint16_t count = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.count);
    }
};

}  // namespace velacor::protocol
