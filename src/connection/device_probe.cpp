#include "connection/device_probe.h"

#include "base/str_printf.h"
#include "protocol/device_type.h"
#include "protocol/identity_commands.h"

namespace velacor::connection {
namespace {

// The listing is the one place that retries: each read gets a second try, unless the probe is
// to stop.
template <class Read>
bool ReadTwice(Read read, const std::function<bool()>& stopped) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (stopped && stopped())
            return false;
        if (read() == protocol::STATUS_OK)
            return true;
    }
    return false;
}

}  // namespace

std::vector<DeviceRow> ProbeDevices(link::HidPlatform& platform, link::SensorLink& link,
                                    link::Transactor& via, link::DeviceList& list,
                                    const std::function<bool()>& stopRequested) {
    link.CloseSensor();
    link::FreeDeviceList(list);
    link::BuildDeviceList(platform, list);

    std::vector<DeviceRow> rows;
    const auto stopped = [&stopRequested] { return stopRequested && stopRequested(); };
    for (std::size_t i = 0; i < list.entries.size() && !stopped(); ++i) {
        link::DeviceEntry& entry = list.entries[i];
        if (link.OpenSensor(entry.path, link::PROBE_TIMEOUT_MS) != 0)
            continue;
        if (stopped())
            break;  // opened after the stop closed the link: close it again below

        protocol::DeviceInfo info;
        protocol::SensorIdentity identity;
        DeviceRow row;
        row.entryIndex = i;
        if (!ReadTwice([&] { return protocol::ReadDeviceInfo(via, info); }, stopRequested) ||
            !ReadTwice([&] { return protocol::ReadIdentity(via, identity); }, stopRequested)) {
            entry.mode = link::MODE_NOT_PROBED;
            row.name = UNKNOWN_DEVICE_NAME;
        } else {
            entry.mode = identity.mode;
            row.name = info.Name();
            row.serialNumber = base::StrPrintf("%u", static_cast<unsigned>(info.serialNumber));
            row.state = identity.mode == link::MODE_BOOTLOADER
                            ? base::StrPrintf("Bootloader (v%u)",
                                              static_cast<unsigned>(identity.bootloaderVersion))
                            : "Firmware";
            row.type = protocol::DeviceTypeName(identity.deviceType);
        }
        rows.push_back(std::move(row));
        link.CloseSensor();
    }
    link.CloseSensor();
    return rows;
}

}  // namespace velacor::connection
