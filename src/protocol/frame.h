// Layout of requests and answers inside the 129-byte report.
//
// Request: [0] report id (link) [1] command [2] format [3] sequence (link) [4] unused
//          [5] payload length 0..123 [6..] payload
// Answer:  [0] report id [1..2] not interpreted [3] sequence [4] status [5] not interpreted
//          [6..] payload, read only when the status says so
#pragma once

#include <cstddef>
#include <cstdint>

namespace velacor::protocol {

inline constexpr std::size_t COMMAND_OFFSET = 1;
inline constexpr std::size_t FORMAT_OFFSET = 2;
inline constexpr std::size_t STATUS_OFFSET = 4;
inline constexpr std::size_t LENGTH_OFFSET = 5;
inline constexpr std::size_t PAYLOAD_OFFSET = 6;
inline constexpr std::size_t MAX_PAYLOAD = 123;

// Record format version sent in byte 2: 1 for every command but the new form of 0x72.
inline constexpr std::uint8_t FORMAT_1 = 1;
inline constexpr std::uint8_t FORMAT_2 = 2;

// Answer statuses the program acts on; any other non-zero value is a plain failure.
inline constexpr int STATUS_OK = 0;
inline constexpr int STATUS_WRONG_RECORD_LENGTH = 4;  // 0x92/0x93: retry the 26-byte form
inline constexpr int STATUS_LOW_VOLTAGE = 6;          // 0xb5: supply too low to start
inline constexpr int STATUS_NO_NEW_SAMPLE = 6;        // 0xa2: no new sample, mode byte valid
inline constexpr int STATUS_FORMAT_UNSUPPORTED = 8;   // byte 2 format not supported
inline constexpr int STATUS_NOT_SUPPORTED = 9;        // command unknown to this firmware
// Never sent by a sensor: the wrapper's result when the exchange itself failed.
inline constexpr int RESULT_TRANSPORT_FAILURE = 14;

}  // namespace velacor::protocol
