// The USB HID link to one sensor: opens it, and carries request/answer exchanges of 129-byte
// reports with sequence numbers and time-outs.
//
// Threads: OpenSensor and CloseSensor may be called from any thread (in practice the GUI
// thread); Transact from any number of threads at once, strictly one exchange at a time. A
// transaction in progress while CloseSensor runs ends with LINK_BUSY, LINK_TIMEOUT or
// LINK_NOT_OPEN and touches nothing that CloseSensor releases: CloseSensor wakes it and waits
// for it to leave before closing the device.
//
// The link owns report bytes 0 (report id) and 3 (sequence number); the protocol owns the rest.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <semaphore>
#include <string>
#include <thread>

#include "link/binary_signal.h"
#include "link/hid_platform.h"
#include "link/link_status.h"
#include "link/transactor.h"

namespace velacor::link {

// Time-outs used by the link's callers.
inline constexpr int PROBE_TIMEOUT_MS = 500;
inline constexpr int CONNECT_TIMEOUT_MS = 3000;
inline constexpr int UPGRADE_TIMEOUT_MS = 5000;

class SensorLink final : public Transactor {
  public:
    explicit SensorLink(HidPlatform& platform) : m_platform(platform) {}
    ~SensorLink() override { CloseSensor(); }
    SensorLink(const SensorLink&) = delete;
    SensorLink& operator=(const SensorLink&) = delete;

    // 0 on success, 1 on any failure (the link then stays closed). An open link is closed
    // first.
    int OpenSensor(const std::string& path, int timeoutMs);
    // Safe when nothing is open and when called repeatedly.
    void CloseSensor();
    bool IsOpen() const;

    int Transact(HidReport& report) override;

  private:
    void CloseLocked();  // CloseSensor with m_lifecycleMutex held
    void IoThreadMain();
    void EndTransaction();

    HidPlatform& m_platform;

    std::mutex m_lifecycleMutex;  // serialises OpenSensor and CloseSensor

    // Gate: whether transactions may start, and how many are inside Transact.
    mutable std::mutex m_gateMutex;
    std::condition_variable m_gateCv;
    bool m_open = false;
    int m_inFlight = 0;
    std::atomic<bool> m_closing{false};

    std::unique_ptr<HidDevice> m_device;
    std::chrono::milliseconds m_timeout{0};
    std::uint8_t m_reportId = 0;
    std::atomic<std::uint8_t> m_sequence{0};

    // The transaction mutex: held from before a request is handed over until its answer or
    // time-out has been dealt with. A semaphore of one rather than std::timed_mutex, whose timed
    // lock ThreadSanitizer cannot follow.
    std::binary_semaphore m_transactionLock{1};
    BinarySignal m_requestReady;   // transaction -> I/O thread
    BinarySignal m_responseReady;  // I/O thread -> transaction

    // The request the I/O thread is to send; it copies the report out under the lock, so a
    // transaction that gave up may return and free its buffer at once.
    std::mutex m_pendingMutex;
    const HidReport* m_pendingRequest = nullptr;

    std::mutex m_rxMutex;
    HidReport m_rxReport{};  // last accepted answer, written by the I/O thread only

    std::atomic<bool> m_stopFlag{false};
    std::thread m_ioThread;
};

}  // namespace velacor::link
