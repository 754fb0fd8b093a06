// Building and reading the parameter fields of the processing dialogs.
#pragma once

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include <span>
#include <string>

#include "app/ui_helpers.h"

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

inline void SetEditText(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
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
