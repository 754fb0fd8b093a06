#include "base/worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <system_error>

namespace velacor::base {
namespace {

using namespace std::chrono_literals;

TEST(Worker, StopWakesASleepingBodyAtOnceAndJoinsIt) {
    Worker worker;
    std::atomic<bool> sleeping{false};
    std::atomic<bool> ended{false};
    ASSERT_TRUE(worker.Start([&] {
        sleeping = true;
        EXPECT_TRUE(worker.Sleep(60s));  // woken by the stop, not by the time-out
        ended = true;
    }));
    while (!sleeping)
        std::this_thread::yield();
    EXPECT_TRUE(worker.Running());
    const auto before = std::chrono::steady_clock::now();
    worker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
    EXPECT_TRUE(ended);  // joined: the body has returned
    EXPECT_FALSE(worker.Running());
}

TEST(Worker, NeverStartedStopsQuietlyAndStartsAgainAfterAStop) {
    Worker worker;
    worker.Stop();
    worker.Stop();
    EXPECT_FALSE(worker.Running());

    std::atomic<int> unstopped{0};
    for (int i = 0; i < 3; ++i) {
        // A new start clears the stop of the run before it.
        ASSERT_TRUE(worker.Start([&] { unstopped += worker.StopRequested() ? 0 : 1; }));
        while (worker.Running())
            std::this_thread::yield();
        worker.Stop();
    }
    EXPECT_EQ(unstopped, 3);
}

TEST(Worker, AThreadThatCannotStartIsReportedAndNothingRuns) {
    Worker worker(+[](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    bool ran = false;
    EXPECT_FALSE(worker.Start([&] { ran = true; }));
    EXPECT_FALSE(worker.Running());
    worker.Stop();
    EXPECT_FALSE(ran);
}

TEST(Worker, RequestStopCallsTheWakeHookForABodyBlockedElsewhere) {
    Worker worker;
    std::atomic<bool> woken{false};
    ASSERT_TRUE(worker.Start(
        [&] {
            while (!woken)  // stands for a poll on a descriptor the hook writes to
                std::this_thread::sleep_for(1ms);
        },
        [&] { woken = true; }));
    worker.Stop();
    EXPECT_TRUE(woken);
}

}  // namespace
}  // namespace velacor::base
