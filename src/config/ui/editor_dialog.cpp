#include "config/ui/editor_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::config::ui {

EditorDialog::EditorDialog(link::Transactor& sensor, widgets::Prompter& prompter, const char* title,
                           QWidget* parent)
    : QDialog(parent), m_sensor(sensor), m_prompter(prompter) {
    setWindowTitle(widgets::FromUtf8(title));
    setModal(true);
    m_save = new QPushButton(QStringLiteral("Save"));
    m_close = new QPushButton(QStringLiteral("Close"));
    // Enter in a field must not save by surprise: no button is the default.
    m_save->setAutoDefault(false);
    m_close->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, [this] { OnSave(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void EditorDialog::SetBody(QWidget* body) {
    auto* buttons = new QDialogButtonBox;
    // Not the accept role: the button box would make Save the default button, which Enter in
    // any field presses.
    buttons->addButton(m_save, QDialogButtonBox::ActionRole);
    buttons->addButton(m_close, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(body, 1);
    layout->addWidget(buttons);
}

void EditorDialog::showEvent(QShowEvent* event) {
    // A page may be built after the buttons: Tab runs through the page first, then Save and
    // Close, and the first control of the page has the focus.
    QWidget* last = previousInFocusChain();
    while ((last == m_save || last == m_close) && last != this)
        last = last->previousInFocusChain();
    if (last != this) {
        setTabOrder(last, m_save);
        setTabOrder(m_save, m_close);
    }
    QDialog::showEvent(event);
}

void EditorDialog::Tell(const EditorMessage& message) {
    widgets::Inform(m_prompter, message.title, message.text);
}

}  // namespace velacor::config::ui
