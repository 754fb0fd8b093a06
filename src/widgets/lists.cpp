#include "widgets/lists.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>
#include <ostream>
#include <sstream>

#include "base/delimited_text.h"
#include "widgets/text.h"

namespace velacor::widgets {

int DialogBaseUnitWidth(const QWidget* widget) {
    const QFontMetrics metrics(widget->font());
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return std::max(1, (letters / 26 + 1) / 2);
}

int ColumnPixels(const QTreeWidget* list, int width, ColumnUnit unit) {
    if (unit == ColumnUnit::AverageChar)
        return width * std::max(1, QFontMetrics(list->font()).averageCharWidth());
    return width * DialogBaseUnitWidth(list);
}

void AddListColumns(QTreeWidget* list, std::span<const base::ListColumn> columns, ColumnUnit unit) {
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setColumnCount(static_cast<int>(columns.size()));
    QStringList titles;
    for (const base::ListColumn& column : columns)
        titles << FromUtf8(column.title);
    list->setHeaderLabels(titles);
    const int unitWidth = DialogBaseUnitWidth(list);
    const QFontMetrics header(list->header()->font());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int c = static_cast<int>(i);
        int pixels = ColumnPixels(list, columns[i].width, unit);
        // Never narrower than its title: fonts here run wider than the units assume.
        if (unit == ColumnUnit::DialogBase)
            pixels = std::max(pixels, header.horizontalAdvance(titles[c]) + 2 * unitWidth);
        list->setColumnWidth(c, pixels);
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

namespace {

void WriteList(std::ostream& out, const QTreeWidget* list) {
    const auto columns = static_cast<std::size_t>(list->columnCount());
    base::WriteDelimitedList(
        out, columns,
        [&](std::size_t c) { return list->headerItem()->text(static_cast<int>(c)).toStdString(); },
        static_cast<std::size_t>(list->topLevelItemCount()),
        [&](std::size_t r, std::size_t c) {
            return list->topLevelItem(static_cast<int>(r))->text(static_cast<int>(c)).toStdString();
        });
}

}  // namespace

std::string ListToText(const QTreeWidget* list) {
    std::ostringstream out;
    WriteList(out, list);
    return std::move(out).str();
}

base::SaveOutcome SaveListToFile(const QTreeWidget* list, const std::string& path,
                                 const base::SaveMessages& messages) {
    return base::SaveFile(
        path,
        [list](std::ostream& out) {
            WriteList(out, list);
            return true;
        },
        messages);
}

}  // namespace velacor::widgets
