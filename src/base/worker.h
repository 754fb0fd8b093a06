// One worker thread and the stop request it sleeps on. The owner starts it, stops it and joins
// it; the body checks StopRequested() between steps or sleeps with Sleep(), which returns at
// once when a stop is requested. A body blocked elsewhere (a poll on a descriptor, a link
// exchange) is woken by the wake hook its owner gives Start.
//
// Threads: Start, Stop and the destructor from the owner's thread; Sleep and StopRequested from
// the body; RequestStop and Running from any thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "base/stop_signal.h"

namespace velacor::base {

class Worker {
  public:
    // How a thread is made; tests pass one that fails.
    using Spawn = std::thread (*)(std::function<void()> body);
    static std::thread SpawnThread(std::function<void()> body);

    explicit Worker(Spawn spawn = &SpawnThread) : m_spawn(spawn) {}
    ~Worker() { Stop(); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Stops a worker still running, then runs `body` on a new thread. `wake`, if given, is
    // called by RequestStop after the stop flag is set. False when no thread could be started:
    // the body never runs and the worker stays stopped.
    [[nodiscard]] bool Start(std::function<void()> body, std::function<void()> wake = {});
    // Asks the body to end and wakes it; returns at once.
    void RequestStop();
    // RequestStop, then waits for the thread to end. Safe when never started and when repeated;
    // from the worker's own thread it only requests the stop.
    void Stop();
    // Started and the body has not returned yet.
    bool Running() const { return m_running.load(); }

    // For the body: sleeps up to `timeout`; true when a stop was requested (at once if it was).
    bool Sleep(std::chrono::milliseconds timeout) { return m_stop.WaitFor(timeout); }
    bool StopRequested() const { return m_stop.Stopped(); }

  private:
    Spawn m_spawn;
    StopSignal m_stop;
    std::function<void()> m_wake;  // written by Start before the thread exists, read by RequestStop
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};

}  // namespace velacor::base
