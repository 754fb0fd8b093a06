#include "link/hidraw_platform.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "link/report_descriptor.h"

namespace velacor::link {
namespace {

// "HID\VID_04D8&PID_E967&REV_0100" from the hidraw node's HID and USB parents.
std::string HardwareIdOf(udev_device* hidraw) {
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    if (hid == nullptr)
        return {};
    const char* hidId = udev_device_get_property_value(hid, "HID_ID");  // "0003:000004D8:0000E967"
    unsigned bus = 0;
    unsigned vendor = 0;
    unsigned product = 0;
    if (hidId == nullptr || std::sscanf(hidId, "%x:%x:%x", &bus, &vendor, &product) != 3) {
        return {};
    }
    unsigned revision = 0;
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(hid, "usb", "usb_device");
    if (usb != nullptr) {
        if (const char* bcd = udev_device_get_sysattr_value(usb, "bcdDevice")) {
            std::sscanf(bcd, "%x", &revision);
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "HID\\VID_%04X&PID_%04X&REV_%04X", vendor & 0xFFFFu,
                  product & 0xFFFFu, revision & 0xFFFFu);
    return text;
}

class HidrawDevice final : public HidDevice {
  public:
    HidrawDevice(int fd, int cancelFd, std::optional<ReportDescriptorInfo> descriptor)
        : m_fd(fd), m_cancelFd(cancelFd), m_descriptor(descriptor) {}
    ~HidrawDevice() override {
        ::close(m_cancelFd);
        ::close(m_fd);  // also drops the exclusive lock
    }

    bool Write(const HidReport& report) override {
        for (;;) {
            if (!WaitReady(POLLOUT))
                return false;
            const ssize_t put = ::write(m_fd, report.data(), report.size());
            if (put < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            return put == static_cast<ssize_t>(report.size());
        }
    }

    bool Read(HidReport& report) override {
        // Unnumbered reports arrive without their id byte: keep byte 0 for it.
        const bool numbered = m_descriptor && m_descriptor->usesReportIds;
        std::uint8_t* target = numbered ? report.data() : report.data() + 1;
        const std::size_t size = numbered ? report.size() : report.size() - 1;
        ssize_t got = -1;
        for (;;) {
            if (!WaitReady(POLLIN))
                return false;
            // The device is non-blocking: a report that a flush on another thread took between
            // poll and read sends us back to waiting, where a cancel can still reach us.
            got = ::read(m_fd, target, size);
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            break;
        }
        if (got <= 0)
            return false;
        if (!numbered)
            report[0] = 0;
        std::memset(target + got, 0, size - static_cast<std::size_t>(got));
        return true;
    }

    void CancelIo() override {
        const std::uint64_t one = 1;
        (void)!::write(m_cancelFd, &one, sizeof one);
    }

    void ResetCancel() override {
        std::uint64_t count = 0;
        (void)!::read(m_cancelFd, &count, sizeof count);  // non-blocking: nothing pending is fine
    }

    void FlushInput() override {
        std::uint8_t discard[REPORT_SIZE];
        pollfd pfd{m_fd, POLLIN, 0};
        while (::poll(&pfd, 1, 0) == 1 && (pfd.revents & POLLIN) != 0) {
            if (::read(m_fd, discard, sizeof discard) <= 0)
                break;
        }
    }

    std::optional<bool> HasInputReportId1() override {
        if (!m_descriptor)
            return std::nullopt;
        return m_descriptor->hasInputReportId1;
    }

  private:
    // Waits until the device is ready for `events`; false when cancelled or the device failed.
    bool WaitReady(short events) {
        pollfd fds[2] = {{m_fd, events, 0}, {m_cancelFd, POLLIN, 0}};
        for (;;) {
            const int n = ::poll(fds, 2, -1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return false;
            if ((fds[1].revents & POLLIN) != 0) {
                ResetCancel();
                return false;
            }
            if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
                return false;
            if ((fds[0].revents & events) != 0)
                return true;
        }
    }

    int m_fd;
    int m_cancelFd;
    std::optional<ReportDescriptorInfo> m_descriptor;
};

std::optional<ReportDescriptorInfo> ReadDescriptor(int fd) {
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size < 0)
        return std::nullopt;
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<std::uint32_t>(size);
    if (descriptor.size > HID_MAX_DESCRIPTOR_SIZE)
        return std::nullopt;
    if (::ioctl(fd, HIDIOCGRDESC, &descriptor) < 0)
        return std::nullopt;
    return ParseReportDescriptor({descriptor.value, descriptor.size});
}

}  // namespace

std::vector<HidInterfaceInfo> HidrawPlatform::ListInterfaces() {
    std::vector<HidInterfaceInfo> result;
    udev* context = udev_new();
    if (context == nullptr)
        return result;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    if (enumerate != nullptr) {
        udev_enumerate_add_match_subsystem(enumerate, "hidraw");
        udev_enumerate_scan_devices(enumerate);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            udev_device* device =
                udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (device == nullptr)
                continue;
            const char* node = udev_device_get_devnode(device);
            std::string hardwareId = HardwareIdOf(device);
            if (node != nullptr && !hardwareId.empty()) {
                result.push_back({std::move(hardwareId), node});
            }
            udev_device_unref(device);
        }
        udev_enumerate_unref(enumerate);
    }
    udev_unref(context);
    return result;
}

std::unique_ptr<HidDevice> HidrawPlatform::Open(const std::string& path) {
    if (!path.starts_with('/'))
        return nullptr;  // device nodes only; other platforms' paths are not files
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    // hidraw itself allows many openers; the sensor must have exactly one.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    const int cancelFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (cancelFd < 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<HidrawDevice>(fd, cancelFd, ReadDescriptor(fd));
}

}  // namespace velacor::link
