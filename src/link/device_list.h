// The list of attached sensor candidates.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/hid_platform.h"

namespace velacor::link {

// Device modes set by the connection logic after probing.
inline constexpr std::uint32_t MODE_NOT_PROBED = 0;
inline constexpr std::uint32_t MODE_BOOTLOADER = 1;

struct DeviceEntry {
    std::string path;
    std::uint32_t mode = MODE_NOT_PROBED;  // 0 not probed, 1 bootloader, other: firmware
};

struct DeviceList {
    std::int32_t count = 0;
    std::vector<DeviceEntry> entries;
};

// True when the hardware-id text contains one of the sensors' vendor/product pairs
// (case-sensitive substring).
bool HardwareIdMatches(std::string_view hardwareId);

// Empties the list and fills it with every matching interface, in enumeration order.
void BuildDeviceList(HidPlatform& platform, DeviceList& list);
void FreeDeviceList(DeviceList& list);

}  // namespace velacor::link
