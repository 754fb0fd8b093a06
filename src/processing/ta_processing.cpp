#include "processing/ta_processing.h"

#include "base/single_precision.h"

#include <cmath>

#include "base/str_printf.h"
#include "processing/ph_processing.h"

namespace velacor::processing {

std::string CheckTaSettings(const TaSettings& settings) {
    if (settings.params.measureChannel > 7)
        return base::StrPrintf("The measurement channel is %u: a channel must be one of 0 to 7.",
                               settings.params.measureChannel);
    return CheckThermistorChannels(settings.thermistor);
}

std::vector<std::string> TaHeadings() {
    return {"Time (platform)", "TA (uM)", "Absorbance LED1", "Absorbance LED2", "Temperature (C)"};
}

TaRun::TaRun(const TaSettings& settings, ResultsTable& table, LogSink* log)
    : m_settings(settings), m_table(table), m_log(log) {}

bool TaRun::IsMeasurementState(std::uint8_t state) const {
    const auto& p = m_settings.params;
    return state == p.blankMeasureStateLed1 || state == p.blankMeasureStateLed2 ||
           state == p.sampleMeasureStateLed1 || state == p.sampleMeasureStateLed2;
}

void TaRun::Accumulate(const RawRecord& r) {
    if (m_count >= 1'000'000)
        return;
    ++m_count;
    m_sum += r.channel[m_settings.params.measureChannel & 7];
    for (std::size_t k = 0; k < 2; ++k)
        m_tSums[k] += ThermistorTemperature(m_settings.thermistor[k], r);
}

void TaRun::Step(const RawRecord& r) {
    const auto& p = m_settings.params;
    if (r.state != m_prevState) {
        const std::uint8_t prev = m_prevState;
        const std::uint8_t states[4] = {p.blankMeasureStateLed1, p.blankMeasureStateLed2,
                                        p.sampleMeasureStateLed1, p.sampleMeasureStateLed2};
        static constexpr const char* WHAT[4] = {"blank (led1)", "blank (led2)", "sample (led1)",
                                                "sample (led2)"};
        for (std::size_t kind = 0; kind < 4; ++kind) {
            if (prev != states[kind])
                continue;
            Log(m_log, "exited %s measurement state (%u)", WHAT[kind], prev);
            if (m_count > 0) {
                m_avg[kind] = m_sum / m_count;
                m_t[0] = m_tSums[0] / m_count;
                m_t[1] = m_tSums[1] / m_count;
            }
            if (p.processingTrigger == kind)
                ComputeResult();
            break;
        }
        if (r.state == p.sampleIntakeState) {
            Log(m_log, "entered sample intake state");
            m_sensorTime = r.sensorTime;
        }
        if (IsMeasurementState(r.state)) {
            Log(m_log, "entering a measurement state (%u)", r.state);
            m_count = 0;
            m_sum = 0;
            m_tSums.fill(0);
        }
    }
    Accumulate(r);
    m_prevState = r.state;
}

void TaRun::ComputeResult() {
    const auto& p = m_settings.params;
    const auto [b1, b2, s1, s2] = m_avg;
    Log(m_log, "meas b1=%f,b2=%f,s1=%f,s2=%f", b1, b2, s1, s2);
    Log(m_log, "t1=%f,t2=%f", m_t[0], m_t[1]);
    const double a1 = -std::log10(s1 / b1);
    const double a2 = -std::log10(s2 / b2);
    const double t = 0.5 * m_t[0] + 0.5 * m_t[1];
    // The absorbance ratio brought to 25 °C.
    const double r = (a2 / a1) * (1 + double{p.temperatureCoefficient} * (25 - t));
    const double ph =
        double{p.pKa} + std::log10((r - double{p.e1}) / (double{p.e2} - r * double{p.e3}));
    const double hydrogen = std::pow(10.0, -ph);
    const double ta = (double{p.titrantMolarity} - 9.819 * hydrogen) / 8.819 * 1'000'000;
    Log(m_log, "processed ta result at %u = %f", m_sensorTime, ta);
    m_table.AddRow({FormatTimeCell(m_sensorTime), FixedCell(ta, 3),
                    FixedCell(double{base::Single(a1)}, 6), FixedCell(double{base::Single(a2)}, 6),
                    FixedCell(double{base::Single(t)}, 6)});
}

}  // namespace velacor::processing
