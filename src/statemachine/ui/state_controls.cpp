#include "statemachine/ui/state_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/ui_helpers.h"
#include "base/str_printf.h"
#include "statemachine/ui/number_text.h"

namespace velacor::statemachine::ui {
namespace {

using app::DropDownEntry;

constexpr DropDownEntry MODES[] = {{MODE_IDLE, "Idle"},
                                   {MODE_OPERATING, "Operating"},
                                   {MODE_SLEEPING, "Sleeping"},
                                   {MODE_HIBERNATING, "Hibernating"}};
constexpr DropDownEntry LED_STATES[] = {{LED_ON, "On"}, {0, "Off"}};
constexpr DropDownEntry DIRECTIONS[] = {{0, "Inject"}, {1, "Withdraw"}};
constexpr DropDownEntry MICROSTEPS[] = {{0, "16"}, {1, "8"}, {2, "4"}, {3, "2"}, {4, "1"}};
constexpr DropDownEntry STOP_CONDITIONS[] = {
    {STOP_HALL, "Hall Sensors"}, {STOP_TIME, "Timeout"}, {STOP_STEP_COUNT, "Step Count"}};
constexpr DropDownEntry SD_RECORDING[] = {{1, "On"}, {2, "Off"}};
constexpr DropDownEntry COUNTER_MODES[] = {
    {COUNTER_INC_ONLY, "Inc Only"}, {COUNTER_INC_AND_TEST, "Inc & Test"}, {COUNTER_RESET, "Reset"}};
constexpr DropDownEntry DIVING_LEVELS[] = {
    {0, "No Trigger"}, {1, "Below P1"}, {2, "Below P2"}, {3, "Below P3"}};
constexpr DropDownEntry CLIMBING_LEVELS[] = {
    {0, "No Trigger"}, {1, "Above P1"}, {2, "Above P2"}, {3, "Above P3"}};

constexpr std::uint32_t PUMP_CURRENT_MIN = 10, PUMP_CURRENT_MAX = 1600;
constexpr std::uint32_t STEP_PERIOD_MIN = 2, STEP_PERIOD_MAX = 131071;

QComboBox* DropDown(std::span<const DropDownEntry> table) {
    auto* box = new QComboBox;
    app::FillDropDown(box, table);
    return box;
}
QLineEdit* NumberField(const char* tip = nullptr) {
    auto* field = new QLineEdit;
    field->setMaximumWidth(70);
    if (tip != nullptr)
        field->setToolTip(QString::fromUtf8(tip));
    return field;
}
QLineEdit* ReadOnlyField(const char* tip = nullptr) {
    QLineEdit* field = NumberField(tip);
    field->setReadOnly(true);
    return field;
}
std::uint8_t Byte(const QLineEdit* field) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(ReadUnsigned(field->text()), 255));
}
std::uint8_t Code(const QComboBox* box, std::span<const DropDownEntry> table) {
    return static_cast<std::uint8_t>(app::DropDownValue(box, table));
}
void SetNumber(QLineEdit* field, std::uint32_t value) {
    field->setText(QString::number(value));  // also clears the field's modified flag
}
// A clamped field: the operator's number brought into range; a value the editor showed and
// nobody touched goes back unchanged, so looking at a state never edits it.
std::uint32_t Clamped(const QLineEdit* field, std::uint32_t shown, std::uint32_t low,
                      std::uint32_t high) {
    if (!field->isModified())
        return shown;
    return std::clamp(ReadUnsigned(field->text()), low, high);
}
QGroupBox* Group(const char* title, QLayout* layout) {
    auto* group = new QGroupBox(QString::fromUtf8(title));
    group->setLayout(layout);
    return group;
}
QLabel* Label(const char* text) {
    return new QLabel(QString::fromUtf8(text));
}

}  // namespace

