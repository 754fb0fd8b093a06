// A stop request that a worker can sleep on: WaitFor() returns early, with true, once Stop()
// has been called. Safe to call from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velacor::base {

class StopSignal {
  public:
    void Stop() {
        {
            std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_cv.notify_all();
    }
    // Clears a previous stop so the signal can serve the next worker.
    void Reset() {
        std::lock_guard lock(m_mutex);
        m_stopped = false;
    }
    bool Stopped() const {
        std::lock_guard lock(m_mutex);
        return m_stopped;
    }
    // Sleeps up to `timeout`; true when stopped (at once if already stopped).
    bool WaitFor(std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        return m_cv.wait_for(lock, timeout, [this] { return m_stopped; });
    }

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stopped = false;
};

}  // namespace velacor::base
