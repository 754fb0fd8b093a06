// What every processing run produces: a table of formatted result rows, at most 5001 of them,
// and a log of messages, each at most 255 characters. Saving writes the table as the processed
// results file: the headings, then one line per row, cells separated by "," without quoting.
#pragma once

#include <cstdint>
#include <deque>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/save_file.h"
#include "processing/raw_file.h"

namespace velacor::processing {

inline constexpr std::size_t RESULTS_ROW_LIMIT = 5001;
inline constexpr std::size_t LOG_LINE_LIMIT = 255;

using ResultRow = std::vector<std::string>;

// "%02d/%02d/%04d %02d:%02d:%02d" (day/month/year, UTC) below 2^31 seconds; the plain number
// from there on.
std::string FormatTimeCell(std::uint32_t secondsSince1970);
// The text printf's "%.<decimals>f" gives for `value` (cells are formatted once per result,
// thousands of times a run, so without printf).
std::string FixedCell(double value, int decimals);

class ResultsTable {
  public:
    ResultsTable() = default;
    explicit ResultsTable(std::vector<std::string> headings) : m_headings(std::move(headings)) {}

    const std::vector<std::string>& Headings() const { return m_headings; }
    void SetHeadings(std::vector<std::string> headings) { m_headings = std::move(headings); }

    // Appends a row; once 5001 rows are held the oldest goes first. Returns the row count.
    std::size_t AddRow(ResultRow cells);
    void Clear() { m_rows.clear(); }
    const std::deque<ResultRow>& Rows() const { return m_rows; }

  private:
    std::vector<std::string> m_headings;
    std::deque<ResultRow> m_rows;
};

// Where a run's messages go. AddLine receives one line of at most 255 characters.
class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual void AddLine(std::string_view line) = 0;
};

// Formats a message into at most 255 characters and hands it to `sink`; a trailing line feed
// is dropped (a log line shows one line). Nothing is formatted when `sink` is null.
void Log(LogSink* sink, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Keeps every line, in order.
class LogLines final : public LogSink {
  public:
    void AddLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// The processed results file's text: heading line, then one line per row.
void WriteResults(std::ostream& out, const ResultsTable& table);
std::string ResultsText(const ResultsTable& table);

inline constexpr std::string_view SAVE_CHOOSER_TITLE = "Processed Results Output File";
inline constexpr std::string_view SAVE_FILTER_NAME = "CSV Files (*.csv)";
inline constexpr std::string_view SAVE_FILTER_PATTERN = "*.csv";
inline constexpr std::string_view SAVE_EXTENSION = "csv";
inline constexpr std::string_view SAVE_MESSAGE_TITLE = "Save Processed Output";

// Writes the table to `path` through the one save (base/save_file.h), refusing a path that names
// one of the raw files `inputs`. The outcome's message is shown titled SAVE_MESSAGE_TITLE; an
// empty table writes the heading line and says nothing.
[[nodiscard]] base::SaveOutcome SaveResults(const std::string& path, const ResultsTable& table,
                                            std::span<const std::string> inputs = {});

}  // namespace velacor::processing