StateControls::StateControls(bool connected, QWidget* parent)
    : QWidget(parent), m_connected(connected) {
    auto* left = new QVBoxLayout;
    left->addWidget(BuildOperatingGroup());
    left->addWidget(BuildValvesGroup());
    left->addWidget(BuildOpticsGroup());
    left->addWidget(BuildLoggingAndSyncGroups());
    left->addStretch();
    auto* middle = new QVBoxLayout;
    middle->addWidget(BuildPumpGroup());
    middle->addWidget(BuildDelayGroup());
    middle->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left);
    layout->addLayout(middle);
    layout->addWidget(BuildNextStateGroup(), 0, Qt::AlignTop);

    // Every selector and box change reruns the enabling rules.
    const auto rules = [this] {
        if (!m_showing)
            ApplyRules();
    };
    for (QComboBox* box : findChildren<QComboBox*>())
        connect(box, &QComboBox::currentIndexChanged, this, rules);
    for (QCheckBox* box : findChildren<QCheckBox*>())
        connect(box, &QCheckBox::toggled, this, rules);
    connect(waitSeconds, &QRadioButton::toggled, this, rules);
    connect(pumpOn, &QCheckBox::toggled, this, &StateControls::OnPumpSettingChanged);
    connect(stopCondition, &QComboBox::currentIndexChanged, this,
            &StateControls::OnPumpSettingChanged);
}

QWidget* StateControls::BuildOperatingGroup() {
    mode = DropDown(MODES);
    auto* layout = new QHBoxLayout;
    layout->addWidget(mode);
    return Group("Operating Mode", layout);
}

QWidget* StateControls::BuildValvesGroup() {
    auto* layout = new QGridLayout;
    for (std::size_t i = 0; i < valves.size(); ++i) {
        valves[i] = new QCheckBox(QString::number(i));
        layout->addWidget(valves[i], static_cast<int>(i / 8), static_cast<int>(i % 8));
    }
    valves[0]->setToolTip(QStringLiteral("Open valve"));
    return Group("Valves", layout);
}

QWidget* StateControls::BuildOpticsGroup() {
    auto* layout = new QGridLayout;
    layout->addWidget(Label("Current (mA)"), 0, 1);
    for (std::size_t i = 0; i < ledOn.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        ledCurrent[i] = ReadOnlyField("LED current (0mA-48mA)");
        ledOn[i] = DropDown(LED_STATES);
        layout->addWidget(new QLabel(QStringLiteral("LED %1").arg(i)), row, 0);
        layout->addWidget(ledCurrent[i], row, 1);
        layout->addWidget(ledOn[i], row, 2);
    }
    photodiodePower = new QCheckBox(QStringLiteral("Enable Photodiodes 5V Power"));
    layout->addWidget(photodiodePower, 5, 0, 1, 3);
    return Group("Optics", layout);
}

QWidget* StateControls::BuildPumpGroup() {
    pumpOn = new QCheckBox(QStringLiteral("Operate Pump"));
    pumpCurrent = NumberField("Winding current limit (10ma-1600mA)");
    stepPeriod = NumberField("Step period (2us-131071us)");
    microstep = DropDown(MICROSTEPS);
    direction = DropDown(DIRECTIONS);
    stopCondition = DropDown(STOP_CONDITIONS);
    hallInject = ReadOnlyField("Hall stop value (injecting 1-4095)");
    hallWithdraw = ReadOnlyField("Hall stop value (withdrawing 1-4095)");
    stopTime = NumberField("Hall stop timeout/stop time (s)");
    stepCount = ReadOnlyField();
    // Wide enough for its one text, "unsupported".
    stepCount->setMaximumWidth(
        stepCount->fontMetrics().horizontalAdvance(QStringLiteral("unsupported")) + 16);
    stepCount->setMinimumWidth(stepCount->maximumWidth());
    hallPower = new QCheckBox(QStringLiteral("Enable Hall Sensors 5V Power"));
    auto* layout = new QGridLayout;
    int row = 0;
    layout->addWidget(pumpOn, row++, 0, 1, 2);
    const auto add = [&](const QString& label, QWidget* control) {
        layout->addWidget(new QLabel(label), row, 0);
        layout->addWidget(control, row++, 1);
    };
    add(QStringLiteral("Current (mA)"), pumpCurrent);
    add(QString::fromUtf8("Step Period (\xC2\xB5s)"), stepPeriod);
    add(QStringLiteral("Microstepping"), microstep);
    add(QStringLiteral("Direction"), direction);
    add(QStringLiteral("Stop Condition"), stopCondition);
    add(QStringLiteral("Hall Sensor 0 (I)"), hallInject);
    add(QStringLiteral("Hall Sensor 1 (W)"), hallWithdraw);
    add(QStringLiteral("Timeout (s)"), stopTime);
    add(QStringLiteral("Step Count"), stepCount);
    layout->addWidget(hallPower, row, 0, 1, 2);
    return Group("Pump", layout);
}

