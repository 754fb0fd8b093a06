// A binary semaphore (initial count 0, maximum 1) whose Raise() on an already raised signal
// does nothing, as the link's hand-off needs: std::binary_semaphore::release() beyond its
// maximum is undefined behaviour, and two threads may raise the same signal (a transaction and
// CloseSensor, or the I/O thread and CloseSensor).
#pragma once

#include <chrono>
#include <mutex>
#include <semaphore>

namespace velacor::link {

class BinarySignal {
  public:
    void Raise() {
        std::lock_guard lock(m_raiseMutex);
        (void)m_semaphore.try_acquire();
        m_semaphore.release();
    }
    void Wait() { m_semaphore.acquire(); }
    bool WaitFor(std::chrono::milliseconds timeout) { return m_semaphore.try_acquire_for(timeout); }
    // Takes a pending raise, if any, without waiting.
    bool TryTake() { return m_semaphore.try_acquire(); }

  private:
    std::mutex m_raiseMutex;  // serialises raisers only; waiters never take it
    std::binary_semaphore m_semaphore{0};
};

}  // namespace velacor::link
