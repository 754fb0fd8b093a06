#include "app/ui_helpers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTimeEdit>
#include <QTimeZone>
#include <QTreeWidget>

#include <cstdarg>
#include <ostream>

#include "app/prompter.h"
#include "base/atomic_save.h"
#include "base/str_printf.h"
#include "base/utc_time.h"

namespace velacor::app {

void ShowMessage(Prompter& prompter, const char* title, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = base::Truncated(base::VStrPrintf(format, args), MAX_MESSAGE_CHARS);
    va_end(args);
    prompter.Inform(QString::fromUtf8(title), FromUtf8(text));
}

void FillDropDown(QComboBox* box, std::span<const DropDownEntry> table) {
    box->clear();
    for (const DropDownEntry& entry : table)
        box->addItem(QString::fromUtf8(entry.text), entry.code);
}

int DropDownValue(const QComboBox* box, std::span<const DropDownEntry> table) {
    const int index = box->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= table.size())
        return 0;
    return table[static_cast<std::size_t>(index)].code;
}

void SelectDropDownCode(QComboBox* box, std::span<const DropDownEntry> table, int code) {
    int index = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].code == code) {
            index = static_cast<int>(i);
            break;
        }
    }
    box->setCurrentIndex(table.empty() ? -1 : index);
}

int DialogBaseUnitWidth(const QWidget* widget) {
    // The average width of the letters, as dialog units are measured.
    const QFontMetrics metrics(widget->font());
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return std::max(1, (letters / 26 + 1) / 2);
}

void AddListColumns(QTreeWidget* list, std::span<const ListColumn> columns) {
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setColumnCount(static_cast<int>(columns.size()));
    QStringList titles;
    for (const ListColumn& column : columns)
        titles << QString::fromUtf8(column.title);
    list->setHeaderLabels(titles);
    const int unit = DialogBaseUnitWidth(list);
    const QFontMetrics header(list->header()->font());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        // Never narrower than its title: fonts here run wider than the units assume.
        const int title = header.horizontalAdvance(titles[static_cast<int>(i)]) + 2 * unit;
        list->setColumnWidth(static_cast<int>(i), std::max(columns[i].widthDbu * unit, title));
    }
}

void SetListCell(QTreeWidget* list, int row, int column, const QString& text, QColor colour) {
    QTreeWidgetItem* item = nullptr;
    if (column == 0) {
        item = new QTreeWidgetItem;
        const int at = std::clamp(row, 0, list->topLevelItemCount());
        list->insertTopLevelItem(at, item);
        for (int c = 0; c < list->columnCount(); ++c)
            item->setForeground(c, colour);
    } else {
        item = list->topLevelItem(row);
        if (item == nullptr)
            return;
    }
    item->setText(column, text);
}

std::string ListToText(const QTreeWidget* list) {
    std::string text;
    auto line = [&](auto cell) {
        for (int c = 0; c < list->columnCount(); ++c) {
            if (c > 0)
                text += ',';
            text += base::Truncated(cell(c).toStdString(), MAX_MESSAGE_CHARS);
        }
        text += '\n';
    };
    line([&](int c) { return list->headerItem()->text(c); });
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        line([&](int c) { return list->topLevelItem(r)->text(c); });
    return text;
}

bool SaveListToFile(const QTreeWidget* list, const std::string& path) {
    const std::string text = ListToText(list);
    return base::AtomicSave(path, [&](std::ostream& out) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return static_cast<bool>(out);
    });
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

void SetStatusText(QLabel* part, const std::string& text) {
    const bool centred = !text.empty() && text.front() == '\t';
    part->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    part->setText(FromUtf8(base::Truncated(centred ? text.substr(1) : text, MAX_MESSAGE_CHARS)));
}

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

}  // namespace velacor::app
