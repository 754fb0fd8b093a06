#include "protocol/exchange.h"

#include <algorithm>

#include "link/link_status.h"

namespace velacor::protocol {

int Exchange(Transactor& link, std::uint8_t command, std::uint8_t format,
             std::span<const std::uint8_t> payload, HidReport& answer) {
    HidReport request{};
    const std::size_t length = std::min(payload.size(), MAX_PAYLOAD);
    request[COMMAND_OFFSET] = command;
    request[FORMAT_OFFSET] = format;
    request[LENGTH_OFFSET] = static_cast<std::uint8_t>(length);
    std::copy_n(payload.begin(), length, request.begin() + PAYLOAD_OFFSET);

    if (link.Transact(request) != link::LINK_OK)
        return RESULT_TRANSPORT_FAILURE;
    answer = request;
    return answer[STATUS_OFFSET];
}

}  // namespace velacor::protocol
