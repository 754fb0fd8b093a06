// Menu enabling, status bar texts, the connected device's identity and the connect view's
// button rules.
#include <gtest/gtest.h>

#include "connection/connect_model.h"
#include "connection/connection_flags.h"
#include "connection/menu_rules.h"
#include "connection/session.h"
#include "connection/status_texts.h"
#include "emulator/virtual_hid_platform.h"
#include "link/device_monitor.h"
#include "protocol/command_codes.h"

namespace velacor::connection {
namespace {

TEST(MenuRules, WhatEachConnectionStateAllows) {
    using enum Command;
    const Command always[] = {About,     PortPins, ProcessNutrient, ProcessNutrientMulti,
                              ProcessPh, Exit};
    const Command connected[] = {Disconnect,    LogConfiguration, SaveDiagnosticLog, RawGraph,
                                 ProcessedText, Compatibility,    DiagnosticsView};
    const Command whileIdle[] = {MountAsDrive,          ConfigureClock,     ConfigureChemistry,
                                 ConfigureStateMachine, ConfigureTelemetry, ConfigureRs485,
                                 ConfigureStartStates};
    const std::uint32_t idle = FLAG_CONNECTED;
    const std::uint32_t running = FLAG_CONNECTED | FLAG_RUNNING;
    for (const Command c : always)
        EXPECT_TRUE(IsCommandEnabled(c, 0) && IsCommandEnabled(c, idle) &&
                    IsCommandEnabled(c, running))
            << static_cast<int>(c);
    for (const Command c : connected)
        EXPECT_TRUE(!IsCommandEnabled(c, 0) && IsCommandEnabled(c, idle) &&
                    IsCommandEnabled(c, running))
            << static_cast<int>(c);
    for (const Command c : whileIdle)
        EXPECT_TRUE(!IsCommandEnabled(c, 0) && IsCommandEnabled(c, idle) &&
                    !IsCommandEnabled(c, running))
            << static_cast<int>(c);
}

TEST(StatusTexts, PartsAsTheStatusBarShowsThem) {
    protocol::PowerStatus power;
    power.supplyMillivolts = 12049;
    power.temperatureMilli = -1250;
    EXPECT_EQ(PowerText(true, power), "\t12.0V/-1.2\u00B0C");
    EXPECT_EQ(PowerText(false, power), "");
    protocol::MeasurementCounters counters;
    counters.measurementTripCounter = 42;
    EXPECT_EQ(MeasurementText(true, counters), "\tMeasurement 42");
    EXPECT_EQ(LinkHealthText(false), "\tUSB Comms Error");
    EXPECT_EQ(SensorModeText(3), "\tSensor Mode: Hibernating");
    EXPECT_EQ(SensorModeText(7), "\tSensor Mode: Unknown (7)");
    EXPECT_TRUE(ModeShowsOutputFile(1) && !ModeShowsOutputFile(2));
}

class ConnectModelTest : public ::testing::Test {
  protected:
    std::string Add(emulator::SensorOptions options = {}) {
        auto sensor = std::make_shared<emulator::VirtualSensor>(options);
        m_sensors.push_back(sensor);
        return m_platform.AddSensor(sensor);
    }
    emulator::VirtualHidPlatform m_platform;
    std::vector<std::shared_ptr<emulator::VirtualSensor>> m_sensors;
    link::SensorLink m_link{m_platform};
    ConnectModel m_model{m_platform, m_link, m_link};
};

TEST_F(ConnectModelTest, ButtonsFollowTheSelectionAndTheFailures) {
    const std::string path = Add();
    emulator::SensorOptions boot;
    boot.bootloader = true;
    Add(boot);
    m_model.Apply(m_model.Probe());
    ASSERT_EQ(m_model.Rows().size(), 2u);
    EXPECT_FALSE(m_model.Buttons().connect);

    const ConnectAction nothing = m_model.Connect();
    EXPECT_EQ(nothing.message, "Nothing selected");
    EXPECT_EQ(m_model.UpgradeFirmware().title, "Upgrade Firmware");

    m_model.Click(1);
    EXPECT_TRUE(m_model.Buttons().connect);
    EXPECT_TRUE(m_model.Buttons().upgrade);
    // The upgrade opens the link for longer, and the dialog's end closes it.
    const ConnectAction upgrade = m_model.UpgradeFirmware();
    ASSERT_EQ(upgrade.kind, ConnectAction::Kind::RunUpgrade);
    EXPECT_EQ(upgrade.entry.mode, link::MODE_BOOTLOADER);
    EXPECT_TRUE(m_link.IsOpen());
    m_model.DialogEnded();
    EXPECT_FALSE(m_link.IsOpen());
    m_model.Click(0);
    EXPECT_FALSE(m_model.Buttons().upgrade);

    // Another program holds the device now.
    auto held = m_platform.Open(path);
    const ConnectAction failed = m_model.Connect();
    EXPECT_EQ(failed.title, "Connect");
    EXPECT_EQ(failed.message, "Failed to connect");
    EXPECT_TRUE(m_model.Buttons().connect);
    EXPECT_FALSE(m_model.Buttons().factorySettings);
    held.reset();

    m_sensors[1]->InjectFault({protocol::CMD_START_FIRMWARE, emulator::FaultKind::Status, 1, 1});
    m_model.Click(1);
    const ConnectAction noStart = m_model.Connect();
    EXPECT_EQ(noStart.message, "Failed to start firmware");
    EXPECT_TRUE(m_model.Buttons().upgrade);
    EXPECT_FALSE(m_model.FirmwareStartPending());

    m_model.Click(std::nullopt);
    EXPECT_FALSE(m_model.Buttons().connect);
    EXPECT_FALSE(m_model.DeviceEvent(3));  // remove failed: nothing to do
    EXPECT_TRUE(m_model.DeviceEvent(link::DEVICE_REMOVE_COMPLETE));
}

TEST(Session, RemovalOfTheConnectedDeviceIsRecognisedWhateverTheCase) {
    emulator::VirtualHidPlatform platform;
    link::SensorLink sensorLink(platform);
    ConnectionSession session(sensorLink, sensorLink);
    EXPECT_FALSE(session.IsCurrentDevice("/dev/hidraw3"));
    session.ConnectDevice({"/dev/HIDRAW3", 2});
    EXPECT_TRUE(session.IsCurrentDevice("/dev/hidraw3"));
    EXPECT_FALSE(session.IsCurrentDevice("/dev/hidraw4"));
    EXPECT_FALSE(session.IsCurrentDevice("/dev/hidraw"));
    session.SetRunning(true);
    EXPECT_EQ(session.Flags(), FLAG_CONNECTED | FLAG_RUNNING);
    session.Disconnect();
    EXPECT_EQ(session.Flags(), 0u);
    session.SetRunning(true);  // a late poller report after disconnecting changes nothing
    EXPECT_EQ(session.Flags(), 0u);
}

}  // namespace
}  // namespace velacor::connection
