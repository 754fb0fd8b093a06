#include "statemachine/ui/editor_dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "widgets/colours.h"
#include "widgets/form_fields.h"

namespace velacor::statemachine::ui {

PasteOptionsDialog::PasteOptionsDialog(const PasteChoice& last, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Paste options"));
    before = new QRadioButton(QStringLiteral("Insert Before Current State"));
    after = new QRadioButton(QStringLiteral("Insert After Current State"));
    overwrite = new QRadioButton(QStringLiteral("Overwrite Current State"));
    valves = new QCheckBox(QStringLiteral("Paste Valve Settings"));
    pump = new QCheckBox(QStringLiteral("Paste Pump Settings"));
    everythingElse = new QCheckBox(QStringLiteral("Paste Everything Else"));
    auto* okButton = new QPushButton(QStringLiteral("OK"));
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{before, after, overwrite, valves, pump, everythingElse})
        layout->addWidget(w);
    layout->addLayout(buttons);

    before->setChecked(last.place == PasteChoice::Place::Before);
    after->setChecked(last.place == PasteChoice::Place::After);
    overwrite->setChecked(last.place == PasteChoice::Place::Overwrite);
    valves->setChecked(last.valves);
    pump->setChecked(last.pump);
    everythingElse->setChecked(last.everythingElse);
    UpdateBoxes();
    connect(overwrite, &QRadioButton::toggled, this, &PasteOptionsDialog::UpdateBoxes);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void PasteOptionsDialog::UpdateBoxes() {
    for (QCheckBox* box : {valves, pump, everythingElse})
        box->setEnabled(overwrite->isChecked());
}

PasteChoice PasteOptionsDialog::Choice() const {
    PasteChoice choice;
    choice.place = before->isChecked()  ? PasteChoice::Place::Before
                   : after->isChecked() ? PasteChoice::Place::After
                                        : PasteChoice::Place::Overwrite;
    choice.valves = valves->isChecked();
    choice.pump = pump->isChecked();
    choice.everythingElse = everythingElse->isChecked();
    return choice;
}

GoToStateDialog::GoToStateDialog(std::uint16_t lastIndex, QWidget* parent)
    : QDialog(parent), m_lastIndex(lastIndex) {
    setWindowTitle(QStringLiteral("Go to state..."));
    field = new QLineEdit(QStringLiteral("0"));
    ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Go to state:")));
    layout->addWidget(field);
    layout->addWidget(ok);
    connect(field, &QLineEdit::textChanged, this, &GoToStateDialog::Check);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    Check();
}

void GoToStateDialog::Check() {
    const bool inRange = widgets::ReadUnsigned(field) <= m_lastIndex;
    widgets::SetFieldColour(field, inRange);
    ok->setEnabled(inRange);
}

std::uint16_t GoToStateDialog::State() const {
    return static_cast<std::uint16_t>(
        std::min<std::uint32_t>(widgets::ReadUnsigned(field), m_lastIndex));
}

}  // namespace velacor::statemachine::ui
