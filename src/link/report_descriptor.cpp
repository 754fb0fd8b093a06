#include "link/report_descriptor.h"

#include <array>
#include <cstddef>

namespace velacor::link {
namespace {

constexpr std::uint8_t LONG_ITEM_PREFIX = 0xFE;
constexpr std::uint8_t TYPE_MAIN = 0;
constexpr std::uint8_t TYPE_GLOBAL = 1;
constexpr std::uint8_t TAG_MAIN_INPUT = 0x8;
constexpr std::uint8_t TAG_GLOBAL_REPORT_ID = 0x8;
constexpr std::uint8_t TAG_GLOBAL_PUSH = 0xA;
constexpr std::uint8_t TAG_GLOBAL_POP = 0xB;
constexpr std::size_t MAX_PUSH_DEPTH = 16;

}  // namespace

ReportDescriptorInfo ParseReportDescriptor(std::span<const std::uint8_t> descriptor) {
    ReportDescriptorInfo info;
    std::uint32_t reportId = 0;
    std::array<std::uint32_t, MAX_PUSH_DEPTH> stack{};
    std::size_t depth = 0;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos++];
        if (prefix == LONG_ITEM_PREFIX) {
            if (pos >= descriptor.size())
                break;
            const std::size_t dataSize = descriptor[pos];
            pos += 2 + dataSize;  // size byte, long tag, data
            continue;
        }
        const std::size_t sizeCode = prefix & 0x3u;
        const std::size_t size = sizeCode == 3 ? 4 : sizeCode;
        if (pos + size > descriptor.size())
            break;
        std::uint32_t data = 0;
        for (std::size_t i = 0; i < size; ++i) {
            data |= static_cast<std::uint32_t>(descriptor[pos + i]) << (8 * i);
        }
        pos += size;

        const auto type = static_cast<std::uint8_t>((prefix >> 2) & 0x3u);
        const auto tag = static_cast<std::uint8_t>(prefix >> 4);
        if (type == TYPE_GLOBAL && tag == TAG_GLOBAL_REPORT_ID) {
            reportId = data;
            info.usesReportIds = true;
        } else if (type == TYPE_GLOBAL && tag == TAG_GLOBAL_PUSH) {
            if (depth < MAX_PUSH_DEPTH)
                stack[depth++] = reportId;
        } else if (type == TYPE_GLOBAL && tag == TAG_GLOBAL_POP) {
            if (depth > 0)
                reportId = stack[--depth];
        } else if (type == TYPE_MAIN && tag == TAG_MAIN_INPUT && reportId == 1) {
            info.hasInputReportId1 = true;
        }
    }
    return info;
}

}  // namespace velacor::link
