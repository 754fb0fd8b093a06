#include "rawgen/row_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "rawgen/raw_generator.h"

namespace velacor::rawgen::detail {
namespace {

constexpr double PI = 3.14159265358979323846;
constexpr std::int64_t POWERS_OF_TEN[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
constexpr std::size_t MAX_ROW = 256;  // a row stays well under this

char* PutUnsigned(char* out, std::uint64_t value) {
    return std::to_chars(out, out + 20, value).ptr;
}

// The decimal text of `value` rounded to `decimals` places, like printf's "%.*f" for the
// magnitudes a row holds. The text is exact: it reads back as Rounded(value, decimals).
char* PutFixed(char* out, double value, int decimals) {
    if (!std::isfinite(value))
        value = 0;
    std::int64_t scaled = std::llround(value * static_cast<double>(POWERS_OF_TEN[decimals]));
    if (scaled < 0) {
        *out++ = '-';
        scaled = -scaled;
    }
    const auto unit = static_cast<std::uint64_t>(POWERS_OF_TEN[decimals]);
    const auto magnitude = static_cast<std::uint64_t>(scaled);
    out = PutUnsigned(out, magnitude / unit);
    *out++ = '.';
    std::uint64_t fraction = magnitude % unit;
    for (int i = decimals - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return out + decimals;
}

std::uint64_t SplitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t RotateLeft(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

}  // namespace

double Rounded(double value, int decimals) {
    const auto unit = static_cast<double>(POWERS_OF_TEN[decimals]);
    // An integer divided by a power of ten, both exact: the nearest double to the decimal, as
    // the parser computes it from the text.
    return static_cast<double>(std::llround(value * unit)) / unit;
}

PlatformReading PlatformAt(std::uint64_t secondsSinceStart) {
    const double t = static_cast<double>(secondsSinceStart);
    const double depth = 100.0 - 90.0 * std::cos(2 * PI * t / 7200.0);
    const double day = std::sin(2 * PI * t / 86400.0);
    PlatformReading r;
    r.depth = Rounded(depth, 2);
    r.temperature = Rounded(14.5 - 0.035 * depth + 0.4 * day, 4);
    r.salinity = Rounded(34.85 + 0.0025 * depth, 4);
    r.oxygen = Rounded(5.9 - 0.006 * depth, 3);
    return r;
}

Random::Random(std::uint64_t seed) {
    for (std::uint64_t& word : m_s)
        word = SplitMix(seed);
}

std::uint64_t Random::Next() {
    const std::uint64_t result = RotateLeft(m_s[1] * 5, 7) * 9;
    const std::uint64_t t = m_s[1] << 17;
    m_s[2] ^= m_s[0];
    m_s[3] ^= m_s[1];
    m_s[1] ^= m_s[2];
    m_s[0] ^= m_s[3];
    m_s[2] ^= t;
    m_s[3] = RotateLeft(m_s[3], 45);
    return result;
}

double Random::Uniform() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double Random::Gaussian() {
    if (m_hasSpare) {
        m_hasSpare = false;
        return m_spare;
    }
    // Box-Muller on (0, 1]: the logarithm never sees 0.
    const double u = 1.0 - Uniform();
    const double v = Uniform();
    const double radius = std::sqrt(-2.0 * std::log(u));
    m_spare = radius * std::sin(2 * PI * v);
    m_hasSpare = true;
    return radius * std::cos(2 * PI * v);
}

RowWriter::RowWriter(const std::function<void(std::string_view)>& write, std::uint32_t intervalMs,
                     bool shortRows)
    : m_write(write), m_intervalMs(intervalMs), m_shortRows(shortRows), m_buffer(BLOCK + MAX_ROW) {}

void RowWriter::HandOn() {
    while (m_length >= BLOCK) {
        m_write(std::string_view(m_buffer.data(), BLOCK));
        m_handedOn += BLOCK;
        m_length -= BLOCK;
        std::memmove(m_buffer.data(), m_buffer.data() + BLOCK, m_length);
    }
}

void RowWriter::Reserve(std::size_t bytes) {
    if (m_length + bytes > m_buffer.size())
        m_buffer.resize(m_length + bytes);
}

void RowWriter::Line(std::string_view text) {
    Reserve(text.size() + 1);
    std::memcpy(m_buffer.data() + m_length, text.data(), text.size());
    m_length += text.size();
    m_buffer[m_length++] = '\n';
    HandOn();
}

std::uint64_t RowWriter::SecondsSinceStart() const {
    return m_rows * m_intervalMs / 1000;
}

std::uint32_t RowWriter::SensorTime() const {
    return static_cast<std::uint32_t>(START_TIME + SecondsSinceStart());
}

std::uint32_t RowWriter::PlatformTime() const {
    return SensorTime() + PLATFORM_CLOCK_AHEAD;
}

PlatformReading RowWriter::Platform() const {
    const std::uint64_t second = SecondsSinceStart();
    if (second != m_platformSecond) {
        m_platform = PlatformAt(second);
        m_platformSecond = second;
    }
    return m_platform;
}

void RowWriter::SetPump(std::uint32_t injectPerRow, std::uint32_t withdrawPerRow) {
    m_injectPerRow = injectPerRow;
    m_withdrawPerRow = withdrawPerRow;
}

void RowWriter::ResetPump() {
    m_hallInject = 0;
    m_hallWithdraw = 0;
}

void RowWriter::Row(std::uint8_t state, const Channels& volts) {
    const PlatformReading platform = Platform();
    const bool pumping = m_injectPerRow + m_withdrawPerRow > 0;
    const double days = static_cast<double>(SecondsSinceStart()) / 86400.0;
    // The electronics run warmer than the water; the battery sags with age and under the pump.
    const double sensorTemperature = platform.temperature + 1.5;
    const double supply = std::max(11.2, 12.45 - 0.004 * days) - (pumping ? 0.15 : 0.0);
    m_hallInject += m_injectPerRow;
    m_hallWithdraw += m_withdrawPerRow;

    Reserve(MAX_ROW);
    char* out = m_buffer.data() + m_length;
    out = PutUnsigned(out, m_rows + 1);
    *out++ = ',';
    out = PutUnsigned(out, state);
    for (const double v : volts) {
        *out++ = ',';
        out = PutFixed(out, v, CHANNEL_DECIMALS);
    }
    *out++ = ',';
    out = PutFixed(out, sensorTemperature, 2);
    *out++ = ',';
    out = PutFixed(out, supply, 2);
    *out++ = ',';
    out = PutUnsigned(out, m_hallInject);
    *out++ = ',';
    out = PutUnsigned(out, m_hallWithdraw);
    *out++ = ',';
    out = PutUnsigned(out, SensorTime());
    if (!m_shortRows) {
        *out++ = ',';
        out = PutFixed(out, platform.salinity, 4);
        *out++ = ',';
        out = PutFixed(out, platform.temperature, 4);
        *out++ = ',';
        out = PutFixed(out, platform.oxygen, 3);
        *out++ = ',';
        out = PutFixed(out, platform.depth, 2);
        *out++ = ',';
        out = PutUnsigned(out, PlatformTime());
    }
    *out++ = '\n';
    m_length = static_cast<std::size_t>(out - m_buffer.data());
    ++m_rows;
    HandOn();
}

void RowWriter::Finish() {
    if (m_length > 0)
        m_write(std::string_view(m_buffer.data(), m_length));
    m_handedOn += m_length;
    m_length = 0;
}

}  // namespace velacor::rawgen::detail
