// "State Machine Definition": the whole machine as a table, or the states a dry run visits,
// and the comma-separated summary file of whichever the table shows.
#pragma once

#include <QDialog>

#include <vector>

#include "statemachine/definition_text.h"
#include "statemachine/state_machine.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace velacor::widgets {
class Prompter;
}

namespace velacor::statemachine::ui {

class DefinitionDialog final : public QDialog {
    Q_OBJECT
  public:
    // The machine is only read; the editor has stored its controls before opening this.
    DefinitionDialog(widgets::Prompter& prompter, const StateMachine& machine,
                     QWidget* parent = nullptr);

    QTreeWidget* Table() const { return m_table; }
    QComboBox* ModeSelector() const { return m_mode; }
    QLineEdit* StartField() const { return m_start; }
    QCheckBox* TimeoutBox() const { return m_timeoutBox; }
    QLineEdit* TimeoutField() const { return m_timeoutState; }
    QCheckBox* ShrinkBox() const { return m_shrink; }
    QPushButton* GoButton() const { return m_go; }
    QPushButton* SaveButton() const { return m_save; }

  private:
    void OnModeChanged();
    void OnGo();
    void OnSave();
    void UpdateDryRunControls();
    void ApplyColumnWidths();
    void ShowRows(std::vector<TableRow> rows, TableMode mode);

    widgets::Prompter& m_prompter;
    const StateMachine& m_machine;
    std::vector<TableRow> m_rows;  // what the table shows, for the summary file
    QTreeWidget* m_table = nullptr;
    QComboBox* m_mode = nullptr;
    QLineEdit* m_start = nullptr;
    QCheckBox* m_timeoutBox = nullptr;
    QLineEdit* m_timeoutState = nullptr;
    QCheckBox* m_depthBox = nullptr;
    QCheckBox* m_shrink = nullptr;
    QPushButton* m_go = nullptr;
    QPushButton* m_save = nullptr;
};

}  // namespace velacor::statemachine::ui
