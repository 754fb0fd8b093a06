// How the editors' text fields read into record fields and how record fields are shown: one
// copy of each rule, used by the configuration editors and the processing dialogs alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velacor::config {

// A state field: an unsigned number limited to 254 (255 would mean "none").
std::uint8_t ReadStateText(std::string_view text);
// An unsigned number brought into [low, high].
std::uint32_t ReadClampedText(std::string_view text, std::uint32_t low, std::uint32_t high);
// A decimal field and a concentration field (typed in µM, stored times 1000, truncated toward
// zero) that showed `shown`: text still as it was shown reads back as `shown` itself, so that
// saving what nobody edited never rounds a sensor's value to the digits shown; other text is
// read by base::ReadSingleText and protocol::ConcentrationToStored.
float ReadSingleText(std::string_view text, float shown);
std::uint32_t ReadConcentrationText(std::string_view text, std::uint32_t shown);

// "%.5f", the format of every single-precision field.
std::string SingleText(float value);
// "%.3f" of a stored concentration (µM x 1000).
std::string ConcentrationText(std::uint32_t stored);
// "1:%.3f", the optical-correction dilution of a chemistry.
std::string DilutionText(std::uint8_t chemistryType);
inline std::string NumberText(std::uint32_t value) {
    return std::to_string(value);
}

}  // namespace velacor::config
