#include "config/telemetry_editor.h"

#include "config/chemistry_editor.h"
#include "config/choice_lists.h"

namespace velacor::config {

namespace {

// The tab of a chemistry the editors have no page for.
const char* ChemistryName(std::uint8_t type) {
    constexpr const char* NAMES[] = {"Generic", "Nitrate", "Phosphate", "Silicate", "pH",
                                     "Nitrite", "Iron",    "TA",        "DIC",      "Ammonia"};
    return type < std::size(NAMES) ? NAMES[type] : "Unknown";
}

}  // namespace

TelemetryLoad LoadTelemetry(link::Transactor& sensor) {
    return LoadBlocksForEditor(
        sensor,
        {"Configure Telemetry", "Failed to load telemetry config: please see View/Compatibility",
         "Failed to load telemetry config"});
}

TelemetryForm ShowTelemetry(const TelemetryLoad& load) {
    TelemetryForm form;
    form.page = load.page;
    form.tabName = load.page ? load.page->tabName : ChemistryName(load.blocks.config.chemistryType);
    form.available = load.page != nullptr && load.page->kind == PageKind::Nutrient;
    for (std::size_t i = 0; i < form.parameter.size(); ++i)
        form.parameter[i] =
            base::IndexOfCode(TELEMETRY_PARAMETERS, load.blocks.nutrient.sampleParam[i]);
    return form;
}

void ReadTelemetry(const TelemetryForm& form, ChemistryBlocks& blocks) {
    if (!form.available)
        return;
    ReadNutrientPageConfig(form.page->code, blocks.config);
    for (std::size_t i = 0; i < form.parameter.size(); ++i)
        blocks.nutrient.sampleParam[i] =
            static_cast<std::uint8_t>(base::CodeAtIndex(TELEMETRY_PARAMETERS, form.parameter[i]));
}

EditorSave SaveTelemetry(link::Transactor& sensor, const TelemetryForm& form,
                         ChemistryBlocks& blocks) {
    // Older firmware keeps the 26-byte record, which has no room for P1..P3: nothing is
    // written rather than a save reported that stored nothing.
    if (!form.available || blocks.nutrient.recordForm == protocol::NUTRIENT_FORM_CONVERTED ||
        !SaveChemistryBlocks(sensor, *form.page, blocks))
        return {false, SAVE_FAILED};
    return {true, ProcessingSavedMessage(*form.page)};
}

}  // namespace velacor::config
