// Reading the number fields of the state machine windows.
#pragma once

#include <QString>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace velacor::statemachine::ui {

// The leading decimal digits of a field as an unsigned number, saturating at the u32 maximum;
// text that does not start with a digit reads as 0.
inline std::uint32_t ReadUnsigned(const QString& text) {
    const QString trimmed = text.trimmed();
    std::uint64_t value = 0;
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c.unicode() - '0'),
                                        std::numeric_limits<std::uint32_t>::max());
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace velacor::statemachine::ui
