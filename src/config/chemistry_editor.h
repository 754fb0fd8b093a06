// "Configure Chemistry": the sensor's chemistry type, sample interval and multiplexer, and the
// processing record of its chemistry, on one page named after that chemistry. The dialog copies
// between its controls and ChemistryForm and calls these functions, nothing more.
#pragma once

#include <optional>

#include "config/chemistry_blocks.h"
#include "config/editor_message.h"

namespace velacor::config {

inline const EditorMessage CHEMISTRY_WARNING{
    "Warning", "Changing settings in this\nmenu can cause the\nsensor to malfunction"};

struct ChemistryForm {
    const ChemistryPage* page = &GenericPage();  // the one tab shown
    GenericPageForm generic;
    NutrientPageForm nutrient;
    PhPageForm ph;
};

using ChemistryLoad = BlocksLoad;
// Reads both blocks. A chemistry without a page opens the Generic page with its defaults (the
// start states included, so a Save then writes the default ones) after a message.
ChemistryLoad LoadChemistry(link::Transactor& sensor);

ChemistryForm ShowChemistry(const ChemistryPage& page, const ChemistryBlocks& blocks);
// The shown page into its part of ChemistryConfig and its processing record.
void ReadChemistry(const ChemistryForm& form, ChemistryBlocks& blocks);

struct ChemistryEnabling {
    bool save = true;  // and every control of the page but its Configure box
    NutrientPageEnabling nutrient;
};
ChemistryEnabling ChemistryEnablingOf(const ChemistryForm& form);

// Writes both blocks of `page`, reads them back and says how it went.
EditorSave SaveChemistry(link::Transactor& sensor, const ChemistryPage& page,
                         ChemistryBlocks& blocks);
// The text of a successful save: "%s Processing configuration saved".
EditorMessage ProcessingSavedMessage(const ChemistryPage& page);

}  // namespace velacor::config
