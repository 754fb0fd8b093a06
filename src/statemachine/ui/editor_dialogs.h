// The two small dialogs of the state machine editor: "Paste options" and "Go to state...".
#pragma once

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velacor::statemachine::ui {

// What a paste does: insert a state first (before or after the current one) or overwrite the
// current one, and which parts of the clipboard's state it takes.
struct PasteChoice {
    enum class Place { Before, After, Overwrite };
    Place place = Place::Overwrite;
    bool valves = false;
    bool pump = false;
    bool everythingElse = false;
    bool operator==(const PasteChoice&) const = default;
};

// The parts an insert takes: all of them.
PasteChoice EffectivePaste(const PasteChoice& shown);

class PasteOptionsDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit PasteOptionsDialog(QWidget* parent = nullptr);
    // OK and Cancel alike: the choice shown, remembered for the next paste.
    PasteChoice Choice() const;
    void done(int result) override;

    // The choice the next dialog opens with, kept while the program runs.
    static PasteChoice& Remembered();

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
