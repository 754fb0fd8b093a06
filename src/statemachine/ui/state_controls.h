// The controls of the state machine editor and the binding between them and one StateRecord:
// Show fills them from a record, Store reads them back, and the enabling rules run after every
// show and every selector or box change.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

#include "statemachine/state_editing.h"
#include "statemachine/state_machine.h"
#include "statemachine/state_record.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velacor::statemachine::ui {

// The pump defaults' hall stop values the editor shows beside the pump settings.
struct HallStopValues {
    std::uint16_t inject = 0;
    std::uint16_t withdraw = 0;
};

struct CounterRow {
    QComboBox* mode = nullptr;
    QLineEdit* increment = nullptr;
    QLineEdit* testValue = nullptr;
    QLineEdit* nextState = nullptr;
};

class StateControls final : public QWidget {
    Q_OBJECT
  public:
    explicit StateControls(bool connected, QWidget* parent = nullptr);

    void Show(const StateRecord& r, const StateDefaults& defaults, HallStopValues hall);
    // The record the controls describe. Fields no control edits are kept from `current`, and a
    // clamped number field the operator did not touch keeps its value.
    StateRecord Store(const StateRecord& current) const;

    QComboBox* mode = nullptr;
    std::array<QCheckBox*, 16> valves{};
    std::array<QLineEdit*, 4> ledCurrent{};
    std::array<QComboBox*, 4> ledOn{};
    QCheckBox* photodiodePower = nullptr;
    QCheckBox* pumpOn = nullptr;
    QLineEdit* pumpCurrent = nullptr;
    QLineEdit* stepPeriod = nullptr;
    QComboBox* microstep = nullptr;
    QComboBox* direction = nullptr;
    QComboBox* stopCondition = nullptr;
    QLineEdit* hallInject = nullptr;
    QLineEdit* hallWithdraw = nullptr;
    QLineEdit* stopTime = nullptr;
    QLineEdit* stepCount = nullptr;
    QCheckBox* hallPower = nullptr;
    QComboBox* sdRecording = nullptr;
    QCheckBox* incrementMeasure = nullptr;
    QCheckBox* sendSync = nullptr;
    QLineEdit* syncValue = nullptr;
    QLineEdit* defaultNext = nullptr;
    std::array<CounterRow, 6> counters{};
    QComboBox* divingLevel = nullptr;
    QLineEdit* divingState = nullptr;
    QComboBox* climbingLevel = nullptr;
    QLineEdit* climbingState = nullptr;
    QLineEdit* hallTimeoutState = nullptr;
    QRadioButton* waitSeconds = nullptr;
    QLineEdit* delaySeconds = nullptr;
    QRadioButton* waitSchedule = nullptr;
    QPushButton* schedule = nullptr;

    void ApplyRules();
    // What the selectors and boxes show, as the rules read it.
    StateChoices Choices() const;

  private:
    QWidget* BuildOperatingGroup();
    QWidget* BuildValvesGroup();
    QWidget* BuildOpticsGroup();
    QWidget* BuildPumpGroup();
    QWidget* BuildLoggingAndSyncGroups();
    QWidget* BuildNextStateGroup();
    QWidget* BuildDelayGroup();
    void OnPumpSettingChanged();

    bool m_connected;
    bool m_showing = false;
};

}  // namespace velacor::statemachine::ui
