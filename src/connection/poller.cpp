#include "connection/poller.h"

#include "connection/connection_flags.h"
#include "protocol/identity_commands.h"
#include "protocol/live_commands.h"

namespace velacor::connection {

bool Poller::Start(link::Transactor& link, PollerReports reports,
                   std::chrono::milliseconds period) {
    Stop();
    {
        std::lock_guard lock(m_copiesMutex);
        m_power = {};
        m_counters = {};
        m_platform = {};
    }
    if (!m_history.Allocate())
        return false;
    m_haveSample = false;
    m_running = m_worker.Start([this, &link, reports = std::move(reports), period] {
        do {
            Cycle(link, reports);
        } while (!m_worker.Sleep(period));
    });
    if (!m_running)
        m_history.Release();
    return m_running;
}

void Poller::Stop() {
    if (!m_running)
        return;
    m_running = false;
    m_worker.Stop();
    m_history.Release();
}

protocol::PowerStatus Poller::Power() const {
    std::lock_guard lock(m_copiesMutex);
    return m_power;
}

protocol::MeasurementCounters Poller::Counters() const {
    std::lock_guard lock(m_copiesMutex);
    return m_counters;
}

protocol::PlatformData Poller::Platform() const {
    std::lock_guard lock(m_copiesMutex);
    return m_platform;
}

void Poller::Cycle(link::Transactor& link, const PollerReports& reports) {
    using namespace protocol;
    PowerStatus power;
    if (ReadPowerStatus(link, power) != STATUS_OK)
        power = {};
    MeasurementCounters counters;
    if (ReadMeasurementCounters(link, counters) != STATUS_OK)
        counters = {};
    {
        std::lock_guard lock(m_copiesMutex);
        m_power = power;
        m_counters = counters;
    }

    OutputStatus output;
    const int status = ReadOutputStatus(link, output);
    if (status == STATUS_OK || status == STATUS_NO_NEW_SAMPLE) {
        if (reports.linkHealth)
            reports.linkHealth(true, power);
        if (reports.measurementInfo)
            reports.measurementInfo(true, counters);
        if (output.mode == SENSOR_MODE_IDLE) {
            if (reports.sensorIdle)
                reports.sensorIdle(output.mode);
        } else if (reports.sensorRunning) {
            reports.sensorRunning(output.mode);
        }
    } else if (status == RESULT_TRANSPORT_FAILURE) {
        // A sensor answering 14 counts as a communication error too.
        if (reports.linkHealth)
            reports.linkHealth(false, power);
    }

    PlatformData platform;
    if (ReadPlatformData(link, platform) != STATUS_OK)
        platform = {};
    {
        std::lock_guard lock(m_copiesMutex);
        m_platform = platform;
    }

    if (status == STATUS_OK && (!m_haveSample || output.sample.counter != m_lastCounter)) {
        m_history.Append(output.sample);
        m_haveSample = true;
        m_lastCounter = output.sample.counter;
    }
}

}  // namespace velacor::connection
