// Display names of the sensor models, keyed by the 16-bit device-type code of the identity.
#pragma once

#include <cstdint>
#include <string>

namespace velacor::protocol {

inline constexpr const char* MAKER_NAME = "Brenmoor";

// "Brenmoor <model>", or "Brenmoor Unknown Device" for a code missing from the model table;
// at most 39 characters.
std::string DeviceTypeName(std::uint16_t deviceType);

// The device-type code that older firmware's board index 1..12 stands for; 0 otherwise.
std::uint16_t LegacyBoardDeviceType(std::uint8_t boardIndex);

// Device-type codes the virtual sensor reports for its chemistries.
inline constexpr std::uint16_t DEVICE_TYPE_GENERIC = 0x0100;
inline constexpr std::uint16_t DEVICE_TYPE_NITRATE = 0x0101;
inline constexpr std::uint16_t DEVICE_TYPE_PHOSPHATE = 0x0102;
inline constexpr std::uint16_t DEVICE_TYPE_SILICATE = 0x0103;
inline constexpr std::uint16_t DEVICE_TYPE_PH = 0x0104;
inline constexpr std::uint16_t DEVICE_TYPE_NITRITE = 0x0105;
inline constexpr std::uint16_t DEVICE_TYPE_IRON = 0x0106;
inline constexpr std::uint16_t DEVICE_TYPE_TA = 0x0107;
inline constexpr std::uint16_t DEVICE_TYPE_DIC = 0x0108;
inline constexpr std::uint16_t DEVICE_TYPE_AMMONIA = 0x0109;

}  // namespace velacor::protocol
