// Drop-down lists filled from a value table (base/value_table.h).
#pragma once

#include <cstdint>

#include "base/value_table.h"

class QComboBox;

namespace velacor::widgets {

void FillDropDown(QComboBox* box, base::ValueTable table);
// A new drop-down list holding `table`.
QComboBox* MakeDropDown(base::ValueTable table);
// The code of the selected entry; 0 when the selection lies beyond the table.
int DropDownValue(const QComboBox* box, base::ValueTable table);
// DropDownValue as the u8 record fields hold it.
inline std::uint8_t DropDownCode(const QComboBox* box, base::ValueTable table) {
    return static_cast<std::uint8_t>(DropDownValue(box, table));
}
// Selects the entry with `code`; a code missing from the table selects the first entry.
void SelectDropDownCode(QComboBox* box, base::ValueTable table, int code);

}  // namespace velacor::widgets
