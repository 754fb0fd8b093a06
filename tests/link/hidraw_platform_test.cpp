// The real backend against files that stand in for a hidraw node: a regular file for the
// exclusive open, a FIFO for blocking reads and their cancellation.
#include "link/hidraw_platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "temp_dir.h"

namespace velacor::link {
namespace {

using namespace std::chrono_literals;

class HidrawPlatformTest : public ::testing::Test {
  protected:
    velacor::testing::TempDir m_dir;
    HidrawPlatform m_platform;
};

TEST_F(HidrawPlatformTest, SecondOpenFailsUntilTheFirstClosesAndNoDescriptorIsUnknown) {
    const std::string path = m_dir.Write("hidraw0", "");
    auto first = m_platform.Open(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_platform.Open(path), nullptr);
    EXPECT_FALSE(first->HasInputReportId1().has_value());  // no descriptor: unknown
    first.reset();
    EXPECT_NE(m_platform.Open(path), nullptr);
    EXPECT_EQ(m_platform.Open(m_dir / "absent"), nullptr);
}

TEST_F(HidrawPlatformTest, ResetCancelForgetsAnUnusedCancelAndACancelEndsABlockedRead) {
    const std::string path = m_dir / "fifo";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    auto device = m_platform.Open(path);
    ASSERT_NE(device, nullptr);
    device->CancelIo();
    device->ResetCancel();

    HidReport out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(device->Write(out));
    // Without a descriptor the reports count as unnumbered: the data lands from byte 1 on.
    HidReport in{};
    ASSERT_TRUE(device->Read(in));
    EXPECT_EQ(in[0], 0);
    EXPECT_EQ(in[1], 0);  // the first byte read
    EXPECT_EQ(in[2], 1);
    // The byte left over in the FIFO goes; a read then blocks until another thread cancels it.
    device->FlushInput();
    auto reading = std::async(std::launch::async, [&] { return device->Read(in); });
    EXPECT_EQ(reading.wait_for(100ms), std::future_status::timeout);
    device->CancelIo();
    ASSERT_EQ(reading.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(reading.get());
}

}  // namespace
}  // namespace velacor::link
