#include "widgets/date_pickers.h"

#include <QDateEdit>
#include <QTimeEdit>

#include "base/utc_time.h"

namespace velacor::widgets {

void SetDateTimePickers(QDateEdit* date, QTimeEdit* time, std::uint32_t utcSeconds) {
    const base::UtcDateTime t = base::ToUtc(utcSeconds);
    date->setDate(QDate(t.year, t.month, t.day));
    time->setTime(QTime(t.hour, t.minute, t.second));
}

std::uint32_t ReadDateTimePickers(const QDateEdit* date, const QTimeEdit* time) {
    const QDate d = date->date();
    const QTime t = time->time();
    return base::FromUtc({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
}

}  // namespace velacor::widgets
