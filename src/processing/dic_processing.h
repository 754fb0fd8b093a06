// DIC processing: for each active inlet the sensor runs an intake and a measurement state, in
// which the conductivity signal on input channel 0 steps up from its lowest value. The step
// measured on a certified reference material (CRM) calibrates the proportion between step and
// DIC; each later sample step is scaled by the most recent calibration.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "processing/raw_file.h"
#include "processing/raw_row.h"
#include "processing/results.h"

namespace velacor::processing {

struct DicSettings {
    protocol::DicProcessing params;
    HeaderThermistor thermistor;
};

std::string CheckDicSettings(const DicSettings& settings);
std::vector<std::string> DicHeadings();

inline constexpr std::size_t DIC_RING = 30;  // rows averaged at the end of a window

class DicRun {
  public:
    DicRun(const DicSettings& settings, ResultsTable& table, LogSink* log);
    void Step(const RawRecord& r);

  private:
    // The first active inlet (Sample or CRM) whose measurement state is `state`.
    std::optional<std::size_t> MeasuringInlet(std::uint8_t state) const;
    void CloseWindow(std::size_t inlet);

    const DicSettings m_settings;
    ResultsTable& m_table;
    LogSink* const m_log;

    std::uint8_t m_prevState = 255;
    std::uint32_t m_count = 0;
    std::array<double, DIC_RING> m_ring{};
    double m_minimum = 0;
    double m_temperature = 0;

    bool m_crmKnown = false;
    double m_crmStep = 0;
    float m_crmValue = 0;

    struct Cycle {
        std::uint32_t sensorTime = 0;
        std::uint8_t state = 0;
        double dic = 0;
        float sampleStep = 0;
        float crmStep = 0;
        float temperature = 0;
        bool valid = false;
    } m_cycle;
};

}  // namespace velacor::processing
