// What kind of virtual sensor to play: chemistry, bootloader start, older firmware.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/chemistry_records.h"

namespace velacor::emulator {

struct SensorOptions {
    std::uint8_t chemistry = protocol::CHEMISTRY_NITRATE;
    bool bootloader = false;  // starts in its bootloader
    // Older firmware: status 9 to 0x04/0x05/0x06 (serving 0x00/0x01 instead), status 4 to
    // 0x92/0x93 of nutrient chemistries unless the record length is 26, status 8 to 0x72 in
    // format 2.
    bool legacy = false;
    std::string name = "Demo Sensor";
    std::uint16_t serialNumber = 1042;
    std::uint16_t boardSerialNumber = 317;
    // How long the sensor stays off USB after leaving its bootloader.
    int restartDelayMs = 1500;
};

// Parses the comma-separated option list of "virtual:OPTION,...": one chemistry out of
// generic nitrate phosphate silicate ph nitrite iron ta dic ammonia, "bootloader", "legacy".
// On an unknown option returns nullopt and names it in `error`.
std::optional<SensorOptions> ParseSensorOptions(std::string_view list, std::string& error);

// Lower-case chemistry option name ("nitrate"), as the option list spells it.
std::string_view ChemistryOptionName(std::uint8_t chemistry);

}  // namespace velacor::emulator
