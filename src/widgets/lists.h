// Lists of rows (QTreeWidget used flat): columns from (title, width) tables, cells with row
// colours, and the list as comma-separated text.
#pragma once

#include <QColor>
#include <QString>

#include <span>
#include <string>

#include "base/list_column.h"
#include "base/save_file.h"

class QTreeWidget;
class QWidget;

namespace velacor::widgets {

// The dialog base unit width: the font's average letter width in pixels, as dialog units are
// measured.
int DialogBaseUnitWidth(const QWidget* widget);

enum class ColumnUnit {
    DialogBase,   // dialog base units, never narrower than the title
    AverageChar,  // average character widths of the list's font, exactly
};
// Sets up a flat list with these columns.
void AddListColumns(QTreeWidget* list, std::span<const base::ListColumn> columns,
                    ColumnUnit unit = ColumnUnit::DialogBase);
// The width in pixels of `width` units of `unit` in `list`.
int ColumnPixels(const QTreeWidget* list, int width, ColumnUnit unit);

// Sets one cell; column 0 adds a new row at `row` (the end when row is past it). The colour
// belongs to the row and is kept for every cell of it.
void SetListCell(QTreeWidget* list, int row, int column, const QString& text,
                 QColor colour = Qt::black);

// Column titles, then one line per row, cells (at most 255 characters each) separated by ","
// without quoting, each line ending in a newline.
std::string ListToText(const QTreeWidget* list);
// Writes ListToText to `path` through the one save (base/save_file.h).
[[nodiscard]] base::SaveOutcome SaveListToFile(const QTreeWidget* list, const std::string& path,
                                               const base::SaveMessages& messages);

}  // namespace velacor::widgets
