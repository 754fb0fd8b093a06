// Several HID platforms seen as one: the demo lists the virtual sensor beside real ones.
#pragma once

#include <vector>

#include "link/hid_platform.h"

namespace velacor::link {

class CompositePlatform final : public HidPlatform {
  public:
    // The platforms are not owned and must outlive this one.
    void Add(HidPlatform& platform) { m_platforms.push_back(&platform); }

    std::vector<HidInterfaceInfo> ListInterfaces() override {
        std::vector<HidInterfaceInfo> all;
        for (HidPlatform* p : m_platforms) {
            for (auto& info : p->ListInterfaces())
                all.push_back(std::move(info));
        }
        return all;
    }
    // The first platform that can open the path does; paths of different platforms differ.
    std::unique_ptr<HidDevice> Open(const std::string& path) override {
        for (HidPlatform* p : m_platforms) {
            if (auto device = p->Open(path))
                return device;
        }
        return nullptr;
    }

  private:
    std::vector<HidPlatform*> m_platforms;
};

}  // namespace velacor::link
