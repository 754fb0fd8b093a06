// The flash upgrade block: one 64-byte piece of a firmware or bootloader image.
#pragma once

#include <array>

#include <cstddef>
#include <cstdint>

#include "base/byte_io.h"

namespace velacor::protocol {

// Flash addresses an image is written to: the bootloader sits at the bottom, the firmware above
// it. A sensor running its bootloader takes a firmware image, one running its firmware a
// bootloader image.
inline constexpr std::uint32_t BOOTLOADER_IMAGE_BASE = 0;
inline constexpr std::uint32_t FIRMWARE_IMAGE_BASE = 40960;  // 0xA000

inline constexpr std::uint8_t UPGRADE_BLOCK_MARKER = 1;
inline constexpr std::size_t UPGRADE_BLOCK_DATA_SIZE = 64;

// Request of 0x03. Blocks are numbered from 0 for every image; the block after the last data
// block carries byteCount 0 and tells the sensor the image is complete.
struct UpgradeBlock {
    static constexpr std::size_t SIZE = 77;
    std::uint8_t marker = UPGRADE_BLOCK_MARKER;
    std::uint32_t blockIndex = 0;
    std::uint32_t byteCount = 0;  // 1..64 valid bytes of `data`; 0 in the final block
    std::array<std::uint8_t, UPGRADE_BLOCK_DATA_SIZE> data{};  // bytes past byteCount ignored
    std::uint32_t imageBase = 0;  // BOOTLOADER_IMAGE_BASE or FIRMWARE_IMAGE_BASE

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.marker, r.blockIndex, r.byteCount, r.data, r.imageBase);
    }
};

}  // namespace velacor::protocol
