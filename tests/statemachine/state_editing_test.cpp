#include "statemachine/state_editing.h"

#include <gtest/gtest.h>

namespace velacor::statemachine {
namespace {

StateChoices Operating() {
    StateChoices c;
    c.mode = MODE_OPERATING;
    return c;
}

TEST(StateControlRules, ModesDecideWhatCanBeEdited) {
    const struct {
        std::uint8_t mode;
        bool operating;
        bool running;  // default next and the delay
    } cases[] = {{MODE_OPERATING, true, true},
                 {MODE_SLEEPING, false, true},
                 {MODE_IDLE, false, false},
                 {MODE_HIBERNATING, false, false}};
    for (const auto& c : cases) {
        StateChoices choices;
        choices.mode = c.mode;
        choices.pumpOn = true;
        choices.sendSync = true;
        choices.divingLevel = 1;
        const StateEnabling e = StateControlRules(choices);
        EXPECT_EQ(e.operating, c.operating) << int{c.mode};
        EXPECT_EQ(e.pumpSettings, c.operating) << int{c.mode};
        EXPECT_EQ(e.syncValue, c.operating) << int{c.mode};
        EXPECT_EQ(e.divingState, c.operating) << int{c.mode};
        EXPECT_EQ(e.defaultNext, c.running) << int{c.mode};
        EXPECT_EQ(e.waitChoice, c.running) << int{c.mode};
        EXPECT_EQ(e.delaySeconds, c.running) << int{c.mode};
    }
}

TEST(StateControlRules, PumpStopConditionAndDirectionPickTheHallFields) {
    const struct {
        bool pumpOn;
        std::uint8_t stop;
        std::uint8_t direction;
        bool inject, withdraw, hallPower, timeoutState, stopTime;
    } cases[] = {
        {true, STOP_HALL, 0, true, false, false, true, true},
        {true, STOP_HALL, 1, false, true, false, true, true},
        {true, STOP_TIME, 0, false, false, true, false, true},
        {true, STOP_STEP_COUNT, 0, false, false, true, false, false},
        {false, STOP_HALL, 0, false, false, true, false, false},
    };
    for (const auto& c : cases) {
        StateChoices choices = Operating();
        choices.pumpOn = c.pumpOn;
        choices.stopCondition = c.stop;
        choices.direction = c.direction;
        const StateEnabling e = StateControlRules(choices);
        SCOPED_TRACE(testing::Message()
                     << c.pumpOn << " stop " << int{c.stop} << " dir " << int{c.direction});
        EXPECT_EQ(e.hallInject, c.inject);
        EXPECT_EQ(e.hallWithdraw, c.withdraw);
        EXPECT_EQ(e.hallPower, c.hallPower);
        EXPECT_EQ(e.hallTimeoutState, c.timeoutState);
        EXPECT_EQ(e.stopTime, c.stopTime);
        EXPECT_EQ(HallSupplyNeeded(choices), c.pumpOn && c.stop == STOP_HALL);
    }
}

TEST(PastedState, TakesTheChosenPartsAndClearsTheTransitions) {
    StateRecord current;
    current.valvesOpen = 0x0001;
    current.pumpCurrentMa = 100;
    current.delaySeconds = 5;
    current.divingTrigger.nextState = 9;
    StateRecord source;
    source.valvesOpen = 0x00f0;
    source.pumpCurrentMa = 700;
    source.stopTimeS = 30;
    source.delaySeconds = 60;
    source.defaultNext = 4;
    source.pumpTimeoutNext = 5;
    source.counterTrigger[3].nextState = 6;
    source.divingTrigger.nextState = 7;

    PasteChoice valvesOnly;
    valvesOnly.valves = true;
    const StateRecord a = PastedState(current, source, valvesOnly);
    EXPECT_EQ(a.valvesOpen, 0x00f0);
    EXPECT_EQ(a.pumpCurrentMa, 100);
    EXPECT_EQ(a.delaySeconds, 5u);
    EXPECT_EQ(a.divingTrigger.nextState, 9);  // the depth triggers' states stay

    PasteChoice pumpOnly;
    pumpOnly.pump = true;
    const StateRecord b = PastedState(current, source, pumpOnly);
    EXPECT_EQ(b.valvesOpen, 0x0001);
    EXPECT_EQ(b.pumpCurrentMa, 700);
    EXPECT_EQ(b.stopTimeS, 30u);

    PasteChoice insert;
    insert.place = PasteChoice::Place::Before;
    const StateRecord c = PastedState(current, source, EffectivePaste(insert));
    EXPECT_EQ(c.delaySeconds, 60u);
    EXPECT_EQ(c.divingTrigger.nextState, 7);
    for (const StateRecord& r : {a, b, c}) {
        EXPECT_EQ(r.defaultNext, 0);
        EXPECT_EQ(r.pumpTimeoutNext, 0);
        EXPECT_EQ(r.counterTrigger[3].nextState, 0);
    }
    EXPECT_EQ(EffectivePaste(valvesOnly), valvesOnly);  // overwrite keeps the ticked boxes
}

}  // namespace
}  // namespace velacor::statemachine
