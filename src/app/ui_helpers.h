// Small helpers every window and dialog shares: drop-down value tables, list columns in dialog
// base units, list cells with row colours, list-to-text export, formatted messages, status
// texts and UTC date pickers.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <span>
#include <string>

class QComboBox;
class QDateEdit;
class QLabel;
class QTimeEdit;
class QTreeWidget;
class QWidget;

namespace velacor::app {

class Prompter;

inline QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text);
}

// Message box texts and status texts hold at most 255 characters.
inline constexpr std::size_t MAX_MESSAGE_CHARS = 255;

// A message box whose text comes from a printf format, cut to 255 characters.
void ShowMessage(Prompter& prompter, const char* title, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// --- drop-down lists of (code, text) pairs ---
struct DropDownEntry {
    int code;
    const char* text;
};
void FillDropDown(QComboBox* box, std::span<const DropDownEntry> table);
// The code of the selected entry; 0 when the selection lies beyond the table.
int DropDownValue(const QComboBox* box, std::span<const DropDownEntry> table);
// Selects the entry with `code`; a code missing from the table selects the first entry.
void SelectDropDownCode(QComboBox* box, std::span<const DropDownEntry> table, int code);

// --- lists ---
// The dialog base unit width: the font's average character width in pixels.
int DialogBaseUnitWidth(const QWidget* widget);
struct ListColumn {
    const char* title;
    int widthDbu;
};
void AddListColumns(QTreeWidget* list, std::span<const ListColumn> columns);
// Sets one cell; column 0 adds a new row at `row` (the end when row is past it). The colour
// belongs to the row and is kept for every cell of it.
void SetListCell(QTreeWidget* list, int row, int column, const QString& text,
                 QColor colour = Qt::black);
// Column titles, then one line per row, cells (at most 255 characters each) separated by ","
// without quoting, each line ending in a newline.
std::string ListToText(const QTreeWidget* list);
// Writes ListToText to `path` without ever damaging an existing file on failure.
bool SaveListToFile(const QTreeWidget* list, const std::string& path);

// The header of a view ("VELACOR CONNECT", "RAW OUTPUT"): bold and larger, top left.
QLabel* MakeViewHeader(const char* text);

// --- status bar ---
// A leading tab centres the text, as the status bar parts are written.
void SetStatusText(QLabel* part, const std::string& text);

// --- dates: seconds since 1970 in UTC, no time zone ---
void SetDateTimePickers(QDateEdit* date, QTimeEdit* time, std::uint32_t utcSeconds);
std::uint32_t ReadDateTimePickers(const QDateEdit* date, const QTimeEdit* time);

}  // namespace velacor::app
