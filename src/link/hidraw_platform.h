// Real sensors through Linux hidraw: enumeration by libudev, exclusive open with flock, and
// blocking I/O that another thread can cancel through an eventfd.
#pragma once

#include "link/hid_platform.h"

namespace velacor::link {

class HidrawPlatform final : public HidPlatform {
  public:
    std::vector<HidInterfaceInfo> ListInterfaces() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;
};

}  // namespace velacor::link