QWidget* StateControls::BuildLoggingAndSyncGroups() {
    sdRecording = DropDown(SD_RECORDING);
    incrementMeasure = new QCheckBox(QStringLiteral("Increment Measure Counter"));
    auto* logging = new QGridLayout;
    logging->addWidget(Label("Recording to SD Card"), 0, 0);
    logging->addWidget(sdRecording, 0, 1);
    logging->addWidget(incrementMeasure, 1, 0, 1, 2);
    sendSync = new QCheckBox(QStringLiteral("Send Sync"));
    sendSync->setToolTip(
        QStringLiteral("Send synchronisation signal to external unit (usually off)"));
    syncValue = NumberField("Sychronisation value to send (0-255)");
    auto* sync = new QHBoxLayout;
    sync->addWidget(sendSync);
    sync->addWidget(syncValue);
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Group("Data Logging", logging));
    layout->addWidget(Group("Synchronisation", sync));
    return box;
}

QWidget* StateControls::BuildNextStateGroup() {
    auto* layout = new QGridLayout;
    defaultNext = NumberField("Next state if no counters expire (0-255)");
    layout->addWidget(Label("Default Next State"), 0, 0, 1, 3);
    layout->addWidget(defaultNext, 0, 3);
    layout->addWidget(Label("Counter Mode"), 1, 1);
    layout->addWidget(Label("Increment"), 1, 2);
    layout->addWidget(Label("Test Value"), 1, 3);
    layout->addWidget(Label("Next State"), 1, 4);
    for (std::size_t k = 0; k < counters.size(); ++k) {
        CounterRow& c = counters[k];
        const bool first = k == 0;
        c.mode = DropDown(COUNTER_MODES);
        c.increment = NumberField(first ? "Amount to increment before testing (0-255)" : "etc.");
        c.testValue = NumberField(first ? "Max value for counter (1-255)" : "etc.");
        c.nextState =
            NumberField(first ? "Next step if counter exceeds max value (0-255)" : "etc.");
        const int row = static_cast<int>(k) + 2;
        layout->addWidget(new QLabel(QString::number(k + 1)), row, 0);
        layout->addWidget(c.mode, row, 1);
        layout->addWidget(c.increment, row, 2);
        layout->addWidget(c.testValue, row, 3);
        layout->addWidget(c.nextState, row, 4);
    }
    divingLevel = DropDown(DIVING_LEVELS);
    divingState = NumberField();
    climbingLevel = DropDown(CLIMBING_LEVELS);
    climbingState = NumberField();
    hallTimeoutState = NumberField("Next state if Hall stop times out (0-255)");
    layout->addWidget(Label("Diving Depth Trigger State"), 8, 0, 1, 2);
    layout->addWidget(divingLevel, 8, 2, 1, 2);
    layout->addWidget(divingState, 8, 4);
    layout->addWidget(Label("Climbing Depth Trigger State"), 9, 0, 1, 2);
    layout->addWidget(climbingLevel, 9, 2, 1, 2);
    layout->addWidget(climbingState, 9, 4);
    layout->addWidget(Label("Hall Sensor Timeout State"), 10, 0, 1, 3);
    layout->addWidget(hallTimeoutState, 10, 4);
    return Group("Next State Logic", layout);
}

QWidget* StateControls::BuildDelayGroup() {
    waitSeconds = new QRadioButton(QStringLiteral("Wait For This Many Seconds"));
    delaySeconds = NumberField("Delay time (s)");
    waitSchedule = new QRadioButton(QStringLiteral("Wait For Next Measurement Time"));
    schedule = new QPushButton(QStringLiteral("Schedule..."));
    auto* layout = new QGridLayout;
    layout->addWidget(waitSeconds, 0, 0);
    layout->addWidget(delaySeconds, 0, 1);
    layout->addWidget(waitSchedule, 1, 0);
    layout->addWidget(schedule, 1, 1);
    return Group("Delay Before Next State", layout);
}

void StateControls::OnPumpSettingChanged() {
    // The hall sensors need their supply to stop the pump.
    if (m_showing || !pumpOn->isChecked() || Code(stopCondition, STOP_CONDITIONS) != STOP_HALL) {
        return;
    }
    hallPower->setChecked(true);
}

