#include "config/ui/chemistry_editor_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/choice_lists.h"
#include "widgets/drop_down.h"
#include "widgets/form_fields.h"
#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::config::ui {

namespace {

using protocol::PATH_LONG;
using protocol::PATH_MEDIUM;
using protocol::PATH_SHORT;

void Warn(widgets::Prompter& prompter, const EditorMessage& message) {
    prompter.Warn(widgets::FromUtf8(message.title), widgets::FromUtf8(message.text));
}

}  // namespace

// ---- Chemistry

ChemistryEditorDialog::ChemistryEditorDialog(link::Transactor& sensor, widgets::Prompter& prompter,
                                             QWidget* parent)
    : EditorDialog(sensor, prompter, "Configure Chemistry", parent) {
    m_tabs = new QTabWidget;
    SetBody(m_tabs);
}

bool ChemistryEditorDialog::Open() {
    Warn(Prompter(), CHEMISTRY_WARNING);
    ChemistryLoad load = LoadChemistry(Sensor());
    if (load.message)
        Tell(*load.message);
    if (!load.open)
        return false;
    m_page = load.page;
    m_blocks = load.blocks;
    const PageOptions options{true, m_page->code};
    QWidget* page = nullptr;
    switch (m_page->kind) {
        case PageKind::Generic:
            page = m_generic = new GenericPageWidget(options);
            break;
        case PageKind::Nutrient:
            page = m_nutrient =
                new NutrientPageWidget(options, {PATH_LONG, PATH_MEDIUM, PATH_SHORT});
            break;
        case PageKind::Ph:
            page = m_ph = new PhPageWidget(options, true);
            break;
    }
    connect(static_cast<PageBase*>(page), &PageBase::rulesInputChanged, this,
            &ChemistryEditorDialog::ApplyEnabling);
    auto* sheet = new QWidget;  // the page, inside the tab's margins
    (new QVBoxLayout(sheet))->addWidget(page);
    m_tabs->addTab(sheet, widgets::FromUtf8(m_page->tabName));
    ShowBlocks();
    return true;
}

void ChemistryEditorDialog::ShowBlocks() {
    const ChemistryForm form = ShowChemistry(*m_page, m_blocks);
    if (m_generic)
        m_generic->Show(form.generic);
    if (m_nutrient)
        m_nutrient->Show(form.nutrient);
    if (m_ph)
        m_ph->Show(form.ph);
    ApplyEnabling();
}

ChemistryForm ChemistryEditorDialog::FormOfPage() const {
    ChemistryForm form;
    form.page = m_page;
    if (m_generic)
        form.generic = m_generic->Form();
    if (m_nutrient)
        form.nutrient = m_nutrient->Form();
    if (m_ph)
        form.ph = m_ph->Form();
    return form;
}

void ChemistryEditorDialog::ApplyEnabling() {
    const ChemistryEnabling e = ChemistryEnablingOf(FormOfPage());
    if (m_generic)
        m_generic->ApplyEnabling(e.save);
    if (m_nutrient)
        m_nutrient->ApplyEnabling(e.nutrient);
    if (m_ph)
        m_ph->ApplyEnabling(e.save);
    SaveButton()->setEnabled(e.save);
}

void ChemistryEditorDialog::OnSave() {
    ChemistryBlocks edited = m_blocks;
    ReadChemistry(FormOfPage(), edited);
    const EditorSave save = SaveChemistry(Sensor(), *m_page, edited);
    Tell(save.message);
    if (!save.saved)
        return;  // what was typed stays
    m_blocks = edited;
    ShowBlocks();
}

// ---- Telemetry

TelemetryEditorDialog::TelemetryEditorDialog(link::Transactor& sensor, widgets::Prompter& prompter,
                                             QWidget* parent)
    : EditorDialog(sensor, prompter, "Configure Telemetry Parameters", parent) {
    m_tabs = new QTabWidget;
    SetBody(m_tabs);
}

bool TelemetryEditorDialog::Open() {
    Warn(Prompter(), CHEMISTRY_WARNING);
    m_load = LoadTelemetry(Sensor());
    if (m_load.message)
        Tell(*m_load.message);
    if (!m_load.open)
        return false;
    m_form = ShowTelemetry(m_load);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    if (m_form.available) {
        auto* grid = new QGridLayout;
        grid->addWidget(widgets::MakeLabel("Location"), 0, 0);
        grid->addWidget(widgets::MakeLabel("Parameter"), 0, 1);
        for (std::size_t i = 0; i < m_parameters.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            grid->addWidget(new QLabel(QStringLiteral("P%1").arg(row)), row, 0);
            m_parameters[i] = m_bind.Index(widgets::MakeDropDown(TELEMETRY_PARAMETERS),
                                           widgets::Element(&TelemetryForm::parameter, i));
            grid->addWidget(m_parameters[i], row, 1);
        }
        grid->setColumnStretch(1, 1);
        auto* group = new QGroupBox(QStringLiteral("Telemetry Parameters"));
        group->setLayout(grid);
        layout->addWidget(group);
    } else {
        auto* group = new QGroupBox(QStringLiteral("Not Available"));
        auto* inner = new QVBoxLayout(group);
        inner->addWidget(widgets::MakeLabel(TELEMETRY_NOT_AVAILABLE_TEXT));
        layout->addWidget(group);
    }
    layout->addStretch(1);
    m_tabs->addTab(page, widgets::FromUtf8(m_form.tabName));
    ShowForm();
    return true;
}

void TelemetryEditorDialog::ShowForm() {
    m_bind.Show(m_form);
    SaveButton()->setEnabled(TelemetrySaveEnabled(m_form));
}

void TelemetryEditorDialog::OnSave() {
    const TelemetryForm typed = m_bind.Read(m_form);
    ChemistryBlocks edited = m_load.blocks;
    ReadTelemetry(typed, edited);
    const EditorSave save = SaveTelemetry(Sensor(), typed, edited);
    Tell(save.message);
    if (!save.saved)
        return;
    m_load.blocks = edited;
    m_form = ShowTelemetry(m_load);
    ShowForm();
}

}  // namespace velacor::config::ui
