// Any sequence of requests to the virtual sensor: it must answer or stay silent, never crash.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "emulator/virtual_sensor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velacor;
    emulator::SensorOptions options;
    if (size > 0) {
        options.chemistry = static_cast<std::uint8_t>(data[0] % 10);
        options.legacy = (data[0] & 0x10) != 0;
        options.bootloader = (data[0] & 0x20) != 0;
        options.restartDelayMs = 0;
    }
    emulator::VirtualSensor sensor(options);
    std::size_t pos = 1;
    while (pos < size) {
        link::HidReport request{};
        const std::size_t n = std::min<std::size_t>(size - pos, 40);
        std::copy_n(data + pos, n, request.begin() + 1);
        pos += n;
        link::HidReport answer{};
        (void)sensor.Handle(request, answer);
    }
    return 0;
}
