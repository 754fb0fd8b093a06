// The comma-separated lists this program writes (processed results, the state machine summary,
// the lists of the views): cells separated by "," without quoting, each cut to 255 bytes, every
// line ending in "\n".
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace velacor::base {

inline constexpr std::size_t DELIMITED_CELL_LIMIT = 255;

// One line of `count` cells; `cell(i)` gives the text of cell i (anything a string_view takes).
template <class CellAt>
void WriteDelimitedLine(std::ostream& out, std::size_t count, CellAt&& cell) {
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            out << ',';
        out << std::string_view(cell(i)).substr(0, DELIMITED_CELL_LIMIT);
    }
    out << '\n';
}

// Every line of a list: `rows` lines after the heading line.
template <class HeadingAt, class CellAt>
void WriteDelimitedList(std::ostream& out, std::size_t columns, HeadingAt&& heading,
                        std::size_t rows, CellAt&& cell) {
    WriteDelimitedLine(out, columns, heading);
    for (std::size_t r = 0; r < rows; ++r)
        WriteDelimitedLine(out, columns, [&](std::size_t c) { return cell(r, c); });
}

}  // namespace velacor::base
