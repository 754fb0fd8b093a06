// Commands of the thermistor, serial port, platform, schedule and clock blocks.
#pragma once

#include <array>

#include "base/byte_io.h"
#include "protocol/command_codes.h"
#include "protocol/exchange.h"
#include "protocol/settings_records.h"

namespace velacor::protocol {

// Thermistors are indexed 0..2 on the wire.
inline int ReadThermistor(Transactor& link, std::uint8_t index, ThermistorConfig& r) {
    const std::array<std::uint8_t, 1> payload{index};
    return ReadRecord(link, CMD_READ_THERMISTOR, r, payload);
}
inline int WriteThermistor(Transactor& link, std::uint8_t index, const ThermistorConfig& r) {
    std::array<std::uint8_t, 1 + ThermistorConfig::SIZE> payload{index};
    base::EncodeInto(r, std::span(payload).subspan(1));
    return SendCommand(link, CMD_WRITE_THERMISTOR, payload);
}

inline int ReadRs232Config(Transactor& link, Rs232Config& r) {
    return ReadRecord(link, CMD_READ_RS232, r);
}
inline int WriteRs232Config(Transactor& link, const Rs232Config& r) {
    return WriteRecord(link, CMD_WRITE_RS232, r);
}
inline int ReadRs485Config(Transactor& link, Rs485Config& r) {
    return ReadRecord(link, CMD_READ_RS485, r);
}
inline int WriteRs485Config(Transactor& link, const Rs485Config& r) {
    return WriteRecord(link, CMD_WRITE_RS485, r);
}

inline int ReadPlatformDefaults(Transactor& link, PlatformDefaults& r) {
    return ReadRecord(link, CMD_READ_PLATFORM_DEFAULTS, r);
}
inline int WritePlatformDefaults(Transactor& link, const PlatformDefaults& r) {
    return WriteRecord(link, CMD_WRITE_PLATFORM_DEFAULTS, r);
}

inline int ReadSchedule(Transactor& link, MeasurementSchedule& r) {
    return ReadRecord(link, CMD_READ_SCHEDULE, r);
}
inline int WriteSchedule(Transactor& link, const MeasurementSchedule& r) {
    return WriteRecord(link, CMD_WRITE_SCHEDULE, r);
}
inline int ReadScheduleStatus(Transactor& link, ScheduleStatus& r) {
    return ReadRecord(link, CMD_READ_SCHEDULE_STATUS, r);
}

inline int ReadClock(Transactor& link, RtcTime& r) {
    return ReadRecord(link, CMD_READ_CLOCK, r);
}
inline int SetClock(Transactor& link, const RtcTime& r) {
    return WriteRecord(link, CMD_SET_CLOCK, r);
}

}  // namespace velacor::protocol
