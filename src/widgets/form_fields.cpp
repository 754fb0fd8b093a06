#include "widgets/form_fields.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <algorithm>

#include "base/number_text.h"
#include "base/str_printf.h"
#include "widgets/colours.h"
#include "widgets/drop_down.h"
#include "widgets/lists.h"

namespace velacor::widgets {

QLineEdit* AddEdit(QFormLayout* form, const char* label) {
    auto* edit = new QLineEdit;
    form->addRow(QString::fromUtf8(label), edit);
    return edit;
}

QComboBox* AddList(QFormLayout* form, const char* label, base::ValueTable table) {
    QComboBox* box = MakeDropDown(table);
    form->addRow(QString::fromUtf8(label), box);
    return box;
}

void EnableRow(QFormLayout* form, QWidget* field, bool enabled) {
    field->setEnabled(enabled);
    if (QWidget* label = form->labelForField(field))
        label->setEnabled(enabled);
}

void SetWidthInUnits(QWidget* field, int units) {
    field->setFixedWidth(units * DialogBaseUnitWidth(field));
}

void SetTabOrder(std::initializer_list<QWidget*> order) {
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (previous != nullptr)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

QLineEdit* MakeNumberField(const char* tip) {
    auto* field = new QLineEdit;
    field->setMaximumWidth(70);
    if (tip != nullptr)
        field->setToolTip(QString::fromUtf8(tip));
    return field;
}

QLineEdit* MakeReadOnlyField(const char* tip) {
    QLineEdit* field = MakeNumberField(tip);
    field->setReadOnly(true);
    return field;
}

QGroupBox* MakeGroup(const char* title, QLayout* layout) {
    auto* group = new QGroupBox(QString::fromUtf8(title));
    group->setLayout(layout);
    return group;
}

QLabel* MakeLabel(const char* text) {
    return new QLabel(QString::fromUtf8(text));
}

std::string EditText(const QLineEdit* edit) {
    return edit->text().toStdString();
}

void SetEditText(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
}

void SetEditNumber(QLineEdit* edit, const char* format, double value) {
    SetEditText(edit, base::StrPrintf(format, value));
}

void SetEditNumber(QLineEdit* edit, std::uint32_t value) {
    edit->setText(QString::number(value));  // also clears the field's modified flag
}

std::uint32_t ReadUnsigned(const QLineEdit* edit) {
    return base::ReadUnsignedText(EditText(edit));
}

std::uint32_t ReadUnsigned(const QLineEdit* edit, std::uint32_t max) {
    return base::ReadUnsignedText(EditText(edit), max);
}

std::uint8_t ReadByte(const QLineEdit* edit) {
    return static_cast<std::uint8_t>(ReadUnsigned(edit, 255));
}

float ReadSingle(const QLineEdit* edit) {
    return base::ReadSingleText(EditText(edit));
}

double ReadDecimal(const QLineEdit* edit) {
    return base::ReadDecimalText(EditText(edit));
}

std::uint32_t ReadClamped(const QLineEdit* edit, std::uint32_t shown, std::uint32_t low,
                          std::uint32_t high) {
    if (!edit->isModified())
        return shown;
    return std::clamp(ReadUnsigned(edit), low, high);
}

void SetFieldColour(QLineEdit* field, bool inRange) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Text, inRange ? QColor(Qt::black) : QColor(Qt::red));
    field->setPalette(palette);
}

}  // namespace velacor::widgets
