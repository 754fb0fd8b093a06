#include "protocol/live_commands.h"

#include <bit>
#include <cstring>

namespace velacor::protocol {

double ProcessedRecord::Value() const {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < value.size(); ++i)
        bits |= static_cast<std::uint64_t>(value[i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

void ProcessedRecord::SetValue(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (std::size_t i = 0; i < value.size(); ++i)
        value[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

int ReadOutputStatus(Transactor& link, OutputStatus& status) {
    HidReport answer{};
    const int result = Exchange(link, CMD_READ_OUTPUT_STATUS, FORMAT_1, {}, answer);
    if (result == STATUS_OK) {
        status = base::Decode<OutputStatus>(AnswerPayload(answer));
    } else if (result == STATUS_NO_NEW_SAMPLE) {
        status.mode = AnswerPayload(answer)[0];
    }
    return result;
}

}  // namespace velacor::protocol
