// The two chemistry blocks as the chemistry and telemetry editors load and save them:
// ChemistryConfig (0x90/0x91) and the processing record of the sensor's chemistry (0x92/0x93,
// with the older 26-byte nutrient form handled by the protocol). Exchanges run on the caller's
// thread.
#pragma once

#include <optional>

#include "config/chemistry_pages.h"
#include "config/editor_message.h"
#include "link/transactor.h"
#include "protocol/chemistry_records.h"

namespace velacor::config {

struct ChemistryBlocks {
    protocol::ChemistryConfig config;
    // The processing record of the page's kind; the other two are left as they were.
    protocol::GenericProcessing generic = DefaultGenericProcessing();
    protocol::NutrientProcessing nutrient = DefaultNutrientProcessing();
    protocol::PhProcessing ph = DefaultPhProcessing();
};

// A page's defaults in both blocks.
ChemistryBlocks DefaultBlocks(const ChemistryPage& page);

enum class LoadResult { Loaded, NoPage, Failed };
// Reads ChemistryConfig, finds the page of its chemistry and reads that page's processing record
// with its length. `page` is set when the result is Loaded.
LoadResult LoadChemistryBlocks(link::Transactor& sensor, ChemistryBlocks& blocks,
                               const ChemistryPage*& page);
// What an editor of both blocks opens with.
struct BlocksLoad {
    bool open = false;                     // false: the message is shown and the editor closes
    std::optional<EditorMessage> message;  // shown before the editor opens
    const ChemistryPage* page = nullptr;   // nullptr: the chemistry has no page
    ChemistryBlocks blocks;
};
// The editors' texts for a chemistry without a page (the editor still opens) and for a failed
// read (it closes), both under `title`.
struct LoadTexts {
    const char* title;
    const char* noPage;
    const char* failed;
};
BlocksLoad LoadBlocksForEditor(link::Transactor& sensor, const LoadTexts& texts);

// Writes ChemistryConfig, then `page`'s processing record with its length, then reads both back
// into `blocks`. True when all of it succeeded and the sensor still shows `page`'s chemistry;
// `blocks` is left as given otherwise.
bool SaveChemistryBlocks(link::Transactor& sensor, const ChemistryPage& page,
                         ChemistryBlocks& blocks);

}  // namespace velacor::config
