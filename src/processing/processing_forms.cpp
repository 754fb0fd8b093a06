#include "processing/processing_forms.h"

#include "base/str_printf.h"
#include "protocol/chemistry_records.h"

namespace velacor::processing {

std::string CrmValueText(float value) {
    return base::StrPrintf("%.2f", double{value} + 0.001);
}

InletEnabling InletEnablingOf(std::uint8_t inletType) {
    InletEnabling e;
    e.intakeState = inletType == protocol::INLET_SAMPLE;
    e.measureState = inletType != protocol::INLET_UNUSED;
    e.crmValue = inletType == protocol::INLET_CRM;
    return e;
}

}  // namespace velacor::processing
