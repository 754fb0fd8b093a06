#include "config/field_rules.h"

#include <algorithm>

#include "base/number_text.h"
#include "base/str_printf.h"
#include "protocol/chemistry_records.h"

namespace velacor::config {

std::uint8_t ReadStateText(std::string_view text) {
    return static_cast<std::uint8_t>(base::ReadUnsignedText(text, protocol::STATE_MAX));
}

std::uint32_t ReadClampedText(std::string_view text, std::uint32_t low, std::uint32_t high) {
    return std::clamp(base::ReadUnsignedText(text), low, high);
}

float ReadSingleText(std::string_view text, float shown) {
    return text == SingleText(shown) ? shown : base::ReadSingleText(text);
}

std::uint32_t ReadConcentrationText(std::string_view text, std::uint32_t shown) {
    return text == ConcentrationText(shown)
               ? shown
               : protocol::ConcentrationToStored(base::ReadDecimalText(text));
}

std::string SingleText(float value) {
    return base::StrPrintf("%.5f", double{value});
}

std::string ConcentrationText(std::uint32_t stored) {
    return base::StrPrintf("%.3f", protocol::StoredToConcentration(stored));
}

std::string DilutionText(std::uint8_t chemistryType) {
    return base::StrPrintf("1:%.3f", protocol::OpticalCorrectionDilution(chemistryType));
}

}  // namespace velacor::config
