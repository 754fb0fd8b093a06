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

#include "base/str_printf.h"
#include "statemachine/state_editing.h"
#include "widgets/drop_down.h"
#include "widgets/form_fields.h"
#include "widgets/text.h"

namespace velacor::statemachine::ui {

using namespace velacor::widgets;  // the field builders

namespace {

using base::ValueEntry;

constexpr ValueEntry MODES[] = {{MODE_IDLE, "Idle"},
                                {MODE_OPERATING, "Operating"},
                                {MODE_SLEEPING, "Sleeping"},
                                {MODE_HIBERNATING, "Hibernating"}};
constexpr ValueEntry LED_STATES[] = {{LED_ON, "On"}, {0, "Off"}};
constexpr ValueEntry DIRECTIONS[] = {{0, "Inject"}, {1, "Withdraw"}};
constexpr ValueEntry MICROSTEPS[] = {{0, "16"}, {1, "8"}, {2, "4"}, {3, "2"}, {4, "1"}};
constexpr ValueEntry STOP_CONDITIONS[] = {
    {STOP_HALL, "Hall Sensors"}, {STOP_TIME, "Timeout"}, {STOP_STEP_COUNT, "Step Count"}};
constexpr ValueEntry SD_RECORDING[] = {{1, "On"}, {2, "Off"}};
constexpr ValueEntry COUNTER_MODES[] = {
    {COUNTER_INC_ONLY, "Inc Only"}, {COUNTER_INC_AND_TEST, "Inc & Test"}, {COUNTER_RESET, "Reset"}};
constexpr ValueEntry DIVING_LEVELS[] = {
    {0, "No Trigger"}, {1, "Below P1"}, {2, "Below P2"}, {3, "Below P3"}};
constexpr ValueEntry CLIMBING_LEVELS[] = {
    {0, "No Trigger"}, {1, "Above P1"}, {2, "Above P2"}, {3, "Above P3"}};

constexpr std::uint32_t PUMP_CURRENT_MIN = 10, PUMP_CURRENT_MAX = 1600;
constexpr std::uint32_t STEP_PERIOD_MIN = 2, STEP_PERIOD_MAX = 131071;

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
    mode = MakeDropDown(MODES);
    auto* layout = new QHBoxLayout;
    layout->addWidget(mode);
    return MakeGroup("Operating Mode", layout);
}

QWidget* StateControls::BuildValvesGroup() {
    auto* layout = new QGridLayout;
    for (std::size_t i = 0; i < valves.size(); ++i) {
        valves[i] = new QCheckBox(QString::number(i));
        layout->addWidget(valves[i], static_cast<int>(i / 8), static_cast<int>(i % 8));
    }
    valves[0]->setToolTip(QStringLiteral("Open valve"));
    return MakeGroup("Valves", layout);
}

QWidget* StateControls::BuildOpticsGroup() {
    auto* layout = new QGridLayout;
    layout->addWidget(MakeLabel("Current (mA)"), 0, 1);
    for (std::size_t i = 0; i < ledOn.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        ledCurrent[i] = MakeReadOnlyField("LED current (0mA-48mA)");
        ledOn[i] = MakeDropDown(LED_STATES);
        layout->addWidget(new QLabel(QStringLiteral("LED %1").arg(i)), row, 0);
        layout->addWidget(ledCurrent[i], row, 1);
        layout->addWidget(ledOn[i], row, 2);
    }
    photodiodePower = new QCheckBox(QStringLiteral("Enable Photodiodes 5V Power"));
    layout->addWidget(photodiodePower, 5, 0, 1, 3);
    return MakeGroup("Optics", layout);
}

QWidget* StateControls::BuildPumpGroup() {
    pumpOn = new QCheckBox(QStringLiteral("Operate Pump"));
    pumpCurrent = MakeNumberField("Winding current limit (10ma-1600mA)");
    stepPeriod = MakeNumberField("Step period (2us-131071us)");
    microstep = MakeDropDown(MICROSTEPS);
    direction = MakeDropDown(DIRECTIONS);
    stopCondition = MakeDropDown(STOP_CONDITIONS);
    hallInject = MakeReadOnlyField("Hall stop value (injecting 1-4095)");
    hallWithdraw = MakeReadOnlyField("Hall stop value (withdrawing 1-4095)");
    stopTime = MakeNumberField("Hall stop timeout/stop time (s)");
    stepCount = MakeReadOnlyField();
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
    return MakeGroup("Pump", layout);
}

QWidget* StateControls::BuildLoggingAndSyncGroups() {
    sdRecording = MakeDropDown(SD_RECORDING);
    incrementMeasure = new QCheckBox(QStringLiteral("Increment Measure Counter"));
    auto* logging = new QGridLayout;
    logging->addWidget(MakeLabel("Recording to SD Card"), 0, 0);
    logging->addWidget(sdRecording, 0, 1);
    logging->addWidget(incrementMeasure, 1, 0, 1, 2);
    sendSync = new QCheckBox(QStringLiteral("Send Sync"));
    sendSync->setToolTip(
        QStringLiteral("Send synchronisation signal to external unit (usually off)"));
    syncValue = MakeNumberField("Sychronisation value to send (0-255)");
    auto* sync = new QHBoxLayout;
    sync->addWidget(sendSync);
    sync->addWidget(syncValue);
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MakeGroup("Data Logging", logging));
    layout->addWidget(MakeGroup("Synchronisation", sync));
    return box;
}

