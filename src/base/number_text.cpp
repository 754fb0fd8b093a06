#include "base/number_text.h"

#include "base/single_precision.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

namespace velacor::base {

std::uint32_t ReadUnsignedText(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string_view::npos)
        return 0;
    std::uint64_t value = 0;
    for (const char c : text.substr(start)) {
        if (c < '0' || c > '9')
            break;
        value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'),
                                        std::numeric_limits<std::uint32_t>::max());
    }
    return static_cast<std::uint32_t>(value);
}

std::uint32_t ReadUnsignedText(std::string_view text, std::uint32_t max) {
    return std::min(ReadUnsignedText(text), max);
}

double ReadDecimalText(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() ? 0.0 : value;
}

float ReadSingleText(std::string_view text) {
    return Single(ReadDecimalText(text));
}

}  // namespace velacor::base
