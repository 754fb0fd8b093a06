// The two small dialogs of the state machine editor: "Paste options" and "Go to state...".
#pragma once

#include <QDialog>

#include <cstdint>

#include "statemachine/state_editing.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velacor::statemachine::ui {

class PasteOptionsDialog final : public QDialog {
    Q_OBJECT
  public:
    // Opens showing `shown`, the choice of the last paste.
    explicit PasteOptionsDialog(const PasteChoice& shown, QWidget* parent = nullptr);
    // OK and Cancel alike: the choice shown.
    PasteChoice Choice() const;

    QRadioButton* before = nullptr;
    QRadioButton* after = nullptr;
    QRadioButton* overwrite = nullptr;
    QCheckBox* valves = nullptr;
    QCheckBox* pump = nullptr;
    QCheckBox* everythingElse = nullptr;

  private:
    void UpdateBoxes();
};

class GoToStateDialog final : public QDialog {
    Q_OBJECT
  public:
    GoToStateDialog(std::uint16_t lastIndex, QWidget* parent = nullptr);
    // The state chosen, capped at lastIndex.
    std::uint16_t State() const;

    QLineEdit* field = nullptr;
    QPushButton* ok = nullptr;

  private:
    void Check();
    std::uint16_t m_lastIndex;
};

}  // namespace velacor::statemachine::ui
