// Data rows of a raw output file and the scanf-compatible number scanners they are read with.
//
// A row is matched against "%u,%u,%lf x10,%u,%u,%u,%lf x4,%u" the way the C library's sscanf
// matches it: each conversion skips leading white space, the commas must follow the numbers
// directly, and the result is the number of fields converted before the first mismatch.
// ScanRawRow does this without sscanf (it is called once per row of files of millions of rows);
// ScanRawRowReference does it with sscanf and exists to prove the two agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velacor::processing {

// One parsed data row. Fields 11 to 14 (sensor temperature, supply voltage, Hall counts) are
// read but not kept: no processing uses them.
struct RawRecord {
    double channel[8] = {};  // input channels 0..7, volts
    double platformSalinity = 0;
    double platformTemperature = 0;
    double platformOxygen = 0;
    double platformDepth = 0;
    std::uint32_t counter = 0;
    std::uint32_t sensorTime = 0;    // seconds since 1970-01-01 UTC, sensor clock
    std::uint32_t platformTime = 0;  // seconds since 1970-01-01 UTC, platform clock
    std::uint8_t state = 0;          // 255: end-of-file marker
};

inline constexpr int ROW_FIELDS_LONG = 20;
inline constexpr int ROW_FIELDS_SHORT = 15;

// The state value of the record handed on after the last row.
inline constexpr std::uint8_t END_OF_FILE_STATE = 255;
RawRecord EndOfFileRecord();

// Matches `line` against the first `maxFields` (15 or 20) fields of the row pattern. Returns the
// number of fields converted (0..maxFields); `out` holds the converted ones, the others are
// left as they were. Text is read up to the first NUL byte, as a C string would be.
int ScanRawRow(std::string_view line, int maxFields, RawRecord& out);
// The same for a line known to hold no NUL byte (RawFile::NextLine cuts lines there).
int ScanRawRowWithoutNul(std::string_view line, int maxFields, RawRecord& out);

// The same with the C library's sscanf on a NUL-terminated copy of `line`. A result of EOF
// (nothing but white space) is returned as 0.
int ScanRawRowReference(std::string_view line, int maxFields, RawRecord& out);

// scanf-compatible conversions of the text at the start of `text`, leading white space skipped.
// Each returns the value and advances `text` past the characters the conversion consumed, or
// returns nothing when the conversion fails (`text` is then unspecified).
//   %u: optional sign, decimal digits; the 32 low bits of strtoul's result (a negative number
//       wraps, a number beyond 64 bits gives 4294967295).
//   %lf: decimal or hexadecimal floating point, "inf", "infinity", "nan", with glibc's rules
//        for which characters are taken (a dangling exponent such as "1e" is taken whole and
//        converts as 1).
std::optional<std::uint32_t> ScanUnsigned(std::string_view& text);
std::optional<double> ScanDouble(std::string_view& text);

}  // namespace velacor::processing
