// A HidPlatform whose one device answers as the test asks: echo the request, answer with a
// stale sequence number, stay silent, or answer late ignoring cancels.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/hid_platform.h"

namespace velacor::link::testing {

enum class Behaviour {
    Echo,         // answers at once with the request's bytes and a status of 0
    Stale,        // answers at once with the previous sequence number
    Silent,       // never answers (a read blocks until cancelled)
    LateNoCancel  // answers after `lateBy`, cancels notwithstanding
};

struct DeviceScript {
    std::mutex mutex;
    std::condition_variable cv;
    Behaviour behaviour = Behaviour::Echo;
    std::chrono::milliseconds lateBy{0};
    std::optional<bool> hasInputReportId1 = true;
    std::vector<HidReport> written;
    std::optional<HidReport> pending;  // the answer a Read will deliver
    int cancels = 0;
    int flushes = 0;
    bool cancelFlag = false;
    bool open = false;

    void SetBehaviour(Behaviour b) {
        std::lock_guard lock(mutex);
        behaviour = b;
    }
    std::vector<HidReport> Written() {
        std::lock_guard lock(mutex);
        return written;
    }
};

class FakeDevice final : public HidDevice {
  public:
    explicit FakeDevice(DeviceScript& script) : m_s(script) {}
    ~FakeDevice() override {
        std::lock_guard lock(m_s.mutex);
        m_s.open = false;
    }
    bool Write(const HidReport& report) override {
        std::lock_guard lock(m_s.mutex);
        if (m_s.cancelFlag) {
            m_s.cancelFlag = false;
            return false;
        }
        m_s.written.push_back(report);
        HidReport answer = report;
        if (m_s.behaviour == Behaviour::Stale)
            answer[3] = static_cast<std::uint8_t>(answer[3] - 1);
        if (m_s.behaviour != Behaviour::Silent)
            m_s.pending = answer;
        return true;
    }
    bool Read(HidReport& report) override {
        std::unique_lock lock(m_s.mutex);
        if (m_s.behaviour == Behaviour::LateNoCancel) {
            const auto late = m_s.lateBy;
            lock.unlock();
            std::this_thread::sleep_for(late);
            lock.lock();
            if (!m_s.pending)
                return false;
            report = *m_s.pending;
            m_s.pending.reset();
            return true;
        }
        m_s.cv.wait(lock, [this] { return m_s.cancelFlag || m_s.pending.has_value(); });
        if (m_s.cancelFlag) {
            m_s.cancelFlag = false;
            return false;
        }
        report = *m_s.pending;
        m_s.pending.reset();
        return true;
    }
    void CancelIo() override {
        std::lock_guard lock(m_s.mutex);
        ++m_s.cancels;
        m_s.cancelFlag = true;
        m_s.cv.notify_all();
    }
    void ResetCancel() override {
        std::lock_guard lock(m_s.mutex);
        m_s.cancelFlag = false;
    }
    void FlushInput() override {
        std::lock_guard lock(m_s.mutex);
        ++m_s.flushes;
    }
    std::optional<bool> HasInputReportId1() override {
        std::lock_guard lock(m_s.mutex);
        return m_s.hasInputReportId1;
    }

  private:
    DeviceScript& m_s;
};

class FakePlatform final : public HidPlatform {
  public:
    std::vector<HidInterfaceInfo> interfaces;
    std::map<std::string, DeviceScript> devices;

    std::vector<HidInterfaceInfo> ListInterfaces() override { return interfaces; }
    std::unique_ptr<HidDevice> Open(const std::string& path) override {
        const auto it = devices.find(path);
        if (it == devices.end())
            return nullptr;
        std::lock_guard lock(it->second.mutex);
        if (it->second.open)
            return nullptr;
        it->second.open = true;
        return std::make_unique<FakeDevice>(it->second);
    }
};

}  // namespace velacor::link::testing
