// The rules of the TA and DIC dialogs' fields that the chemistry pages (config/) do not share:
// how a CRM value shows and which inlet fields are enabled.
#pragma once

#include <cstdint>
#include <string>

namespace velacor::processing {

// A CRM value as the DIC dialog shows it: "%.2f" of the value plus 0.001.
std::string CrmValueText(float value);

struct InletEnabling {
    bool intakeState = false;   // Sample inlets only
    bool measureState = false;  // any used inlet
    bool crmValue = false;      // CRM inlets only
};
InletEnabling InletEnablingOf(std::uint8_t inletType);

}  // namespace velacor::processing
