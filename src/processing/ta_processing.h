// TA processing: each cycle measures a blank and the acidified sample with each of two LEDs;
// the two absorbances and the cell temperature give the pH of the mixture, hence its hydrogen
// ion concentration, and with the titrant's molarity the sample's total alkalinity.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "processing/raw_file.h"
#include "processing/raw_row.h"
#include "processing/results.h"

namespace velacor::processing {

struct TaSettings {
    protocol::TaProcessing params;
    std::array<HeaderThermistor, 2> thermistor{};
};

std::string CheckTaSettings(const TaSettings& settings);
std::vector<std::string> TaHeadings();

class TaRun {
  public:
    TaRun(const TaSettings& settings, ResultsTable& table, LogSink* log);
    void Step(const RawRecord& r);

  private:
    void Accumulate(const RawRecord& r);
    void ComputeResult();
    bool IsMeasurementState(std::uint8_t state) const;

    const TaSettings m_settings;
    ResultsTable& m_table;
    LogSink* const m_log;

    std::uint8_t m_prevState = 255;
    std::uint32_t m_count = 0;
    double m_sum = 0;
    std::array<double, 2> m_tSums{};
    // Averages of the last windows: blank LED1, blank LED2, sample LED1, sample LED2.
    std::array<double, 4> m_avg{};
    std::array<double, 2> m_t{};
    std::uint32_t m_sensorTime = 0;
};

}  // namespace velacor::processing
