// A binary semaphore (initial count 0, maximum 1) for the link's hand-off between a
// transaction and the I/O thread.
//
// Raise() on a signal that is already raised does nothing (std::binary_semaphore::release()
// beyond its maximum is undefined behaviour, and two threads may raise the same signal: a
// transaction and CloseSensor, or the I/O thread and CloseSensor).
//
// A waiter looks for the signal for a few microseconds before it sleeps: the other side often
// answers that fast (the virtual sensor, a report already queued), and waking a sleeping
// thread on another core costs tens of microseconds on a virtual machine.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velacor::link {

class BinarySignal {
  public:
    void Raise() {
        m_raised.store(true);
        if (m_sleepers.load() > 0) {
            std::lock_guard lock(m_mutex);
            m_cv.notify_one();
        }
    }

    void Wait() {
        if (SpinBriefly())
            return;
        std::unique_lock lock(m_mutex);
        ++m_sleepers;
        m_cv.wait(lock, [this] { return TryTake(); });
        --m_sleepers;
    }

    bool WaitFor(std::chrono::milliseconds timeout) {
        if (SpinBriefly())
            return true;
        std::unique_lock lock(m_mutex);
        ++m_sleepers;
        const bool taken = m_cv.wait_for(lock, timeout, [this] { return TryTake(); });
        --m_sleepers;
        return taken;
    }

    // Takes a pending raise, if any, without waiting.
    bool TryTake() { return m_raised.exchange(false); }

  private:
    bool SpinBriefly() {
        const auto until = std::chrono::steady_clock::now() + SPIN_TIME;
        for (unsigned i = 1;; ++i) {
            if (m_raised.load(std::memory_order_relaxed) && TryTake())
                return true;
            if (i % 64 == 0 && std::chrono::steady_clock::now() >= until)
                return false;
        }
    }
    static constexpr std::chrono::microseconds SPIN_TIME{50};

    std::atomic<bool> m_raised{false};
    std::atomic<int> m_sleepers{0};
    std::mutex m_mutex;
    std::condition_variable m_cv;
};

}  // namespace velacor::link
