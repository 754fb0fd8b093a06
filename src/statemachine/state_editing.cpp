#include "statemachine/state_editing.h"

namespace velacor::statemachine {

StateEnabling StateControlRules(const StateChoices& c) {
    StateEnabling e;
    const bool running = c.mode != MODE_IDLE && c.mode != MODE_HIBERNATING;
    e.defaultNext = running;
    e.waitChoice = running;
    e.delaySeconds = running && c.waitSeconds;
    e.schedule = false;

    const bool operating = c.mode == MODE_OPERATING;
    e.operating = operating;
    e.syncValue = operating && c.sendSync;

    const bool pump = operating && c.pumpOn;
    const bool hallStop = pump && c.stopCondition == STOP_HALL;
    const bool withdraw = c.direction == 1;
    e.pumpSettings = pump;
    e.hallInject = hallStop && !withdraw;
    e.hallWithdraw = hallStop && withdraw;
    e.hallPower = operating && !hallStop;
    e.hallTimeoutState = hallStop;
    e.stopTime = pump && c.stopCondition != STOP_STEP_COUNT;
    e.stepCount = false;

    for (std::size_t k = 0; k < COUNTER_TRIGGERS; ++k) {
        const std::uint8_t mode = c.counterModes[k];
        e.counters[k] = {operating, operating && mode != COUNTER_RESET,
                         operating && mode == COUNTER_INC_AND_TEST};
    }
    e.divingState = operating && c.divingLevel != 0;
    e.climbingState = operating && c.climbingLevel != 0;
    return e;
}

PasteChoice EffectivePaste(const PasteChoice& shown) {
    if (shown.place == PasteChoice::Place::Overwrite)
        return shown;
    return {shown.place, true, true, true};
}

StateRecord PastedState(const StateRecord& current, const StateRecord& source,
                        const PasteChoice& choice) {
    StateRecord pasted = choice.everythingElse ? source : current;
    if (choice.valves)
        pasted.valvesOpen = source.valvesOpen;
    if (choice.pump) {
        pasted.pumpOn = source.pumpOn;
        pasted.pumpDirection = source.pumpDirection;
        pasted.pumpCurrentMa = source.pumpCurrentMa;
        pasted.stepPeriodUs = source.stepPeriodUs;
        pasted.microstepCode = source.microstepCode;
        pasted.stopCondition = source.stopCondition;
        pasted.hallStopValue = source.hallStopValue;
        pasted.stepCount = source.stepCount;
        pasted.stopTimeS = source.stopTimeS;
    }
    pasted.defaultNext = 0;
    pasted.pumpTimeoutNext = 0;
    for (CounterTrigger& trigger : pasted.counterTrigger)
        trigger.nextState = 0;
    return pasted;
}

}  // namespace velacor::statemachine
