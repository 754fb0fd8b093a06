#include "widgets/text.h"

#include <QLabel>

#include <cstdarg>

#include "base/str_printf.h"
#include "widgets/prompter.h"

namespace velacor::widgets {

void ShowMessage(Prompter& prompter, const char* title, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = base::VStrPrintf(format, args);
    va_end(args);
    Inform(prompter, title, text);
}

void Inform(Prompter& prompter, std::string_view title, std::string_view text) {
    prompter.Inform(FromUtf8(title), FromUtf8(text.substr(0, MAX_MESSAGE_CHARS)));
}

void SetStatusText(QLabel* part, const std::string& text) {
    const bool centred = !text.empty() && text.front() == '\t';
    part->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    part->setText(FromUtf8(std::string_view(text).substr(centred ? 1 : 0, MAX_MESSAGE_CHARS)));
}

QLabel* MakeViewHeader(const char* text) {
    auto* header = new QLabel(QString::fromUtf8(text));
    QFont big = header->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    header->setFont(big);
    header->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    return header;
}

}  // namespace velacor::widgets
