#include "processing/raw_row.h"

#include <bit>
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
    if (!text.empty() && !IsSpace(text.front()))
        return;
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

// Eight characters at a time: the count of leading decimal digits in `chunk` (its first
// character in the low byte), and their value.
[[gnu::always_inline]] inline int LeadingDigits(std::uint64_t chunk) {
    const std::uint64_t nonDigit =
        ((chunk + 0x4646464646464646u) | (chunk - 0x3030303030303030u)) & 0x8080808080808080u;
    return nonDigit == 0 ? 8 : std::countr_zero(nonDigit) / 8;
}

[[gnu::always_inline]] inline std::uint64_t DigitsValue(std::uint64_t chunk, int count) {
    // The digits move to the high bytes; the low bytes become leading zeros.
    std::uint64_t v = (chunk - 0x3030303030303030u) << (8 * (8 - count));
    v = v * 10 + (v >> 8);
    v = (((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32))) +
         (((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32)))) >>
        32;
    return v;
}

constexpr std::uint64_t POWERS_OF_TEN[] = {1,      10,      100,      1000,     10000,
                                           100000, 1000000, 10000000, 100000000};

// Reads the run of decimal digits at `p`, adding each to `value` (value * 10 + digit) and to
// `count`. Stops early, leaving `count` above 19, once the value could overflow.
[[gnu::always_inline]] inline const char* ReadDigits(const char* p, const char* end,
                                                     std::uint64_t& value, int& count) {
    for (;;) {
        std::uint64_t chunk = 0;
        const auto left = static_cast<std::size_t>(end - p);
        if (left >= 8) [[likely]]
            std::memcpy(&chunk, p, 8);
        else
            for (std::size_t i = 0; i < left; ++i)  // zero bytes beyond the end stop the run
                chunk |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
        const int n = LeadingDigits(chunk);
        if (n == 0)
            return p;
        if (count + n > 19) {
            count += n;
            return p;
        }
        value = value * POWERS_OF_TEN[n] + DigitsValue(chunk, n);
        count += n;
        p += n;
        if (n < 8)
            return p;
    }
}

// The common case of a row's numbers, "-12.345678": at most 19 decimal digits with an optional
// point and no exponent, whose digits make an integer of at most 2^53 and whose fraction has at
// most 22 digits. Both the integer and the power of ten are then exact doubles, and one
// correctly rounded division gives the very double strtod gives (Clinger's fast path). Returns
// the end of the number, or null for anything else, and for a number followed by a character
// that would extend it: those are left to the full scanner.
[[gnu::always_inline]] inline const char* FastDecimal(const char* p, const char* end, double& out) {
    static constexpr double POWERS[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    int digits = 0;
    p = ReadDigits(p, end, mantissa, digits);
    int fraction = 0;
    if (p < end && *p == '.' && digits <= 19) {
        const int before = digits;
        p = ReadDigits(p + 1, end, mantissa, digits);
        fraction = digits - before;
    }
    if (digits == 0 || digits > 19 || fraction > 22 || mantissa > (std::uint64_t{1} << 53))
        return nullptr;
    if (p < end && (*p == '.' || *p == 'e' || *p == 'E' || *p == 'x' || *p == 'X'))
        return nullptr;
    double value = static_cast<double>(mantissa);
    if (fraction > 0)
        value /= POWERS[fraction];
    out = negative ? -value : value;
    return p;
}

// The fast paths of one row field, on the text from `p` to `end`: the end of the number, or
// null when the field needs the full scanner (white space, a sign on an unsigned number, a
// number that could overflow, anything FastDecimal leaves).
[[gnu::always_inline]] inline const char* FastUnsignedField(const char* p, const char* end,
                                                            std::uint32_t& out) {
    std::uint64_t value = 0;
    int count = 0;
    const char* q = ReadDigits(p, end, value, count);
    if (count == 0 || count > 19)
        return nullptr;
    out = static_cast<std::uint32_t>(value);
    return q;
}

// Which fields of a row are "%u" (the others are "%lf").
constexpr bool UNSIGNED_FIELD[ROW_FIELDS_LONG] = {true,  true,  false, false, false, false, false,
                                                  false, false, false, false, false, true,  true,
                                                  true,  false, false, false, false, true};

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
    std::uint64_t value = 0;
    int count = 0;
    const char* const digits = text.data() + i;
    const char* const end = ReadDigits(digits, text.data() + text.size(), value, count);
    if (count == 0)
        return std::nullopt;
    if (count > 19) {
        // Long enough to overflow: strtoul's rule, digit by digit.
        value = 0;
        bool overflow = false;
        const char* p = digits;
        for (; p < text.data() + text.size() && IsDigit(*p); ++p) {
            const auto digit = static_cast<std::uint64_t>(*p - '0');
            if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
                overflow = true;
            else
                value = value * 10 + digit;
        }
        text.remove_prefix(static_cast<std::size_t>(p - text.data()));
        if (overflow)
            return std::numeric_limits<std::uint32_t>::max();
    } else {
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    }
    if (negative)
        value = 0 - value;
    return static_cast<std::uint32_t>(value);
}

std::optional<double> ScanDouble(std::string_view& text) {
    SkipSpace(text);
    double fast = 0;
    if (const char* next = FastDecimal(text.data(), text.data() + text.size(), fast)) {
        text.remove_prefix(static_cast<std::size_t>(next - text.data()));
        return fast;
    }
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
    return ScanRawRowWithoutNul(line, maxFields, out);
}

int ScanRawRowWithoutNul(std::string_view line, int maxFields, RawRecord& out) {
    const char* p = line.data();
    const char* const end = p + line.size();
    for (int field = 0; field < maxFields; ++field) {
        if (field > 0) {
            if (p == end || *p != ',')
                return field;
            ++p;
        }
        if (UNSIGNED_FIELD[field]) {
            std::uint32_t v = 0;
            const char* next = FastUnsignedField(p, end, v);
            if (next == nullptr) {
                std::string_view rest(p, static_cast<std::size_t>(end - p));
                const std::optional<std::uint32_t> slow = ScanUnsigned(rest);
                if (!slow)
                    return field;
                v = *slow;
                next = rest.data();
            }
            p = next;
            switch (field) {
                case 0:
                    out.counter = v;
                    break;
                case 1:
                    out.state = static_cast<std::uint8_t>(v);
                    break;
                case 14:
                    out.sensorTime = v;
                    break;
                case 19:
                    out.platformTime = v;
                    break;
                default:
                    break;  // Hall counts: read, not kept
            }
        } else {
            double v = 0;
            const char* next = FastDecimal(p, end, v);
            if (next == nullptr) {
                std::string_view rest(p, static_cast<std::size_t>(end - p));
                const std::optional<double> slow = ScanDouble(rest);
                if (!slow)
                    return field;
                v = *slow;
                next = rest.data();
            }
            p = next;
            if (field <= 9)
                out.channel[field - 2] = v;
            else if (field == 15)
                out.platformSalinity = v;
            else if (field == 16)
                out.platformTemperature = v;
            else if (field == 17)
                out.platformOxygen = v;
            else if (field == 18)
                out.platformDepth = v;
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
