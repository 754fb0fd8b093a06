#include "processing/nutrient_processing.h"

#include "base/single_precision.h"

#include <cmath>

#include "base/str_printf.h"

namespace velacor::processing {
namespace {

using protocol::CHANNEL_NONE;
using protocol::PATH_LONG;
using protocol::PATH_MEDIUM;
using protocol::PATH_SHORT;

constexpr NutrientType NUTRIENT_TYPES[] = {
    {1, "Nitrate", "Process Raw Nitrate Data", "Nitrate (uM)"},
    {2, "Phosphate", "Process Raw Phosphate Data", "Phosphate (uM)"},
    {3, "Silicate", "Process Raw Silicate Data", "Silicate (uM)"},
    {5, "Nitrite", "Process Raw Nitrite Data", "Nitrite (uM)"},
    {6, "Iron", "Process Raw Iron Data", "Iron (uM)"},
};

constexpr double TINY = 1e-11;
constexpr int CHANNELS = 8;

// The paths in the order a cycle's result visits them.
constexpr int PATH_ORDER[] = {PATH_MEDIUM, PATH_SHORT, PATH_LONG};

const char* PathWord(int path) {
    switch (path) {
        case PATH_MEDIUM:
            return "medium";
        case PATH_SHORT:
            return "short";
        default:
            return "long";
    }
}

const char* PathName(int path) {
    switch (path) {
        case PATH_MEDIUM:
            return "Medium";
        case PATH_SHORT:
            return "Short";
        default:
            return "Long";
    }
}

// The P mapping codes that report each path's values.
struct PathCodes {
    std::uint8_t concentration, absorbance, blankIntensity, std1Absorbance;
};
PathCodes CodesOf(int path) {
    switch (path) {
        case PATH_MEDIUM:
            return {1, 4, 13, 17};
        case PATH_SHORT:
            return {5, 8, 14, 19};
        default:
            return {9, 12, 15, 21};
    }
}

}  // namespace

const NutrientType* FindNutrientType(std::uint8_t code) {
    for (const NutrientType& type : NUTRIENT_TYPES)
        if (type.code == code)
            return &type;
    return nullptr;
}

std::string CheckNutrientParameters(const protocol::NutrientProcessing& params) {
    for (int path : PATH_ORDER) {
        const unsigned measure = params.measureChannel[static_cast<std::size_t>(path)];
        const unsigned monitor = params.monitorChannel[static_cast<std::size_t>(path)];
        if (measure >= CHANNELS)
            return base::StrPrintf("The %s measure channel is %u: a channel must be one of 0 to 7.",
                                   PathName(path), measure);
        if (monitor >= CHANNELS && monitor != CHANNEL_NONE)
            return base::StrPrintf(
                "The %s monitor channel is %u: a channel must be one of 0 to 7, or None.",
                PathName(path), monitor);
    }
    return {};
}

// ---- the cycle ---------------------------------------------------------------------------

NutrientCycles::NutrientCycles(const protocol::NutrientProcessing& params,
                               std::uint8_t nutrientType, LogSink* log)
    : m_params(params), m_log(log), m_dilution(protocol::OpticalCorrectionDilution(nutrientType)) {}

bool NutrientCycles::IsMeasurementState(std::uint8_t state) const {
    const auto& p = m_params;
    return state == p.blankMeasureState || state == p.sampleMeasureState ||
           state == p.standard1State || state == p.standard2State ||
           state == p.opticalCorrBlankState || state == p.opticalCorrSampleState;
}

void NutrientCycles::Accumulate(const RawRecord& r) {
    if (m_count >= WINDOW_ROW_LIMIT)
        return;
    ++m_count;
    for (int c = 0; c < CHANNELS; ++c)
        m_sums[static_cast<std::size_t>(c)] += r.channel[c];
}

void NutrientCycles::Step(const RawRecord& r) {
    const auto& p = m_params;
    if (r.state != m_prevState) {
        // A standard whose adjustment does not use it only counts when it is the trigger.
        const bool std1Used = !(p.standardAdjustment == 1 && p.processingTrigger != 0);
        const bool std2Used = !(p.standardAdjustment == 0 && p.processingTrigger != 1);
        const bool correction = p.opticalCorrection != 0;
        const std::uint8_t prev = m_prevState;

        struct Closing {
            int kind;
            int firesOn;  // the trigger that completes the cycle here; -1 never
            const char* what;
        };
        std::optional<Closing> closing;
        if (prev == p.blankMeasureState)
            closing = Closing{KIND_BLANK, 3, "blank"};
        else if (prev == p.sampleMeasureState)
            closing = Closing{KIND_SAMPLE, 2, "sample"};
        else if (std1Used && prev == p.standard1State)
            closing = Closing{KIND_STANDARD1, 0, "standard1"};
        else if (std2Used && prev == p.standard2State)
            closing = Closing{KIND_STANDARD2, 1, "standard2"};
        else if (correction && prev == p.opticalCorrBlankState)
            closing = Closing{KIND_OC_BLANK, -1, "optical correction blank"};
        else if (correction && prev == p.opticalCorrSampleState)
            closing = Closing{KIND_OC_SAMPLE, -1, "optical correction sample"};
        if (closing) {
            Log(m_log, "exited %s measurement state (%u)", closing->what, prev);
            if (m_count > 0)
                for (std::size_t c = 0; c < CHANNELS; ++c)
                    m_avg[c][static_cast<std::size_t>(closing->kind)] = m_sums[c] / m_count;
            if (closing->firesOn >= 0 && p.processingTrigger == closing->firesOn)
                CompleteCycle();
        }
        if (r.state == p.sampleIntakeState) {
            Log(m_log, "entered sample intake state");
            m_intake.platformTime = r.platformTime;
            m_intake.sensorTime = r.sensorTime;
            m_intake.salinity = base::Single(r.platformSalinity);
            m_intake.temperature = base::Single(r.platformTemperature);
            m_intake.depth = base::Single(r.platformDepth);
            StartCycle();
        }
        if (IsMeasurementState(r.state)) {
            Log(m_log, "entering a measurement state (%u)", r.state);
            m_sums.fill(0);
            m_count = 0;
        }
    }
    Accumulate(r);
    m_prevState = r.state;
}

double NutrientCycles::BlankAverage(int path) const {
    return m_avg[m_params.measureChannel[static_cast<std::size_t>(path)]][KIND_BLANK];
}

PathResult NutrientCycles::Concentration(int path) {
    const auto& p = m_params;
    const double c1 = p.standard1Conc / 1000.0;
    const double c2 = p.standard2Conc / 1000.0;
    const auto& m = m_avg[p.measureChannel[static_cast<std::size_t>(path)]];
    const double blank = m[KIND_BLANK];
    double sample = m[KIND_SAMPLE];
    double std1 = m[KIND_STANDARD1];
    double std2 = m[KIND_STANDARD2];
    const double ocBlank = m[KIND_OC_BLANK];
    double ocSample = m[KIND_OC_SAMPLE];

    // Drift of the light source, seen on the monitoring channel, is divided out.
    const std::uint8_t monitor = p.monitorChannel[static_cast<std::size_t>(path)];
    if (monitor != CHANNEL_NONE) {
        const auto& n = m_avg[monitor];
        const auto correct = [](double& value, double numerator, double divisor) {
            if (std::fabs(divisor) > TINY)
                value = value * numerator / divisor;
        };
        correct(sample, n[KIND_BLANK], n[KIND_SAMPLE]);
        correct(std1, n[KIND_BLANK], n[KIND_STANDARD1]);
        correct(std2, n[KIND_BLANK], n[KIND_STANDARD2]);
        correct(ocSample, n[KIND_OC_BLANK], n[KIND_OC_SAMPLE]);
    }
    const double ocAbs = (p.opticalCorrection == 1 && ocBlank > 0 && ocSample > 0)
                             ? -std::log10(ocSample / ocBlank)
                             : 0.0;

    PathResult result;
    if (blank <= 0 || sample <= 0)
        return result;
    const double a = -std::log10(sample / blank) - ocAbs / m_dilution;
    switch (p.standardAdjustment) {
        case 0: {
            if (!(std1 > 0))
                return result;
            const double a1 = -std::log10(std1 / blank);
            Log(m_log, "nutrient = (%f / %f) * %f", a, a1, c1);
            result = {true, (a / a1) * c1, a, a1, 0.0};
            break;
        }
        case 1: {
            if (!(std2 > 0))
                return result;
            const double a2 = -std::log10(std2 / blank);
            Log(m_log, "nutrient = (%f / %f) * %f", a, a2, c2);
            result = {true, (a / a2) * c2, a, 0.0, a2};
            break;
        }
        case 2: {
            // A line through the origin fitted to the two standards by least squares.
            if (!(std1 > 0 && std2 > 0))
                return result;
            const double a1 = -std::log10(std1 / blank);
            const double a2 = -std::log10(std2 / blank);
            const double d = c1 * c1 + c2 * c2;
            if (!(std::fabs(d) > TINY))
                return result;
            const double k = (a1 * c1 + a2 * c2) / d;
            if (!(std::fabs(k) > TINY))
                return result;
            Log(m_log, "nutrient = (%f - %f) / %f", a, 0.0, k);
            result = {true, (a - 0.0) / k, a, a1, a2};
            break;
        }
        default:
            Log(m_log, "Unknown nutrient standard ajustment %u", p.standardAdjustment);
            break;
    }
    return result;
}

PathResult NutrientCycles::ComputePath(int path) {
    const PathResult result = Concentration(path);
    if (result.ok)
        Log(m_log, "processed nutrient result (%s) at %u = %f", PathWord(path),
            m_intake.platformTime, result.concentration);
    else
        Log(m_log, "processed nutrient result (%s) at %u failed", PathWord(path),
            m_intake.platformTime);
    return result;
}

// ---- single file -------------------------------------------------------------------------

NutrientRun::NutrientRun(const protocol::NutrientProcessing& params, std::uint8_t nutrientType,
                         ResultsTable& table, LogSink* log)
    : NutrientCycles(params, nutrientType, log), m_table(table) {}

void NutrientRun::StartCycle() {
    m_value = 0;
    m_p.fill(0);
}

void NutrientRun::CompleteCycle() {
    for (int path : PATH_ORDER) {
        const PathResult result = ComputePath(path);
        if (!result.ok)
            continue;
        m_stored[static_cast<std::size_t>(path)] = result;
        if (m_params.outputChannel == path)
            m_value = result.concentration;
        const PathCodes codes = CodesOf(path);
        for (std::size_t i = 0; i < 3; ++i) {
            const std::uint8_t code = m_params.sampleParam[i];
            if (code == codes.concentration)
                m_p[i] = base::Single(result.concentration);
            else if (code == codes.absorbance)
                m_p[i] = base::Single(result.sampleAbs);
            else if (code == codes.std1Absorbance)
                m_p[i] = base::Single(result.std1Abs);
            else if (code == codes.blankIntensity)
                m_p[i] = base::Single(BlankAverage(path));
        }
    }
    ResultRow row{FormatTimeCell(m_intake.platformTime), FormatTimeCell(m_intake.sensorTime),
                  FixedCell(m_value, 3)};
    for (float p : m_p)
        row.push_back(FixedCell(p, 3));
    row.push_back(FixedCell(m_intake.depth, 2));
    row.push_back(FixedCell(m_intake.salinity, 3));
    row.push_back(FixedCell(m_intake.temperature, 3));
    for (int path : PATH_ORDER) {
        const PathResult& stored = m_stored[static_cast<std::size_t>(path)];
        row.push_back(FixedCell(stored.sampleAbs, 6));
        row.push_back(FixedCell(stored.std1Abs, 6));
        row.push_back(FixedCell(stored.std2Abs, 6));
    }
    m_table.AddRow(std::move(row));
}

// ---- one of several files ----------------------------------------------------------------

MultiNutrientRun::MultiNutrientRun(const protocol::NutrientProcessing& params,
                                   std::uint8_t nutrientType, std::string sensorName,
                                   ResultsTable& table, LogSink* log)
    : NutrientCycles(params, nutrientType, log),
      m_sensorName(std::move(sensorName)),
      m_table(table) {}

void MultiNutrientRun::CompleteCycle() {
    ResultRow row{FormatTimeCell(m_intake.platformTime), FormatTimeCell(m_intake.sensorTime)};
    for (int path : PATH_ORDER) {
        const PathResult result = ComputePath(path);
        row.push_back(FixedCell(result.ok ? base::Single(result.concentration) : 0.0f, 3));
    }
    row.push_back(FixedCell(m_intake.depth, 2));
    row.push_back(FixedCell(m_intake.salinity, 3));
    row.push_back(FixedCell(m_intake.temperature, 3));
    row.push_back(m_sensorName);
    m_table.AddRow(std::move(row));
}

// ---- headings ----------------------------------------------------------------------------

std::vector<std::string> InitialNutrientHeadings() {
    return {"Time (platform)",
            "Time (sensor)",
            "Nutrient Value (uM)",
            "P1",
            "P2",
            "P3",
            "Depth (m)",
            "S (PSU)",
            "T (degC)",
            "Absorbance (Sample.M)",
            "Absorbance (Std1.M)",
            "Absorbance (Std2.M)",
            "Absorbance (Sample.S)",
            "Absorbance (Std1.S)",
            "Absorbance (Std2.S)",
            "Absorbance (Sample.L)",
            "Absorbance (Std1.L)",
            "Absorbance (Std2.L)"};
}

namespace {

// What a Nitrate P heading says after "Pn - "; P2 and P3 abbreviate "Blank" to "Blnk".
const char* MappingHeading(std::uint8_t code, bool firstParam) {
    switch (code) {
        case 1:
            return "Medium Ch Conc";
        case 4:
            return "Medium Ch Abs";
        case 17:
            return "Medium Std1 Abs";
        case 5:
            return "Short Ch Conc";
        case 8:
            return "Short Ch Abs";
        case 19:
            return "Short Std1 Abs";
        case 9:
            return "Long Ch Conc";
        case 12:
            return "Long Ch Abs";
        case 21:
            return "Long Std1 Abs";
        case 13:
            return firstParam ? "Medium Blank Int" : "Medium Blnk Int";
        case 14:
            return firstParam ? "Short Blank Int" : "Short Blnk Int";
        case 15:
            return firstParam ? "Long Blank Int" : "Long Blnk Int";
        default:
            return nullptr;
    }
}

constexpr std::size_t VALUE_COLUMN = 2;
constexpr std::size_t FIRST_P_COLUMN = 3;

}  // namespace

void ApplyNutrientHeadings(std::vector<std::string>& headings, std::uint8_t nutrientType,
                           const std::array<std::uint8_t, 3>& sampleParam) {
    const NutrientType* type = FindNutrientType(nutrientType);
    if (type == nullptr || headings.size() < FIRST_P_COLUMN + 3)
        return;
    headings[VALUE_COLUMN] = type->valueHeading;
    if (nutrientType != protocol::CHEMISTRY_NITRATE)
        return;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string name = "P" + std::to_string(i + 1);
        if (sampleParam[i] == 0)
            headings[FIRST_P_COLUMN + i] = name;
        else if (const char* what = MappingHeading(sampleParam[i], i == 0))
            headings[FIRST_P_COLUMN + i] = name + " - " + what;
    }
}

std::vector<std::string> MultiNutrientHeadings() {
    return {"Time (platform)",
            "Time (sensor)",
            "Nutrient (Medium:uM)",
            "Nutrient (Short:uM)",
            "Nutrient (Long:uM)",
            "Depth (m)",
            "S (PSU)",
            "T (degC)",
            "Sensor Name"};
}

}  // namespace velacor::processing
