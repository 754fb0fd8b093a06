// The link, the protocol and the virtual sensor together, as the programs use them; reads and
// writes through it are what the command line, connection and editor tests do all along.
#include <gtest/gtest.h>

#include "emulator/virtual_hid_platform.h"
#include "link/device_list.h"
#include "link/sensor_link.h"
#include "protocol/identity_commands.h"

namespace velacor::emulator {
namespace {

using namespace velacor::protocol;

class VirtualLinkTest : public ::testing::Test {
  protected:
    VirtualLinkTest()
        : m_sensor(std::make_shared<VirtualSensor>()), m_path(m_platform.AddSensor(m_sensor)) {}

    VirtualHidPlatform m_platform;
    std::shared_ptr<VirtualSensor> m_sensor;
    std::string m_path;
    link::SensorLink m_link{m_platform};
};

TEST_F(VirtualLinkTest, UnansweredAndStaleRequestsFailOnceAndTheLinkRecovers) {
    ASSERT_EQ(m_link.OpenSensor(m_path, 150), 0);
    m_sensor->InjectFault({CMD_READ_POWER_STATUS, FaultKind::NoAnswer, 0, 1});
    m_sensor->InjectFault({CMD_READ_COUNTERS, FaultKind::StaleSequence, 0, 1});
    PowerStatus power;
    EXPECT_EQ(ReadPowerStatus(m_link, power), RESULT_TRANSPORT_FAILURE);
    EXPECT_EQ(ReadPowerStatus(m_link, power), STATUS_OK);
    MeasurementCounters counters;
    EXPECT_EQ(ReadMeasurementCounters(m_link, counters), RESULT_TRANSPORT_FAILURE);
    EXPECT_EQ(ReadMeasurementCounters(m_link, counters), STATUS_OK);
    EXPECT_EQ(counters.recordVersion, COUNTERS_RECORD_VERSION);
}

TEST_F(VirtualLinkTest, UnpluggedSensorFailsAndLeavesTheList) {
    ASSERT_EQ(m_link.OpenSensor(m_path, 150), 0);
    m_sensor->Unplug();
    SensorIdentity identity;
    EXPECT_EQ(ReadIdentity(m_link, identity), RESULT_TRANSPORT_FAILURE);
    link::DeviceList list;
    link::BuildDeviceList(m_platform, list);
    EXPECT_EQ(list.count, 0);
    m_link.CloseSensor();

    m_sensor->Replug();
    link::BuildDeviceList(m_platform, list);
    EXPECT_EQ(list.count, 1);
    ASSERT_EQ(m_link.OpenSensor(m_path, 150), 0);
    EXPECT_EQ(ReadIdentity(m_link, identity), STATUS_OK);
}

}  // namespace
}  // namespace velacor::emulator
