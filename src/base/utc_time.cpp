#include "base/utc_time.h"

#include "base/str_printf.h"

namespace velacor::base {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil-date algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

UtcDateTime ToUtc(std::uint32_t secondsSince1970) {
    const std::int64_t z = secondsSince1970 / 86400 + 719468;
    const std::uint32_t secs = secondsSince1970 % 86400;
    const std::int64_t era = z / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    UtcDateTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>(secs / 60 % 60);
    t.second = static_cast<int>(secs % 60);
    return t;
}

std::uint32_t FromUtc(const UtcDateTime& t) {
    const std::int64_t days =
        DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
    const std::int64_t secs = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    return secs < 0 ? 0 : static_cast<std::uint32_t>(secs);
}

std::string FormatSensorTime(std::uint32_t secondsSince1970) {
    const UtcDateTime t = ToUtc(secondsSince1970);
    return StrPrintf("%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                     t.second);
}

}  // namespace velacor::base
