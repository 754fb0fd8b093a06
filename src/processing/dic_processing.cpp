#include "processing/dic_processing.h"

#include "base/single_precision.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "base/str_printf.h"
#include "processing/ph_processing.h"

namespace velacor::processing {
namespace {

using protocol::INLET_CRM;
using protocol::INLET_SAMPLE;

bool Active(const protocol::DicInlet& inlet) {
    return inlet.type == INLET_SAMPLE || inlet.type == INLET_CRM;
}

}  // namespace

std::string CheckDicSettings(const DicSettings& settings) {
    return CheckThermistorChannels(std::span(&settings.thermistor, 1));
}

std::vector<std::string> DicHeadings() {
    return {"Time (platform)", "Meas State",      "DIC (umol/kg)", "Sample Step (V)",
            "CRM Step (V)",    "Temperature (C)", "Validity"};
}

DicRun::DicRun(const DicSettings& settings, ResultsTable& table, LogSink* log)
    : m_settings(settings), m_table(table), m_log(log) {}

std::optional<std::size_t> DicRun::MeasuringInlet(std::uint8_t state) const {
    const auto& inlets = m_settings.params.inlet;
    for (std::size_t i = 0; i < inlets.size(); ++i)
        if (Active(inlets[i]) && inlets[i].measureState == state)
            return i;
    return std::nullopt;
}

void DicRun::Step(const RawRecord& r) {
    const auto& inlets = m_settings.params.inlet;
    if (r.state != m_prevState) {
        if (const auto inlet = MeasuringInlet(m_prevState)) {
            Log(m_log, "exited inlet %d measurement state (%u)", static_cast<int>(*inlet),
                m_prevState);
            if (m_count >= 1)
                CloseWindow(*inlet);
        }
        for (std::size_t i = 0; i < inlets.size(); ++i) {
            if (inlets[i].type == INLET_SAMPLE && inlets[i].intakeState == r.state) {
                Log(m_log, "entered inlet %d sample intake state (%u)", static_cast<int>(i),
                    r.state);
                m_cycle = Cycle{};
                m_cycle.sensorTime = r.sensorTime;
                break;
            }
        }
        if (const auto inlet = MeasuringInlet(r.state)) {
            Log(m_log, "entering inlet %d sample measurement state (%u)", static_cast<int>(*inlet),
                r.state);
            m_count = 0;
            m_ring.fill(0);
            m_minimum = 0;
            m_temperature = 0;
        }
    }
    if (MeasuringInlet(r.state)) {
        const double value = r.channel[0];
        m_ring[m_count % DIC_RING] = value;
        if (m_count == 0 || value < m_minimum)
            m_minimum = value;
        ++m_count;
        m_temperature = ThermistorTemperature(m_settings.thermistor, r);
    }
    m_prevState = r.state;
}

void DicRun::CloseWindow(std::size_t inlet) {
    const auto& config = m_settings.params.inlet[inlet];
    // The ring holds the last 30 values once the window has more rows than that.
    const std::size_t n = std::min<std::size_t>(m_count, DIC_RING);
    const double mean =
        std::accumulate(m_ring.begin(), m_ring.begin() + static_cast<long>(n), 0.0) /
        static_cast<double>(n);
    const double step = mean - m_minimum;
    if (config.type == INLET_CRM) {
        m_crmStep = step;
        m_crmValue = config.crmValue;
        m_crmKnown = true;
        return;
    }
    m_cycle.valid = false;
    if (m_crmKnown && std::fabs(m_crmStep) > 1e-11) {
        m_cycle.dic = step / m_crmStep * double{m_crmValue};
        m_cycle.state = m_prevState;
        m_cycle.sampleStep = base::Single(step);
        m_cycle.crmStep = base::Single(m_crmStep);
        m_cycle.temperature = base::Single(m_temperature);
        m_cycle.valid = true;
        Log(m_log, "processed DIC result at %u = %f", m_cycle.sensorTime, m_cycle.dic);
    } else {
        Log(m_log, "processed DIC result at %u failed", m_cycle.sensorTime);
    }
    m_table.AddRow({FormatTimeCell(m_cycle.sensorTime), base::StrPrintf("%u", m_cycle.state),
                    FixedCell(m_cycle.dic, 3), FixedCell(double{m_cycle.sampleStep}, 3),
                    FixedCell(double{m_cycle.crmStep}, 3),
                    FixedCell(double{m_cycle.temperature}, 3), m_cycle.valid ? "good" : "bad"});
}

}  // namespace velacor::processing
