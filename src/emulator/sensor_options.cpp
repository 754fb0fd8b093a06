#include "emulator/sensor_options.h"

#include <array>

namespace velacor::emulator {
namespace {

constexpr std::array<std::string_view, 10> CHEMISTRY_NAMES = {
    "generic", "nitrate", "phosphate", "silicate", "ph", "nitrite", "iron", "ta", "dic", "ammonia",
};

}  // namespace

std::string_view ChemistryOptionName(std::uint8_t chemistry) {
    return chemistry < CHEMISTRY_NAMES.size() ? CHEMISTRY_NAMES[chemistry] : "unknown";
}

std::optional<SensorOptions> ParseSensorOptions(std::string_view list, std::string& error) {
    SensorOptions options;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view option = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        if (option.empty())
            continue;
        if (option == "bootloader") {
            options.bootloader = true;
            continue;
        }
        if (option == "legacy") {
            options.legacy = true;
            continue;
        }
        bool known = false;
        for (std::size_t i = 0; i < CHEMISTRY_NAMES.size(); ++i) {
            if (option == CHEMISTRY_NAMES[i]) {
                options.chemistry = static_cast<std::uint8_t>(i);
                known = true;
            }
        }
        if (!known) {
            error = "unknown virtual sensor option '" + std::string(option) + "'";
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace velacor::emulator