QWidget* StateControls::BuildNextStateGroup() {
    auto* layout = new QGridLayout;
    defaultNext = MakeNumberField("Next state if no counters expire (0-255)");
    layout->addWidget(MakeLabel("Default Next State"), 0, 0, 1, 3);
    layout->addWidget(defaultNext, 0, 3);
    layout->addWidget(MakeLabel("Counter Mode"), 1, 1);
    layout->addWidget(MakeLabel("Increment"), 1, 2);
    layout->addWidget(MakeLabel("Test Value"), 1, 3);
    layout->addWidget(MakeLabel("Next State"), 1, 4);
    for (std::size_t k = 0; k < counters.size(); ++k) {
        CounterRow& c = counters[k];
        const bool first = k == 0;
        c.mode = MakeDropDown(COUNTER_MODES);
        c.increment =
            MakeNumberField(first ? "Amount to increment before testing (0-255)" : "etc.");
        c.testValue = MakeNumberField(first ? "Max value for counter (1-255)" : "etc.");
        c.nextState =
            MakeNumberField(first ? "Next step if counter exceeds max value (0-255)" : "etc.");
        const int row = static_cast<int>(k) + 2;
        layout->addWidget(new QLabel(QString::number(k + 1)), row, 0);
        layout->addWidget(c.mode, row, 1);
        layout->addWidget(c.increment, row, 2);
        layout->addWidget(c.testValue, row, 3);
        layout->addWidget(c.nextState, row, 4);
    }
    divingLevel = MakeDropDown(DIVING_LEVELS);
    divingState = MakeNumberField();
    climbingLevel = MakeDropDown(CLIMBING_LEVELS);
    climbingState = MakeNumberField();
    hallTimeoutState = MakeNumberField("Next state if Hall stop times out (0-255)");
    layout->addWidget(MakeLabel("Diving Depth Trigger State"), 8, 0, 1, 2);
    layout->addWidget(divingLevel, 8, 2, 1, 2);
    layout->addWidget(divingState, 8, 4);
    layout->addWidget(MakeLabel("Climbing Depth Trigger State"), 9, 0, 1, 2);
    layout->addWidget(climbingLevel, 9, 2, 1, 2);
    layout->addWidget(climbingState, 9, 4);
    layout->addWidget(MakeLabel("Hall Sensor Timeout State"), 10, 0, 1, 3);
    layout->addWidget(hallTimeoutState, 10, 4);
    return MakeGroup("Next State Logic", layout);
}

QWidget* StateControls::BuildDelayGroup() {
    waitSeconds = new QRadioButton(QStringLiteral("Wait For This Many Seconds"));
    delaySeconds = MakeNumberField("Delay time (s)");
    waitSchedule = new QRadioButton(QStringLiteral("Wait For Next Measurement Time"));
    schedule = new QPushButton(QStringLiteral("Schedule..."));
    auto* layout = new QGridLayout;
    layout->addWidget(waitSeconds, 0, 0);
    layout->addWidget(delaySeconds, 0, 1);
    layout->addWidget(waitSchedule, 1, 0);
    layout->addWidget(schedule, 1, 1);
    return MakeGroup("Delay Before Next State", layout);
}

