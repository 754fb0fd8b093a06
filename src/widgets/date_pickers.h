// Date and time pickers holding seconds since 1970 in UTC, with no time zone.
#pragma once

#include <cstdint>

class QDateEdit;
class QTimeEdit;

namespace velacor::widgets {

void SetDateTimePickers(QDateEdit* date, QTimeEdit* time, std::uint32_t utcSeconds);
std::uint32_t ReadDateTimePickers(const QDateEdit* date, const QTimeEdit* time);

}  // namespace velacor::widgets
