#include "config/chemistry_blocks.h"

#include "protocol/chemistry_commands.h"

namespace velacor::config {

namespace {

using protocol::STATUS_OK;

int ReadPageRecord(link::Transactor& sensor, const ChemistryPage& page, ChemistryBlocks& b) {
    switch (page.kind) {
        case PageKind::Generic:
            return protocol::ReadProcessing(sensor, page.code, b.generic);
        case PageKind::Nutrient:
            return protocol::ReadProcessing(sensor, page.code, b.nutrient);
        case PageKind::Ph:
            return protocol::ReadProcessing(sensor, page.code, b.ph);
    }
    return protocol::RESULT_TRANSPORT_FAILURE;
}

int WritePageRecord(link::Transactor& sensor, const ChemistryPage& page, const ChemistryBlocks& b) {
    switch (page.kind) {
        case PageKind::Generic:
            return protocol::WriteProcessing(sensor, page.code, b.generic);
        case PageKind::Nutrient:
            return protocol::WriteProcessing(sensor, page.code, b.nutrient);
        case PageKind::Ph:
            return protocol::WriteProcessing(sensor, page.code, b.ph);
    }
    return protocol::RESULT_TRANSPORT_FAILURE;
}

}  // namespace

ChemistryBlocks DefaultBlocks(const ChemistryPage& page) {
    ChemistryBlocks blocks;
    blocks.config = DefaultPageConfig(page);
    return blocks;
}

LoadResult LoadChemistryBlocks(link::Transactor& sensor, ChemistryBlocks& blocks,
                               const ChemistryPage*& page) {
    ChemistryBlocks read = blocks;
    if (protocol::ReadChemistryConfig(sensor, read.config) != STATUS_OK)
        return LoadResult::Failed;
    const ChemistryPage* found = FindChemistryPage(read.config.chemistryType);
    if (found == nullptr) {
        blocks.config = read.config;
        return LoadResult::NoPage;
    }
    if (ReadPageRecord(sensor, *found, read) != STATUS_OK)
        return LoadResult::Failed;
    blocks = read;
    page = found;
    return LoadResult::Loaded;
}

BlocksLoad LoadBlocksForEditor(link::Transactor& sensor, const LoadTexts& texts) {
    BlocksLoad load;
    switch (LoadChemistryBlocks(sensor, load.blocks, load.page)) {
        case LoadResult::Loaded:
            load.open = true;
            break;
        case LoadResult::NoPage:
            load.open = true;
            load.message = EditorMessage{texts.title, texts.noPage};
            break;
        case LoadResult::Failed:
            load.message = EditorMessage{texts.title, texts.failed};
            break;
    }
    return load;
}

bool SaveChemistryBlocks(link::Transactor& sensor, const ChemistryPage& page,
                         ChemistryBlocks& blocks) {
    if (protocol::WriteChemistryConfig(sensor, blocks.config) != STATUS_OK ||
        WritePageRecord(sensor, page, blocks) != STATUS_OK)
        return false;
    const ChemistryPage* readPage = nullptr;
    ChemistryBlocks readBack = blocks;
    if (LoadChemistryBlocks(sensor, readBack, readPage) != LoadResult::Loaded ||
        readPage->code != page.code)
        return false;
    blocks = readBack;
    return true;
}

}  // namespace velacor::config