void StateControls::Show(const StateRecord& r, const StateDefaults& defaults, HallStopValues hall) {
    m_showing = true;
    app::SelectDropDownCode(mode, MODES, r.mode);
    for (std::size_t i = 0; i < valves.size(); ++i)
        valves[i]->setChecked(((r.valvesOpen >> i) & 1U) != 0);
    for (std::size_t i = 0; i < ledOn.size(); ++i) {
        const bool on = r.ledDrive[i] == LED_ON;
        app::SelectDropDownCode(ledOn[i], LED_STATES, on ? LED_ON : 0);
        ledCurrent[i]->setText(
            app::FromUtf8(base::StrPrintf("%.3f", on ? defaults.ledCurrentUa[i] * 0.001 : 0.0)));
    }
    photodiodePower->setChecked(r.photodiodePower != 0);
    pumpOn->setChecked(r.pumpOn == 1);
    SetNumber(pumpCurrent, r.pumpCurrentMa);
    SetNumber(stepPeriod, r.stepPeriodUs);
    app::SelectDropDownCode(microstep, MICROSTEPS, r.microstepCode);
    app::SelectDropDownCode(direction, DIRECTIONS, r.pumpDirection);
    app::SelectDropDownCode(stopCondition, STOP_CONDITIONS, r.stopCondition);
    SetNumber(hallInject, hall.inject);
    SetNumber(hallWithdraw, hall.withdraw);
    SetNumber(stopTime, r.stopTimeS);
    stepCount->setText(QStringLiteral("unsupported"));
    hallPower->setChecked(r.hallSensorPower != 0);
    app::SelectDropDownCode(sdRecording, SD_RECORDING, r.sdRecording);
    incrementMeasure->setChecked(r.incrementMeasureCounter != 0);
    sendSync->setChecked(r.syncValue > 0);
    SetNumber(syncValue, r.syncValue);
    SetNumber(defaultNext, r.defaultNext);
    for (std::size_t k = 0; k < counters.size(); ++k) {
        const CounterTrigger& t = r.counterTrigger[k];
        app::SelectDropDownCode(counters[k].mode, COUNTER_MODES, t.counterMode);
        SetNumber(counters[k].increment, t.increment);
        SetNumber(counters[k].testValue, t.testValue);
        SetNumber(counters[k].nextState, t.nextState);
    }
    app::SelectDropDownCode(divingLevel, DIVING_LEVELS, r.divingTrigger.level);
    SetNumber(divingState, r.divingTrigger.nextState);
    app::SelectDropDownCode(climbingLevel, CLIMBING_LEVELS, r.climbingTrigger.level);
    SetNumber(climbingState, r.climbingTrigger.nextState);
    SetNumber(hallTimeoutState, r.pumpTimeoutNext);
    waitSeconds->setChecked(r.waitForSchedule == 0);
    waitSchedule->setChecked(r.waitForSchedule != 0);
    SetNumber(delaySeconds, r.delaySeconds);
    m_showing = false;
    ApplyRules();
}

