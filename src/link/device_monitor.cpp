#include "link/device_monitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace velacor::link {
namespace {

class UdevHotplugSource final : public HotplugSource {
  public:
    UdevHotplugSource(udev* context, udev_monitor* monitor)
        : m_context(context), m_monitor(monitor) {}
    ~UdevHotplugSource() override {
        udev_monitor_unref(m_monitor);
        udev_unref(m_context);
    }
    int Descriptor() override { return udev_monitor_get_fd(m_monitor); }
    std::optional<DeviceEvent> Receive() override {
        udev_device* device = udev_monitor_receive_device(m_monitor);
        if (device == nullptr)
            return std::nullopt;
        std::optional<DeviceEvent> event;
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        if (action != nullptr && node != nullptr) {
            if (std::strcmp(action, "add") == 0)
                event = DeviceEvent{DEVICE_ARRIVAL, node};
            else if (std::strcmp(action, "remove") == 0)
                event = DeviceEvent{DEVICE_REMOVE_COMPLETE, node};
        }
        udev_device_unref(device);
        return event;
    }

  private:
    udev* m_context;
    udev_monitor* m_monitor;
};

std::string WithErrno(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

}  // namespace

std::unique_ptr<HotplugSource> OpenUdevHotplugSource(std::string& error) {
    udev* context = udev_new();
    if (context == nullptr) {
        error = WithErrno("Device monitor: udev is not available", errno);
        return nullptr;
    }
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    if (monitor == nullptr) {
        error = WithErrno("Device monitor: cannot listen to udev", errno);
        udev_unref(context);
        return nullptr;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        error = WithErrno("Device monitor: cannot receive udev events", errno);
        udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::make_unique<UdevHotplugSource>(context, monitor);
}

void UdevDeviceMonitor::Start(DeviceEventHandler onEvent, MonitorErrorHandler onError) {
    Stop();
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        if (onError)
            onError(WithErrno("Device monitor: cannot start", errno));
        return;
    }
    const auto wake = [fd = m_wakeFd] {
        const std::uint64_t one = 1;
        (void)!::write(fd, &one, sizeof one);
    };
    const bool started = m_worker.Start(
        [this, onEvent = std::move(onEvent), onError] { Run(onEvent, onError); }, wake);
    if (!started && onError)
        onError("Device monitor: cannot start a thread");
}

void UdevDeviceMonitor::Stop() {
    m_worker.Stop();
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
        m_wakeFd = -1;
    }
}

void UdevDeviceMonitor::Run(const DeviceEventHandler& onEvent, const MonitorErrorHandler& onError) {
    const auto fail = [&onError](const std::string& message) {
        if (onError)
            onError(message + "; sensors plugged in or out are not noticed");
    };
    std::string error;
    std::unique_ptr<HotplugSource> source = m_open(error);
    if (!source) {
        fail(error);
        return;
    }
    pollfd fds[2] = {{source->Descriptor(), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    while (!m_worker.StopRequested()) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;  // a signal: nothing happened to the monitor
            fail(WithErrno("Device monitor: waiting for udev failed", errno));
            return;
        }
        if ((fds[1].revents & POLLIN) != 0)
            return;
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            fail("Device monitor: the udev connection closed");
            return;
        }
        if ((fds[0].revents & POLLIN) == 0)
            continue;
        if (const std::optional<DeviceEvent> event = source->Receive())
            onEvent(*event);
    }
}

void PollingDeviceMonitor::Start(DeviceEventHandler onEvent, MonitorErrorHandler onError) {
    Stop();
    const bool started = m_worker.Start([this, onEvent = std::move(onEvent)] {
        auto paths = [this] {
            std::set<std::string> present;
            for (const auto& info : m_platform.ListInterfaces())
                present.insert(info.path);
            return present;
        };
        std::set<std::string> known = paths();
        while (!m_worker.Sleep(m_period)) {
            const std::set<std::string> now = paths();
            for (const auto& path : known) {
                if (!now.contains(path))
                    onEvent({DEVICE_REMOVE_COMPLETE, path});
            }
            for (const auto& path : now) {
                if (!known.contains(path))
                    onEvent({DEVICE_ARRIVAL, path});
            }
            known = now;
        }
    });
    if (!started && onError)
        onError("Device monitor: cannot start a thread");
}

}  // namespace velacor::link