void StateControls::OnPumpSettingChanged() {
    if (!m_showing && HallSupplyNeeded(Choices()))
        hallPower->setChecked(true);
}

void StateControls::Show(const StateRecord& r, const StateDefaults& defaults, HallStopValues hall) {
    m_showing = true;
    SelectDropDownCode(mode, MODES, r.mode);
    for (std::size_t i = 0; i < valves.size(); ++i)
        valves[i]->setChecked(((r.valvesOpen >> i) & 1U) != 0);
    for (std::size_t i = 0; i < ledOn.size(); ++i) {
        const bool on = r.ledDrive[i] == LED_ON;
        SelectDropDownCode(ledOn[i], LED_STATES, on ? LED_ON : 0);
        ledCurrent[i]->setText(
            FromUtf8(base::StrPrintf("%.3f", on ? defaults.ledCurrentUa[i] * 0.001 : 0.0)));
    }
    photodiodePower->setChecked(r.photodiodePower != 0);
    pumpOn->setChecked(r.pumpOn == 1);
    SetEditNumber(pumpCurrent, r.pumpCurrentMa);
    SetEditNumber(stepPeriod, r.stepPeriodUs);
    SelectDropDownCode(microstep, MICROSTEPS, r.microstepCode);
    SelectDropDownCode(direction, DIRECTIONS, r.pumpDirection);
    SelectDropDownCode(stopCondition, STOP_CONDITIONS, r.stopCondition);
    SetEditNumber(hallInject, hall.inject);
    SetEditNumber(hallWithdraw, hall.withdraw);
    SetEditNumber(stopTime, r.stopTimeS);
    stepCount->setText(QStringLiteral("unsupported"));
    hallPower->setChecked(r.hallSensorPower != 0);
    SelectDropDownCode(sdRecording, SD_RECORDING, r.sdRecording);
    incrementMeasure->setChecked(r.incrementMeasureCounter != 0);
    sendSync->setChecked(r.syncValue > 0);
    SetEditNumber(syncValue, r.syncValue);
    SetEditNumber(defaultNext, r.defaultNext);
    for (std::size_t k = 0; k < counters.size(); ++k) {
        const CounterTrigger& t = r.counterTrigger[k];
        SelectDropDownCode(counters[k].mode, COUNTER_MODES, t.counterMode);
        SetEditNumber(counters[k].increment, t.increment);
        SetEditNumber(counters[k].testValue, t.testValue);
        SetEditNumber(counters[k].nextState, t.nextState);
    }
    SelectDropDownCode(divingLevel, DIVING_LEVELS, r.divingTrigger.level);
    SetEditNumber(divingState, r.divingTrigger.nextState);
    SelectDropDownCode(climbingLevel, CLIMBING_LEVELS, r.climbingTrigger.level);
    SetEditNumber(climbingState, r.climbingTrigger.nextState);
    SetEditNumber(hallTimeoutState, r.pumpTimeoutNext);
    waitSeconds->setChecked(r.waitForSchedule == 0);
    waitSchedule->setChecked(r.waitForSchedule != 0);
    SetEditNumber(delaySeconds, r.delaySeconds);
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
        r.ledDrive[i] = static_cast<std::uint16_t>(DropDownValue(ledOn[i], LED_STATES));
    r.photodiodePower = photodiodePower->isChecked() ? 1 : 0;
    r.hallSensorPower = hallPower->isChecked() ? 1 : 0;
    r.pumpOn = pumpOn->isChecked() ? 1 : 0;
    r.pumpDirection = DropDownCode(direction, DIRECTIONS);
    r.pumpCurrentMa = static_cast<std::uint16_t>(
        ReadClamped(pumpCurrent, current.pumpCurrentMa, PUMP_CURRENT_MIN, PUMP_CURRENT_MAX));
    r.stepPeriodUs =
        ReadClamped(stepPeriod, current.stepPeriodUs, STEP_PERIOD_MIN, STEP_PERIOD_MAX);
    r.microstepCode = DropDownCode(microstep, MICROSTEPS);
    r.stopCondition = DropDownCode(stopCondition, STOP_CONDITIONS);
    if (r.stopCondition == STOP_HALL) {
        r.stopTimeS = ReadUnsigned(stopTime);
        r.pumpTimeoutNext = ReadByte(hallTimeoutState);
    } else if (r.stopCondition == STOP_TIME) {
        r.stopTimeS = ReadUnsigned(stopTime);
    }
    r.sdRecording = DropDownCode(sdRecording, SD_RECORDING);
    r.incrementMeasureCounter = incrementMeasure->isChecked() ? 1 : 0;
    r.syncValue = sendSync->isChecked() ? ReadByte(syncValue) : 0;
    r.defaultNext = ReadByte(defaultNext);
    for (std::size_t k = 0; k < counters.size(); ++k) {
        CounterTrigger& t = r.counterTrigger[k];
        t.counterMode = DropDownCode(counters[k].mode, COUNTER_MODES);
        t.increment = ReadByte(counters[k].increment);
        t.testValue = ReadByte(counters[k].testValue);
        t.nextState = ReadByte(counters[k].nextState);
    }
    r.divingTrigger.level = DropDownCode(divingLevel, DIVING_LEVELS);
    r.divingTrigger.nextState = ReadByte(divingState);
    r.climbingTrigger.level = DropDownCode(climbingLevel, CLIMBING_LEVELS);
    r.climbingTrigger.nextState = ReadByte(climbingState);
    if (waitSeconds->isChecked()) {
        r.waitForSchedule = 0;
        r.delaySeconds = ReadUnsigned(delaySeconds);
    } else {
        r.waitForSchedule = 1;
    }
    r.mode = DropDownCode(mode, MODES);
    return r;
}

