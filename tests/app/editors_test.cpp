// The configuration editors as an operator meets them: opened from the menus of a window
// connected to a virtual sensor, typed into, saved, and what the sensor then holds.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "app/main_window_fixture.h"
#include "base/byte_io.h"
#include "config/ui/chemistry_editor_dialog.h"
#include "config/ui/settings_editor_dialogs.h"
#include "connection/ui/output_view.h"
#include "connection/ui/sensor_control_panel.h"
#include "protocol/chemistry_records.h"
#include "protocol/command_codes.h"
#include "widgets/tab_order.h"

namespace velacor::app::testing {
namespace {

using config::ui::ChemistryEditorDialog;
using config::ui::StartStatesDialog;
using config::ui::TelemetryEditorDialog;
using config::ui::ThermistorsDialog;
using widgets::testing::TabOrderAfter;

const Shown WARNING{"Warning",
                    "Changing settings in this\nmenu can cause the\nsensor to malfunction"};

class EditorsTest : public MainWindowTest {
  protected:
    std::shared_ptr<emulator::VirtualSensor> Connect(std::uint8_t chemistry, bool legacy = false) {
        emulator::SensorOptions options = Named("Bench");
        options.chemistry = chemistry;
        options.legacy = legacy;
        auto sensor = Add(options);
        Open(MainWindowOptions{.service = true});
        ConnectTo("Bench");
        m_prompter.informed.clear();
        return sensor;
    }
    // Runs the menu command and hands its editor to `act`.
    template <class Editor, class Act>
    bool Edit(Command command, Act act) {
        return widgets::testing::WithModal<Editor>(
            [&] { m_window->Menu().Action(command)->trigger(); }, act);
    }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    protocol::ChemistryConfig Chemistry(const emulator::VirtualSensor& sensor) const {
        return base::Decode<protocol::ChemistryConfig>(sensor.Block(protocol::CMD_READ_CHEMISTRY));
    }
};

TEST_F(EditorsTest, ChemistrySavesTheNutrientPageAndLeavesTheStartStatesAsRead) {
    auto sensor = Connect(protocol::CHEMISTRY_NITRATE);
    const auto before = sensor->Block(protocol::CMD_READ_CHEMISTRY);
    ASSERT_TRUE(Edit<ChemistryEditorDialog>(Command::ConfigureChemistry, [&](auto& editor) {
        ASSERT_EQ(editor.Tabs()->count(), 1);
        EXPECT_EQ(editor.Tabs()->tabText(0), "Nitrate");
        EXPECT_EQ(editor.Nutrient()->ConfigureBox()->text(), "Configure Sensor For Nitrate");
        const auto& f = editor.Nutrient()->Fields();
        EXPECT_EQ(f.dilution->text(), "1:1.500");
        // Tab runs in reading order, the buttons last.
        const auto order = TabOrderAfter(editor.Nutrient()->ConfigureBox(), 4);
        EXPECT_EQ(order, (std::vector<QWidget*>{f.sensorVersion, f.measure[protocol::PATH_LONG],
                                                f.monitor[protocol::PATH_LONG],
                                                f.measure[protocol::PATH_MEDIUM]}));
        EXPECT_EQ(TabOrderAfter(f.ocBlankState, 2),
                  (std::vector<QWidget*>{editor.SaveButton(), editor.CloseButton()}));
        QTest::keyClick(f.blankState, Qt::Key_Return);  // Enter in a field saves nothing
        EXPECT_TRUE(editor.isVisible());
        EXPECT_TRUE(m_prompter.informed.empty());
        Type(f.standard1Conc, "12.3456");
        Type(f.intakeState, "300");
        f.monitor[protocol::PATH_MEDIUM]->setCurrentIndex(4);  // channel 3
        editor.SaveButton()->click();
        EXPECT_EQ(m_prompter.informed.back(),
                  (Shown{"Save", "Nitrate Processing configuration saved"}));
        EXPECT_EQ(f.standard1Conc->text(), "12.345");  // shown back from what the sensor holds
        EXPECT_EQ(f.intakeState->text(), "254");

        // Unticking Configure greys the page and Save.
        editor.Nutrient()->ConfigureBox()->click();
        EXPECT_FALSE(editor.SaveButton()->isEnabled());
        EXPECT_FALSE(f.output->isEnabled());
    }));
    EXPECT_EQ(m_prompter.warned, std::vector<Shown>{WARNING});
    const auto p = base::Decode<protocol::NutrientProcessing>(sensor->Processing());
    EXPECT_EQ(p.standard1Conc, 12345u);
    EXPECT_EQ(p.sampleIntakeState, 254);
    EXPECT_EQ(p.outputHasMonitor, 1);  // the default output is Medium
    EXPECT_EQ(p.outputMonitorChannel, 3);
    const auto after = sensor->Block(protocol::CMD_READ_CHEMISTRY);
    EXPECT_EQ(after,
              before);  // nitrate at 1000 ms already: not a byte changed, start states included
}

TEST_F(EditorsTest, ChemistryOfADicSensorOpensTheGenericPageWithItsDefaults) {
    auto sensor = Connect(protocol::CHEMISTRY_DIC);
    ASSERT_TRUE(Edit<ChemistryEditorDialog>(Command::ConfigureChemistry, [&](auto& editor) {
        EXPECT_EQ(m_prompter.informed.back(),
                  (Shown{"Configure Chemistry",
                         "Failed to load chemistry config: please see View/Compatibility"}));
        EXPECT_EQ(editor.Tabs()->tabText(0), "Generic");
        EXPECT_EQ(editor.Generic()->Fields().scale[7]->text(), "1.00000");
        Type(editor.Generic()->Fields().sampleInterval, "50");
        editor.SaveButton()->click();
        EXPECT_EQ(m_prompter.informed.back(),
                  (Shown{"Save", "Generic Processing configuration saved"}));
        EXPECT_EQ(editor.Generic()->Fields().sampleInterval->text(), "100");
    }));
    const auto config = Chemistry(*sensor);
    EXPECT_EQ(config.chemistryType, protocol::CHEMISTRY_GENERIC);
    EXPECT_EQ(config.sampleIntervalMs, 100u);
    EXPECT_EQ(config.manualDeployStart, 0);  // the Generic defaults' start states went too
    EXPECT_EQ(config.autoDeployStart, protocol::STATE_NONE);
    EXPECT_EQ(sensor->Processing().size(), protocol::GenericProcessing::SIZE);
}

TEST_F(EditorsTest, OlderNutrientFirmwareLoadsAndSavesTheTwentySixByteForm) {
    auto sensor = Connect(protocol::CHEMISTRY_NITRATE, true);
    ASSERT_TRUE(Edit<ChemistryEditorDialog>(Command::ConfigureChemistry, [&](auto& editor) {
        Type(editor.Nutrient()->Fields().blankState, "7");
        editor.SaveButton()->click();
        EXPECT_EQ(m_prompter.informed.back(),
                  (Shown{"Save", "Nitrate Processing configuration saved"}));
    }));
    const auto stored = sensor->Processing();
    ASSERT_EQ(stored.size(), protocol::LEGACY_NUTRIENT_LENGTH);
    EXPECT_EQ(stored[0], 0);  // the older form's own mark
    EXPECT_EQ(stored[5], 7);  // blank measurement state
}

TEST_F(EditorsTest, ARefusedSaveKeepsWhatWasTypedAndEscapeDiscardsIt) {
    auto sensor = Connect(protocol::CHEMISTRY_PH);
    sensor->InjectFault({protocol::CMD_WRITE_PROCESSING, emulator::FaultKind::Status, 1, 1});
    const auto before = sensor->Processing();
    ASSERT_TRUE(Edit<ChemistryEditorDialog>(Command::ConfigureChemistry, [&](auto& editor) {
        EXPECT_EQ(editor.Tabs()->tabText(0), "pH");
        const auto& f = editor.Ph()->Fields();
        Type(f.dpHdT, "-0.02");
        editor.SaveButton()->click();
        EXPECT_EQ(m_prompter.informed.back(), (Shown{"Save", "Failed to save settings"}));
        EXPECT_EQ(f.dpHdT->text(), "-0.02");
        QTest::keyClick(&editor, Qt::Key_Escape);
        EXPECT_FALSE(editor.isVisible());
    }));
    EXPECT_EQ(sensor->Processing(), before);
}

TEST_F(EditorsTest, TelemetryChangesOnlyTheParameterBytes) {
    auto sensor = Connect(protocol::CHEMISTRY_SILICATE);
    auto expected = sensor->Processing();
    ASSERT_TRUE(Edit<TelemetryEditorDialog>(Command::ConfigureTelemetry, [&](auto& editor) {
        EXPECT_EQ(editor.Tabs()->tabText(0), "Silicate");
        editor.Parameter(0)->setCurrentIndex(
            editor.Parameter(0)->findText("Sensor Measurement Counter"));
        editor.Parameter(2)->setCurrentIndex(
            editor.Parameter(2)->findText("Std1 Absorbance - Long Ch"));
        editor.SaveButton()->click();
        EXPECT_EQ(m_prompter.informed.back(),
                  (Shown{"Save", "Silicate Processing configuration saved"}));
    }));
    expected[29] = 22;
    expected[31] = 21;
    EXPECT_EQ(sensor->Processing(), expected);
}

TEST_F(EditorsTest, TelemetryOfAPhSensorIsNotAvailable) {
    Connect(protocol::CHEMISTRY_PH);
    ASSERT_TRUE(Edit<TelemetryEditorDialog>(Command::ConfigureTelemetry, [&](auto& editor) {
        EXPECT_EQ(editor.Tabs()->tabText(0), "pH");
        EXPECT_EQ(editor.Parameter(0), nullptr);
        EXPECT_FALSE(editor.SaveButton()->isEnabled());
    }));
}

TEST_F(EditorsTest, StartStatesMarkStatesBeyondTheProgramAndSave) {
    auto sensor = Connect(protocol::CHEMISTRY_NITRATE);
    const std::size_t last = sensor->StateMachine().size() - 1;
    ASSERT_TRUE(Edit<StartStatesDialog>(Command::ConfigureStartStates, [&](auto& editor) {
        const std::size_t special2 = 6;
        EXPECT_FALSE(editor.State(special2)->isEnabled());
        editor.Enabled(special2)->click();
        Type(editor.State(special2), QString::number(last + 1));
        EXPECT_TRUE(editor.Red(special2));
        Type(editor.State(special2), QString::number(last));
        EXPECT_FALSE(editor.Red(special2));
        editor.Enabled(1)->click();  // manual deployment off
        editor.SaveButton()->click();
        EXPECT_FALSE(editor.isVisible());
    }));
    const auto config = Chemistry(*sensor);
    EXPECT_EQ(config.special1To3Start[1], last);
    EXPECT_EQ(config.manualDeployStart, protocol::STATE_NONE);
    EXPECT_TRUE(m_prompter.informed.empty());
}

TEST_F(EditorsTest, AutostartOpensTheStartStatesToggledAndTheViewFollowsTheSensor) {
    auto sensor = Connect(protocol::CHEMISTRY_NITRATE);
    auto* panel = qobject_cast<connection::ui::OutputView*>(m_window->CurrentView())->Panel();
    ASSERT_TRUE(panel->AutostartBox()->isChecked());  // the virtual sensor deploys at state 0
    ASSERT_TRUE(widgets::testing::WithModal<StartStatesDialog>(
        [&] { panel->AutostartBox()->click(); },
        [&](auto& editor) {
            EXPECT_FALSE(editor.Enabled(0)->isChecked());
            editor.SaveButton()->click();
            EXPECT_FALSE(editor.AutoDeployEnabled());
        }));
    EXPECT_EQ(Chemistry(*sensor).autoDeployStart, protocol::STATE_NONE);
    EXPECT_FALSE(panel->AutostartBox()->isChecked());

    // Closed without saving: the sensor keeps its value and the box shows it.
    ASSERT_TRUE(widgets::testing::WithModal<StartStatesDialog>(
        [&] { panel->AutostartBox()->click(); },
        [&](auto& editor) {
            EXPECT_TRUE(editor.Enabled(0)->isChecked());
            EXPECT_EQ(editor.State(0)->text(), "0");
            EXPECT_TRUE(editor.AutoDeployEnabled());  // as toggled, though never saved
        }));
    EXPECT_EQ(Chemistry(*sensor).autoDeployStart, protocol::STATE_NONE);
    EXPECT_FALSE(panel->AutostartBox()->isChecked());
}

TEST_F(EditorsTest, AnUnplugWhileTheAutostartEditorIsOpenReplacesTheViewUnderIt) {
    auto sensor = Connect(protocol::CHEMISTRY_NITRATE);
    auto* panel = qobject_cast<connection::ui::OutputView*>(m_window->CurrentView())->Panel();
    ASSERT_TRUE(widgets::testing::WithModal<StartStatesDialog>(
        [&] { panel->AutostartBox()->click(); },
        [&](auto& editor) {
            sensor->Unplug();
            ASSERT_TRUE(WaitUntil([&] { return m_window->ConnectViewShown() != nullptr; }));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            editor.SaveButton()->click();  // the sensor is gone: the save says it failed
            EXPECT_EQ(m_prompter.informed.back().text,
                      "Failed to write State Machine Control States from sensor.");
        }));
    EXPECT_NE(m_window->ConnectViewShown(), nullptr);
    EXPECT_EQ(m_window->ConnectionFlags(), 0u);
}

TEST_F(EditorsTest, ThermistorsSaveInOrderAndTheFirstFailureEndsIt) {
    auto sensor = Connect(protocol::CHEMISTRY_NITRATE);
    const auto unwritten = sensor->Thermistor(2);
    sensor->InjectFault({protocol::CMD_WRITE_THERMISTOR, emulator::FaultKind::Status, 1, 1, 1});
    ASSERT_TRUE(Edit<ThermistorsDialog>(Command::ConfigureThermistors, [&](auto& editor) {
        EXPECT_EQ(editor.Coefficient(0, 0)->text(), "-2.13500");
        for (std::size_t i = 0; i < 3; ++i) {
            editor.Channel(i)->setCurrentIndex(static_cast<int>(i));
            Type(editor.Coefficient(i, 3), "abc");
        }
        editor.SaveButton()->click();
        EXPECT_EQ(m_prompter.informed.back(), (Shown{"Save", "Failed to save settings"}));
    }));
    EXPECT_EQ(sensor->Thermistor(0).inputChannel, 0);
    EXPECT_EQ(sensor->Thermistor(0).coeffV0, 0.0f);  // "abc"
    EXPECT_EQ(base::Encode(sensor->Thermistor(2)), base::Encode(unwritten));

    ASSERT_TRUE(Edit<ThermistorsDialog>(Command::ConfigureThermistors, [&](auto& editor) {
        editor.SaveButton()->click();
        EXPECT_EQ(m_prompter.informed.back(), (Shown{"Save", "Settings saved"}));
    }));
}

}  // namespace
}  // namespace velacor::app::testing
