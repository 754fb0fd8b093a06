#include "connection/device_probe.h"

#include "base/str_printf.h"
#include "protocol/device_type.h"
#include "protocol/identity_commands.h"

namespace velacor::connection {
namespace {

// The listing is the one place that retries: each read gets a second try.
template <class Read>
bool ReadTwice(Read read) {
    return read() == protocol::STATUS_OK || read() == protocol::STATUS_OK;
}

}  // namespace

std::vector<DeviceRow> ProbeDevices(link::HidPlatform& platform, link::SensorLink& link,
                                    link::Transactor& via, link::DeviceList& list) {
    link.CloseSensor();
    link::FreeDeviceList(list);
    link::BuildDeviceList(platform, list);

    std::vector<DeviceRow> rows;
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        link::DeviceEntry& entry = list.entries[i];
        if (link.OpenSensor(entry.path, link::PROBE_TIMEOUT_MS) != 0)
            continue;

        protocol::DeviceInfo info;
        protocol::SensorIdentity identity;
        DeviceRow row;
        row.entryIndex = i;
        if (!ReadTwice([&] { return protocol::ReadDeviceInfo(via, info); }) ||
            !ReadTwice([&] { return protocol::ReadIdentity(via, identity); })) {
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
    return rows;
}

}  // namespace velacor::connection
