// Sensor times: unsigned 32-bit seconds since 1970-01-01 00:00:00 UTC, with no time zone.
#pragma once

#include <cstdint>
#include <string>

namespace velacor::base {

struct UtcDateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

UtcDateTime ToUtc(std::uint32_t secondsSince1970);
// Seconds since 1970 of a calendar time; times before 1970 give 0, after 2106 wrap as u32.
std::uint32_t FromUtc(const UtcDateTime& t);
// "%02d/%02d/%04d %02d:%02d:%02d": day/month/year hour:minute:second.
std::string FormatSensorTime(std::uint32_t secondsSince1970);

}  // namespace velacor::base
