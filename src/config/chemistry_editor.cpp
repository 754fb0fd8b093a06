#include "config/chemistry_editor.h"

#include "base/str_printf.h"

namespace velacor::config {

ChemistryLoad LoadChemistry(link::Transactor& sensor) {
    ChemistryLoad load = LoadBlocksForEditor(
        sensor,
        {"Configure Chemistry", "Failed to load chemistry config: please see View/Compatibility",
         "Failed to load chemistry config"});
    if (load.open && load.page == nullptr) {
        load.page = &GenericPage();
        load.blocks = DefaultBlocks(GenericPage());
    }
    return load;
}

ChemistryForm ShowChemistry(const ChemistryPage& page, const ChemistryBlocks& blocks) {
    ChemistryForm form;
    form.page = &page;
    switch (page.kind) {
        case PageKind::Generic:
            form.generic = ShowGenericPage(blocks.config, blocks.generic);
            break;
        case PageKind::Nutrient:
            form.nutrient = ShowNutrientPage(blocks.nutrient, page.code);
            break;
        case PageKind::Ph:
            form.ph =
                ShowPhPage(blocks.ph, blocks.config.sampleIntervalMs, blocks.config.multiplexer);
            break;
    }
    return form;
}

void ReadChemistry(const ChemistryForm& form, ChemistryBlocks& blocks) {
    switch (form.page->kind) {
        case PageKind::Generic:
            ReadGenericPage(form.generic, blocks.config, blocks.generic);
            break;
        case PageKind::Nutrient:
            ReadNutrientPage(form.nutrient, blocks.nutrient);
            ReadNutrientPageConfig(form.page->code, blocks.config);
            break;
        case PageKind::Ph:
            ReadPhPage(form.ph, blocks.ph);
            ReadPhPageConfig(form.ph, blocks.config);
            break;
    }
}

ChemistryEnabling ChemistryEnablingOf(const ChemistryForm& form) {
    ChemistryEnabling e;
    switch (form.page->kind) {
        case PageKind::Generic:
            e.save = form.generic.configure;
            break;
        case PageKind::Nutrient:
            e.nutrient = NutrientPageEnablingOf(form.nutrient);
            e.save = form.nutrient.configure;
            break;
        case PageKind::Ph:
            e.save = form.ph.configure;
            break;
    }
    return e;
}

EditorMessage ProcessingSavedMessage(const ChemistryPage& page) {
    return {"Save", base::StrPrintf("%s Processing configuration saved", page.tabName)};
}

EditorSave SaveChemistry(link::Transactor& sensor, const ChemistryPage& page,
                         ChemistryBlocks& blocks) {
    if (!SaveChemistryBlocks(sensor, page, blocks))
        return {false, SAVE_FAILED};
    return {true, ProcessingSavedMessage(page)};
}

}  // namespace velacor::config
