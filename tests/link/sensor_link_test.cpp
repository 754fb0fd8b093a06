#include "link/sensor_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "fake_platform.h"

namespace velacor::link {
namespace {

using testing::Behaviour;
using namespace std::chrono_literals;

constexpr const char* PATH = "/dev/hidraw7";

class SensorLinkTest : public ::testing::Test {
  protected:
    SensorLinkTest() { m_platform.devices[PATH]; }
    testing::DeviceScript& Device() { return m_platform.devices[PATH]; }

    int Exchange(std::uint8_t command = 0x27) {
        HidReport report{};
        report[1] = command;
        return m_link.Transact(report);
    }

    testing::FakePlatform m_platform;
    SensorLink m_link{m_platform};
};

TEST_F(SensorLinkTest, SequenceStartsAtTwoAndWrapsFrom255ToZero) {
    ASSERT_EQ(m_link.OpenSensor(PATH, 500), 0);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(Exchange(), LINK_OK) << i;
    const auto written = Device().Written();
    ASSERT_EQ(written.size(), 256u);
    EXPECT_EQ(written[0][3], 2);
    EXPECT_EQ(written[253][3], 255);
    EXPECT_EQ(written[254][3], 0);
    EXPECT_EQ(written[255][3], 1);

    // Every open starts the count again.
    m_link.CloseSensor();
    ASSERT_EQ(m_link.OpenSensor(PATH, 500), 0);
    ASSERT_EQ(Exchange(), LINK_OK);
    EXPECT_EQ(Device().Written().back()[3], 2);
}

TEST_F(SensorLinkTest, ReportIdFollowsTheDescriptorAndSurvivesAnUnreadableOne) {
    Device().hasInputReportId1 = false;
    ASSERT_EQ(m_link.OpenSensor(PATH, 500), 0);
    ASSERT_EQ(Exchange(), LINK_OK);
    EXPECT_EQ(Device().Written().back()[0], 0);

    Device().hasInputReportId1 = true;
    ASSERT_EQ(m_link.OpenSensor(PATH, 500), 0);  // reopening closes first
    ASSERT_EQ(Exchange(), LINK_OK);
    EXPECT_EQ(Device().Written().back()[0], 1);

    Device().hasInputReportId1 = std::nullopt;  // capabilities unreadable: id 1 stays
    ASSERT_EQ(m_link.OpenSensor(PATH, 500), 0);
    ASSERT_EQ(Exchange(), LINK_OK);
    EXPECT_EQ(Device().Written().back()[0], 1);
}

// A stale answer is dropped and a silent device times out; the request is left as it was, the
// device's input flushed, and the next request works.
TEST_F(SensorLinkTest, StaleOrNoAnswerTimesOutAndTheNextRequestWorks) {
    ASSERT_EQ(m_link.OpenSensor(PATH, 150), 0);
    for (const Behaviour behaviour : {Behaviour::Stale, Behaviour::Silent}) {
        Device().SetBehaviour(behaviour);
        HidReport report{};
        report[1] = 0x24;
        const HidReport before = report;
        EXPECT_EQ(m_link.Transact(report), LINK_TIMEOUT);
        EXPECT_EQ(report, before);
        Device().SetBehaviour(Behaviour::Echo);
        EXPECT_EQ(Exchange(), LINK_OK);
    }
    EXPECT_GE(Device().cancels, 2);
    EXPECT_EQ(Device().flushes, 2);
}

TEST_F(SensorLinkTest, LateAnswerDoesNotSpoilTheNextTransaction) {
    // The device ignores the cancel and answers after the transaction gave up.
    ASSERT_EQ(m_link.OpenSensor(PATH, 100), 0);
    {
        std::lock_guard lock(Device().mutex);
        Device().behaviour = Behaviour::LateNoCancel;
        Device().lateBy = 250ms;
    }
    EXPECT_EQ(Exchange(), LINK_TIMEOUT);
    std::this_thread::sleep_for(300ms);  // the late answer has arrived and raised the signal
    Device().SetBehaviour(Behaviour::Echo);
    EXPECT_EQ(Exchange(), LINK_OK);
}

TEST_F(SensorLinkTest, WaitingForTheMutexIsBounded) {
    // Two threads against a silent device: each waits at most the time-out for the mutex and
    // at most the time-out for its answer.
    ASSERT_EQ(m_link.OpenSensor(PATH, 150), 0);
    Device().SetBehaviour(Behaviour::Silent);
    auto first = std::async(std::launch::async, [this] { return Exchange(); });
    auto second = std::async(std::launch::async, [this] { return Exchange(); });
    for (auto* f : {&first, &second}) {
        ASSERT_EQ(f->wait_for(5s), std::future_status::ready);
        const int result = f->get();
        EXPECT_TRUE(result == LINK_TIMEOUT || result == LINK_BUSY) << result;
    }
}

// A failed open leaves the link closed; closing twice or without an open is harmless; a closed
// link fails a request at once and leaves it as it was.
TEST_F(SensorLinkTest, FailedOpenAndRepeatedClosesLeaveTheLinkClosed) {
    m_link.CloseSensor();
    EXPECT_EQ(m_link.OpenSensor("/dev/nothing", 100), 1);
    ASSERT_EQ(m_link.OpenSensor(PATH, 100), 0);
    m_link.CloseSensor();
    m_link.CloseSensor();
    EXPECT_FALSE(Device().open);
    HidReport report{};
    report[1] = 0x42;
    const HidReport before = report;
    EXPECT_EQ(m_link.Transact(report), LINK_NOT_OPEN);
    EXPECT_EQ(report, before);

    // The platform refuses a second open of a device that is already open.
    auto other = m_platform.Open(PATH);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(m_link.OpenSensor(PATH, 100), 1);
    EXPECT_FALSE(m_link.IsOpen());
}

TEST_F(SensorLinkTest, CloseDuringTransactionsEndsThemWithoutWaitingTheirTimeOut) {
    // A long time-out: if closing waited for it, the test would take 10 s.
    ASSERT_EQ(m_link.OpenSensor(PATH, 10000), 0);
    Device().SetBehaviour(Behaviour::Silent);
    std::vector<std::future<int>> inFlight;
    for (int i = 0; i < 3; ++i) {
        inFlight.push_back(std::async(std::launch::async, [this] { return Exchange(); }));
    }
    std::this_thread::sleep_for(50ms);  // one waits for its answer, two for the mutex
    const auto closing = std::chrono::steady_clock::now();
    m_link.CloseSensor();
    for (auto& f : inFlight) {
        ASSERT_EQ(f.wait_for(3s), std::future_status::ready);
        const int result = f.get();
        EXPECT_TRUE(result == LINK_BUSY || result == LINK_TIMEOUT || result == LINK_NOT_OPEN)
            << result;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 3s);
    EXPECT_FALSE(Device().open);

    // The link opens again cleanly afterwards.
    Device().SetBehaviour(Behaviour::Echo);
    ASSERT_EQ(m_link.OpenSensor(PATH, 500), 0);
    EXPECT_EQ(Exchange(), LINK_OK);
}

TEST_F(SensorLinkTest, OpensFromTwoThreadsAtOnceLeaveOneDeviceOpen) {
    m_platform.devices["/dev/hidraw8"];
    auto opener = [this](const char* path) {
        for (int i = 0; i < 100; ++i) {
            if (m_link.OpenSensor(path, 100) == 0)
                (void)Exchange();
        }
    };
    auto a = std::async(std::launch::async, opener, PATH);
    auto b = std::async(std::launch::async, opener, "/dev/hidraw8");
    a.get();
    b.get();
    EXPECT_TRUE(m_link.IsOpen());
    EXPECT_NE(Device().open, m_platform.devices["/dev/hidraw8"].open);  // exactly one
    m_link.CloseSensor();
    EXPECT_FALSE(Device().open);
    EXPECT_FALSE(m_platform.devices["/dev/hidraw8"].open);
}

TEST_F(SensorLinkTest, ConcurrentTransactionsEachGetTheirOwnAnswer) {
    ASSERT_EQ(m_link.OpenSensor(PATH, 2000), 0);
    auto worker = [this](std::uint8_t command) {
        for (int i = 0; i < 200; ++i) {
            HidReport report{};
            report[1] = command;
            report[6] = static_cast<std::uint8_t>(i);
            if (m_link.Transact(report) != LINK_OK || report[1] != command ||
                report[6] != static_cast<std::uint8_t>(i)) {
                return false;
            }
        }
        return true;
    };
    auto a = std::async(std::launch::async, worker, std::uint8_t{0x24});
    auto b = std::async(std::launch::async, worker, std::uint8_t{0x27});
    EXPECT_TRUE(a.get());
    EXPECT_TRUE(b.get());
}

}  // namespace
}  // namespace velacor::link
