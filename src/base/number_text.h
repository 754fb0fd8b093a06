// The number fields of every window read their text by one set of rules.
#pragma once

#include <cstdint>
#include <string_view>

namespace velacor::base {

// The leading decimal digits after any white space, as an unsigned number saturating at the
// u32 maximum; text that does not start with a digit reads as 0 ("12abc" reads 12, "-3" 0).
std::uint32_t ReadUnsignedText(std::string_view text);
// ReadUnsignedText limited to `max`.
std::uint32_t ReadUnsignedText(std::string_view text, std::uint32_t max);
// A decimal number as strtod reads the start of the text (in the C locale, decimal point);
// text that does not parse reads as 0.
double ReadDecimalText(std::string_view text);
// ReadDecimalText narrowed to single precision (base/single_precision.h).
float ReadSingleText(std::string_view text);

}  // namespace velacor::base
