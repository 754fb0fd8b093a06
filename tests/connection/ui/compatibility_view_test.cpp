#include "connection/ui/compatibility_view.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "protocol/command_codes.h"
#include "widgets/scripted_prompter.h"

namespace velacor::connection::ui {
namespace {

class CompatibilityViewTest : public ::testing::Test {
  protected:
    CompatibilityViewTest() {
        m_path = m_platform.AddSensor(m_sensor);
        EXPECT_EQ(m_link.OpenSensor(m_path, 500), 0);
    }
    emulator::VirtualHidPlatform m_platform;
    std::shared_ptr<emulator::VirtualSensor> m_sensor = std::make_shared<emulator::VirtualSensor>();
    std::string m_path;
    link::SensorLink m_link{m_platform};
    widgets::testing::ScriptedPrompter m_prompter;
};

TEST_F(CompatibilityViewTest, AnUnreadableVersionClosesTheViewTheLatestIsGreenAndItsRowBlack) {
    m_sensor->InjectFault({protocol::CMD_READ_FIRMWARE_VERSION, emulator::FaultKind::Status, 9, 1});
    EXPECT_FALSE(CompatibilityView(m_link, m_prompter).Loaded());
    ASSERT_EQ(m_prompter.informed.size(), 1u);
    EXPECT_EQ(m_prompter.informed[0],
              (widgets::testing::Shown{"Connect", "Can't read firmware version from sensor"}));

    CompatibilityView view(m_link, m_prompter);
    ASSERT_TRUE(view.Loaded());
    QTreeWidget* upper = view.VerdictList();
    ASSERT_EQ(upper->topLevelItemCount(), 7);
    EXPECT_EQ(upper->topLevelItem(6)->text(0), "All operations are safe.");
    EXPECT_EQ(upper->topLevelItem(6)->foreground(0).color(), QColor(0, 128, 64));
    QTreeWidget* lower = view.ReleaseList();
    ASSERT_EQ(lower->topLevelItemCount(), 15);
    EXPECT_EQ(lower->topLevelItem(0)->text(2), "Functional improvements");
    EXPECT_EQ(lower->topLevelItem(0)->foreground(1).color(), QColor(0, 0, 0));
    EXPECT_EQ(lower->topLevelItem(1)->foreground(0).color(), QColor(100, 100, 100));
}

}  // namespace
}  // namespace velacor::connection::ui
