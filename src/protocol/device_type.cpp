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
    Model{DEVICE_TYPE_GENERIC, "LOC Generic Sensor"},
    Model{DEVICE_TYPE_NITRATE, "LOC Nitrate Sensor"},
    Model{DEVICE_TYPE_PHOSPHATE, "LOC Phosphate Sensor"},
    Model{DEVICE_TYPE_SILICATE, "LOC Silicate Sensor"},
    Model{DEVICE_TYPE_PH, "LOC pH Sensor"},
    Model{DEVICE_TYPE_NITRITE, "LOC Nitrite Sensor"},
    Model{DEVICE_TYPE_IRON, "LOC Iron Sensor"},
    Model{DEVICE_TYPE_TA, "LOC Total Alkalinity Sensor"},
    Model{DEVICE_TYPE_DIC, "LOC DIC Sensor"},
    Model{DEVICE_TYPE_AMMONIA, "LOC Ammonia Sensor"},
    // Early boards, known to older firmware only by board index.
    Model{0x0011, "LOC Nitrate Sensor Mk1"},
    Model{0x0012, "LOC Phosphate Sensor Mk1"},
    Model{0x0013, "LOC Silicate Sensor Mk1"},
    Model{0x0014, "LOC pH Sensor Mk1"},
    Model{0x0015, "LOC Nitrite Sensor Mk1"},
    Model{0x0016, "LOC Iron Sensor Mk1"},
    Model{0x0021, "Glider Nitrate Sensor"},
    Model{0x0022, "Glider Phosphate Sensor"},
    Model{0x0024, "Glider pH Sensor"},
    Model{0x0030, "Mooring Nitrate Sensor"},
    Model{0x0034, "Mooring pH Sensor"},
    Model{0x00F0, "LOC Development Board"},
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
