// The main window and the connect view against virtual sensors, as an operator uses them.
#include <QCheckBox>
#include <QPixmap>

#include "app/main_window_fixture.h"
#include "connection/connection_flags.h"
#include "connection/ui/graph_views.h"
#include "connection/ui/output_view.h"
#include "connection/ui/table_views.h"
#include "protocol/command_codes.h"

namespace velacor::app::testing {
namespace {

TEST_F(MainWindowTest, ASilentDeviceCannotBeConnectedAndADoubleClickedBootloaderConnects) {
    auto silent = Add(Named("Silent"));
    auto boot = Add(Named("Boot", true));
    silent->InjectFault({protocol::CMD_READ_DEVICE_INFO, emulator::FaultKind::NoAnswer, 0, 2});
    Open();
    ASSERT_EQ(List()->topLevelItemCount(), 2);
    EXPECT_EQ(m_window->windowTitle(), "not connected");
    EXPECT_EQ(m_window->StatusText(0), "not connected");
    EXPECT_EQ(Cell(0, 0), "Unknown device");
    EXPECT_EQ(Cell(1, 2), "Bootloader (v3)");
    EXPECT_FALSE(View()->ConnectButton()->isEnabled());  // nothing selected yet
    Select(0);
    EXPECT_FALSE(View()->ConnectButton()->isEnabled());
    DoubleClick(0);
    EXPECT_EQ(m_window->ConnectionFlags(), 0u);
    Select(1);
    EXPECT_TRUE(View()->ConnectButton()->isEnabled());
    EXPECT_TRUE(View()->UpgradeButton()->isEnabled());

    // The bootloader starts its firmware, and the window connects when it comes back.
    DoubleClick(1);
    ASSERT_TRUE(WaitUntil([this] { return m_window->ConnectionFlags() != 0; }, 5000));
    EXPECT_FALSE(boot->InBootloader());
    EXPECT_EQ(m_window->windowTitle(), "Boot (Brenmoor Velacor Nitrate Sensor)");
    EXPECT_TRUE(m_prompter.informed.empty());
}

// The menu's rules are tested on their own: here, that each change of the connection applies them.
TEST_F(MainWindowTest, ConnectingShowsTheSensorInTheTitleAndEnablesItsCommands) {
    auto sensor = Add(Named("Reef 7"));
    Open();
    EXPECT_FALSE(Enabled(Command::MountAsDrive));
    EXPECT_TRUE(Enabled(Command::About));

    Screenshot("connect_view");
    ConnectTo("Reef 7");
    Screenshot("connected");
    EXPECT_EQ(m_window->windowTitle(), "Reef 7 (Brenmoor Velacor Nitrate Sensor)");
    EXPECT_EQ(m_window->StatusText(0), "");
    EXPECT_EQ(m_window->ConnectViewShown(), nullptr);
    EXPECT_TRUE(Enabled(Command::MountAsDrive));
    EXPECT_TRUE(Enabled(Command::ConfigureStateMachine));
    // Commands whose windows come later stay greyed.
    EXPECT_TRUE(Enabled(Command::ConfigureChemistry));
    EXPECT_FALSE(Enabled(Command::ConfigureRs232));

    auto* panel = qobject_cast<connection::ui::OutputView*>(m_window->CurrentView())->Panel();
    EXPECT_TRUE(panel->StartButton()->isEnabled());
    EXPECT_FALSE(panel->StopButton()->isEnabled());
    EXPECT_TRUE(panel->AutostartBox()->isEnabled());
    m_window->StartSensor(0);
    EXPECT_EQ(m_window->ConnectionFlags(), connection::FLAG_CONNECTED | connection::FLAG_RUNNING);
    EXPECT_FALSE(panel->StartButton()->isEnabled());
    EXPECT_FALSE(panel->AutostartBox()->isEnabled());
    EXPECT_TRUE(panel->StopButton()->isEnabled());
    EXPECT_FALSE(Enabled(Command::MountAsDrive));

    m_window->StopSensor();
    EXPECT_TRUE(Enabled(Command::MountAsDrive));
    sensor->SetSupplyMillivolts(7000);
    m_window->StartSensor(0);
    EXPECT_EQ(m_window->ConnectionFlags(), connection::FLAG_CONNECTED);
    ASSERT_EQ(m_prompter.informed.size(), 1u);
    EXPECT_EQ(m_prompter.informed[0], (Shown{"Start", "Voltage too low to run state machine"}));

    m_window->Menu().Action(Command::Disconnect)->trigger();
    EXPECT_EQ(m_window->ConnectionFlags(), 0u);
    EXPECT_EQ(m_window->windowTitle(), "not connected");
    EXPECT_NE(m_window->ConnectViewShown(), nullptr);
    EXPECT_FALSE(Enabled(Command::Disconnect));
}

TEST_F(MainWindowTest, TheFourOutputViewsSwitchWhileTheirWorkersRun) {
    Add(Named("Views"));
    Open();
    ConnectTo("Views");
    m_window->StartSensor(0);
    const Command views[] = {Command::RawText, Command::ProcessedGraph, Command::ProcessedText,
                             Command::RawGraph};
    for (int round = 0; round < 3; ++round) {
        for (Command view : views) {
            m_window->Menu().Action(view)->trigger();
            auto* shown = qobject_cast<connection::ui::OutputView*>(m_window->CurrentView());
            ASSERT_NE(shown, nullptr);
            EXPECT_TRUE(shown->WorkerRunning());
            // Let the worker post a few updates before the view goes.
            WaitUntil([] { return false; }, round * 60);
        }
    }
    EXPECT_NE(qobject_cast<connection::ui::RawGraphView*>(m_window->CurrentView()), nullptr);
    m_window->Menu().Action(Command::RawText)->trigger();
    auto* table = qobject_cast<connection::ui::RawTableView*>(m_window->CurrentView());
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return table->List()->topLevelItemCount() > 0; }));
    m_window->Menu().Action(Command::ProcessedGraph)->trigger();
    EXPECT_NE(qobject_cast<connection::ui::ProcessedGraphView*>(m_window->CurrentView()), nullptr);
    m_window->Menu().Action(Command::Disconnect)->trigger();
    EXPECT_NE(m_window->ConnectViewShown(), nullptr);
}

