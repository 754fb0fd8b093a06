// A colour as the program's tables and graphs name it, without a drawing library.
#pragma once

#include <cstdint>

namespace velacor::base {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

}  // namespace velacor::base
