// pH processing: in each cycle the cell is filled with sample and a blank is taken over a time
// window at the start of the sample measurement state; then indicator dye is added and the
// absorbances at 434 nm (blue) and 578 nm (yellow) rise and fall as it mixes. The absorbance
// ratio is fitted by least squares over the part of the curve between the two absorbance bounds
// and turned into pH with the cell temperature and the platform's salinity.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "processing/raw_file.h"
#include "processing/raw_row.h"
#include "processing/results.h"

namespace velacor::processing {

struct PhSettings {
    protocol::PhProcessing params;
    std::uint32_t sampleIntervalMs = 100;
    std::array<HeaderThermistor, 2> thermistor{};
};

// A problem that would divide by zero or read outside a row; empty when none.
std::string CheckPhSettings(const PhSettings& settings);

// A problem with thermistors whose input channel names no channel of a row; empty when none.
// Thermistors are numbered from 1 in the message.
std::string CheckThermistorChannels(std::span<const HeaderThermistor> thermistors);

// A thermistor's temperature: its cubic A v^3 + B v^2 + C v + D in its channel's voltage v.
double ThermistorTemperature(const HeaderThermistor& t, const RawRecord& r);

// pH on the total scale from the absorbance ratio R, temperature t (°C) and salinity s, with the
// sensor's R adjustment; nothing when the ratio lies outside the indicator equations' domain.
std::optional<double> PhFromRatio(double r, double t, double s, double rScale, double rOffset);

std::vector<std::string> PhHeadings();

class PhRun {
  public:
    PhRun(const PhSettings& settings, ResultsTable& table, LogSink* log);
    void Step(const RawRecord& r);

  private:
    struct Point {
        std::uint32_t index = 0;
        double x = 0;  // A434
        double y = 0;  // A578
        double t = 0;
    };
    struct Sums {
        std::uint32_t n = 0;
        double x2 = 0, x3 = 0, x4 = 0, xy = 0, x2y = 0, t = 0;
    };

    void ProcessSample(const RawRecord& r);
    void FinishCycle();
    void LogPoint(const char* format, const Point& point);

    const PhSettings m_settings;
    ResultsTable& m_table;
    LogSink* const m_log;
    const std::uint32_t m_startIndex;
    const std::uint32_t m_endIndex;
    const double m_blankRows;

    std::uint8_t m_prevState = 255;
    std::uint32_t m_sampleIndex = 0;
    double m_ref434 = 0;
    double m_ref578 = 0;
    Point m_abs578Max, m_windowStart, m_windowEnd;
    Sums m_sums, m_snapshot;
    std::uint32_t m_sensorTime = 0;
    float m_salinity = 0;
    float m_temperature = 0;
    float m_oxygen = 0;
};

}  // namespace velacor::processing
