// The pages of the chemistry editors: what each page's controls hold (texts, list positions,
// ticks), how a record shows on a page and how a page reads back into its records, which
// controls a page enables, and each page's defaults. The processing dialogs show the nutrient
// and pH pages too, without the "Configure Sensor For" box.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "protocol/chemistry_records.h"

namespace velacor::config {

enum class PageKind { Generic, Nutrient, Ph };

// A chemistry an editor has a page for, and the name of its tab.
struct ChemistryPage {
    std::uint8_t code;
    const char* tabName;
    PageKind kind;
};
// Generic, Nitrate, Phosphate, Silicate, Iron and pH; nullptr for Nitrite, TA, DIC, Ammonia and
// codes that name no chemistry.
const ChemistryPage* FindChemistryPage(std::uint8_t chemistryType);
const ChemistryPage& GenericPage();
// "Configure Sensor For Nitrate" and so on.
std::string ConfigureBoxText(std::uint8_t chemistryType);

struct GenericPageForm {
    bool configure = true;
    std::string sampleInterval;
    std::string intakeState;
    std::string measureState;
    std::array<std::string, 8> scale;  // channel 0 first
    std::array<std::string, 8> offset;
};

struct NutrientPageForm {
    bool configure = true;
    int sensorVersion = 0;
    std::array<int, 3> measure{};  // list positions, by optical path (0 Long, 1 Medium, 2 Short)
    std::array<int, 3> monitor{};
    int output = 0;
    std::string intakeState;
    std::string sampleState;
    std::string blankState;
    int adjustment = 0;
    std::string standard1State;
    std::string standard2State;
    std::string standard1Conc;
    std::string standard2Conc;
    int trigger = 0;
    bool opticalCorrection = false;
    std::string dilution;  // shown only
    std::string ocSampleState;
    std::string ocBlankState;
};

struct PhPageForm {
    bool configure = true;
    std::string sampleInterval;
    int multiplexer = 0;
    int sensorVersion = 0;
    int blueChannel = 0;
    int yellowChannel = 0;
    std::string intakeState;
    std::string measureState;
    std::string blankStart;
    std::string blankEnd;
    std::string absorbanceMinBlue;
    std::string absorbanceMaxYellow;
    std::string dpHdT;
    std::string rScale;
    std::string rOffset;
    std::string thermistor1Scale;
    std::string thermistor2Scale;
};

GenericPageForm ShowGenericPage(const protocol::ChemistryConfig& config,
                                const protocol::GenericProcessing& record);
NutrientPageForm ShowNutrientPage(const protocol::NutrientProcessing& record,
                                  std::uint8_t chemistryType);
PhPageForm ShowPhPage(const protocol::PhProcessing& record, std::uint32_t sampleIntervalMs,
                      std::uint8_t multiplexer);

// Reading a page back into the record it showed. The Generic record is cleared first; the
// nutrient record keeps its telemetry bytes and takes form 2 and the output channel's
// monitoring channel; the pH record takes form 1. A decimal field whose text is still as shown
// keeps the record's value (field_rules.h). Each page also fills its part of ChemistryConfig (type,
// sample interval, multiplexer), every other byte staying as it was.
void ReadGenericPage(const GenericPageForm& form, protocol::ChemistryConfig& config,
                     protocol::GenericProcessing& record);
void ReadNutrientPage(const NutrientPageForm& form, protocol::NutrientProcessing& record);
void ReadNutrientPageConfig(std::uint8_t chemistryType, protocol::ChemistryConfig& config);
void ReadPhPage(const PhPageForm& form, protocol::PhProcessing& record);
void ReadPhPageConfig(const PhPageForm& form, protocol::ChemistryConfig& config);

// The editors clamp the sample interval of the Generic and pH pages to this range.
inline constexpr std::uint32_t SAMPLE_INTERVAL_MIN_MS = 100;
inline constexpr std::uint32_t SAMPLE_INTERVAL_MAX_MS = 1000;
inline constexpr std::uint32_t NUTRIENT_SAMPLE_INTERVAL_MS = 1000;

struct NutrientPageEnabling {
    bool page = true;  // every control but the Configure box
    bool standard1State = true;
    bool standard2State = true;
    bool standard1Conc = true;
    bool standard2Conc = true;
    bool opticalCorrection = true;  // the dilution and both optical-correction states
};
// A standard's state is needed when the adjustment uses it or it is the trigger; its
// concentration whenever the adjustment may use it. An unticked Configure box disables all.
NutrientPageEnabling NutrientPageEnablingOf(const NutrientPageForm& form);

// Each page's defaults, for a sensor whose own values cannot be used.
protocol::ChemistryConfig DefaultPageConfig(const ChemistryPage& page);
protocol::GenericProcessing DefaultGenericProcessing();
protocol::NutrientProcessing DefaultNutrientProcessing();
protocol::PhProcessing DefaultPhProcessing();

}  // namespace velacor::config
