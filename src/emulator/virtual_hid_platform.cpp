#include "emulator/virtual_hid_platform.h"

#include <array>
#include <chrono>
#include <condition_variable>

namespace velacor::emulator {

struct VirtualHidPlatform::Slot {
    std::string path;
    std::shared_ptr<VirtualSensor> sensor;
    std::mutex openMutex;
    bool open = false;
};

namespace {

using link::HidReport;

// An open handle: writes go straight to the sensor, whose answers wait in a small queue until
// read.
class VirtualHidDevice final : public link::HidDevice {
  public:
    explicit VirtualHidDevice(std::shared_ptr<VirtualHidPlatform::Slot> slot)
        : m_slot(std::move(slot)), m_session(m_slot->sensor->UsbSession()) {}

    ~VirtualHidDevice() override {
        std::lock_guard lock(m_slot->openMutex);
        m_slot->open = false;
    }

    bool Write(const HidReport& report) override {
        {
            std::lock_guard lock(m_mutex);
            if (m_cancel) {
                m_cancel = false;
                return false;
            }
        }
        if (!Alive())
            return false;
        HidReport answer{};
        if (!m_slot->sensor->Handle(report, answer))
            return true;  // written, never answered
        std::lock_guard lock(m_mutex);
        if (m_count == m_queue.size())
            Pop();  // a full queue loses its oldest report
        m_queue[(m_head + m_count) % m_queue.size()] = answer;
        ++m_count;
        m_cv.notify_all();
        return true;
    }

    bool Read(HidReport& report) override {
        std::unique_lock lock(m_mutex);
        for (;;) {
            if (m_cancel) {
                m_cancel = false;
                return false;
            }
            if (m_count > 0) {
                report = m_queue[m_head];
                Pop();
                return true;
            }
            // Answers already queued are still delivered after the sensor leaves USB.
            if (!Alive())
                return false;
            m_cv.wait_for(lock, std::chrono::milliseconds(20));
        }
    }

    void CancelIo() override {
        std::lock_guard lock(m_mutex);
        m_cancel = true;
        m_cv.notify_all();
    }

    void ResetCancel() override {
        std::lock_guard lock(m_mutex);
        m_cancel = false;
    }

    void FlushInput() override {
        std::lock_guard lock(m_mutex);
        m_count = 0;
    }

    std::optional<bool> HasInputReportId1() override { return true; }

  private:
    bool Alive() const {
        return m_slot->sensor->UsbSession() == m_session && m_slot->sensor->Present();
    }
    void Pop() {
        m_head = (m_head + 1) % m_queue.size();
        --m_count;
    }

    std::shared_ptr<VirtualHidPlatform::Slot> m_slot;
    const std::uint64_t m_session;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::array<HidReport, 8> m_queue{};
    std::size_t m_head = 0;
    std::size_t m_count = 0;
    bool m_cancel = false;
};

}  // namespace

std::string VirtualHidPlatform::AddSensor(std::shared_ptr<VirtualSensor> sensor) {
    std::lock_guard lock(m_mutex);
    auto slot = std::make_shared<Slot>();
    slot->path = "virtual/" + std::to_string(m_slots.size());
    slot->sensor = std::move(sensor);
    m_slots.push_back(slot);
    return slot->path;
}

std::shared_ptr<VirtualSensor> VirtualHidPlatform::SensorAt(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    for (const auto& slot : m_slots) {
        if (slot->path == path)
            return slot->sensor;
    }
    return nullptr;
}

std::vector<link::HidInterfaceInfo> VirtualHidPlatform::ListInterfaces() {
    std::lock_guard lock(m_mutex);
    std::vector<link::HidInterfaceInfo> result;
    for (const auto& slot : m_slots) {
        if (slot->sensor->Present())
            result.push_back({VIRTUAL_HARDWARE_ID, slot->path});
    }
    return result;
}

std::unique_ptr<link::HidDevice> VirtualHidPlatform::Open(const std::string& path) {
    std::shared_ptr<Slot> found;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& slot : m_slots) {
            if (slot->path == path)
                found = slot;
        }
    }
    if (!found || !found->sensor->Present())
        return nullptr;
    std::lock_guard lock(found->openMutex);
    if (found->open)
        return nullptr;  // exclusive, like a real sensor
    found->open = true;
    return std::make_unique<VirtualHidDevice>(found);
}

}  // namespace velacor::emulator
