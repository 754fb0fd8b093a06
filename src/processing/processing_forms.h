// The rules of the processing dialogs' parameter fields, kept apart from the widgets: how a
// field's text reads into a record, how a value is shown, and which fields are enabled.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/value_table.h"
#include "protocol/chemistry_records.h"

namespace velacor::processing {

// A state field: an unsigned number (base/number_text.h) limited to at most 254.
std::uint8_t ReadStateText(std::string_view text);

// "%.3f" of a stored concentration (µM x 1000), as the nutrient dialog shows it.
std::string ConcentrationText(std::uint32_t stored);
// "1:%.3f": the nutrient type's optical-correction dilution.
std::string DilutionText(std::uint8_t nutrientType);
// A CRM value as the DIC dialog shows it: "%.2f" of the value plus 0.001.
std::string CrmValueText(float value);

// Lists every processing dialog shows.
inline constexpr base::ValueEntry SENSOR_VERSIONS[] = {{0, "None"}};
inline constexpr base::ValueEntry INPUT_CHANNELS[] = {{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"},
                                                      {4, "4"}, {5, "5"}, {6, "6"}, {7, "7"}};

struct NutrientEnabling {
    bool standard1State = true;
    bool standard2State = true;
    bool standard1Conc = true;
    bool standard2Conc = true;
    bool opticalCorrection = true;  // the dilution field and both optical-correction states
};
// A standard's state is needed when the adjustment uses it or it is the trigger; its
// concentration whenever the adjustment may use it.
NutrientEnabling NutrientEnablingOf(const protocol::NutrientProcessing& params);

struct InletEnabling {
    bool intakeState = false;   // Sample inlets only
    bool measureState = false;  // any used inlet
    bool crmValue = false;      // CRM inlets only
};
InletEnabling InletEnablingOf(std::uint8_t inletType);

}  // namespace velacor::processing
