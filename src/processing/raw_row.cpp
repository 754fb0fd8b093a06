#include "processing/raw_row.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

namespace velacor::processing {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void SkipSpace(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    text.remove_prefix(i);
}

// True when `text` starts with `word` (lower case), letters compared without case.
bool StartsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Lower(text[i]) != word[i])
            return false;
    return true;
}

int DigitValue(char c) {
    if (IsDigit(c))
        return c - '0';
    return Lower(c) - 'a' + 10;
}

// Whether a number that from_chars found out of range overflowed (rather than underflowed):
// the order of magnitude of its first significant digit plus its exponent decides.
bool Overflows(std::string_view body, bool hex, char expChar) {
    long long order = 0;
    bool seenDot = false;
    bool seenSignificant = false;
    std::size_t i = 0;
    for (; i < body.size() && Lower(body[i]) != expChar; ++i) {
        const char c = body[i];
        if (c == '.') {
            seenDot = true;
        } else if (!seenSignificant && DigitValue(c) == 0) {
            if (seenDot)
                --order;
        } else {
            seenSignificant = true;
            if (!seenDot)
                ++order;
        }
    }
    if (hex)
        order *= 4;
    long long exponent = 0;
    bool negative = false;
    if (i < body.size()) {
        ++i;
        if (i < body.size() && (body[i] == '-' || body[i] == '+'))
            negative = body[i++] == '-';
        for (; i < body.size() && IsDigit(body[i]); ++i)
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (body[i] - '0');
    }
    return order + (negative ? -exponent : exponent) > 0;
}

// Converts the characters the scanner took, as strtod would; nothing when strtod would take none.
std::optional<double> Convert(std::string_view body, bool hex) {
    const char expChar = hex ? 'p' : 'e';
    const std::string_view digits = hex ? body.substr(2) : body;
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value,
                        hex ? std::chars_format::hex : std::chars_format::general);
    if (ptr == digits.data())
        return hex ? std::optional<double>(0.0) : std::nullopt;  // "0x" followed by no number: "0"
    if (ec == std::errc::result_out_of_range) {
        const std::string_view taken(digits.data(), static_cast<std::size_t>(ptr - digits.data()));
        value = Overflows(taken, hex, expChar) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

}  // namespace

RawRecord EndOfFileRecord() {
    RawRecord r;
    r.state = END_OF_FILE_STATE;
    return r;
}

std::optional<std::uint32_t> ScanUnsigned(std::string_view& text) {
    SkipSpace(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const std::size_t first = i;
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            overflow = true;
        else
            value = value * 10 + digit;
    }
    if (i == first)
        return std::nullopt;
    text.remove_prefix(i);
    if (overflow)
        return std::numeric_limits<std::uint32_t>::max();
    if (negative)
        value = 0 - value;
    return static_cast<std::uint32_t>(value);
}

std::optional<double> ScanDouble(std::string_view& text) {
    SkipSpace(text);
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == n)
        return std::nullopt;
    const double sign = negative ? -1.0 : 1.0;

    if (Lower(text[i]) == 'n') {
        if (!StartsWithNoCase(text.substr(i), "nan"))
            return std::nullopt;
        text.remove_prefix(i + 3);
        return std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
    }
    if (Lower(text[i]) == 'i') {
        if (!StartsWithNoCase(text.substr(i), "inf"))
            return std::nullopt;
        i += 3;
        // Once an 'i' follows "inf", the whole of "infinity" must be there.
        if (i < n && Lower(text[i]) == 'i') {
            if (!StartsWithNoCase(text.substr(i), "inity"))
                return std::nullopt;
            i += 5;
        }
        text.remove_prefix(i);
        return sign * std::numeric_limits<double>::infinity();
    }

    const std::size_t start = i;
    bool hex = false;
    bool gotDigit = false;
    if (text[i] == '0') {
        ++i;
        if (i < n && Lower(text[i]) == 'x') {
            hex = true;
            ++i;
        } else {
            gotDigit = true;
        }
    }
    const char expChar = hex ? 'p' : 'e';
    bool gotE = false;
    bool gotDot = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (IsDigit(c) || (!gotE && hex && IsHexDigit(c)))
            gotDigit = true;
        else if (gotE && Lower(text[i - 1]) == expChar && (c == '-' || c == '+'))
            continue;
        else if (gotDigit && !gotE && Lower(c) == expChar)
            gotE = gotDot = true;
        else if (!gotDot && c == '.')
            gotDot = true;
        else
            break;
    }
    const std::string_view body = text.substr(start, i - start);
    if (body.empty() || (hex && body.size() == 2))
        return std::nullopt;
    const std::optional<double> value = Convert(body, hex);
    if (!value)
        return std::nullopt;
    text.remove_prefix(i);
    return sign * *value;
}

int ScanRawRow(std::string_view line, int maxFields, RawRecord& out) {
    if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos)
        line = line.substr(0, nul);
    for (int field = 0; field < maxFields; ++field) {
        if (field > 0) {
            if (line.empty() || line.front() != ',')
                return field;
            line.remove_prefix(1);
        }
        const bool isUnsigned = field <= 1 || (field >= 12 && field <= 14) || field == 19;
        if (isUnsigned) {
            const std::optional<std::uint32_t> v = ScanUnsigned(line);
            if (!v)
                return field;
            if (field == 0)
                out.counter = *v;
            else if (field == 1)
                out.state = static_cast<std::uint8_t>(*v);
            else if (field == 14)
                out.sensorTime = *v;
            else if (field == 19)
                out.platformTime = *v;
        } else {
            const std::optional<double> v = ScanDouble(line);
            if (!v)
                return field;
            if (field >= 2 && field <= 9)
                out.channel[field - 2] = *v;
            else if (field == 15)
                out.platformSalinity = *v;
            else if (field == 16)
                out.platformTemperature = *v;
            else if (field == 17)
                out.platformOxygen = *v;
            else if (field == 18)
                out.platformDepth = *v;
        }
    }
    return maxFields;
}

int ScanRawRowReference(std::string_view line, int maxFields, RawRecord& out) {
    const std::string text(line);  // stops at an embedded NUL, as the row text would
    unsigned u[6] = {};
    double d[14] = {};
    int n = 0;
    if (maxFields == ROW_FIELDS_LONG)
        n = std::sscanf(text.c_str(),
                        "%u,%u,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%u,%u,%u,%lf,%lf,%lf,%lf,%u",
                        &u[0], &u[1], &d[0], &d[1], &d[2], &d[3], &d[4], &d[5], &d[6], &d[7], &d[8],
                        &d[9], &u[2], &u[3], &u[4], &d[10], &d[11], &d[12], &d[13], &u[5]);
    else
        n = std::sscanf(text.c_str(), "%u,%u,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%u,%u,%u",
                        &u[0], &u[1], &d[0], &d[1], &d[2], &d[3], &d[4], &d[5], &d[6], &d[7], &d[8],
                        &d[9], &u[2], &u[3], &u[4]);
    if (n <= 0)
        return 0;
    out.counter = u[0];
    if (n > 1)
        out.state = static_cast<std::uint8_t>(u[1]);
    for (int c = 0; c < 8 && n > 2 + c; ++c)
        out.channel[c] = d[c];
    if (n > 14)
        out.sensorTime = u[4];
    if (n > 15)
        out.platformSalinity = d[10];
    if (n > 16)
        out.platformTemperature = d[11];
    if (n > 17)
        out.platformOxygen = d[12];
    if (n > 18)
        out.platformDepth = d[13];
    if (n > 19)
        out.platformTime = u[5];
    return n;
}

}  // namespace velacor::processing
