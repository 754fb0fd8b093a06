#include "connection/upgrade.h"

#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "base/byte_io.h"
#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "protocol/command_codes.h"
#include "protocol/identity_records.h"
#include "protocol/scripted_transactor.h"
#include "protocol/upgrade_records.h"
#include "temp_dir.h"

namespace velacor::connection {
namespace {

using protocol::BOOTLOADER_IMAGE_BASE;
using protocol::FIRMWARE_IMAGE_BASE;
using protocol::UpgradeBlock;
using protocol::testing::Answer;
using protocol::testing::LinkFailure;
using protocol::testing::PatternBytes;
using protocol::testing::ScriptedAnswer;
using protocol::testing::ScriptedTransactor;
using Bytes = std::vector<std::uint8_t>;

class UpgradeTest : public ::testing::Test {
  protected:
    std::string Image(const Bytes& bytes) {
        return m_dir.Write("image.bin", std::string(bytes.begin(), bytes.end()));
    }

    UpgradeResult Run(link::Transactor& link, const std::string& path,
                      std::uint32_t base = FIRMWARE_IMAGE_BASE) {
        return RunUpgrade(
            link, path, base, [this] { return m_cancel.load(); },
            [this](std::uint32_t bytes) { m_progress.push_back(bytes); });
    }

    velacor::testing::TempDir m_dir;
    std::atomic<bool> m_cancel{false};
    std::vector<std::uint32_t> m_progress;
};

UpgradeBlock SentBlock(const ScriptedTransactor& t, std::size_t i) {
    EXPECT_EQ(t.Command(i), protocol::CMD_UPGRADE_BLOCK);
    EXPECT_EQ(t.Format(i), 1);
    EXPECT_EQ(t.Length(i), UpgradeBlock::SIZE);
    return base::Decode<UpgradeBlock>(t.Payload(i));
}

TEST_F(UpgradeTest, ImageGoesOutInBlocksOfSixtyFourThenAFinalEmptyBlock) {
    const Bytes image = PatternBytes(130, 1);
    ScriptedTransactor t{Answer(0), Answer(0), Answer(0), Answer(0)};
    const UpgradeResult result = Run(t, Image(image));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.bytes, 130u);
    EXPECT_EQ(m_progress, (std::vector<std::uint32_t>{64, 128, 130}));

    ASSERT_EQ(t.Requests().size(), 4u);
    const std::uint32_t counts[] = {64, 64, 2, 0};
    for (std::uint32_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const UpgradeBlock block = SentBlock(t, i);
        EXPECT_EQ(block.marker, 1);
        EXPECT_EQ(block.blockIndex, i);
        EXPECT_EQ(block.byteCount, counts[i]);
        EXPECT_EQ(block.imageBase, 40960u);
        const auto from = image.begin() + i * 64;
        EXPECT_TRUE(std::equal(from, from + counts[i], block.data.begin()));
    }
    // The image base sits in the last four bytes.
    EXPECT_EQ(t.Payload(0)[73], 0x00);
    EXPECT_EQ(t.Payload(0)[74], 0xa0);

    // An empty image sends only the final block.
    m_progress.clear();
    ScriptedTransactor empty{Answer(0)};
    EXPECT_EQ(Run(empty, Image({}), BOOTLOADER_IMAGE_BASE).status, 0);
    EXPECT_TRUE(m_progress.empty());
    ASSERT_EQ(empty.Requests().size(), 1u);
    const UpgradeBlock block = SentBlock(empty, 0);
    EXPECT_EQ(block.byteCount, 0u);
    EXPECT_EQ(block.imageBase, 0u);
}

struct FailureCase {
    const char* name;
    std::vector<ScriptedAnswer> answers;
    int status;
    std::uint32_t bytes;
};

// A failed block ends the upgrade at once; an unacknowledged final block or an unreadable image
// fails with 1.
TEST_F(UpgradeTest, FirstFailureEndsTheUpgrade) {
    const FailureCase cases[] = {
        {"second block refused", {Answer(0), Answer(3)}, 3, 64},
        {"first block lost", {LinkFailure()}, 14, 0},
        {"final block refused", {Answer(0), Answer(0), Answer(0), Answer(7)}, 1, 130},
        {"final block lost", {Answer(0), Answer(0), Answer(0), LinkFailure()}, 1, 130},
    };
    const std::string path = Image(PatternBytes(130, 2));
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedTransactor t;
        for (const auto& a : c.answers)
            t.Then(a);
        const UpgradeResult result = Run(t, path);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.bytes, c.bytes);
        EXPECT_EQ(t.Requests().size(), c.answers.size());
    }
    // An image that cannot be read, or a folder that opens but cannot be read, sends nothing.
    for (const std::string& unreadable : {m_dir / "missing.bin", m_dir.Path().string()}) {
        ScriptedTransactor t{Answer(0)};
        EXPECT_EQ(Run(t, unreadable).status, 1);
        EXPECT_TRUE(t.Requests().empty()) << unreadable;
    }
    EXPECT_EQ(UpgradeDoneText({14, 128}), "Upgrade failed after 128 bytes (14)");
}

TEST_F(UpgradeTest, CancelIsSeenBeforeTheNextBlockAndSkipsTheFinalOne) {
    ScriptedTransactor t{Answer(0), Answer(0), Answer(0)};
    const UpgradeResult result = RunUpgrade(
        t, Image(PatternBytes(130, 3)), FIRMWARE_IMAGE_BASE, [this] { return m_cancel.load(); },
        [this](std::uint32_t) { m_cancel = true; });
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.bytes, 64u);
    EXPECT_EQ(t.Requests().size(), 1u);
}

TEST_F(UpgradeTest, WorkerUpgradesAVirtualBootloaderSensorOverTheLink) {
    emulator::SensorOptions options;
    options.bootloader = true;
    auto sensor = std::make_shared<emulator::VirtualSensor>(options);
    emulator::VirtualHidPlatform platform;
    link::SensorLink link(platform);
    ASSERT_EQ(link.OpenSensor(platform.AddSensor(sensor), link::UPGRADE_TIMEOUT_MS), 0);
    ASSERT_EQ(UpgradeImageBase(protocol::IDENTITY_MODE_BOOTLOADER), FIRMWARE_IMAGE_BASE);
    EXPECT_EQ(UpgradeImageBase(protocol::IDENTITY_MODE_FIRMWARE), BOOTLOADER_IMAGE_BASE);
    EXPECT_EQ(UpgradeImageBase(0), std::nullopt);

    const Bytes image = PatternBytes(1000, 5);
    std::vector<std::uint32_t> progress;
    std::promise<UpgradeResult> done;
    UpgradeWorker worker;
    ASSERT_TRUE(worker.Start(
        link, Image(image), FIRMWARE_IMAGE_BASE,
        [&](std::uint32_t bytes) { progress.push_back(bytes); },
        [&](UpgradeResult r) { done.set_value(r); }));
    const UpgradeResult result = done.get_future().get();
    worker.Stop();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(UpgradeDoneText(result), "Upgrade complete, 1000 bytes written");
    ASSERT_EQ(progress.size(), 16u);
    EXPECT_EQ(UpgradeProgressText(progress[14]), "Upgrade running, 960 bytes written");
    EXPECT_EQ(sensor->Image(FIRMWARE_IMAGE_BASE), image);
    EXPECT_FALSE(sensor->InBootloader());
}

}  // namespace
}  // namespace velacor::connection
