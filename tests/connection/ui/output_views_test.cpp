// The output views against a virtual sensor, their boxes answered by a script.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "base/byte_io.h"
#include "connection/connection_flags.h"
#include "connection/ui/table_views.h"
#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "protocol/chemistry_commands.h"
#include "protocol/command_codes.h"
#include "protocol/identity_commands.h"
#include "widgets/scripted_prompter.h"
#include "widgets/wait.h"

namespace velacor::connection::ui {
namespace {

using widgets::testing::ScriptedPrompter;
using widgets::testing::Shown;
using widgets::testing::WaitUntil;

class OutputViewsTest : public ::testing::Test {
  protected:
    void Open(emulator::SensorOptions options = {}) {
        m_sensor = std::make_shared<emulator::VirtualSensor>(options);
        ASSERT_EQ(m_link.OpenSensor(m_platform.AddSensor(m_sensor), 500), 0);
    }
    emulator::VirtualHidPlatform m_platform;
    link::SensorLink m_link{m_platform};
    std::shared_ptr<emulator::VirtualSensor> m_sensor;
    ScriptedPrompter m_prompter;
};

TEST_F(OutputViewsTest, StartChoicesFollowTheChemistryOrItsFallbackWhenItIsUnreadable) {
    Open();
    m_sensor->InjectFault({protocol::CMD_READ_CHEMISTRY, emulator::FaultKind::Status, 1, 1});
    {
        ProcessedTableView view(m_link, m_prompter);
        ASSERT_FALSE(m_prompter.informed.empty());
        EXPECT_EQ(m_prompter.informed[0],
                  (Shown{"Chemistry", "Unable to get current chemistry from sensor"}));
        EXPECT_EQ(view.Panel()->StartChoices()->itemText(0), "Loop Flush");
        view.SetConnectionFlags(0);
        EXPECT_FALSE(view.Panel()->PauseBox()->isEnabled());
    }
    // No start state in use: no choice, no autostart and no start.
    protocol::ChemistryConfig config;
    ASSERT_EQ(protocol::ReadChemistryConfig(m_link, config), protocol::STATUS_OK);
    config.autoDeployStart = config.manualDeployStart = config.manualPrimeStart = 255;
    config.manualFlushStart = config.loopedFlushStart = 255;
    config.special1To3Start.fill(255);
    config.special4To9Start.fill(255);
    ASSERT_EQ(protocol::WriteChemistryConfig(m_link, config), protocol::STATUS_OK);
    ProcessedTableView view(m_link, m_prompter);
    view.SetConnectionFlags(FLAG_CONNECTED);
    SensorControlPanel* panel = view.Panel();
    EXPECT_EQ(panel->StartChoices()->count(), 0);
    EXPECT_FALSE(panel->AutostartBox()->isChecked());
    EXPECT_FALSE(panel->StartButton()->isEnabled());
    EXPECT_FALSE(panel->StopButton()->isEnabled());
    EXPECT_TRUE(panel->PauseBox()->isEnabled());
}

TEST_F(OutputViewsTest, ProcessedResultsAppearAndAFailedClearKeepsThem) {
    emulator::SensorOptions dic;
    dic.chemistry = protocol::CHEMISTRY_DIC;
    Open(dic);
    // A one-state program that finishes a measurement every second.
    std::array<std::uint8_t, 80> write{};
    write[0] = 0;       // state index
    write[1] = 1;       // the last state
    write[2 + 0] = 2;   // record version
    write[2 + 71] = 1;  // one second
    write[2 + 77] = 1;  // counts a measurement
    ASSERT_EQ(protocol::SendCommand(m_link, protocol::CMD_WRITE_STATE, write), protocol::STATUS_OK);
    ASSERT_EQ(protocol::StartStateMachine(m_link, 0), protocol::STATUS_OK);
    ProcessedTableView view(m_link, m_prompter);
    EXPECT_EQ(view.List()->headerItem()->text(3), "DIC (umol/kg)");
    ASSERT_TRUE(WaitUntil([&] { return view.List()->topLevelItemCount() > 0; }, 5000));
    EXPECT_EQ(view.List()->topLevelItem(0)->text(4), "good");

    m_sensor->InjectFault({protocol::CMD_CLEAR_PROCESSED, emulator::FaultKind::Status, 1, 1});
    m_prompter.yesNoAnswers = {true};
    view.ClearButton()->click();
    EXPECT_GT(view.List()->topLevelItemCount(), 0);
    ASSERT_EQ(m_prompter.informed.size(), 1u);
    EXPECT_EQ(m_prompter.informed[0], (Shown{"Clear", "Unable to clear outputs"}));
    EXPECT_EQ(m_prompter.asked[0].title, "Clear");

    m_prompter.yesNoAnswers = {true};
    view.ClearButton()->click();
    EXPECT_EQ(view.List()->topLevelItemCount(), 0);
}

}  // namespace
}  // namespace velacor::connection::ui
