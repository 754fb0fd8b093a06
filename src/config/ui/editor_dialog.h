// What every configuration editor's window shares: a modal dialog over a connected sensor, its
// body above the Save and Close buttons, and the boxes its Load and Save results call for.
// Escape and Close discard what was typed; a refused Save keeps it.
#pragma once

#include <QDialog>

#include "config/editor_message.h"
#include "link/transactor.h"

class QPushButton;

namespace velacor::widgets {
class Prompter;
}

namespace velacor::config::ui {

class EditorDialog : public QDialog {
    Q_OBJECT
  public:
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* CloseButton() const { return m_close; }

  protected:
    EditorDialog(link::Transactor& sensor, widgets::Prompter& prompter, const char* title,
                 QWidget* parent);
    // Puts `body` above the buttons; call once.
    void SetBody(QWidget* body);
    void Tell(const EditorMessage& message);
    link::Transactor& Sensor() { return m_sensor; }
    widgets::Prompter& Prompter() { return m_prompter; }
    virtual void OnSave() = 0;
    void showEvent(QShowEvent* event) override;

  private:
    link::Transactor& m_sensor;
    widgets::Prompter& m_prompter;
    QPushButton* m_save = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace velacor::config::ui
