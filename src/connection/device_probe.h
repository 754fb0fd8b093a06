// Listing the attached sensors as the connect view shows them: each device is opened briefly
// and asked for its device information and identity, each tried twice.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/device_list.h"
#include "link/sensor_link.h"

namespace velacor::connection {

inline constexpr const char* UNKNOWN_DEVICE_NAME = "Unknown device";

// One row of the device list. A device that did not answer shows only its Name,
// "Unknown device", and keeps mode 0 so it can't be connected.
struct DeviceRow {
    std::string name;
    std::string serialNumber;
    std::string state;  // "Firmware" or "Bootloader (v%u)"
    std::string type;
    std::size_t entryIndex = 0;  // the DeviceEntry in the list this row stands for
};

// Closes the link, rebuilds `list` from the platform and probes every entry with the 500 ms
// probe time-out, setting each entry's mode. A device that can't be opened gets no row. The
// link is closed again on return. Exchanges go through `via` (the link itself, or a wrapper
// around it such as a tracer). `stopRequested`, when given, is asked before each device and
// each exchange: once it says true the probe ends with the rows it has (whoever asks the stop
// closes the link too, which ends an exchange in flight at once).
std::vector<DeviceRow> ProbeDevices(link::HidPlatform& platform, link::SensorLink& link,
                                    link::Transactor& via, link::DeviceList& list,
                                    const std::function<bool()>& stopRequested = {});

}  // namespace velacor::connection