StateChoices StateControls::Choices() const {
    StateChoices c;
    c.mode = DropDownCode(mode, MODES);
    c.pumpOn = pumpOn->isChecked();
    c.stopCondition = DropDownCode(stopCondition, STOP_CONDITIONS);
    c.direction = DropDownCode(direction, DIRECTIONS);
    c.sendSync = sendSync->isChecked();
    c.waitSeconds = waitSeconds->isChecked();
    for (std::size_t k = 0; k < counters.size(); ++k)
        c.counterModes[k] = DropDownCode(counters[k].mode, COUNTER_MODES);
    c.divingLevel = DropDownCode(divingLevel, DIVING_LEVELS);
    c.climbingLevel = DropDownCode(climbingLevel, CLIMBING_LEVELS);
    return c;
}

void StateControls::ApplyRules() {
    const StateEnabling e = StateControlRules(Choices());
    mode->setEnabled(true);
    defaultNext->setEnabled(e.defaultNext);
    waitSeconds->setEnabled(e.waitChoice);
    waitSchedule->setEnabled(e.waitChoice);
    delaySeconds->setEnabled(e.delaySeconds);
    schedule->setEnabled(e.schedule);

    for (QCheckBox* valve : valves)
        valve->setEnabled(e.operating);
    for (std::size_t i = 0; i < ledOn.size(); ++i) {
        ledOn[i]->setEnabled(e.operating);
        ledCurrent[i]->setEnabled(e.operating);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{photodiodePower, pumpOn, sdRecording, incrementMeasure,
                                         sendSync, divingLevel, climbingLevel})
        w->setEnabled(e.operating);
    syncValue->setEnabled(e.syncValue);

    for (QWidget* w : std::initializer_list<QWidget*>{pumpCurrent, stepPeriod, microstep, direction,
                                                      stopCondition})
        w->setEnabled(e.pumpSettings);
    hallInject->setEnabled(e.hallInject);
    hallWithdraw->setEnabled(e.hallWithdraw);
    hallPower->setEnabled(e.hallPower);
    hallTimeoutState->setEnabled(e.hallTimeoutState);
    stopTime->setEnabled(e.stopTime);
    stepCount->setEnabled(e.stepCount);

    for (std::size_t k = 0; k < counters.size(); ++k) {
        counters[k].mode->setEnabled(e.counters[k].mode);
        counters[k].increment->setEnabled(e.counters[k].increment);
        counters[k].testValue->setEnabled(e.counters[k].testValue);
        counters[k].nextState->setEnabled(e.counters[k].testValue);
    }
    divingState->setEnabled(e.divingState);
    climbingState->setEnabled(e.climbingState);
}

}  // namespace velacor::statemachine::ui
