#include "link/sensor_link.h"

#include <system_error>

namespace velacor::link {

int SensorLink::OpenSensor(const std::string& path, int timeoutMs) {
    std::lock_guard lifecycle(m_lifecycleMutex);
    CloseLocked();

    std::unique_ptr<HidDevice> device = m_platform.Open(path);
    if (!device)
        return 1;
    // Devices with numbered reports expect id 1; without the capabilities the id of the last
    // device opened stays.
    if (const std::optional<bool> hasId1 = device->HasInputReportId1()) {
        m_reportId = *hasId1 ? 1 : 0;
    }

    m_device = std::move(device);
    m_timeout = std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    m_stopFlag = false;
    m_closing = false;
    m_sequence = 1;
    (void)m_requestReady.TryTake();
    (void)m_responseReady.TryTake();
    try {
        m_ioThread = std::thread(&SensorLink::IoThreadMain, this);
    } catch (const std::system_error&) {
        m_device.reset();
        return 1;
    }
    std::lock_guard gate(m_gateMutex);
    m_open = true;
    return 0;
}

void SensorLink::CloseSensor() {
    std::lock_guard lifecycle(m_lifecycleMutex);
    CloseLocked();
}

void SensorLink::CloseLocked() {
    {
        std::lock_guard gate(m_gateMutex);
        if (!m_open)
            return;
        m_open = false;
        m_closing = true;
    }
    {
        std::lock_guard pending(m_pendingMutex);
        m_pendingRequest = nullptr;
    }
    m_stopFlag = true;
    m_device->CancelIo();
    m_requestReady.Raise();
    if (m_ioThread.joinable())
        m_ioThread.join();

    // A transaction waiting for its answer wakes now and sees the link closing; transactions
    // waiting for the mutex follow one after another. Only when all have left is anything
    // released.
    m_responseReady.Raise();
    {
        std::unique_lock gate(m_gateMutex);
        m_gateCv.wait(gate, [this] { return m_inFlight == 0; });
    }
    m_device.reset();
    (void)m_requestReady.TryTake();
    (void)m_responseReady.TryTake();
    m_closing = false;
}

bool SensorLink::IsOpen() const {
    std::lock_guard gate(m_gateMutex);
    return m_open;
}

void SensorLink::EndTransaction() {
    std::lock_guard gate(m_gateMutex);
    if (--m_inFlight == 0)
        m_gateCv.notify_all();
}

int SensorLink::Transact(HidReport& report) {
    {
        std::lock_guard gate(m_gateMutex);
        if (!m_open)
            return LINK_NOT_OPEN;
        ++m_inFlight;
    }
    struct Leave {
        SensorLink* link;
        ~Leave() { link->EndTransaction(); }
    } leave{this};

    if (!m_transactionLock.try_acquire_for(m_timeout))
        return LINK_BUSY;
    struct Unlock {
        std::binary_semaphore& lock;
        ~Unlock() { lock.release(); }
    } owned{m_transactionLock};
    if (m_closing)
        return LINK_NOT_OPEN;

    HidReport request = report;
    request[REPORT_ID_OFFSET] = m_reportId;
    const auto sequence = static_cast<std::uint8_t>(m_sequence.load() + 1);
    m_sequence = sequence;
    request[SEQUENCE_OFFSET] = sequence;

    // An answer that came after its transaction gave up may have left the signal raised; it
    // must not wake this transaction.
    (void)m_responseReady.TryTake();
    {
        // Checked again here: CloseSensor marks the link closing before it clears the pending
        // request under this lock, so a request published here is either taken by the I/O
        // thread before CloseSensor cancels its I/O, or cleared by CloseSensor.
        std::lock_guard pending(m_pendingMutex);
        if (m_closing)
            return LINK_NOT_OPEN;
        m_pendingRequest = &request;
    }
    m_requestReady.Raise();

    int result = LINK_BUSY;
    if (!m_responseReady.WaitFor(m_timeout)) {
        {
            std::lock_guard pending(m_pendingMutex);
            m_pendingRequest = nullptr;
            m_device->CancelIo();
        }
        m_device->FlushInput();
        result = LINK_TIMEOUT;
    } else if (m_closing) {
        result = LINK_NOT_OPEN;
    } else {
        std::lock_guard rx(m_rxMutex);
        if (m_rxReport[SEQUENCE_OFFSET] == request[SEQUENCE_OFFSET]) {
            report = m_rxReport;
            result = LINK_OK;
        }
    }
    std::lock_guard pending(m_pendingMutex);
    m_pendingRequest = nullptr;
    return result;
}

void SensorLink::IoThreadMain() {
    HidReport tx{};
    HidReport rx{};
    while (!m_stopFlag) {
        m_requestReady.Wait();
        if (m_stopFlag)
            break;
        {
            std::lock_guard pending(m_pendingMutex);
            if (m_pendingRequest == nullptr)
                continue;
            tx = *m_pendingRequest;
            m_pendingRequest = nullptr;
            // A cancel meant for an earlier exchange must not end this one.
            m_device->ResetCancel();
        }
        if (!m_device->Write(tx))
            continue;  // the transaction will time out
        if (!m_device->Read(rx))
            continue;
        if (rx[SEQUENCE_OFFSET] != m_sequence.load())
            continue;  // stale answer: dropped
        {
            std::lock_guard lock(m_rxMutex);
            m_rxReport = rx;
        }
        m_responseReady.Raise();
    }
}

}  // namespace velacor::link
