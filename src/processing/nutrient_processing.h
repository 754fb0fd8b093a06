// Nutrient processing: a measurement cycle fills the optical cell in turn with a blank, the
// sample, one or two standards (and optionally an optical-correction blank and sample); each
// channel's intensity is averaged over each measurement state, and when the state chosen as the
// processing trigger is left, the averages become absorbances and a concentration on each of
// the three optical paths.
//
// NutrientCycles holds the state of one run fed row by row; NutrientRun (the single-file
// dialog) and MultiNutrientRun (several files, one table) differ only in what a cycle's result
// row holds. Engines are used by one thread at a time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "processing/raw_row.h"
#include "processing/results.h"
#include "protocol/chemistry_records.h"

namespace velacor::processing {

enum WindowKind {
    KIND_BLANK,
    KIND_SAMPLE,
    KIND_STANDARD1,
    KIND_STANDARD2,
    KIND_OC_BLANK,
    KIND_OC_SAMPLE,
    KIND_COUNT
};

inline constexpr std::uint8_t OUTPUT_ADAPTIVE = 254;
inline constexpr std::uint32_t WINDOW_ROW_LIMIT = 1'000'000;  // rows averaged per window

// The nutrient types and what they change: the dialog title, the value column heading and the
// dilution of the optical-correction absorbance (protocol::OpticalCorrectionDilution).
struct NutrientType {
    std::uint8_t code;
    const char* name;
    const char* title;
    const char* valueHeading;
};
// The type with `code`, or nothing for a code that names no nutrient.
const NutrientType* FindNutrientType(std::uint8_t code);

// A problem with the parameters that would make processing read outside a row; empty when
// none. Monitoring channels may be 255 (none).
std::string CheckNutrientParameters(const protocol::NutrientProcessing& params);

struct PathResult {
    bool ok = false;
    double concentration = 0;
    double sampleAbs = 0;
    double std1Abs = 0;
    double std2Abs = 0;
};

// The values taken from the row that enters the sample intake state.
struct IntakeCapture {
    std::uint32_t platformTime = 0;
    std::uint32_t sensorTime = 0;
    float salinity = 0;
    float temperature = 0;
    float depth = 0;
};

class NutrientCycles {
  public:
    NutrientCycles(const protocol::NutrientProcessing& params, std::uint8_t nutrientType,
                   LogSink* log);
    virtual ~NutrientCycles() = default;

    void Step(const RawRecord& r);

  protected:
    // The trigger state was left: the cycle is complete.
    virtual void CompleteCycle() = 0;
    // The sample intake state was entered (after `intake` was captured).
    virtual void StartCycle() {}

    // Absorbances and concentration of one path (PATH_LONG, PATH_MEDIUM, PATH_SHORT) from the
    // current averages; logs the computation and, as the path ends, its result or failure.
    PathResult ComputePath(int path);
    double BlankAverage(int path) const;

    const protocol::NutrientProcessing m_params;
    LogSink* const m_log;
    IntakeCapture m_intake;

  private:
    PathResult Concentration(int path);
    void Accumulate(const RawRecord& r);
    bool IsMeasurementState(std::uint8_t state) const;

    double m_dilution;
    std::uint8_t m_prevState = 255;
    std::uint32_t m_count = 0;
    std::array<double, 8> m_sums{};
    std::array<std::array<double, KIND_COUNT>, 8> m_avg{};
};

// One file, the single-file dialog's table: value, P1..P3 and the nine path absorbances.
class NutrientRun final : public NutrientCycles {
  public:
    NutrientRun(const protocol::NutrientProcessing& params, std::uint8_t nutrientType,
                ResultsTable& table, LogSink* log);

  private:
    void CompleteCycle() override;
    void StartCycle() override;

    ResultsTable& m_table;
    double m_value = 0;
    std::array<float, 3> m_p{};
    // The last successful absorbances of each path (indexed by path), kept across cycles.
    std::array<PathResult, 3> m_stored{};
};

// One file of several: each path's concentration in its own column, and the sensor's name.
class MultiNutrientRun final : public NutrientCycles {
  public:
    MultiNutrientRun(const protocol::NutrientProcessing& params, std::uint8_t nutrientType,
                     std::string sensorName, ResultsTable& table, LogSink* log);

  private:
    void CompleteCycle() override;

    std::string m_sensorName;
    ResultsTable& m_table;
};

// The column headings before any nutrient type is applied.
std::vector<std::string> InitialNutrientHeadings();
// Sets the headings for a nutrient type: the value column takes the type's heading and, for
// Nitrate only, the P1..P3 headings name what each mapping reports. Other types leave the
// headings as they stand, so a P heading set for Nitrate stays when the type changes.
void ApplyNutrientHeadings(std::vector<std::string>& headings, std::uint8_t nutrientType,
                           const std::array<std::uint8_t, 3>& sampleParam);
std::vector<std::string> MultiNutrientHeadings();

}  // namespace velacor::processing
