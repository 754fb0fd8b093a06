#include "statemachine/state_machine.h"

#include <algorithm>

#include "base/str_printf.h"

namespace velacor::statemachine {
namespace {

// The references a state holds to other states, as insert and delete renumber them: the pump
// time-out only with a Hall stop, the counter triggers only when they test, the default next
// always; the depth triggers never.
template <class Change>
void RenumberReferences(StateRecord& r, Change change) {
    if (r.stopCondition == STOP_HALL)
        r.pumpTimeoutNext = change(r.pumpTimeoutNext);
    for (CounterTrigger& t : r.counterTrigger) {
        if (t.testValue != 0)
            t.nextState = change(t.nextState);
    }
    r.defaultNext = change(r.defaultNext);
}

void ClearDepthTriggerAbove3(DepthTrigger& t) {
    if (t.level > 3)
        t = DepthTrigger{};
}

}  // namespace

StateDefaults StateDefaults::From(const std::optional<protocol::PumpDefaults>& pump,
                                  const std::optional<protocol::OpticsDefaults>& optics) {
    StateDefaults d;
    if (pump) {
        d.hallSensorPower = pump->hallPower;
        d.pumpCurrentMa = pump->currentMa;
        d.stepPeriodUs = pump->stepPeriodUs;
        d.microstepCode = pump->microstepCode;
        d.stopCondition = pump->stopCondition;
        d.stepCount = pump->stepCount;
        d.stopTimeS = pump->timeoutS;
        d.hallStopInject = pump->hallStopInject;
        d.hallStopWithdraw = pump->hallStopWithdraw;
    }
    if (optics) {
        d.photodiodePower = optics->photodiodePower;
        d.ledCurrentUa = optics->ledCurrentUa;
    }
    return d;
}

void StateMachine::InitState(std::size_t index) {
    StateRecord r{};
    r.recordVersion = RECORD_VERSION;
    r.ledDrive.fill(LED_ON);
    r.hallSensorPower = defaults.hallSensorPower;
    r.photodiodePower = defaults.photodiodePower;
    r.pumpDirection = 1;  // withdraw
    r.pumpCurrentMa = defaults.pumpCurrentMa;
    r.stepPeriodUs = defaults.stepPeriodUs;
    r.microstepCode = defaults.microstepCode;
    r.stopCondition = defaults.stopCondition;
    r.stepCount = defaults.stepCount;
    r.stopTimeS = defaults.stopTimeS;
    const auto next = static_cast<std::uint8_t>(index == lastIndex ? index : index + 1);
    r.pumpTimeoutNext = next;
    r.defaultNext = next;
    r.sdRecording = 1;
    r.delaySeconds = 1;
    r.mode = MODE_OPERATING;
    states[index] = r;
}

void StateMachine::NewMachine() {
    states.fill(StateRecord{});
    lastIndex = 0;
    currentIndex = 0;
    InitState(0);
    TakeSavedCopy();
}

bool StateMachine::InsertState(bool after) {
    if (lastIndex >= LAST_POSSIBLE_INDEX)
        return false;
    if (after)
        ++currentIndex;
    const std::size_t p = currentIndex;
    ++lastIndex;
    std::move_backward(states.begin() + static_cast<std::ptrdiff_t>(p), states.begin() + lastIndex,
                       states.begin() + lastIndex + 1);
    for (std::size_t i = 0; i <= lastIndex; ++i) {
        RenumberReferences(states[i], [p](std::uint8_t v) {
            return static_cast<std::uint8_t>(v >= p && v <= 253 ? v + 1 : v);
        });
    }
    InitState(p);
    return true;
}

bool StateMachine::DeleteState() {
    if (lastIndex == 0)
        return false;
    const std::size_t p = currentIndex;
    for (std::size_t i = 0; i <= lastIndex; ++i) {
        RenumberReferences(states[i], [p](std::uint8_t v) {
            return static_cast<std::uint8_t>(v > p ? v - 1 : v);
        });
    }
    if (p == lastIndex) {
        --currentIndex;
    } else {
        std::move(states.begin() + static_cast<std::ptrdiff_t>(p) + 1,
                  states.begin() + lastIndex + 1, states.begin() + static_cast<std::ptrdiff_t>(p));
    }
    --lastIndex;
    return true;
}

void StateMachine::NormaliseRecords() {
    for (std::size_t i = 0; i <= lastIndex; ++i) {
        StateRecord& r = states[i];
        if (r.recordVersion == 0) {
            for (std::uint16_t& led : r.ledDrive) {
                if (led != 0)
                    led = LED_ON;
            }
            r.hallStopValue = {0, 0};
            if (r.sdRecording == 0)
                r.sdRecording = 1;
            ClearDepthTriggerAbove3(r.divingTrigger);
            ClearDepthTriggerAbove3(r.climbingTrigger);
            r.incrementMeasureCounter = 0;
            r.recordVersion = RECORD_VERSION;
        } else if (r.recordVersion == 1) {
            r.incrementMeasureCounter = 0;
            r.recordVersion = RECORD_VERSION;
        }
    }
}

std::string StateMachine::StateCountText() const {
    if (lastIndex == 0)
        return "State machine not loaded";
    return base::StrPrintf("This state machine has %d states", int{lastIndex} + 1);
}

std::string StateMachine::StateLabel() const {
    return base::StrPrintf("STATE %03d", int{currentIndex});
}

void StateMachine::TakeSavedCopy() {
    m_savedStates = states;
    m_savedLastIndex = lastIndex;
}

bool StateMachine::HasUnsavedEdits() const {
    if (lastIndex != m_savedLastIndex)
        return true;
    return !std::equal(states.begin(), states.begin() + lastIndex + 1, m_savedStates.begin());
}

void StateMachine::RestoreSavedCopy() {
    states = m_savedStates;
    lastIndex = m_savedLastIndex;
    currentIndex = 0;
}

}  // namespace velacor::statemachine
