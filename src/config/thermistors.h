// "Configure Thermistors": the input channel and cubic coefficients of the three thermistors.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "config/editor_message.h"
#include "link/transactor.h"
#include "protocol/settings_records.h"

namespace velacor::config {

inline constexpr std::size_t THERMISTORS = 3;
using Thermistors = std::array<protocol::ThermistorConfig, THERMISTORS>;
inline constexpr const char* THERMISTORS_TITLE = "Thermistors Configuration";
inline const EditorMessage THERMISTORS_UNREADABLE{
    THERMISTORS_TITLE, "Unable to retrieve thermistors settings from device"};

struct ThermistorRow {
    int channel = 0;                   // list position of the input channel
    std::array<std::string, 4> coeff;  // volts^3, volts^2, volts, constant
};
using ThermistorsForm = std::array<ThermistorRow, THERMISTORS>;

// Reads thermistors 0, 1, 2 in order; the first failure ends it.
std::optional<Thermistors> LoadThermistors(link::Transactor& sensor);
ThermistorsForm ShowThermistors(const Thermistors& records);
// The form over the records it showed: byte 0 written as 0; text that does not parse gives 0;
// a coefficient still as shown keeps its value.
Thermistors ReadThermistors(const ThermistorsForm& form, const Thermistors& shown);
// Writes thermistors 0, 1, 2 in order (the first failure ends it), then loads them again;
// `records` then holds what was read back.
EditorMessage SaveThermistors(link::Transactor& sensor, Thermistors& records);

}  // namespace velacor::config
