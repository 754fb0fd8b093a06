// Reading a HID report descriptor: which report ids the device declares for its input reports.
#pragma once

#include <cstdint>
#include <span>

namespace velacor::link {

struct ReportDescriptorInfo {
    bool usesReportIds = false;  // any Report ID item: every report carries its id in byte 0
    bool hasInputReportId1 = false;
};

// Walks the short and long items of the descriptor, following Report ID through Push and Pop.
// Malformed or truncated descriptors are read as far as they go.
ReportDescriptorInfo ParseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace velacor::link
