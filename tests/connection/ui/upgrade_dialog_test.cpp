// The upgrade dialog driven as an operator would, its boxes answered by a script. The blocks
// and the texts of each outcome are the upgrade's own (its test runs one on a virtual sensor);
// the dialog shows them.
#include "connection/ui/upgrade_dialog.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <mutex>

#include "link/transactor.h"
#include "protocol/frame.h"
#include "widgets/scripted_prompter.h"

namespace velacor::connection::ui {
namespace {

using widgets::testing::ScriptedPrompter;
using widgets::testing::Shown;

QString WriteImage(const QTemporaryDir& dir, std::size_t size) {
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    std::ofstream out(path.toStdString(), std::ios::binary);
    for (std::size_t i = 0; i < size; ++i)
        out.put(static_cast<char>(i * 7));
    return path;
}

class UpgradeDialogTest : public ::testing::Test {
  protected:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
};

// Holds every upgrade block until the test lets it through.
class GatedSensor final : public link::Transactor {
  public:
    int Transact(link::HidReport& report) override {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [this] { return m_open; });
        ++blocks;
        report[protocol::STATUS_OFFSET] = 0;
        return 0;
    }
    void Open() {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_cv.notify_all();
    }
    std::atomic<int> blocks{0};

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = false;
};

TEST_F(UpgradeDialogTest, ABootloaderUpgradeIsAskedForFirstAndCancelNeverStopsIt) {
    GatedSensor gate;
    UpgradeDialog(gate, m_prompter, 2).Run();  // the scripted answer is No: no file is chosen
    ASSERT_EQ(m_prompter.asked.size(), 1u);
    EXPECT_EQ(m_prompter.asked[0].title, "Upgrade Bootloader");
    EXPECT_TRUE(m_prompter.asked[0].text.startsWith("A bootloader upgrade must be allowed"));

    m_prompter.yesNoAnswers = {true, true};  // sure to upgrade; and yes, stop (never asked)
    m_prompter.filesToOpen.push_back(WriteImage(m_dir, 200));
    UpgradeDialog dialog(gate, m_prompter, 2);
    QTimer::singleShot(50, &dialog, [&] {
        EXPECT_TRUE(dialog.UpgradeRunning());
        dialog.CancelButton()->click();
        EXPECT_TRUE(dialog.UpgradeRunning());
        gate.Open();
    });
    dialog.Run();
    ASSERT_EQ(m_prompter.informed.size(), 2u);
    EXPECT_EQ(m_prompter.informed[0].title, "Cancel");
    EXPECT_TRUE(m_prompter.informed[0].text.startsWith("You must let this operation complete"));
    EXPECT_EQ(m_prompter.informed[1].text, "Upgrade complete, 200 bytes written");
    EXPECT_EQ(gate.blocks, 5);  // 64, 64, 64, 8 and the final block
}

TEST_F(UpgradeDialogTest, FirmwareUpgradeStopsWhenTheOperatorSaysSo) {
    GatedSensor gate;
    m_prompter.yesNoAnswers = {true};  // stop the upgrade now
    m_prompter.filesToOpen.push_back(WriteImage(m_dir, 200));
    UpgradeDialog dialog(gate, m_prompter, 1);
    QTimer::singleShot(50, &dialog, [&] {
        dialog.CancelButton()->click();
        gate.Open();
    });
    dialog.Run();
    EXPECT_EQ(dialog.windowTitle(), "Upgrade Firmware");
    ASSERT_EQ(m_prompter.asked.size(), 2u);  // the file, then the question
    EXPECT_EQ(m_prompter.asked[1].title, "Cancel");
    EXPECT_EQ(dialog.StatusText(), "Stopping...");
    EXPECT_LE(gate.blocks, 1);  // the block in flight, then no more
    EXPECT_TRUE(m_prompter.informed.empty());
}

}  // namespace
}  // namespace velacor::connection::ui
