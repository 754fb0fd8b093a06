// printf-style formatting into std::string, so the program's format strings stand as written.
#pragma once

#include <cstdarg>
#include <string>

namespace velacor::base {

std::string StrPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VStrPrintf(const char* format, va_list args);

// Cuts `text` to at most `maxChars` bytes (message boxes and status texts hold 255).
std::string Truncated(std::string text, std::size_t maxChars);

}  // namespace velacor::base
