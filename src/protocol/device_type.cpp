#include "protocol/device_type.h"

#include <array>
#include <string_view>

#include "base/str_printf.h"

namespace velacor::protocol {
namespace {

struct Model {
    std::uint16_t code;
    std::string_view name;
};

constexpr std::array MODELS = {
    Model{DEVICE_TYPE_GENERIC, "Velacor Generic Sensor"},
    Model{DEVICE_TYPE_NITRATE, "Velacor Nitrate Sensor"},
    Model{DEVICE_TYPE_PHOSPHATE, "Velacor Phosphate Sensor"},
    Model{DEVICE_TYPE_SILICATE, "Velacor Silicate Sensor"},
    Model{DEVICE_TYPE_PH, "Velacor pH Sensor"},
    Model{DEVICE_TYPE_NITRITE, "Velacor Nitrite Sensor"},
    Model{DEVICE_TYPE_IRON, "Velacor Iron Sensor"},
    Model{DEVICE_TYPE_TA, "Velacor TA Sensor"},
    Model{DEVICE_TYPE_DIC, "Velacor DIC Sensor"},
    Model{DEVICE_TYPE_AMMONIA, "Velacor Ammonia Sensor"},
    // Early boards, known to older firmware only by board index.
    Model{0x0011, "Velacor Nitrate Sensor Mk1"},
    Model{0x0012, "Velacor Phosphate Sensor Mk1"},
    Model{0x0013, "Velacor Silicate Sensor Mk1"},
    Model{0x0014, "Velacor pH Sensor Mk1"},
    Model{0x0015, "Velacor Nitrite Sensor Mk1"},
    Model{0x0016, "Velacor Iron Sensor Mk1"},
    Model{0x0021, "Velacor Glider Nitrate"},
    Model{0x0022, "Velacor Glider Phosphate"},
    Model{0x0024, "Velacor Glider pH"},
    Model{0x0030, "Velacor Mooring Nitrate"},
    Model{0x0034, "Velacor Mooring pH"},
    Model{0x00F0, "Velacor Development Board"},
};

// Board index k (1..12) of older firmware names the k-th of these codes.
constexpr std::array<std::uint16_t, 12> LEGACY_BOARD_TYPES = {
    0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0021, 0x0022, 0x0024, 0x0030, 0x0034, 0x00F0,
};

}  // namespace

std::string DeviceTypeName(std::uint16_t deviceType) {
    std::string_view model = "Unknown Device";
    for (const Model& m : MODELS) {
        if (m.code == deviceType)
            model = m.name;
    }
    return base::Truncated(
        base::StrPrintf("%s %.*s", MAKER_NAME, static_cast<int>(model.size()), model.data()), 39);
}

std::uint16_t LegacyBoardDeviceType(std::uint8_t boardIndex) {
    if (boardIndex < 1 || boardIndex > LEGACY_BOARD_TYPES.size())
        return 0;
    return LEGACY_BOARD_TYPES[boardIndex - 1];
}

}  // namespace velacor::protocol
