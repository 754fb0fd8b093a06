// "Configure Chemistry" and "Configure Telemetry Parameters": one tab named after the sensor's
// chemistry, holding its page.
#pragma once

#include "config/chemistry_editor.h"
#include "config/telemetry_editor.h"
#include "config/ui/chemistry_page_widgets.h"
#include "config/ui/editor_dialog.h"
#include "widgets/form_binding.h"

#include <array>

class QComboBox;
class QTabWidget;

namespace velacor::config::ui {

class ChemistryEditorDialog final : public EditorDialog {
    Q_OBJECT
  public:
    ChemistryEditorDialog(link::Transactor& sensor, widgets::Prompter& prompter,
                          QWidget* parent = nullptr);
    // Warns, then reads both blocks. False when the editor closes at once (the box was shown).
    bool Open();

    QTabWidget* Tabs() const { return m_tabs; }
    GenericPageWidget* Generic() const { return m_generic; }
    NutrientPageWidget* Nutrient() const { return m_nutrient; }
    PhPageWidget* Ph() const { return m_ph; }

  private:
    void ShowBlocks();
    ChemistryForm FormOfPage() const;
    void ApplyEnabling();
    void OnSave() override;

    QTabWidget* m_tabs = nullptr;
    const ChemistryPage* m_page = nullptr;
    ChemistryBlocks m_blocks;
    GenericPageWidget* m_generic = nullptr;
    NutrientPageWidget* m_nutrient = nullptr;
    PhPageWidget* m_ph = nullptr;
};

class TelemetryEditorDialog final : public EditorDialog {
    Q_OBJECT
  public:
    TelemetryEditorDialog(link::Transactor& sensor, widgets::Prompter& prompter,
                          QWidget* parent = nullptr);
    bool Open();

    QTabWidget* Tabs() const { return m_tabs; }
    // P1..P3; nullptr on the "Not Available" page.
    QComboBox* Parameter(std::size_t i) const { return m_parameters.at(i); }

  private:
    void ShowForm();
    void OnSave() override;

    QTabWidget* m_tabs = nullptr;
    TelemetryLoad m_load;
    TelemetryForm m_form;
    widgets::FormBinding<TelemetryForm> m_bind;
    std::array<QComboBox*, 3> m_parameters{};
};

}  // namespace velacor::config::ui