StateRecord StateControls::Store(const StateRecord& current) const {
    StateRecord r = current;
    r.recordVersion = RECORD_VERSION;
    r.valvesOpen = 0;
    for (std::size_t i = 0; i < valves.size(); ++i) {
        if (valves[i]->isChecked())
            r.valvesOpen = static_cast<std::uint16_t>(r.valvesOpen | (1U << i));
    }
    for (std::size_t i = 0; i < ledOn.size(); ++i)
        r.ledDrive[i] = static_cast<std::uint16_t>(app::DropDownValue(ledOn[i], LED_STATES));
    r.photodiodePower = photodiodePower->isChecked() ? 1 : 0;
    r.hallSensorPower = hallPower->isChecked() ? 1 : 0;
    r.pumpOn = pumpOn->isChecked() ? 1 : 0;
    r.pumpDirection = Code(direction, DIRECTIONS);
    r.pumpCurrentMa = static_cast<std::uint16_t>(
        Clamped(pumpCurrent, current.pumpCurrentMa, PUMP_CURRENT_MIN, PUMP_CURRENT_MAX));
    r.stepPeriodUs = Clamped(stepPeriod, current.stepPeriodUs, STEP_PERIOD_MIN, STEP_PERIOD_MAX);
    r.microstepCode = Code(microstep, MICROSTEPS);
    r.stopCondition = Code(stopCondition, STOP_CONDITIONS);
    if (r.stopCondition == STOP_HALL) {
        r.stopTimeS = ReadUnsigned(stopTime->text());
        r.pumpTimeoutNext = Byte(hallTimeoutState);
    } else if (r.stopCondition == STOP_TIME) {
        r.stopTimeS = ReadUnsigned(stopTime->text());
    }
    r.sdRecording = Code(sdRecording, SD_RECORDING);
    r.incrementMeasureCounter = incrementMeasure->isChecked() ? 1 : 0;
    r.syncValue = sendSync->isChecked() ? Byte(syncValue) : 0;
    r.defaultNext = Byte(defaultNext);
    for (std::size_t k = 0; k < counters.size(); ++k) {
        CounterTrigger& t = r.counterTrigger[k];
        t.counterMode = Code(counters[k].mode, COUNTER_MODES);
        t.increment = Byte(counters[k].increment);
        t.testValue = Byte(counters[k].testValue);
        t.nextState = Byte(counters[k].nextState);
    }
    r.divingTrigger.level = Code(divingLevel, DIVING_LEVELS);
    r.divingTrigger.nextState = Byte(divingState);
    r.climbingTrigger.level = Code(climbingLevel, CLIMBING_LEVELS);
    r.climbingTrigger.nextState = Byte(climbingState);
    if (waitSeconds->isChecked()) {
        r.waitForSchedule = 0;
        r.delaySeconds = ReadUnsigned(delaySeconds->text());
    } else {
        r.waitForSchedule = 1;
    }
    r.mode = Code(mode, MODES);
    return r;
}

void StateControls::ApplyRules() {
    const std::uint8_t m = Code(mode, MODES);
    mode->setEnabled(true);
    const bool running = m != MODE_IDLE && m != MODE_HIBERNATING;
    defaultNext->setEnabled(running);
    waitSeconds->setEnabled(running);
    waitSchedule->setEnabled(running);
    delaySeconds->setEnabled(running && waitSeconds->isChecked());
    // The measurement schedule editor comes with a later release: until then the button only
    // shows where it will be.
    schedule->setEnabled(false);

    const bool operating = m == MODE_OPERATING;
    for (QCheckBox* valve : valves)
        valve->setEnabled(operating);
    for (std::size_t i = 0; i < ledOn.size(); ++i) {
        ledOn[i]->setEnabled(operating);
        ledCurrent[i]->setEnabled(operating);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{photodiodePower, pumpOn, sdRecording,
                                                      incrementMeasure, sendSync})
        w->setEnabled(operating);
    syncValue->setEnabled(operating && sendSync->isChecked());

    const bool pump = operating && pumpOn->isChecked();
    const std::uint8_t stop = Code(stopCondition, STOP_CONDITIONS);
    const bool hallStop = pump && stop == STOP_HALL;
    const bool withdraw = Code(direction, DIRECTIONS) == 1;
    hallInject->setEnabled(hallStop && !withdraw);
    hallWithdraw->setEnabled(hallStop && withdraw);
    hallPower->setEnabled(operating && !hallStop);
    for (QWidget* w : std::initializer_list<QWidget*>{pumpCurrent, stepPeriod, microstep, direction,
                                                      stopCondition})
        w->setEnabled(pump);
    hallTimeoutState->setEnabled(hallStop);
    stopTime->setEnabled(pump && stop != STOP_STEP_COUNT);
    stepCount->setEnabled(false);

    for (CounterRow& c : counters) {
        const std::uint8_t cm = Code(c.mode, COUNTER_MODES);
        c.mode->setEnabled(operating);
        c.increment->setEnabled(operating && cm != COUNTER_RESET);
        c.testValue->setEnabled(operating && cm == COUNTER_INC_AND_TEST);
        c.nextState->setEnabled(operating && cm == COUNTER_INC_AND_TEST);
    }
    divingLevel->setEnabled(operating);
    divingState->setEnabled(operating && Code(divingLevel, DIVING_LEVELS) != 0);
    climbingLevel->setEnabled(operating);
    climbingState->setEnabled(operating && Code(climbingLevel, CLIMBING_LEVELS) != 0);
}

}  // namespace velacor::statemachine::ui
