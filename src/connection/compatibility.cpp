#include "connection/compatibility.h"

#include <algorithm>
#include <array>
#include <limits>
#include <span>

#include "base/str_printf.h"
#include "base/version.h"

namespace velacor::connection {
namespace {

constexpr std::int64_t INT32_LOW = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t INT32_HIGH = std::numeric_limits<std::int32_t>::max();

// The one dotted version without a third number that was a test build.
constexpr std::int32_t TEST_BUILD_1_2 = 1002000;
constexpr std::int32_t RELEASE_BUILD = -1;

std::int32_t Saturated(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp(value, INT32_LOW, INT32_HIGH));
}

bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Matches `text` against a format of ordinary characters and "%d" conversions the way sscanf
// does: each %d skips white space, takes an optional sign and then needs at least one digit;
// each other format character must equal the next text character. True when every one of
// `values` was filled; text after the format's end is not looked at.
bool ScanNumbers(std::string_view text, std::string_view format, std::span<std::int32_t> values) {
    std::size_t at = 0;
    std::size_t filled = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        if (format.substr(f, 2) != "%d") {
            if (at >= text.size() || text[at] != format[f])
                return false;
            ++at;
            continue;
        }
        ++f;
        while (at < text.size() && IsScanSpace(text[at]))
            ++at;
        bool negative = false;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            negative = text[at] == '-';
            ++at;
        }
        const std::size_t firstDigit = at;
        std::int64_t magnitude = 0;
        for (; at < text.size() && IsDigit(text[at]); ++at) {
            magnitude = std::min(magnitude * 10 + (text[at] - '0'), INT32_HIGH + 1);
        }
        if (at == firstDigit || filled == values.size())
            return false;
        values[filled++] = Saturated(negative ? -magnitude : magnitude);
    }
    return filled == values.size();
}

std::int64_t Dotted(std::int64_t major, std::int64_t minor, std::int64_t patch) {
    return (major * 1000 + minor) * 1000 + patch;
}

std::int32_t ReleaseValue(const FirmwareRelease& release) {
    std::int32_t value = 0;
    ParseFirmwareVersion(release.version, &value, nullptr);
    return value;
}

void Add(std::vector<CompatibilityRow>& rows, std::string text, Rgb colour = BLACK) {
    rows.push_back({std::move(text), colour});
}

void AddVerdict(std::vector<CompatibilityRow>& rows, bool recognised, std::int32_t value,
                std::int32_t testNumber) {
    std::int32_t newest = 0;
    ParseFirmwareVersion(NEWEST_FIRMWARE_VERSION, &newest, nullptr);

    if (!recognised) {
        Add(rows, "The firmware you are running is unrecognised.", RED);
        Add(rows, "Please do not deploy this firmware.", RED);
    } else if (testNumber >= 0) {
        Add(rows, "The firmware you are running is for testing only.", RED);
        Add(rows, "Please do not deploy this firmware.", RED);
    } else if (value > newest) {
        Add(rows,
            "The firmware you are running is newer than than the latest known to this GUI so "
            "there may be compatbility problems.",
            RED);
        Add(rows, "Please check your firmware's release notes or upgrade to the latest GUI.", RED);
        Add(rows, "");
        Add(rows, "Starting & stopping the sensor and downloading data files will be safe.");
    } else if (value == newest) {
        Add(rows, "The firmware you are running is the latest supported by this GUI.");
        Add(rows, "");
        Add(rows, "All operations are safe.", GREEN);
    } else {
        Add(rows, "The firmware you are running is not the latest supported by this GUI.");
        Add(rows, "Please observe any compatibility warnings listed here:");
        Add(rows, "");
        // Every release newer than the sensor's carries its warning; a version that is in no
        // row of the table is older than all of them, so every warning applies.
        bool warned = false;
        for (const FirmwareRelease& release : RELEASE_TABLE) {
            if (ReleaseValue(release) == value)
                break;
            if (!release.warning.empty()) {
                Add(rows, std::string(release.warning), RED);
                warned = true;
            }
        }
        if (warned) {
            Add(rows, "");
            Add(rows, "All other operations are safe.");
        } else {
            Add(rows, "All operations are safe.", GREEN);
        }
    }
}

}  // namespace

bool ParseFirmwareVersion(std::string_view text, std::int32_t* versionValue,
                          std::int32_t* testNumber) {
    std::array<std::int32_t, 4> n{};
    std::int64_t value = 0;
    std::int32_t test = RELEASE_BUILD;
    if (ScanNumbers(text, "VELACOR_%d_%d_%d_T%d", n)) {
        value = Dotted(n[0], n[1], n[2]);
        test = n[3];
    } else if (ScanNumbers(text, "VELACOR_%d_%d_%d", std::span(n).first(3))) {
        value = (std::int64_t{n[0]} * 100 + n[1]) * 1000 + n[2];
    } else if (ScanNumbers(text, "%d.%d.%d_T%d", n)) {
        value = Dotted(n[0], n[1], n[2]);
        test = n[3];
    } else if (ScanNumbers(text, "%d.%d.%d", std::span(n).first(3))) {
        value = Dotted(n[0], n[1], n[2]);
    } else if (ScanNumbers(text, "%d.%d", std::span(n).first(2))) {
        value = Dotted(n[0], n[1], 0);
        if (value == TEST_BUILD_1_2)
            test = 1;
    } else {
        return false;
    }
    if (versionValue)
        *versionValue = Saturated(value);
    if (testNumber)
        *testNumber = test;
    return true;
}

CompatibilityLists BuildCompatibilityLists(std::string_view sensorVersion) {
    const std::string sensorText(sensorVersion);
    CompatibilityLists lists;
    auto& upper = lists.upper;
    Add(upper, base::StrPrintf("Sensor's Firmware Version: %s", sensorText.c_str()));
    Add(upper, base::StrPrintf("Latest Firmware Version supported by this GUI: %s",
                               NEWEST_FIRMWARE_VERSION));
    Add(upper, base::StrPrintf("This GUI Version: %s", base::VERSION));
    Add(upper, "");

    std::int32_t value = 0;
    std::int32_t testNumber = RELEASE_BUILD;
    const bool recognised = ParseFirmwareVersion(sensorVersion, &value, &testNumber);
    AddVerdict(upper, recognised, value, testNumber);

    for (const FirmwareRelease& release : RELEASE_TABLE) {
        const bool sensors = recognised && ReleaseValue(release) == value;
        lists.lower.push_back({std::string(release.version), std::string(release.date),
                               std::string(release.changes), sensors ? BLACK : GREY});
    }
    return lists;
}

}  // namespace velacor::connection
