// The drop-down lists of every window: a table of (code, text) entries in list order. A stored
// code missing from the table selects the first entry; a position beyond the table reads as
// code 0.
#pragma once

#include <cstddef>
#include <span>

namespace velacor::base {

struct ValueEntry {
    int code;
    const char* text;
};
using ValueTable = std::span<const ValueEntry>;

// The list position that shows `code`: the first entry when the table lacks it, -1 for an
// empty table.
constexpr int IndexOfCode(ValueTable table, int code) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].code == code)
            return static_cast<int>(i);
    }
    return table.empty() ? -1 : 0;
}

// The code at list position `index`; 0 outside the table.
constexpr int CodeAtIndex(ValueTable table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= table.size())
        return 0;
    return table[static_cast<std::size_t>(index)].code;
}

}  // namespace velacor::base
