// The state machine as a table of short texts: one row per state, 18 columns. The definition
// view lists the states in index order; the dry run lists them in the order they are visited.
// The same table is saved as a comma-separated summary file.
//
// Encoding: every text here is Windows-1252, as the table and the summary file carry it. The
// only byte above 0x7F the texts produce is the micro sign 0xB5 of the pump cell; a widget
// converts a text with Cp1252ToUtf8 before showing it. The summary file keeps the byte 0xB5.
//
// Plain functions without state: any thread may call them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/list_column.h"
#include "base/save_file.h"
#include "statemachine/state_machine.h"
#include "statemachine/state_record.h"

namespace velacor::statemachine {

inline constexpr std::size_t TABLE_COLUMNS = 18;
inline constexpr std::size_t COUNTERS = 6;
inline constexpr std::size_t MAX_TABLE_ROWS = 1000;
inline constexpr std::size_t MAX_CELL_CHARS = 255;
inline constexpr char MICRO_SIGN = '\xB5';  // Windows-1252

// Column indices used outside the text generation.
inline constexpr std::size_t COLUMN_FIRST_COUNTER = 9;
inline constexpr std::size_t COLUMN_FIRST_SHRINKABLE = 10;  // counter2 trigger
inline constexpr std::size_t COLUMN_LAST_SHRINKABLE = 16;   // climbing depth trigger

// The 18 columns in table order; widths in average character widths of the dialog font.
const std::array<base::ListColumn, TABLE_COLUMNS>& TableColumns();
// The width of `column`: 0 for columns 10 to 16 when "Shrink Counter && Trigger Columns" is
// ticked, else the width of TableColumns().
int ColumnWidth(std::size_t column, bool shrink);

using CellTexts = std::array<std::string, TABLE_COLUMNS>;
// The six counters of a dry run, in the order of the counter triggers.
using CounterValues = std::array<std::uint8_t, COUNTERS>;

// The 18 cell texts of state `index` with record `r`. With `dryRunCounters`, an Inc & Test
// trigger's cell shows that counter's value plus the increment (an ordinary sum, up to 510)
// instead of the increment alone. Each text holds at most MAX_CELL_CHARS bytes.
CellTexts StateCellTexts(std::size_t index, const StateRecord& r,
                         const CounterValues* dryRunCounters = nullptr);

struct TableRow {
    std::uint16_t stateIndex = 0;
    CellTexts cells;
};

// States 0 to lastIndex in index order.
std::vector<TableRow> DefinitionListing(const StateMachine& machine);

// The view's "Mode" selector; the values are the selector's entries.
enum class TableMode : int { DEFINITION = 0, DRY_RUN = 1 };
// "Definition" or "Dry Run".
const char* TableModeName(TableMode mode);
// "State Machine %s (%d states)".
std::string TableTitle(TableMode mode, const StateMachine& machine);

// The summary file's "Save..." dialog and messages.
inline constexpr const char* SUMMARY_FILE_DIALOG_TITLE = "State Machine Summary File";
inline constexpr const char* SUMMARY_FILE_FILTER = "CSV Files (*.csv)";
inline constexpr const char* SUMMARY_FILE_EXTENSION = "csv";
inline constexpr const char* SUMMARY_CAPTION = "Save State Machine Summary";

// The whole summary file: a line of the column titles, then a line per row, cells separated
// by "," without quoting, every line ending in "\n".
std::string SummaryText(const std::vector<TableRow>& rows);

// Writes SummaryText to `path` through the one save (base/save_file.h), refusing a path that
// names the state machine file `input` it was made from. The message box text under
// SUMMARY_CAPTION: "Unable to open %s for write" on failure, "Summary saved to %s" when at
// least one row was written, empty for a table without rows (the file then holds the title
// line only).
[[nodiscard]] base::SaveOutcome SaveSummaryFile(const std::string& path,
                                                const std::vector<TableRow>& rows,
                                                std::span<const std::string> inputs = {});

// A Windows-1252 text as UTF-8 for display: bytes below 0x80 unchanged, 0xA0 to 0xFF as
// U+00A0 to U+00FF (0xB5 is U+00B5), 0x80 to 0x9F by the code page's table, and its five
// unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) as the C1 controls of the same number.
std::string Cp1252ToUtf8(std::string_view text);

}  // namespace velacor::statemachine
