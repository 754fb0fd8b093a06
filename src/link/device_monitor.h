// Device arrival and removal notifications. Events are numbered as the connect view knows
// them: 1 arrival, 2 query remove, 3 query remove failed, 4 remove pending, 5 remove complete,
// 6 device-type specific; only 1 and 5 are ever produced here.
//
// Threads: Start and Stop from the owner's thread; the callback runs on the monitor's own
// thread, so it must only hand the event on (the window queues it to the GUI thread).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/stop_signal.h"
#include "link/hid_platform.h"

namespace velacor::link {

inline constexpr int DEVICE_ARRIVAL = 1;
inline constexpr int DEVICE_REMOVE_COMPLETE = 5;

struct DeviceEvent {
    int kind = 0;
    std::string path;  // the device interface path, as the device list holds it
};

using DeviceEventHandler = std::function<void(const DeviceEvent&)>;

class DeviceMonitor {
  public:
    virtual ~DeviceMonitor() = default;
    virtual void Start(DeviceEventHandler onEvent) = 0;
    // Ends the monitor's thread; no callback runs after it returns.
    virtual void Stop() = 0;
};

// hidraw nodes appearing and disappearing, from the udev monitor.
class UdevDeviceMonitor final : public DeviceMonitor {
  public:
    ~UdevDeviceMonitor() override { Stop(); }
    void Start(DeviceEventHandler onEvent) override;
    void Stop() override;

  private:
    void Run(DeviceEventHandler onEvent);
    std::thread m_thread;
    int m_stopFd = -1;
};

// Watches a platform's interface list and reports what came and went, every `period`. Serves
// the virtual sensors, whose unplug, re-plug and restarts change that list.
class PollingDeviceMonitor final : public DeviceMonitor {
  public:
    explicit PollingDeviceMonitor(HidPlatform& platform,
                                  std::chrono::milliseconds period = std::chrono::milliseconds(100))
        : m_platform(platform), m_period(period) {}
    ~PollingDeviceMonitor() override { Stop(); }
    void Start(DeviceEventHandler onEvent) override;
    void Stop() override;

  private:
    HidPlatform& m_platform;
    std::chrono::milliseconds m_period;
    base::StopSignal m_stop;
    std::thread m_thread;
};

// Several monitors as one.
class CompositeDeviceMonitor final : public DeviceMonitor {
  public:
    void Add(std::unique_ptr<DeviceMonitor> monitor) { m_monitors.push_back(std::move(monitor)); }
    void Start(DeviceEventHandler onEvent) override {
        for (auto& m : m_monitors)
            m->Start(onEvent);
    }
    void Stop() override {
        for (auto& m : m_monitors)
            m->Stop();
    }

  private:
    std::vector<std::unique_ptr<DeviceMonitor>> m_monitors;
};

}  // namespace velacor::link
