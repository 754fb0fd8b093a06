// The line formatting of the raw file generator and the parts of a row every chemistry shares:
// record counter, sensor and platform times, sensor temperature and supply voltage, the pump's
// Hall counts, and the readings of the host platform's own sensors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace velacor::rawgen::detail {

using Channels = std::array<double, 8>;  // input channels 0..7, volts

inline constexpr int CHANNEL_DECIMALS = 6;

// `value` rounded to `decimals` places: the number the row parser reads back from its text.
double Rounded(double value, int decimals);

// What the platform's sensors read: a profiling vehicle cycling between 10 and 190 m every two
// hours through water that is colder, saltier and poorer in oxygen at depth, warming a little
// through the day. Values are rounded as the rows carry them.
struct PlatformReading {
    double salinity = 0;     // PSU, 4 decimals
    double temperature = 0;  // °C, 4 decimals
    double oxygen = 0;       // ml/l, 3 decimals
    double depth = 0;        // m, 2 decimals
};
PlatformReading PlatformAt(std::uint64_t secondsSinceStart);

// xoshiro256** seeded through splitmix64: the same seed gives the same numbers everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed);
    std::uint64_t Next();
    double Uniform();   // [0, 1)
    double Gaussian();  // mean 0, standard deviation 1

  private:
    std::array<std::uint64_t, 4> m_s{};
    double m_spare = 0;
    bool m_hasSpare = false;
};

// Formats lines into a buffer and hands it to `write` in blocks of exactly BLOCK bytes (the
// last one shorter, from Finish). One row per call to Row; the row's times follow from the
// number of rows written and the sample interval.
class RowWriter {
  public:
    static constexpr std::size_t BLOCK = std::size_t{1} << 20;

    RowWriter(const std::function<void(std::string_view)>& write, std::uint32_t intervalMs,
              bool shortRows);

    void Line(std::string_view text);  // a header line; the line feed is added
    void Row(std::uint8_t state, const Channels& volts);
    void Finish();

    // Hall counts added per row from now on; ResetPump clears the running counts (a new cycle).
    void SetPump(std::uint32_t injectPerRow, std::uint32_t withdrawPerRow);
    void ResetPump();

    // Of the next row to be written.
    std::uint32_t SensorTime() const;
    std::uint32_t PlatformTime() const;
    PlatformReading Platform() const;

    std::uint64_t Bytes() const { return m_handedOn + m_length; }
    std::uint64_t Rows() const { return m_rows; }
    std::uint32_t IntervalMs() const { return m_intervalMs; }

  private:
    void Reserve(std::size_t bytes);
    void HandOn();
    std::uint64_t SecondsSinceStart() const;

    const std::function<void(std::string_view)>& m_write;
    std::uint32_t m_intervalMs;
    bool m_shortRows;
    std::vector<char> m_buffer;
    std::size_t m_length = 0;
    std::uint64_t m_handedOn = 0;
    std::uint64_t m_rows = 0;
    std::uint32_t m_injectPerRow = 0;
    std::uint32_t m_withdrawPerRow = 0;
    std::uint32_t m_hallInject = 0;
    std::uint32_t m_hallWithdraw = 0;
    mutable std::uint64_t m_platformSecond = ~std::uint64_t{0};
    mutable PlatformReading m_platform;
};

}  // namespace velacor::rawgen::detail
