#include "processing/processing_forms.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "base/str_printf.h"
#include "processing/nutrient_processing.h"
#include "processing/raw_file.h"

namespace velacor::processing {

std::uint32_t ReadUnsignedText(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return 0;
    std::uint64_t value = 0;
    for (const char c : text.substr(start)) {
        if (c < '0' || c > '9')
            break;
        value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'),
                                        std::numeric_limits<std::uint32_t>::max());
    }
    return static_cast<std::uint32_t>(value);
}

std::uint8_t ReadStateText(std::string_view text) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(ReadUnsignedText(text), 254));
}

double ReadDecimalText(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() ? 0.0 : value;
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
