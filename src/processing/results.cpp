#include "processing/results.h"

#include <cstdarg>
#include <cstdio>
#include <sstream>

#include "base/atomic_save.h"
#include "base/str_printf.h"
#include "base/utc_time.h"

namespace velacor::processing {

std::string FormatTimeCell(std::uint32_t secondsSince1970) {
    if (secondsSince1970 >= 0x80000000u)
        return base::StrPrintf("%u", secondsSince1970);
    return base::FormatSensorTime(secondsSince1970);
}

std::size_t ResultsTable::AddRow(ResultRow cells) {
    if (m_rows.size() >= RESULTS_ROW_LIMIT)
        m_rows.pop_front();
    m_rows.push_back(std::move(cells));
    return m_rows.size();
}

void Log(LogSink* sink, const char* format, ...) {
    if (sink == nullptr)
        return;
    char text[LOG_LINE_LIMIT + 1];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (written < 0)
        return;
    std::string_view line(text,
                          std::min<std::size_t>(static_cast<std::size_t>(written), LOG_LINE_LIMIT));
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    sink->AddLine(line);
}

namespace {

void WriteLine(std::ostream& out, const std::vector<std::string>& cells) {
    bool first = true;
    for (const std::string& cell : cells) {
        if (!first)
            out << ',';
        first = false;
        out << std::string_view(cell).substr(0, CELL_TEXT_LIMIT);
    }
    out << '\n';
}

}  // namespace

void WriteResults(std::ostream& out, const ResultsTable& table) {
    WriteLine(out, table.Headings());
    for (const ResultRow& row : table.Rows())
        WriteLine(out, row);
}

std::string ResultsText(const ResultsTable& table) {
    std::ostringstream out;
    WriteResults(out, table);
    return std::move(out).str();
}

SaveOutcome SaveResults(const std::string& path, const ResultsTable& table) {
    SaveOutcome outcome;
    outcome.saved = base::AtomicSave(path, [&table](std::ostream& out) {
        WriteResults(out, table);
        return true;
    });
    if (!outcome.saved)
        outcome.message =
            base::Truncated(base::StrPrintf("Unable to open %s for write", path.c_str()), 255);
    else if (!table.Rows().empty())
        outcome.message =
            base::Truncated(base::StrPrintf("Processed Output saved to %s", path.c_str()), 255);
    return outcome;
}

}  // namespace velacor::processing
