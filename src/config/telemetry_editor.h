// "Configure Telemetry Parameters": which three results a nutrient sensor sends its platform as
// P1..P3 (bytes 29..31 of its processing record). Loaded and saved like the chemistry editor;
// Generic, pH and chemistries without a page show "Not Available" and cannot be saved.
#pragma once

#include <array>
#include <optional>

#include "config/chemistry_blocks.h"
#include "config/editor_message.h"

namespace velacor::config {

inline constexpr const char* TELEMETRY_NOT_AVAILABLE_TEXT =
    "There are currently no diagnostic parameters for this chemistry";

struct TelemetryForm {
    const ChemistryPage* page = nullptr;  // nullptr: a chemistry without a page
    std::string tabName;
    bool available = false;          // the nutrient page; otherwise "Not Available"
    std::array<int, 3> parameter{};  // list positions of P1..P3
};

using TelemetryLoad = BlocksLoad;
TelemetryLoad LoadTelemetry(link::Transactor& sensor);

TelemetryForm ShowTelemetry(const TelemetryLoad& load);
// Only the nutrient record's telemetry bytes change; the page's part of ChemistryConfig is
// its chemistry, 1000 ms and no multiplexer. A record the sensor keeps in the older 26-byte
// form cannot hold them: its save fails without writing.
void ReadTelemetry(const TelemetryForm& form, ChemistryBlocks& blocks);
inline bool TelemetrySaveEnabled(const TelemetryForm& form) {
    return form.available;
}
EditorSave SaveTelemetry(link::Transactor& sensor, const TelemetryForm& form,
                         ChemistryBlocks& blocks);

}  // namespace velacor::config
