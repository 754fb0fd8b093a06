// The udev monitor over a source the test controls: a pipe whose lines stand for udev events.
#include "link/device_monitor.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace velacor::link {
namespace {

using namespace std::chrono_literals;

// A line "add PATH" or "remove PATH" written to the pipe is one event.
class PipeSource final : public HotplugSource {
  public:
    PipeSource(int readFd, std::atomic<pthread_t*>& thread) : m_fd(readFd), m_thread(thread) {}
    int Descriptor() override {
        m_self = ::pthread_self();  // called on the monitor's thread
        m_thread = &m_self;
        return m_fd;
    }
    std::optional<DeviceEvent> Receive() override {
        std::string line;
        char c = 0;
        while (::read(m_fd, &c, 1) == 1 && c != '\n')
            line += c;
        if (line.starts_with("add "))
            return DeviceEvent{DEVICE_ARRIVAL, line.substr(4)};
        if (line.starts_with("remove "))
            return DeviceEvent{DEVICE_REMOVE_COMPLETE, line.substr(7)};
        return std::nullopt;  // "change" and the like are not reported
    }

  private:
    int m_fd;
    pthread_t m_self{};
    std::atomic<pthread_t*>& m_thread;
};

class DeviceMonitorTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(::pipe(m_pipe), 0); }
    void TearDown() override {
        m_monitor.Stop();
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
    }
    void Send(const std::string& line) {
        ASSERT_EQ(::write(m_pipe[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
    bool WaitForEvents(std::size_t count) {
        for (int i = 0; i < 500; ++i) {
            {
                std::lock_guard lock(m_mutex);
                if (m_events.size() >= count)
                    return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
    void Start() {
        m_monitor.Start(
            [this](const DeviceEvent& e) {
                std::lock_guard lock(m_mutex);
                m_events.push_back(e);
            },
            [this](const std::string& message) {
                std::lock_guard lock(m_mutex);
                m_errors.push_back(message);
            });
    }

    int m_pipe[2]{};
    std::atomic<pthread_t*> m_thread{nullptr};
    UdevDeviceMonitor m_monitor{[this](std::string&) -> std::unique_ptr<HotplugSource> {
        return std::make_unique<PipeSource>(m_pipe[0], m_thread);
    }};
    std::mutex m_mutex;
    std::vector<DeviceEvent> m_events;
    std::vector<std::string> m_errors;
};

extern "C" void IgnoreSignal(int) {}

TEST_F(DeviceMonitorTest, ReportsAdditionsAndRemovalsAndOutlivesASignal) {
    // A handler installed, so the signal interrupts the monitor's poll instead of ending the
    // process.
    struct sigaction action {};
    action.sa_handler = IgnoreSignal;
    ASSERT_EQ(::sigaction(SIGUSR1, &action, nullptr), 0);
    Start();
    Send("add /dev/hidraw3\nchange /dev/hidraw3\n");
    ASSERT_TRUE(WaitForEvents(1));
    while (m_thread.load() == nullptr)
        std::this_thread::sleep_for(1ms);
    for (int i = 0; i < 3; ++i) {
        ::pthread_kill(*m_thread.load(), SIGUSR1);
        std::this_thread::sleep_for(5ms);
    }
    Send("remove /dev/hidraw3\n");
    ASSERT_TRUE(WaitForEvents(2));
    std::lock_guard lock(m_mutex);
    ASSERT_EQ(m_events.size(), 2u);
    EXPECT_EQ(m_events[0].kind, DEVICE_ARRIVAL);
    EXPECT_EQ(m_events[0].path, "/dev/hidraw3");
    EXPECT_EQ(m_events[1].kind, DEVICE_REMOVE_COMPLETE);
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(DeviceMonitorTest, StopEndsAWaitingMonitorAndNothingIsReportedAfterIt) {
    Start();
    const auto before = std::chrono::steady_clock::now();
    m_monitor.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    Send("add /dev/hidraw4\n");
    std::this_thread::sleep_for(20ms);
    std::lock_guard lock(m_mutex);
    EXPECT_TRUE(m_events.empty());
}

TEST(DeviceMonitor, ASetUpThatFailsSaysWhy) {
    std::vector<std::string> errors;
    std::mutex mutex;
    UdevDeviceMonitor monitor([](std::string& error) -> std::unique_ptr<HotplugSource> {
        error = "Device monitor: cannot listen to udev: Permission denied";
        return nullptr;
    });
    monitor.Start([](const DeviceEvent&) {},
                  [&](const std::string& message) {
                      std::lock_guard lock(mutex);
                      errors.push_back(message);
                  });
    monitor.Stop();  // joins: the thread has reported by now
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0],
              "Device monitor: cannot listen to udev: Permission denied; sensors plugged in or "
              "out are not noticed");
}

}  // namespace
}  // namespace velacor::link
