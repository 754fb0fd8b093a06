#include "statemachine/ui/state_machine_editor.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <optional>

#include "protocol/frame.h"
#include "protocol/optics_commands.h"
#include "statemachine/state_files.h"
#include "statemachine/transfer.h"
#include "statemachine/ui/definition_dialog.h"
#include "statemachine/ui/editor_dialogs.h"
#include "widgets/lists.h"
#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::statemachine::ui {
namespace {

constexpr const char* REFRESH_CAPTION = "Refresh (from sensor)";
constexpr const char* SAVE_CAPTION = "Save (to sensor)";
constexpr const char* UNSAVED_QUESTION = "Save current state machine to file first?";

QString StateFileFilters() {
    QStringList filters;
    for (const char* filter : STATE_FILE_FILTERS)
        filters << QString::fromUtf8(filter);
    return filters.join(QStringLiteral(";;"));
}

}  // namespace

StateMachineEditor::StateMachineEditor(link::Transactor* link, widgets::Prompter& prompter,
                                       StateMachine& machine, QWidget* parent)
    : QDialog(parent), m_link(link), m_prompter(prompter), m_machine(machine) {
    setModal(true);
    setWindowTitle(QStringLiteral("Edit State Machine"));
    m_stateLabel = new QLabel;
    m_stateLabel->setAlignment(Qt::AlignCenter);
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPixelSize(24);
    m_stateLabel->setFont(labelFont);
    QPalette labelColours = m_stateLabel->palette();
    labelColours.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    labelColours.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    labelColours.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 150, 150));
    m_stateLabel->setPalette(labelColours);
    m_controls = new StateControls(link != nullptr);
    m_status = new QStatusBar;
    m_status->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    BuildMenus(layout);
    layout->addWidget(m_stateLabel);
    layout->addWidget(m_controls);
    layout->addWidget(BuildBottomRow());
    layout->addWidget(m_status);

    if (m_link != nullptr) {
        m_machine.defaults = ReadStateDefaults(*m_link);
        m_hall = {m_machine.defaults.hallStopInject, m_machine.defaults.hallStopWithdraw};
        SetStatus("Loading state machine from sensor...");
        const LoadResult result = statemachine::LoadFromSensor(*m_link, m_machine);
        if (result.ok)
            m_machine.TakeSavedCopy();
        else
            m_machine.NewMachine();
        SetStatus(LoadStatusText(result));
    } else {
        m_machine.defaults = StateDefaults{};
        m_machine.NewMachine();
        SetStatus("Empty state machine (not connected)");
    }
    ShowState();
}

