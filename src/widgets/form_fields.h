// Building and reading the fields of the dialogs: text fields, drop-down lists, groups and
// form rows, and the number rules (base/number_text.h) applied to a field's text.
#pragma once

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "base/value_table.h"

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QWidget;

namespace velacor::widgets {

// A row of a form: the label, then a new text field or drop-down list.
QLineEdit* AddEdit(QFormLayout* form, const char* label);
QComboBox* AddList(QFormLayout* form, const char* label, base::ValueTable table);
// Enables a field together with its label in the form.
void EnableRow(QFormLayout* form, QWidget* field, bool enabled);

// Fixes a field's width in the units the lists' columns use (lists.h), so that the fields of a
// page line up whatever the font.
void SetWidthInUnits(QWidget* field, int units);

// Tab visits `order` one after the other (each widget moves to just after the one before it).
void SetTabOrder(std::initializer_list<QWidget*> order);

// A narrow number field, with a tool tip when given; read-only for a value only shown.
QLineEdit* MakeNumberField(const char* tip = nullptr);
QLineEdit* MakeReadOnlyField(const char* tip = nullptr);
QGroupBox* MakeGroup(const char* title, QLayout* layout);
QLabel* MakeLabel(const char* text);

std::string EditText(const QLineEdit* edit);
void SetEditText(QLineEdit* edit, const std::string& text);
// A number shown through a printf format ("%.5f", "%g").
void SetEditNumber(QLineEdit* edit, const char* format, double value);
// An unsigned number shown in decimal; the field then counts as not modified by the operator.
void SetEditNumber(QLineEdit* edit, std::uint32_t value);

// The field's text by the number rules.
std::uint32_t ReadUnsigned(const QLineEdit* edit);
// ReadUnsigned limited to `max`.
std::uint32_t ReadUnsigned(const QLineEdit* edit, std::uint32_t max);
// A byte field: ReadUnsigned limited to 255.
std::uint8_t ReadByte(const QLineEdit* edit);
// A decimal field read into a single-precision record field; text that does not parse reads
// as 0.
float ReadSingle(const QLineEdit* edit);
double ReadDecimal(const QLineEdit* edit);
// A clamped field: the operator's number brought into [low, high]; a value the window showed
// and nobody touched goes back as `shown`, so looking at a record never edits it.
std::uint32_t ReadClamped(const QLineEdit* edit, std::uint32_t shown, std::uint32_t low,
                          std::uint32_t high);

}  // namespace velacor::widgets
