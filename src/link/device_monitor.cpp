#include "link/device_monitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace velacor::link {

void UdevDeviceMonitor::Start(DeviceEventHandler onEvent) {
    Stop();
    m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopFd < 0)
        return;
    m_thread = std::thread(&UdevDeviceMonitor::Run, this, std::move(onEvent));
}

void UdevDeviceMonitor::Stop() {
    if (m_stopFd < 0)
        return;
    const std::uint64_t one = 1;
    (void)!::write(m_stopFd, &one, sizeof one);
    if (m_thread.joinable())
        m_thread.join();
    ::close(m_stopFd);
    m_stopFd = -1;
}

void UdevDeviceMonitor::Run(DeviceEventHandler onEvent) {
    udev* context = udev_new();
    if (context == nullptr)
        return;
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    if (monitor != nullptr &&
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) >= 0 &&
        udev_monitor_enable_receiving(monitor) >= 0) {
        pollfd fds[2] = {{udev_monitor_get_fd(monitor), POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        while (::poll(fds, 2, -1) >= 0 && (fds[1].revents & POLLIN) == 0) {
            if ((fds[0].revents & POLLIN) == 0)
                continue;
            udev_device* device = udev_monitor_receive_device(monitor);
            if (device == nullptr)
                continue;
            const char* action = udev_device_get_action(device);
            const char* node = udev_device_get_devnode(device);
            if (action != nullptr && node != nullptr) {
                if (std::strcmp(action, "add") == 0)
                    onEvent({DEVICE_ARRIVAL, node});
                else if (std::strcmp(action, "remove") == 0)
                    onEvent({DEVICE_REMOVE_COMPLETE, node});
            }
            udev_device_unref(device);
        }
    }
    if (monitor != nullptr)
        udev_monitor_unref(monitor);
    udev_unref(context);
}

void PollingDeviceMonitor::Start(DeviceEventHandler onEvent) {
    Stop();
    m_stop.Reset();
    m_thread = std::thread([this, onEvent = std::move(onEvent)] {
        auto paths = [this] {
            std::set<std::string> present;
            for (const auto& info : m_platform.ListInterfaces())
                present.insert(info.path);
            return present;
        };
        std::set<std::string> known = paths();
        while (!m_stop.WaitFor(m_period)) {
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
}

void PollingDeviceMonitor::Stop() {
    m_stop.Stop();
    if (m_thread.joinable())
        m_thread.join();
}

}  // namespace velacor::link
