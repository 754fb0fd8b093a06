// Texts on the screen: UTF-8 to Qt, message boxes and status texts of at most 255 characters,
// and the bold header of a view.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

class QLabel;

namespace velacor::widgets {

class Prompter;

inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Message box texts and status texts hold at most 255 characters.
inline constexpr std::size_t MAX_MESSAGE_CHARS = 255;

// A message box whose text comes from a printf format, cut to 255 characters.
void ShowMessage(Prompter& prompter, const char* title, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// A message box with a text cut to 255 characters.
void Inform(Prompter& prompter, std::string_view title, std::string_view text);

// A status bar part; a leading tab centres the text, as the parts are written.
void SetStatusText(QLabel* part, const std::string& text);

// The header of a view ("VELACOR CONNECT", "RAW OUTPUT"): bold and larger, top left.
QLabel* MakeViewHeader(const char* text);

}  // namespace velacor::widgets
