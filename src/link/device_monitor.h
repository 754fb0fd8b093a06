// Device arrival and removal notifications. Events are numbered as the connect view knows
// them: 1 arrival, 2 query remove, 3 query remove failed, 4 remove pending, 5 remove complete,
// 6 device-type specific; only 1 and 5 are ever produced here.
//
// Threads: Start and Stop from the owner's thread; the callbacks run on the monitor's own
// thread, so they must only hand the event or the error on (the window queues it to the GUI
// thread).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/worker.h"
#include "link/hid_platform.h"

namespace velacor::link {

inline constexpr int DEVICE_ARRIVAL = 1;
inline constexpr int DEVICE_REMOVE_COMPLETE = 5;

struct DeviceEvent {
    int kind = 0;
    std::string path;  // the device interface path, as the device list holds it
};

using DeviceEventHandler = std::function<void(const DeviceEvent&)>;
// A monitor that can't watch (set-up failed, its descriptor broke) says why, once, and ends.
using MonitorErrorHandler = std::function<void(const std::string& message)>;

class DeviceMonitor {
  public:
    virtual ~DeviceMonitor() = default;
    virtual void Start(DeviceEventHandler onEvent, MonitorErrorHandler onError) = 0;
    // Ends the monitor's thread; no callback runs after it returns.
    virtual void Stop() = 0;
};

// What the udev monitor listens to: a descriptor that turns readable when an event waits, and
// the event waiting on it. The real one is libudev's monitor of hidraw nodes; tests give their
// own. Used on the monitor's thread only.
class HotplugSource {
  public:
    virtual ~HotplugSource() = default;
    virtual int Descriptor() = 0;
    // The event waiting on the descriptor, when it is the addition or removal of a node.
    virtual std::optional<DeviceEvent> Receive() = 0;
};
// libudev's monitor of hidraw nodes; nullptr with `error` set when it can't be set up.
std::unique_ptr<HotplugSource> OpenUdevHotplugSource(std::string& error);

// hidraw nodes appearing and disappearing, from the udev monitor.
class UdevDeviceMonitor final : public DeviceMonitor {
  public:
    using SourceFactory = std::function<std::unique_ptr<HotplugSource>(std::string& error)>;
    explicit UdevDeviceMonitor(SourceFactory open = OpenUdevHotplugSource)
        : m_open(std::move(open)) {}
    ~UdevDeviceMonitor() override { Stop(); }
    void Start(DeviceEventHandler onEvent, MonitorErrorHandler onError) override;
    void Stop() override;

  private:
    void Run(const DeviceEventHandler& onEvent, const MonitorErrorHandler& onError);
    SourceFactory m_open;
    int m_wakeFd = -1;  // an eventfd: written to wake the thread's poll for a stop
    base::Worker m_worker;
};

// Watches a platform's interface list and reports what came and went, every `period`. Serves
// the virtual sensors, whose unplug, re-plug and restarts change that list.
class PollingDeviceMonitor final : public DeviceMonitor {
  public:
    explicit PollingDeviceMonitor(HidPlatform& platform,
                                  std::chrono::milliseconds period = std::chrono::milliseconds(100))
        : m_platform(platform), m_period(period) {}
    ~PollingDeviceMonitor() override { Stop(); }
    void Start(DeviceEventHandler onEvent, MonitorErrorHandler onError) override;
    void Stop() override { m_worker.Stop(); }

  private:
    HidPlatform& m_platform;
    std::chrono::milliseconds m_period;
    base::Worker m_worker;
};

// Several monitors as one.
class CompositeDeviceMonitor final : public DeviceMonitor {
  public:
    void Add(std::unique_ptr<DeviceMonitor> monitor) { m_monitors.push_back(std::move(monitor)); }
    void Start(DeviceEventHandler onEvent, MonitorErrorHandler onError) override {
        for (auto& m : m_monitors)
            m->Start(onEvent, onError);
    }
    void Stop() override {
        for (auto& m : m_monitors)
            m->Stop();
    }

  private:
    std::vector<std::unique_ptr<DeviceMonitor>> m_monitors;
};

}  // namespace velacor::link
