// Fixed-size NUL-terminated text fields inside wire records.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velacor::base {

// The text up to the first NUL, or the whole field when it holds none.
template <std::size_t N>
std::string FieldText(const std::array<std::uint8_t, N>& field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

// Stores at most min(maxChars, N - 1) characters and zero-fills the rest, so the field always
// ends in a NUL.
template <std::size_t N>
void SetFieldText(std::array<std::uint8_t, N>& field, std::string_view text,
                  std::size_t maxChars = N - 1) {
    field.fill(0);
    const std::size_t count = std::min({text.size(), maxChars, N - 1});
    std::copy_n(text.begin(), count, field.begin());
}

}  // namespace velacor::base
