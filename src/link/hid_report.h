// The fixed 129-byte report that carries every request and answer: byte 0 is the HID report
// id, bytes 1..128 the report body.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velacor::link {

inline constexpr std::size_t REPORT_SIZE = 129;
using HidReport = std::array<std::uint8_t, REPORT_SIZE>;

// The link owns these two bytes of every report; the rest belongs to the protocol.
inline constexpr std::size_t REPORT_ID_OFFSET = 0;
inline constexpr std::size_t SEQUENCE_OFFSET = 3;

}  // namespace velacor::link
