// Narrowing a double to single precision as the hardware does, without the undefined behaviour
// C++ gives a value beyond float's range: such values become infinities.
#pragma once

#include <limits>

namespace velacor::base {

inline float Single(double value) {
    constexpr double MAX = std::numeric_limits<float>::max();
    if (value > MAX)
        return std::numeric_limits<float>::infinity();
    if (value < -MAX)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);  // NaN stays NaN
}

}  // namespace velacor::base
