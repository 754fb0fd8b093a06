#include "processing/ph_processing.h"

#include "base/single_precision.h"

#include <cmath>

#include "base/str_printf.h"

namespace velacor::processing {
namespace {

constexpr double TINY = 1e-11;
constexpr std::uint32_t MIN_FIT_ROWS = 10;  // the fit needs more rows than this

std::uint32_t WindowIndex(std::uint16_t offsetSeconds, std::uint32_t intervalMs) {
    return intervalMs == 0 ? 0 : offsetSeconds * 1000u / intervalMs;
}

double Cubic(const HeaderThermistor& t, double v) {
    return double{t.calA} * v * v * v + double{t.calB} * v * v + double{t.calC} * v +
           double{t.calD};
}

}  // namespace

std::string CheckPhSettings(const PhSettings& settings) {
    const auto& p = settings.params;
    if (settings.sampleIntervalMs == 0)
        return "The sample interval is 0 ms: it must be at least 1 ms.";
    if (p.inputChannelBlue > 7 || p.inputChannelYellow > 7)
        return base::StrPrintf(
            "The input channels are %u (blue) and %u (yellow): a channel must be one of 0 to 7.",
            p.inputChannelBlue, p.inputChannelYellow);
    return CheckThermistorChannels(settings.thermistor);
}

std::string CheckThermistorChannels(std::span<const HeaderThermistor> thermistors) {
    for (std::size_t k = 0; k < thermistors.size(); ++k)
        if (thermistors[k].inputChannel > 7)
            return base::StrPrintf(
                "The input channel of thermistor %zu is %u: a channel must be one of 0 to 7.",
                k + 1, thermistors[k].inputChannel);
    return {};
}

double ThermistorTemperature(const HeaderThermistor& t, const RawRecord& r) {
    return Cubic(t, r.channel[t.inputChannel & 7]);
}

std::optional<double> PhFromRatio(double r, double t, double s, double rScale, double rOffset) {
    const double kelvin = t + 273.15;
    const double adjusted = rScale * r + rOffset;
    const double e1 = -0.007762 + 4.5174e-5 * kelvin;
    const double e3e2 = -0.020813 + 0.000260262 * kelvin + 0.00010436 * (s - 35);
    const double q = 1 - adjusted * e3e2;
    if (!(std::fabs(q) > TINY))
        return std::nullopt;
    const double ratio = (adjusted - e1) / q;
    if (!(ratio > TINY))
        return std::nullopt;
    const double minusLogK2e2 = (-246.64209 + 0.315971 * s + 0.00028855 * s * s) +
                                (7229.23864 - 7.098137 * s - 0.057034 * s * s) / kelvin +
                                (44.493382 - 0.052711 * s) * std::log(kelvin) - 0.0781344 * kelvin;
    return minusLogK2e2 + std::log10(ratio);
}

std::vector<std::string> PhHeadings() {
    return {"Time (platform)", "pH",      "R_meas",   "R_adjusted",
            "T (thermistor)",  "S (PSU)", "T (degC)", "DO (ml/l)"};
}

PhRun::PhRun(const PhSettings& settings, ResultsTable& table, LogSink* log)
    : m_settings(settings),
      m_table(table),
      m_log(log),
      m_startIndex(WindowIndex(settings.params.blankStartOffsetS, settings.sampleIntervalMs)),
      m_endIndex(WindowIndex(settings.params.blankEndOffsetS, settings.sampleIntervalMs)),
      m_blankRows(static_cast<double>(m_endIndex) - static_cast<double>(m_startIndex) + 1) {}

void PhRun::Step(const RawRecord& r) {
    const auto& p = m_settings.params;
    if (r.state != m_prevState) {
        if (m_prevState == p.sampleMeasureState)
            FinishCycle();
        if (r.state == p.sampleIntakeState) {
            Log(m_log, "entered sample intake state (%d)", p.sampleIntakeState);
            m_sensorTime = r.sensorTime;
            m_salinity = base::Single(r.platformSalinity);
            m_temperature = base::Single(r.platformTemperature);
            m_oxygen = base::Single(r.platformOxygen);
            Log(m_log, "platform s=%.3f,t=%.3f,do=%.3f", double{m_salinity}, double{m_temperature},
                double{m_oxygen});
        }
        if (r.state == p.sampleMeasureState) {
            Log(m_log, "entering sample measurement state (%u)", p.sampleMeasureState);
            m_sampleIndex = 0;
            m_ref434 = m_ref578 = 0;
            m_abs578Max = m_windowStart = m_windowEnd = Point{};
            m_sums = m_snapshot = Sums{};
        }
    }
    if (r.state == p.sampleMeasureState)
        ProcessSample(r);
    ++m_sampleIndex;
    m_prevState = r.state;
}

void PhRun::ProcessSample(const RawRecord& r) {
    const auto& p = m_settings.params;
    const std::uint32_t i = m_sampleIndex;
    const double i434 = r.channel[p.inputChannelBlue & 7];
    const double i578 = r.channel[p.inputChannelYellow & 7];
    if (i < m_startIndex)
        return;
    if (i <= m_endIndex) {
        m_ref434 += i434 / m_blankRows;
        m_ref578 += i578 / m_blankRows;
        return;
    }
    if (!(m_ref434 > TINY && m_ref578 > TINY && i434 > TINY && i578 > TINY))
        return;
    const double x = -std::log10(i434 / m_ref434);
    const double y = -std::log10(i578 / m_ref578);
    const double t =
        ThermistorTemperature(m_settings.thermistor[0], r) * double{p.thermistor1Scale} +
        ThermistorTemperature(m_settings.thermistor[1], r) * double{p.thermistor2Scale};
    const Point point{i, x, y, t};
    const double maxYellow = p.absorbanceMaxYellow;
    const double minBlue = p.absorbanceMinBlue;

    // The fit starts after the yellow peak, at the row nearest the upper bound, and ends at the
    // last row that brought the blue absorbance nearer the lower bound.
    bool snapshot = true;
    if (m_sums.n == 0 || y > m_abs578Max.y) {
        m_abs578Max = m_windowStart = m_windowEnd = point;
        m_sums = Sums{};
    } else if (std::fabs(y - maxYellow) < std::fabs(m_windowStart.y - maxYellow)) {
        m_windowStart = m_windowEnd = point;
        m_sums = Sums{};
    } else if (std::fabs(x - minBlue) < std::fabs(m_windowEnd.x - minBlue)) {
        m_windowEnd = point;
    } else {
        snapshot = false;
    }
    m_sums.n += 1;
    m_sums.x2 += x * x;
    m_sums.x3 += x * x * x;
    m_sums.x4 += x * x * x * x;
    m_sums.xy += x * y;
    m_sums.x2y += x * x * y;
    m_sums.t += t;
    if (snapshot)
        m_snapshot = m_sums;
}

void PhRun::LogPoint(const char* format, const Point& point) {
    Log(m_log, format, static_cast<int>(point.index), point.x, point.y, point.t);
}

void PhRun::FinishCycle() {
    const auto& p = m_settings.params;
    const Sums& s = m_snapshot;
    Log(m_log, "exiting sample measurement state (%d)", m_prevState);
    Log(m_log, "blank_start_index=%u, blank_end_index=%u", m_startIndex, m_endIndex);
    Log(m_log, "abs434ref=%f, abs578ref=%f", m_ref434, m_ref578);
    LogPoint("abs578max(i,x,y,t) = (%d,%f,%f,%f)", m_abs578Max);
    LogPoint("absmax(i,x,y,t) = (%d,%f,%f,%f)", m_windowStart);
    LogPoint("absmin(i,x,y,t) = (%d,%f,%f,%f)", m_windowEnd);
    Log(m_log, "num samples = %d", static_cast<int>(s.n));
    Log(m_log, "sensor cal scale=%f, offset=%f", double{p.rAdjustScale}, double{p.rAdjustOffset});
    if (s.n <= MIN_FIT_ROWS) {
        Log(m_log, "Too few samples for regression (%u<=%u)", s.n, MIN_FIT_ROWS);
        return;
    }
    const double det = s.x4 * s.x2 - s.x3 * s.x3;
    if (std::fabs(det) <= TINY) {
        Log(m_log, "Regression impossible");
        return;
    }
    // The linear coefficient of y = R x + Q x^2 fitted through the origin.
    const double r = (s.xy * s.x4 - s.x2y * s.x3) / det;
    const double meanT = s.t / s.n;
    const double salinity = m_salinity;
    Log(m_log, "R=%f,t=%f,s=%f", r, meanT, salinity);
    const std::optional<double> ph =
        PhFromRatio(r, meanT, salinity, p.rAdjustScale, p.rAdjustOffset);
    if (!ph) {
        Log(m_log, "time=%u,pH=failed", m_sensorTime);
        return;
    }
    Log(m_log, "time=%u,pH=%f", m_sensorTime, *ph);
    // Brought from the cell's temperature to the water's.
    const double reported = *ph + (double{m_temperature} - meanT) * double{p.dpHdT};
    const double adjusted = double{p.rAdjustScale} * r + double{p.rAdjustOffset};
    m_table.AddRow({FormatTimeCell(m_sensorTime), FixedCell(reported, 3), FixedCell(r, 4),
                    FixedCell(adjusted, 4), FixedCell(meanT, 3), FixedCell(double{m_salinity}, 3),
                    FixedCell(double{m_temperature}, 3), FixedCell(double{m_oxygen}, 3)});
}

}  // namespace velacor::processing
