// "Edit State Machine": views and edits the sensor's state machine one state at a time. Every
// command that changes the current state, leaves it or reads the whole machine first stores
// the controls into the current state and afterwards shows the current state again.
#pragma once

class QMenu;

#include <QDialog>

#include <string>

#include "statemachine/state_machine.h"
#include "statemachine/ui/state_controls.h"

class QAction;
class QLabel;
class QPushButton;
class QStatusBar;

namespace velacor::link {
class Transactor;
}
namespace velacor::widgets {
class Prompter;
}

namespace velacor::statemachine::ui {

class StateMachineEditor final : public QDialog {
    Q_OBJECT
  public:
    // `link` is nullptr when no sensor is connected. Opening while connected reads the pump and
    // optics defaults and loads the machine from the sensor.
    StateMachineEditor(link::Transactor* link, widgets::Prompter& prompter, StateMachine& machine,
                       QWidget* parent = nullptr);

    // The compact layout of the Configure menu: a small window with only "Load State Machine
    // From File...", "Exit...", the state count and "Save to Sensor"; the full layout (the
    // default) has every group, command and shortcut.
    void UseCompactLayout();

    StateControls* Controls() const { return m_controls; }
    QString StatusText() const;
    QString StateLabelText() const;
    QPushButton* NextButton() const { return m_next; }
    QPushButton* PreviousButton() const { return m_previous; }
    QPushButton* SaveToSensorButton() const { return m_saveToSensor; }
    QPushButton* RefreshButton() const { return m_refresh; }
    QPushButton* SummaryButton() const { return m_summary; }
    QAction* NewAction() const { return m_newAction; }
    QAction* LoadFileAction() const { return m_loadFile; }
    QAction* SaveFileAction() const { return m_saveFile; }
    QAction* InsertBeforeAction() const { return m_insertBefore; }
    QAction* InsertAfterAction() const { return m_insertAfter; }
    QAction* DeleteAction() const { return m_delete; }
    QAction* CutAction() const { return m_cut; }
    QAction* CopyAction() const { return m_copy; }
    QAction* PasteAction() const { return m_paste; }

    // The commands, as the menus and buttons run them.
    void NewMachine();
    void LoadFromFile();
    bool SaveToFile();
    void InsertState(bool after);
    void DeleteState();
    void CutState();
    void CopyState();
    void PasteState();
    void Next();
    void Previous();
    void GoToState();
    void SaveToSensor();
    void RefreshFromSensor();
    void OpenSummary();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QMenu* m_editMenu = nullptr;
    void BuildMenus(QLayout* layout);
    QWidget* BuildBottomRow();
    void Store();
    void ShowState();
    void SetStatus(const std::string& text);
    void MoveTo(std::uint16_t index);
    // True when the command may go on: no unsaved edits, or the operator saved them to a file
    // or chose not to.
    bool ConfirmUnsavedEdits(const char* caption);

    link::Transactor* m_link;
    widgets::Prompter& m_prompter;
    StateMachine& m_machine;
    HallStopValues m_hall;
    StateControls* m_controls = nullptr;
    QLabel* m_stateLabel = nullptr;
    QLabel* m_stateCount = nullptr;
    QStatusBar* m_status = nullptr;
    QPushButton* m_saveToSensor = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_summary = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QAction* m_newAction = nullptr;
    QAction* m_loadFile = nullptr;
    QAction* m_saveFile = nullptr;
    QAction* m_insertBefore = nullptr;
    QAction* m_insertAfter = nullptr;
    QAction* m_delete = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
};

}  // namespace velacor::statemachine::ui
