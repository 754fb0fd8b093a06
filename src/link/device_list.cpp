#include "link/device_list.h"

#include <array>
#include <new>

namespace velacor::link {

bool HardwareIdMatches(std::string_view hardwareId) {
    static constexpr std::array<std::string_view, 4> SENSOR_IDS = {
        "VID_C1CA&PID_B4BA", "VID_04D8&PID_E967", "VID_04D8&PID_E968", "VID_04D8&PID_E969"};
    for (std::string_view id : SENSOR_IDS) {
        if (hardwareId.find(id) != std::string_view::npos)
            return true;
    }
    return false;
}

void BuildDeviceList(HidPlatform& platform, DeviceList& list) {
    list.entries.clear();
    list.count = 0;
    try {
        for (HidInterfaceInfo& info : platform.ListInterfaces()) {
            if (info.path.empty() || !HardwareIdMatches(info.hardwareId))
                continue;
            list.entries.push_back(DeviceEntry{std::move(info.path), MODE_NOT_PROBED});
            ++list.count;
        }
    } catch (const std::bad_alloc&) {
        FreeDeviceList(list);
    }
}

void FreeDeviceList(DeviceList& list) {
    list.entries.clear();
    list.entries.shrink_to_fit();
    list.count = 0;
}

}  // namespace velacor::link
