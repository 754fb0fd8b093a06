// The state machine editor and its definition view, driven like an operator would, their
// boxes answered by a script.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <set>

#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "protocol/command_codes.h"
#include "statemachine/transfer.h"
#include "statemachine/ui/definition_dialog.h"
#include "statemachine/ui/editor_dialogs.h"
#include "statemachine/ui/state_machine_editor.h"
#include "widgets/scripted_prompter.h"

namespace velacor::statemachine::ui {
namespace {

using widgets::testing::ScriptedPrompter;
using widgets::testing::Shown;

void Type(QLineEdit* field, const QString& text) {
    field->clear();
    QTest::keyClicks(field, text);
}

void Select(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text));
}

class EditorTest : public ::testing::Test {
  protected:
    StateMachine m_machine;
    ScriptedPrompter m_prompter;
};

TEST_F(EditorTest, TypedPumpNumbersAreStoredWithinTheirRanges) {
    struct Case {
        const char* current;
        const char* period;
        std::uint16_t storedCurrent;
        std::uint32_t storedPeriod;
    };
    for (const Case& c : {Case{"5", "1", 10, 2}, Case{"2000", "200000", 1600, 131071},
                          Case{"abc", "250", 10, 250}, Case{"500", "99999999999", 500, 131071}}) {
        StateMachineEditor editor(nullptr, m_prompter, m_machine);
        StateControls* controls = editor.Controls();
        controls->pumpOn->setChecked(true);
        Type(controls->pumpCurrent, QString::fromUtf8(c.current));
        Type(controls->stepPeriod, QString::fromUtf8(c.period));
        editor.CopyState();  // stores the controls
        EXPECT_EQ(m_machine.states[0].pumpCurrentMa, c.storedCurrent) << c.current;
        EXPECT_EQ(m_machine.states[0].stepPeriodUs, c.storedPeriod) << c.period;
    }
}

// The rules themselves are tested on their own: here, that each control follows its own flag.
TEST_F(EditorTest, EachControlTakesItsEnablingFromTheRules) {
    StateMachineEditor editor(nullptr, m_prompter, m_machine);
    StateControls* c = editor.Controls();
    const auto enabled = [c](bool on) {
        std::set<QWidget*> found;
        for (QWidget* w : c->findChildren<QWidget*>()) {
            if (w->isEnabled() == on &&
                (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                 qobject_cast<QAbstractButton*>(w)))
                found.insert(w);
        }
        return found;
    };
    // Operating with a withdrawing pump that stops at the Hall sensors.
    c->pumpOn->setChecked(true);
    Select(c->direction, QStringLiteral("Withdraw"));
    Select(c->counters[0].mode, QStringLiteral("Inc & Test"));
    Select(c->counters[1].mode, QStringLiteral("Reset"));
    Select(c->divingLevel, QStringLiteral("Below P1"));
    std::set<QWidget*> off = {c->schedule,  c->stepCount,     c->hallInject,           c->hallPower,
                              c->syncValue, c->climbingState, c->counters[1].increment};
    for (const auto& counter : c->counters) {
        if (&counter != &c->counters[0])
            off.insert({counter.testValue, counter.nextState});
    }
    EXPECT_EQ(enabled(false), off);
    c->waitSchedule->setChecked(true);
    EXPECT_FALSE(c->delaySeconds->isEnabled());

    Select(c->mode, QStringLiteral("Sleeping"));
    EXPECT_EQ(enabled(true),
              (std::set<QWidget*>{c->mode, c->defaultNext, c->waitSeconds, c->waitSchedule}));

    // Choosing a Hall stop for a running pump switches the Hall sensors' supply on.
    Select(c->mode, QStringLiteral("Operating"));
    Select(c->stopCondition, QStringLiteral("Timeout"));
    c->hallPower->setChecked(false);
    Select(c->stopCondition, QStringLiteral("Hall Sensors"));
    EXPECT_TRUE(c->hallPower->isChecked());
}

// Answers the paste options dialog with the choice it opens with.
void AcceptPasteOptions() {
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<PasteOptionsDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
}

