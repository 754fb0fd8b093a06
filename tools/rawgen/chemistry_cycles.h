// The measurement cycles of each chemistry, and the row building they share: header key lines,
// states held or ramped for a number of seconds, intensity noise, and slowly wandering truths.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>

#include "rawgen/raw_generator.h"
#include "rawgen/row_writer.h"

namespace velacor::rawgen::detail {

inline constexpr double PI = 3.14159265358979323846;

// Key lines "%VELACOR.CHEMISTRY.<key>=<value>".
class HeaderLines {
  public:
    explicit HeaderLines(RowWriter& writer) : m_writer(writer) {}

    void Line(std::string_view text) { m_writer.Line(text); }

    void Key(std::string_view key, std::string_view value) {
        std::string line = "%VELACOR.CHEMISTRY.";
        line.append(key).append("=").append(value);
        m_writer.Line(line);
    }
    void KeyU(std::string_view key, std::uint32_t value) { Key(key, std::to_string(value)); }
    // The shortest text that reads back as the same single-precision value.
    void KeyF(std::string_view key, float value) {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, value).ptr;
        Key(key, std::string_view(text, static_cast<std::size_t>(end - text)));
    }
    void Thermistor(int index, const ThermistorCal& cal) {
        const std::string n = "." + std::to_string(index);
        KeyU("THERMISTOR_INPUT_CHANNEL" + n, cal.channel);
        KeyF("THERMISTOR_CAL_A" + n, cal.a);
        KeyF("THERMISTOR_CAL_B" + n, cal.b);
        KeyF("THERMISTOR_CAL_C" + n, cal.c);
        KeyF("THERMISTOR_CAL_D" + n, cal.d);
    }

  private:
    RowWriter& m_writer;
};

// ---- Building rows -----------------------------------------------------------------------------

// Writes the rows of the states of a cycle. Truths and noise come from separate generators, so
// the noise level never changes the true values of a seed.
class Builder {
  public:
    Builder(const Options& options, RowWriter& writer, const std::array<bool, 8>& noisy)
        : m_writer(writer),
          m_noise(options.noise),
          m_noisy(noisy),
          m_truthRandom(options.seed),
          m_noiseRandom(std::uint64_t{options.seed} ^ 0x6E6F697365000000ull) {}

    RowWriter& Writer() { return m_writer; }
    Random& TruthRandom() { return m_truthRandom; }

    // Rows in a state that lasts `seconds`.
    unsigned Rows(unsigned seconds) const {
        return std::max(1u, static_cast<unsigned>(seconds * 1000u / m_writer.IntervalMs()));
    }
    double SecondsOf(unsigned row) const {
        return static_cast<double>(row) * m_writer.IntervalMs() / 1000.0;
    }

    // `rows` rows of `state` whose channels `channelsAt(i)` gives; noise on the noisy channels.
    template <class F>
    void Emit(std::uint8_t state, unsigned rows, F&& channelsAt) {
        for (unsigned i = 0; i < rows; ++i) {
            Channels channels = channelsAt(i);
            if (m_noise > 0)
                for (std::size_t k = 0; k < channels.size(); ++k)
                    if (m_noisy[k])
                        channels[k] =
                            std::max(0.0, channels[k] * (1.0 + m_noise * m_noiseRandom.Gaussian()));
            m_writer.Row(state, channels);
        }
    }
    // Channels moving in a straight line from `from` to reach `to` on the last row.
    void Ramp(std::uint8_t state, unsigned rows, const Channels& from, const Channels& to) {
        Emit(state, rows, [&](unsigned i) {
            Channels c;
            const double f = static_cast<double>(i + 1) / rows;
            for (std::size_t k = 0; k < c.size(); ++k)
                c[k] = from[k] + (to[k] - from[k]) * f;
            return c;
        });
    }
    void Hold(std::uint8_t state, unsigned rows, const Channels& level) {
        Emit(state, rows, [&](unsigned) { return level; });
    }
    void Pump(std::uint32_t inject, std::uint32_t withdraw) { m_writer.SetPump(inject, withdraw); }

    CycleTruth TruthNow(double value) const {
        return {m_writer.SensorTime(), m_writer.PlatformTime(), value};
    }

    // A true value that follows a slow tide and jumps to a new level every 16 cycles.
    double Wander(unsigned cycle, double mean, double amplitude, double step) {
        if (cycle % 16 == 0)
            m_level = step * (2.0 * m_truthRandom.Uniform() - 1.0);
        return mean + amplitude * std::sin(2 * PI * cycle / 48.0) + m_level;
    }

  private:
    RowWriter& m_writer;
    double m_noise;
    std::array<bool, 8> m_noisy;
    Random m_truthRandom;
    Random m_noiseRandom;
    double m_level = 0;
};

// LED and photodiode ageing: a slow swing of the full-scale intensities between cycles.// One
// chemistry's file: its header keys and its measurement cycles, written through a Builder.
class CycleWriter {
  public:
    virtual ~CycleWriter() = default;
    virtual void Header(HeaderLines& header) const = 0;
    // Writes cycle `cycle` (0, 1, ...) and returns its truth.
    virtual CycleTruth Cycle(unsigned cycle) = 0;
};

// The channels that carry intensities (and so take the noise) in a chemistry's rows.
std::array<bool, 8> NoisyChannels(const Options& options);
std::unique_ptr<CycleWriter> MakeCycleWriter(const Options& options, Builder& builder);

}  // namespace velacor::rawgen::detail
