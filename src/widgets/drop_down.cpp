#include "widgets/drop_down.h"

#include <QComboBox>

namespace velacor::widgets {

void FillDropDown(QComboBox* box, base::ValueTable table) {
    box->clear();
    for (const base::ValueEntry& entry : table)
        box->addItem(QString::fromUtf8(entry.text), entry.code);
}

QComboBox* MakeDropDown(base::ValueTable table) {
    auto* box = new QComboBox;
    FillDropDown(box, table);
    return box;
}

int DropDownValue(const QComboBox* box, base::ValueTable table) {
    return base::CodeAtIndex(table, box->currentIndex());
}

void SelectDropDownCode(QComboBox* box, base::ValueTable table, int code) {
    box->setCurrentIndex(base::IndexOfCode(table, code));
}

}  // namespace velacor::widgets