TEST_F(EditorTest, OverwritePasteWithNoBoxTickedOnlyDropsTheNextStateReferences) {
    StateMachineEditor editor(nullptr, m_prompter, m_machine);
    StateControls* c = editor.Controls();
    EXPECT_FALSE(editor.PasteAction()->isEnabled());
    editor.InsertState(true);  // state 1 becomes the copied one
    c->valves[3]->setChecked(true);
    editor.CopyState();
    EXPECT_TRUE(editor.PasteAction()->isEnabled());

    // State 0's edits, not yet stored, are what the paste starts from.
    editor.Previous();
    c->valves[5]->setChecked(true);
    Type(c->defaultNext, QStringLiteral("1"));
    Select(c->divingLevel, QStringLiteral("Below P2"));
    Type(c->divingState, QStringLiteral("1"));
    StateRecord expected = c->Store(m_machine.states[0]);
    expected.defaultNext = 0;

    AcceptPasteOptions();
    editor.PasteState();
    EXPECT_EQ(m_machine.states[0], expected);
    EXPECT_EQ(m_machine.lastIndex, 1);
    EXPECT_EQ(editor.StatusText(), "Pasted");
    EXPECT_EQ(c->defaultNext->text(), "0");

    // An insert takes the whole clipboard state, transitions still cleared.
    m_machine.lastPaste.place = PasteChoice::Place::After;
    AcceptPasteOptions();
    editor.PasteState();
    EXPECT_EQ(m_machine.lastIndex, 2);
    EXPECT_EQ(m_machine.currentIndex, 1);
    EXPECT_EQ(m_machine.states[1].valvesOpen, 1U << 3);
    EXPECT_EQ(m_machine.states[1].defaultNext, 0);
}

TEST_F(EditorTest, NewAsksAboutUnsavedEditsOnlyAfterAnEdit) {
    StateMachineEditor editor(nullptr, m_prompter, m_machine);
    EXPECT_EQ(editor.StatusText(), "Empty state machine (not connected)");
    EXPECT_EQ(editor.StateLabelText(), "STATE 000");
    EXPECT_FALSE(editor.SaveToSensorButton()->isEnabled());
    editor.Next();  // nothing to move to, and looking is no edit
    editor.NewAction()->trigger();
    EXPECT_TRUE(m_prompter.asked.empty());

    editor.Controls()->valves[2]->setChecked(true);
    editor.NewAction()->trigger();  // the script cancels
    ASSERT_EQ(m_prompter.asked.size(), 1U);
    EXPECT_EQ(m_prompter.asked[0], (Shown{"New", "Save current state machine to file first?"}));
    EXPECT_TRUE(editor.Controls()->valves[2]->isChecked());
}

class ConnectedEditorTest : public EditorTest {
  protected:
    void SetUp() override {
        m_sensor = std::make_shared<emulator::VirtualSensor>(emulator::SensorOptions{});
        ASSERT_EQ(m_link.OpenSensor(m_platform.AddSensor(m_sensor), 500), 0);
    }
    emulator::VirtualHidPlatform m_platform;
    link::SensorLink m_link{m_platform};
    std::shared_ptr<emulator::VirtualSensor> m_sensor;
};

TEST_F(ConnectedEditorTest, LoadsBrowsesWithoutEditingSavesBackAndAFailedRefreshKeepsIt) {
    StateMachineEditor editor(&m_link, m_prompter, m_machine);
    EXPECT_EQ(editor.StatusText(), "Loaded state machine successfully from sensor");
    EXPECT_TRUE(editor.RefreshButton()->isEnabled());
    ASSERT_GT(m_machine.lastIndex, 0);
    while (editor.NextButton()->isEnabled())
        editor.Next();
    editor.NewAction()->trigger();  // browsing every state edited nothing
    EXPECT_TRUE(m_prompter.asked.empty());
    EXPECT_EQ(m_machine.lastIndex, 0);

    editor.Controls()->valves[7]->setChecked(true);
    editor.SaveToSensor();
    EXPECT_EQ(editor.StatusText(), "Save complete");
    EXPECT_EQ(m_prompter.informed.back(), (Shown{"Save (to sensor)", "Saved successfully."}));
    StateMachine reread;
    ASSERT_TRUE(LoadFromSensor(m_link, reread).ok);
    EXPECT_EQ(reread.lastIndex, 0);
    EXPECT_TRUE(reread.states[0].valvesOpen & (1U << 7));

    const StateMachine saved = m_machine;
    m_sensor->InjectFault({protocol::CMD_READ_STATE, emulator::FaultKind::Status, 1, 1, 0});
    editor.RefreshFromSensor();
    EXPECT_EQ(editor.StatusText(), "Refresh failed");
    EXPECT_EQ(
        m_prompter.informed.back(),
        (Shown{"Refresh (from sensor)", "Failed to refresh state machine from sensor controller"}));
    EXPECT_EQ(m_machine.lastIndex, saved.lastIndex);
    EXPECT_EQ(m_machine.states, saved.states);
}

