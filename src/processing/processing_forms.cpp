#include "processing/processing_forms.h"

#include "base/number_text.h"
#include "base/str_printf.h"
#include "processing/nutrient_processing.h"
#include "processing/raw_file.h"

namespace velacor::processing {

std::uint8_t ReadStateText(std::string_view text) {
    return static_cast<std::uint8_t>(base::ReadUnsignedText(text, 254));
}

std::string ConcentrationText(std::uint32_t stored) {
    return base::StrPrintf("%.3f", StoredToConcentration(stored));
}

std::string DilutionText(std::uint8_t nutrientType) {
    return base::StrPrintf("1:%.3f", OpticalCorrectionDilution(nutrientType));
}

std::string CrmValueText(float value) {
    return base::StrPrintf("%.2f", double{value} + 0.001);
}

NutrientEnabling NutrientEnablingOf(const protocol::NutrientProcessing& p) {
    NutrientEnabling e;
    e.standard1State = !(p.standardAdjustment == 1 && p.processingTrigger != 0);
    e.standard2State = !(p.standardAdjustment == 0 && p.processingTrigger != 1);
    e.standard1Conc = p.standardAdjustment != 1;
    e.standard2Conc = p.standardAdjustment != 0;
    e.opticalCorrection = p.opticalCorrection != 0;
    return e;
}

InletEnabling InletEnablingOf(std::uint8_t inletType) {
    InletEnabling e;
    e.intakeState = inletType == protocol::INLET_SAMPLE;
    e.measureState = inletType != protocol::INLET_UNUSED;
    e.crmValue = inletType == protocol::INLET_CRM;
    return e;
}

}  // namespace velacor::processing
