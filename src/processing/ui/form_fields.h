// Building and reading the parameter fields of the processing dialogs.
#pragma once

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include <cstdint>
#include <span>
#include <string>

#include "app/ui_helpers.h"
#include "base/single_precision.h"
#include "base/str_printf.h"
#include "processing/processing_forms.h"

namespace velacor::processing::ui {

inline QLineEdit* AddEdit(QFormLayout* form, const char* label) {
    auto* edit = new QLineEdit;
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
}

inline QComboBox* AddList(QFormLayout* form, const char* label,
                          std::span<const app::DropDownEntry> table) {
    auto* box = new QComboBox;
    app::FillDropDown(box, table);
    form->addRow(QString::fromUtf8(label), box);
    return box;
}

inline std::string EditText(const QLineEdit* edit) {
    return edit->text().toStdString();
}

// A decimal field read into a single-precision record field; text that does not parse reads
// as 0.
inline float ReadSingle(const QLineEdit* edit) {
    return base::Single(ReadDecimalText(EditText(edit)));
}

// The code of a list's chosen entry, as the u8 record fields hold it.
inline std::uint8_t ListCode(const QComboBox* box, std::span<const app::DropDownEntry> table) {
    return static_cast<std::uint8_t>(app::DropDownValue(box, table));
}

inline void SetEditText(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
}

// A number shown through a printf format ("%.5f", "%g").
inline void SetNumber(QLineEdit* edit, const char* format, double value) {
    SetEditText(edit, base::StrPrintf(format, value));
}

// Enables a field together with its label in the form.
inline void EnableRow(QFormLayout* form, QWidget* field, bool enabled) {
    field->setEnabled(enabled);
    if (QWidget* label = form->labelForField(field))
        label->setEnabled(enabled);
}

inline constexpr app::DropDownEntry SENSOR_VERSIONS[] = {{0, "None"}};
inline constexpr app::DropDownEntry INPUT_CHANNELS[] = {{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"},
                                                        {4, "4"}, {5, "5"}, {6, "6"}, {7, "7"}};

}  // namespace velacor::processing::ui