TEST_F(ConnectedEditorTest, CompactLayoutOffersOnlyLoadExitAndSaveToSensor) {
    StateMachineEditor editor(&m_link, m_prompter, m_machine);
    editor.UseCompactLayout();
    EXPECT_TRUE(editor.LoadFileAction()->isVisible());
    EXPECT_FALSE(editor.NewAction()->isVisible());
    EXPECT_FALSE(editor.SaveFileAction()->isVisible());
    EXPECT_FALSE(editor.InsertAfterAction()->isEnabled());  // no Ctrl+J either
    EXPECT_FALSE(editor.PasteAction()->isEnabled());
    EXPECT_FALSE(editor.SaveToSensorButton()->isHidden());
    EXPECT_TRUE(editor.Controls()->isHidden());
    EXPECT_TRUE(editor.NextButton()->isHidden());
    EXPECT_LT(editor.width(), 500);
}

TEST(DefinitionDialogTest, OutOfRangeDryRunStatesTurnRedAndDisableGo) {
    StateMachine machine;
    machine.NewMachine();
    machine.InsertState(true);  // states 0 and 1
    machine.states[0].pumpOn = 1;
    machine.states[0].pumpCurrentMa = 500;
    machine.states[0].stepPeriodUs = 1000;
    ScriptedPrompter prompter;
    DefinitionDialog dialog(prompter, machine);
    ASSERT_EQ(dialog.Table()->topLevelItemCount(), 2);
    EXPECT_TRUE(dialog.Table()->topLevelItem(0)->text(3).startsWith(
        QString::fromUtf8("500mA;1000\xC2\xB5s;")));
    EXPECT_FALSE(dialog.GoButton()->isEnabled());
    EXPECT_FALSE(dialog.StartField()->isEnabled());

    dialog.ModeSelector()->setCurrentIndex(1);
    EXPECT_EQ(dialog.Table()->topLevelItemCount(), 0);
    EXPECT_TRUE(dialog.GoButton()->isEnabled());
    EXPECT_FALSE(dialog.TimeoutField()->isEnabled());
    Type(dialog.StartField(), QStringLiteral("2"));
    EXPECT_FALSE(dialog.GoButton()->isEnabled());
    EXPECT_EQ(dialog.StartField()->palette().color(QPalette::Text), QColor(Qt::red));
    Type(dialog.StartField(), QStringLiteral("1"));
    EXPECT_TRUE(dialog.GoButton()->isEnabled());
    EXPECT_EQ(dialog.StartField()->palette().color(QPalette::Text), QColor(Qt::black));
    dialog.TimeoutBox()->setChecked(true);
    Type(dialog.TimeoutField(), QStringLiteral("7"));
    EXPECT_FALSE(dialog.GoButton()->isEnabled());
    dialog.TimeoutBox()->setChecked(false);  // an unused field holds nothing up
    EXPECT_TRUE(dialog.GoButton()->isEnabled());

    QTest::mouseClick(dialog.GoButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.windowTitle(), "State Machine Dry Run (2 states)");
    EXPECT_EQ(prompter.informed.back().title, "State Machine Dry Run");
    EXPECT_GT(dialog.Table()->topLevelItemCount(), 0);

    dialog.ShrinkBox()->setChecked(true);
    EXPECT_EQ(dialog.Table()->columnWidth(10), 0);
    EXPECT_GT(dialog.Table()->columnWidth(9), 0);
}

}  // namespace
}  // namespace velacor::statemachine::ui
