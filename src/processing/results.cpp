#include "processing/results.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <sstream>

#include "base/delimited_text.h"
#include "base/str_printf.h"
#include "base/utc_time.h"

namespace velacor::processing {

std::string FormatTimeCell(std::uint32_t secondsSince1970) {
    if (secondsSince1970 >= 0x80000000u)
        return std::to_string(secondsSince1970);
    // "%02d/%02d/%04d %02d:%02d:%02d"; below 2^31 every field has exactly its width.
    const base::UtcDateTime t = base::ToUtc(secondsSince1970);
    char text[] = "dd/mm/yyyy hh:mm:ss";
    const auto put = [&text](std::size_t at, int value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            text[at + static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    };
    put(0, t.day, 2);
    put(3, t.month, 2);
    put(6, t.year, 4);
    put(11, t.hour, 2);
    put(14, t.minute, 2);
    put(17, t.second, 2);
    return std::string(text, sizeof text - 1);
}

std::string FixedCell(double value, int decimals) {
    if (!std::isfinite(value))
        return base::StrPrintf("%.*f", decimals, value);  // "nan", "-inf", ... as printf says
    char text[400];  // the longest double in fixed notation, with its decimals
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc{})
        return base::StrPrintf("%.*f", decimals, value);
    return std::string(text, end);
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
    base::WriteDelimitedLine(out, cells.size(),
                             [&cells](std::size_t i) -> const std::string& { return cells[i]; });
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

base::SaveOutcome SaveResults(const std::string& path, const ResultsTable& table,
                              std::span<const std::string> inputs) {
    base::SaveMessages messages;
    if (!table.Rows().empty())
        messages.saved = "Processed Output saved to %s";
    return base::SaveFile(
        path,
        [&table](std::ostream& out) {
            WriteResults(out, table);
            return true;
        },
        messages, inputs);
}

}  // namespace velacor::processing