TEST_F(MainWindowTest, ClosingDuringTheProbeOfSilentDevicesDoesNotWaitForIt) {
    for (const char* name : {"Mute 1", "Mute 2", "Mute 3"})
        Add(Named(name))
            ->InjectFault({protocol::CMD_READ_DEVICE_INFO, emulator::FaultKind::NoAnswer, 0, 100});
    m_window =
        std::make_unique<MainWindow>(m_platform, m_link, m_link, m_prompter, MainWindowOptions{});
    ASSERT_TRUE(View()->Probing());  // three silent devices: six seconds of probing
    const auto before = std::chrono::steady_clock::now();
    m_window.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_FALSE(m_link.IsOpen());
}

TEST_F(MainWindowTest, StatusBarPartsEndAtTheirEdges) {
    Open();
    m_window->show();
    ASSERT_TRUE(WaitUntil([&] { return m_window->isVisible(); }));
    const int edges[] = {200, 350, 500, 650};
    for (std::size_t i = 0; i < 4; ++i) {
        const QRect part = m_window->StatusPartGeometry(i);
        EXPECT_EQ(part.x() + part.width(), edges[i]) << i;
    }
    EXPECT_EQ(m_window->StatusPartGeometry(4).x(), 650);
}

TEST_F(MainWindowTest, PollerReportsFillTheStatusBarOnlyWhileConnected) {
    Add(Named("Status"));
    Open();
    protocol::PowerStatus power;
    power.supplyMillivolts = 11960;
    power.temperatureMilli = 18420;
    protocol::MeasurementCounters counters;
    counters.measurementTripCounter = 7;
    m_window->LinkHealth(true, power);  // not connected: ignored
    EXPECT_EQ(m_window->StatusText(1), "");

    ConnectTo("Status");
    m_window->LinkHealth(true, power);
    m_window->MeasurementInfo(true, counters);
    m_window->SensorRunning(0);
    EXPECT_EQ(m_window->StatusText(0), "Measurement 7");
    EXPECT_EQ(m_window->StatusText(1), "USB Comms OK");
    EXPECT_EQ(m_window->StatusText(2), "Sensor Mode: Operating");
    EXPECT_EQ(m_window->StatusText(3), "File: LOC00001.CSV");
    EXPECT_EQ(m_window->StatusText(4), QString::fromUtf8("12.0V/18.4\u00B0C"));
    EXPECT_FALSE(Enabled(Command::MountAsDrive));

    m_window->SensorIdle(2);
    EXPECT_EQ(m_window->StatusText(3), "");
    EXPECT_TRUE(Enabled(Command::MountAsDrive));
}

TEST_F(MainWindowTest, UnpluggingAnotherDeviceChangesNothingAndTheConnectedOneSaysSoOnce) {
    auto sensor = Add(Named("Gone"));
    auto other = Add(Named("Other"));
    Open();
    ConnectTo("Gone");
    QWidget* view = m_window->CurrentView();
    other->Unplug();
    WaitUntil([] { return false; }, 200);  // let the monitor see it
    EXPECT_EQ(m_window->ConnectionFlags(), connection::FLAG_CONNECTED);
    EXPECT_EQ(m_window->CurrentView(), view);
    EXPECT_TRUE(m_prompter.informed.empty());

    sensor->Unplug();
    ASSERT_TRUE(WaitUntil([this] { return m_window->ConnectionFlags() == 0; }));
    WaitUntil([] { return false; }, 200);  // any second notice would arrive now
    ASSERT_EQ(m_prompter.informed.size(), 1u);
    EXPECT_EQ(m_prompter.informed[0], (Shown{"Device Change", "Sensor Disconnected"}));
    EXPECT_NE(m_window->ConnectViewShown(), nullptr);
    EXPECT_EQ(m_window->windowTitle(), "not connected");
    EXPECT_FALSE(m_link.IsOpen());
}

TEST_F(MainWindowTest, AboutAndPortPinsBoxes) {
    Add(Named("Info"));
    Open();
    m_window->Menu().Action(Command::About)->trigger();
    ConnectTo("Info");
    m_window->Menu().Action(Command::About)->trigger();
    m_window->Menu().Action(Command::PortPins)->trigger();
    ASSERT_EQ(m_prompter.informed.size(), 3u);
    EXPECT_EQ(m_prompter.informed[0].text,
              "Brenmoor Sensors\nGUI Version: 1.1.0\nFirmware Version: \nDevice: ");
    EXPECT_EQ(m_prompter.informed[1].text,
              "Brenmoor Sensors\nGUI Version: 1.1.0\nFirmware Version: 1.4.2\n"
              "Device: Brenmoor Velacor Nitrate Sensor");
    EXPECT_EQ(m_prompter.informed[2].title, "Sensor Port Pins");
    EXPECT_TRUE(
        m_prompter.informed[2].text.startsWith("Communication Port\n\n  PIN 1: 12-16 VDC\n"));
    EXPECT_TRUE(m_prompter.informed[2].text.endsWith("with MCDLS-F locking sleeve\n"));
}

}  // namespace
}  // namespace velacor::app::testing
