// The one way every command wrapper talks to the sensor:
//   1. fill command, format, length and payload in a report on the stack;
//   2. Transact; any link failure gives RESULT_TRANSPORT_FAILURE (14) without reading the answer;
//   3. return the answer's status, and only on status 0 copy its payload into the caller's
//      record.
// A wrapper therefore never leaves a half-changed record behind.
#pragma once

#include <cstdint>
#include <span>

#include "base/byte_io.h"
#include "link/hid_report.h"
#include "link/transactor.h"
#include "protocol/frame.h"

namespace velacor::protocol {

using link::HidReport;
using link::Transactor;

// Sends one request and returns 14 or the answer's status. `answer` receives the whole answer
// report whenever the exchange succeeded, whatever the status (a few commands read payload with
// a non-zero status). A payload longer than 123 bytes is cut to 123.
[[nodiscard]] int Exchange(Transactor& link, std::uint8_t command, std::uint8_t format,
                           std::span<const std::uint8_t> payload, HidReport& answer);

// The answer's payload bytes.
inline std::span<const std::uint8_t> AnswerPayload(const HidReport& answer) {
    return std::span<const std::uint8_t>(answer).subspan(PAYLOAD_OFFSET, MAX_PAYLOAD);
}

// A command whose answer carries only a status.
[[nodiscard]] inline int SendCommand(Transactor& link, std::uint8_t command,
                                     std::span<const std::uint8_t> payload = {}) {
    HidReport answer{};
    return Exchange(link, command, FORMAT_1, payload, answer);
}

// Reads record R; `record` changes only on status 0.
template <base::WireRecord R>
[[nodiscard]] int ReadRecord(Transactor& link, std::uint8_t command, R& record,
                             std::span<const std::uint8_t> payload = {}) {
    HidReport answer{};
    const int status = Exchange(link, command, FORMAT_1, payload, answer);
    if (status == STATUS_OK)
        record = base::Decode<R>(AnswerPayload(answer));
    return status;
}

// Writes record R as the whole payload.
template <base::WireRecord R>
[[nodiscard]] int WriteRecord(Transactor& link, std::uint8_t command, const R& record) {
    const auto bytes = base::Encode(record);
    return SendCommand(link, command, bytes);
}

}  // namespace velacor::protocol
