#include "cli/wire_trace.h"

#include <algorithm>

#include "base/str_printf.h"
#include "link/link_status.h"
#include "protocol/frame.h"

namespace velacor::cli {
namespace {

void AppendHex(std::string& line, std::uint8_t byte) {
    line += base::StrPrintf(" %02x", byte);
}

}  // namespace

std::string FormatRequestLine(const link::HidReport& request) {
    using namespace protocol;
    std::string line = ">";
    AppendHex(line, request[COMMAND_OFFSET]);
    AppendHex(line, request[FORMAT_OFFSET]);
    AppendHex(line, request[LENGTH_OFFSET]);
    const std::size_t length = std::min<std::size_t>(request[LENGTH_OFFSET], MAX_PAYLOAD);
    for (std::size_t i = 0; i < length; ++i)
        AppendHex(line, request[PAYLOAD_OFFSET + i]);
    return line;
}

std::string FormatAnswerLine(const link::HidReport& answer) {
    using namespace protocol;
    std::string line = "<";
    AppendHex(line, answer[STATUS_OFFSET]);
    std::size_t end = answer.size();
    while (end > PAYLOAD_OFFSET && answer[end - 1] == 0)
        --end;
    for (std::size_t i = PAYLOAD_OFFSET; i < end; ++i)
        AppendHex(line, answer[i]);
    return line;
}

int TracingTransactor::Transact(link::HidReport& report) {
    if (m_trace == nullptr)
        return m_inner.Transact(report);
    *m_trace << FormatRequestLine(report) << '\n';
    const int result = m_inner.Transact(report);
    if (result == link::LINK_OK) {
        *m_trace << FormatAnswerLine(report) << '\n';
    } else {
        *m_trace << "< link " << result << '\n';
    }
    m_trace->flush();
    return result;
}

}  // namespace velacor::cli
