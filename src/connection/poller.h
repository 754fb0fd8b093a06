// The live data poller: once a second it asks the connected sensor for its power status,
// measurement counters, output status with the latest raw sample, and platform data; it keeps
// the sample history and the last copies, and reports link health and sensor mode.
//
// Threads: Start, Stop and ClearHistory from the owner's thread (the GUI thread); the reports
// run on the poller's thread and must only hand their copies on. The shared copies may be read
// from any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

#include "base/worker.h"
#include "connection/sample_history.h"
#include "link/transactor.h"
#include "protocol/identity_records.h"
#include "protocol/live_records.h"

namespace velacor::connection {

struct PollerReports {
    std::function<void(bool ok, const protocol::PowerStatus& power)> linkHealth;
    std::function<void(bool ok, const protocol::MeasurementCounters& counters)> measurementInfo;
    std::function<void(std::uint8_t mode)> sensorRunning;
    std::function<void(std::uint8_t mode)> sensorIdle;
};

class Poller {
  public:
    ~Poller() { Stop(); }

    // False when the history can't be allocated or the thread can't be started: then no poller
    // runs and nothing is reported.
    [[nodiscard]] bool Start(link::Transactor& link, PollerReports reports,
                             std::chrono::milliseconds period = std::chrono::milliseconds(1000));
    // Ends the thread (within one request time-out) and releases the history.
    void Stop();
    bool Running() const { return m_running; }
    void ClearHistory() { m_history.Clear(); }

    const SampleHistory& History() const { return m_history; }
    protocol::PowerStatus Power() const;
    protocol::MeasurementCounters Counters() const;
    protocol::PlatformData Platform() const;

    // One cycle, without waiting (the thread's body; public for tests).
    void Cycle(link::Transactor& link, const PollerReports& reports);

  private:
    SampleHistory m_history;
    mutable std::mutex m_copiesMutex;
    protocol::PowerStatus m_power;
    protocol::MeasurementCounters m_counters;
    protocol::PlatformData m_platform;
    bool m_haveSample = false;
    std::uint32_t m_lastCounter = 0;

    bool m_running = false;  // the owner's thread only
    base::Worker m_worker;   // last: it ends before what it uses goes
};

}  // namespace velacor::connection
