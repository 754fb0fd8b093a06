#include "base/str_printf.h"

#include <cstdio>

namespace velacor::base {

std::string VStrPrintf(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    return out;
}

std::string StrPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = VStrPrintf(format, args);
    va_end(args);
    return out;
}

std::string Truncated(std::string text, std::size_t maxChars) {
    if (text.size() > maxChars)
        text.resize(maxChars);
    return text;
}

}  // namespace velacor::base
