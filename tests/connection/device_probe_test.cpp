#include "connection/device_probe.h"

#include <gtest/gtest.h>

#include "emulator/virtual_hid_platform.h"
#include "protocol/command_codes.h"

namespace velacor::connection {
namespace {

using emulator::FaultKind;
using emulator::SensorOptions;
using emulator::VirtualSensor;

TEST(DeviceProbe, RowsForAnsweringSensorsUnknownDeviceForASilentOneAndNoneForABusyOne) {
    emulator::VirtualHidPlatform platform;
    SensorOptions silentOptions;
    silentOptions.name = "Silent";
    auto silent = std::make_shared<VirtualSensor>(silentOptions);
    SensorOptions bootOptions;
    bootOptions.name = "Twenty characters OK";
    bootOptions.bootloader = true;
    bootOptions.chemistry = protocol::CHEMISTRY_PH;
    auto flaky = std::make_shared<VirtualSensor>();
    platform.AddSensor(silent);
    platform.AddSensor(std::make_shared<VirtualSensor>(bootOptions));
    const std::string busyPath = platform.AddSensor(std::make_shared<VirtualSensor>());
    platform.AddSensor(flaky);
    // Both tries of the device information go unanswered; the second try of the identity
    // rescues its read; another program holds the busy device.
    silent->InjectFault({protocol::CMD_READ_DEVICE_INFO, FaultKind::NoAnswer, 0, 2});
    flaky->InjectFault({protocol::CMD_READ_IDENTITY, FaultKind::Status, 0x21, 1});
    auto heldElsewhere = platform.Open(busyPath);

    link::SensorLink link(platform);
    link::DeviceList list;
    const auto rows = ProbeDevices(platform, link, link, list);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "Unknown device");
    EXPECT_EQ(rows[0].serialNumber, "");
    EXPECT_EQ(rows[0].state, "");
    EXPECT_EQ(rows[0].type, "");
    EXPECT_EQ(list.entries[rows[0].entryIndex].mode, link::MODE_NOT_PROBED);

    EXPECT_EQ(rows[1].name, "Twenty characters OK");
    EXPECT_EQ(rows[1].serialNumber, "1042");
    EXPECT_EQ(rows[1].state, "Bootloader (v3)");
    EXPECT_EQ(rows[1].type, "Brenmoor Velacor pH Sensor");
    EXPECT_EQ(list.entries[rows[1].entryIndex].mode, link::MODE_BOOTLOADER);

    EXPECT_EQ(rows[2].state, "Firmware");
    EXPECT_EQ(list.entries[rows[2].entryIndex].mode, 2u);
    EXPECT_FALSE(link.IsOpen());
}

}  // namespace
}  // namespace velacor::connection
