// Any byte string as a HID report descriptor: the parser must stay inside it.
#include <cstddef>
#include <cstdint>

#include "link/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)velacor::link::ParseReportDescriptor({data, size});
    return 0;
}