void StateMachineEditor::BuildMenus(QLayout* layout) {
    auto* bar = new QMenuBar;
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    m_newAction = file->addAction(QStringLiteral("&New State Machine..."), this,
                                  &StateMachineEditor::NewMachine);
    m_loadFile = file->addAction(QStringLiteral("Load State Machine &From File..."), this,
                                 &StateMachineEditor::LoadFromFile);
    m_saveFile = file->addAction(QStringLiteral("Save State Machine &To File..."), this,
                                 [this] { SaveToFile(); });
    file->addAction(QStringLiteral("E&xit..."), this, &QDialog::accept);
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    m_editMenu = edit;
    const auto add = [this, edit](const char* text, const char* keys, auto slot) {
        QAction* action = edit->addAction(QString::fromUtf8(text), this, slot);
        action->setShortcut(QKeySequence(QString::fromUtf8(keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };
    m_insertBefore = add("&Insert State Before", "Ctrl+I", [this] { InsertState(false); });
    m_insertAfter = add("Insert State &After", "Ctrl+J", [this] { InsertState(true); });
    m_delete = add("&Delete State", "Ctrl+D", [this] { DeleteState(); });
    m_cut = add("C&ut State", "Ctrl+Shift+X", [this] { CutState(); });
    m_copy = add("&Copy State", "Ctrl+Shift+C", [this] { CopyState(); });
    m_paste = add("&Paste State...", "Ctrl+Shift+V", [this] { PasteState(); });
    layout->setMenuBar(bar);
}

void StateMachineEditor::UseCompactLayout() {
    m_newAction->setVisible(false);
    m_saveFile->setVisible(false);
    for (QAction* action : {m_insertBefore, m_insertAfter, m_delete, m_cut, m_copy, m_paste}) {
        action->setEnabled(false);  // their shortcuts go with the Edit menu
        action->setVisible(false);
    }
    if (m_editMenu != nullptr)
        m_editMenu->menuAction()->setVisible(false);
    for (QWidget* hidden : std::initializer_list<QWidget*>{m_stateLabel, m_controls, m_refresh,
                                                           m_summary, m_previous, m_next}) {
        hidden->setVisible(false);
    }
    // 200 x 150 dialog units: a quarter of the average character width across, an eighth of
    // the line height down.
    const int averageWidth = widgets::DialogBaseUnitWidth(this);
    setFixedSize(200 * averageWidth / 4, 150 * QFontMetrics(font()).height() / 8);
}

QWidget* StateMachineEditor::BuildBottomRow() {
    m_saveToSensor = new QPushButton(QStringLiteral("Save to Sensor"));
    m_saveToSensor->setToolTip(QStringLiteral("Save edits to sensor (all states)"));
    m_refresh = new QPushButton(QStringLiteral("Refresh from Sensor"));
    m_refresh->setToolTip(QStringLiteral("Refresh editor from sensor (all states)"));
    m_stateCount = new QLabel;
    m_summary = new QPushButton(QStringLiteral("Summary..."));
    m_summary->setToolTip(QStringLiteral("Dry-run state machine on PC"));
    m_previous = new QPushButton(QStringLiteral("Previous"));
    m_previous->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    m_next = new QPushButton(QStringLiteral("Next"));
    m_next->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    for (QPushButton* button : {m_saveToSensor, m_refresh, m_summary, m_previous, m_next})
        button->setAutoDefault(false);
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_saveToSensor);
    layout->addWidget(m_refresh);
    layout->addWidget(m_stateCount, 1, Qt::AlignCenter);
    layout->addWidget(m_summary);
    layout->addWidget(m_previous);
    layout->addWidget(m_next);
    connect(m_saveToSensor, &QPushButton::clicked, this, &StateMachineEditor::SaveToSensor);
    connect(m_refresh, &QPushButton::clicked, this, &StateMachineEditor::RefreshFromSensor);
    connect(m_summary, &QPushButton::clicked, this, &StateMachineEditor::OpenSummary);
    connect(m_previous, &QPushButton::clicked, this, &StateMachineEditor::Previous);
    connect(m_next, &QPushButton::clicked, this, &StateMachineEditor::Next);
    return row;
}

QString StateMachineEditor::StatusText() const {
    return m_status->currentMessage();
}

QString StateMachineEditor::StateLabelText() const {
    return m_stateLabel->text();
}

void StateMachineEditor::SetStatus(const std::string& text) {
    m_status->showMessage(widgets::FromUtf8(text));
}

void StateMachineEditor::Store() {
    StateRecord& current = m_machine.states[m_machine.currentIndex];
    current = m_controls->Store(current);
}

void StateMachineEditor::ShowState() {
    m_controls->Show(m_machine.states[m_machine.currentIndex], m_machine.defaults, m_hall);
    m_stateLabel->setText(widgets::FromUtf8(m_machine.StateLabel()));
    m_stateCount->setText(widgets::FromUtf8(m_machine.StateCountText()));
    const bool connected = m_link != nullptr;
    m_next->setEnabled(m_machine.currentIndex < m_machine.lastIndex);
    m_previous->setEnabled(m_machine.currentIndex > 0);
    m_saveToSensor->setEnabled(connected);
    m_refresh->setEnabled(connected);
    m_delete->setEnabled(m_machine.lastIndex > 0);
    m_cut->setEnabled(m_machine.lastIndex > 0);
    m_insertBefore->setEnabled(m_machine.lastIndex < LAST_POSSIBLE_INDEX);
    m_insertAfter->setEnabled(m_machine.lastIndex < LAST_POSSIBLE_INDEX);
    m_paste->setEnabled(m_machine.clipboard.has_value());
}

bool StateMachineEditor::ConfirmUnsavedEdits(const char* caption) {
    Store();
    if (!m_machine.HasUnsavedEdits())
        return true;
    switch (m_prompter.AskYesNoCancel(QString::fromUtf8(caption),
                                      QString::fromUtf8(UNSAVED_QUESTION))) {
        case widgets::Prompter::Answer::Yes:
            return SaveToFile();
        case widgets::Prompter::Answer::No:
            return true;
        case widgets::Prompter::Answer::Cancel:
            break;
    }
    return false;
}

void StateMachineEditor::NewMachine() {
    if (!ConfirmUnsavedEdits("New"))
        return;
    m_machine.NewMachine();
    ShowState();
    SetStatus("");
}

void StateMachineEditor::LoadFromFile() {
    const QString path =
        m_prompter.ChooseOpenFile(QString::fromUtf8(STATE_FILE_DIALOG_TITLE), StateFileFilters());
    const StateFileOutcome outcome = LoadStateMachineFile(m_machine, path.toStdString());
    ShowState();
    for (const std::string& text : outcome.statusTexts)
        SetStatus(text);
    if (!outcome.message.empty())
        m_prompter.Inform(widgets::FromUtf8(outcome.messageTitle),
                          widgets::FromUtf8(outcome.message));
}

bool StateMachineEditor::SaveToFile() {
    Store();
    const QString path =
        m_prompter.ChooseSaveFile(QString::fromUtf8(STATE_FILE_DIALOG_TITLE), StateFileFilters(),
                                  QString::fromUtf8(STATE_FILE_DEFAULT_EXTENSION), QString());
    const StateFileOutcome outcome = SaveStateMachineFile(m_machine, path.toStdString());
    for (const std::string& text : outcome.statusTexts)
        SetStatus(text);
    if (!outcome.message.empty())
        m_prompter.Inform(widgets::FromUtf8(outcome.messageTitle),
                          widgets::FromUtf8(outcome.message));
    if (outcome.done)
        SetStatus("Saved");
    return outcome.done;
}

void StateMachineEditor::InsertState(bool after) {
    Store();
    if (m_machine.InsertState(after)) {
        ShowState();
        SetStatus("Inserted");
    }
}

void StateMachineEditor::DeleteState() {
    Store();
    if (m_machine.DeleteState()) {
        ShowState();
        SetStatus("Deleted");
    }
}

void StateMachineEditor::CutState() {
    Store();
    m_machine.clipboard = m_machine.states[m_machine.currentIndex];
    if (m_machine.DeleteState())
        SetStatus("Cut");
    ShowState();
}

void StateMachineEditor::CopyState() {
    Store();
    m_machine.clipboard = m_machine.states[m_machine.currentIndex];
    ShowState();
    SetStatus("Copied");
}

void StateMachineEditor::PasteState() {
    if (!m_machine.clipboard)
        return;
    Store();
    PasteOptionsDialog dialog(m_machine.lastPaste, this);
    dialog.exec();
    m_machine.lastPaste = dialog.Choice();
    const PasteChoice choice = EffectivePaste(m_machine.lastPaste);
    if (choice.place != PasteChoice::Place::Overwrite &&
        !m_machine.InsertState(choice.place == PasteChoice::Place::After)) {
        return;  // the machine is full
    }
    StateRecord& current = m_machine.states[m_machine.currentIndex];
    current = PastedState(current, *m_machine.clipboard, choice);
    ShowState();
    SetStatus("Pasted");
}

void StateMachineEditor::MoveTo(std::uint16_t index) {
    Store();
    m_machine.currentIndex = index;
    ShowState();
    SetStatus("");
}

void StateMachineEditor::Next() {
    if (m_machine.currentIndex < m_machine.lastIndex)
        MoveTo(static_cast<std::uint16_t>(m_machine.currentIndex + 1));
}

void StateMachineEditor::Previous() {
    if (m_machine.currentIndex > 0)
        MoveTo(static_cast<std::uint16_t>(m_machine.currentIndex - 1));
}

void StateMachineEditor::GoToState() {
    GoToStateDialog dialog(m_machine.lastIndex, this);
    if (dialog.exec() == QDialog::Accepted)
        MoveTo(dialog.State());
}

void StateMachineEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    QDialog::mouseDoubleClickEvent(event);
    GoToState();
}

void StateMachineEditor::SaveToSensor() {
    if (m_link == nullptr)
        return;
    Store();
    SetStatus("Save started");
    if (!statemachine::SaveToSensor(*m_link, m_machine)) {
        m_prompter.Inform(QString::fromUtf8(SAVE_CAPTION),
                          QStringLiteral("Failed to save state machine to sensor"));
        return;
    }
    m_machine.TakeSavedCopy();
    SetStatus("Save complete");
    m_prompter.Inform(QString::fromUtf8(SAVE_CAPTION), QStringLiteral("Saved successfully."));
}

void StateMachineEditor::RefreshFromSensor() {
    if (m_link == nullptr)
        return;
    if (!ConfirmUnsavedEdits(REFRESH_CAPTION)) {
        SetStatus("Load from sensor cancelled.");
        return;
    }
    SetStatus("Refresh started");
    if (!statemachine::LoadFromSensor(*m_link, m_machine).ok) {
        SetStatus("Refresh failed");
        m_machine.RestoreSavedCopy();
        m_machine.currentIndex = 0;
        ShowState();
        m_prompter.Inform(QString::fromUtf8(REFRESH_CAPTION),
                          QStringLiteral("Failed to refresh state machine from sensor controller"));
        return;
    }
    SetStatus("Refresh complete");
    ShowState();
    m_machine.TakeSavedCopy();
    m_prompter.Inform(QString::fromUtf8(REFRESH_CAPTION),
                      QStringLiteral("Refreshed successfully."));
}

void StateMachineEditor::OpenSummary() {
    Store();
    DefinitionDialog dialog(m_prompter, m_machine, this);
    dialog.exec();
}

}  // namespace velacor::statemachine::ui
