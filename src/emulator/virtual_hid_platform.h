// Virtual sensors seen through the HidPlatform seam, so the link, the window program and the
// command-line tool talk to them exactly as to real ones.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "emulator/virtual_sensor.h"
#include "link/hid_platform.h"

namespace velacor::emulator {

// Hardware id under which virtual sensors are listed.
inline constexpr const char* VIRTUAL_HARDWARE_ID = "HID\\VID_04D8&PID_E967&REV_0100";

class VirtualHidPlatform final : public link::HidPlatform {
  public:
    // Attaches a sensor and returns its device path ("virtual/0", "virtual/1", ...).
    std::string AddSensor(std::shared_ptr<VirtualSensor> sensor);
    std::shared_ptr<VirtualSensor> SensorAt(const std::string& path) const;

    std::vector<link::HidInterfaceInfo> ListInterfaces() override;
    std::unique_ptr<link::HidDevice> Open(const std::string& path) override;

    struct Slot;  // one attached sensor and whether a handle to it is open

  private:
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Slot>> m_slots;
};

}  // namespace velacor::emulator
