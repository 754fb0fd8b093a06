// The state machine model's rules, and its transfer to and from the sensor.
#include "statemachine/state_machine.h"

#include <gtest/gtest.h>

#include "base/byte_io.h"
#include "protocol/command_codes.h"
#include "protocol/scripted_transactor.h"
#include "statemachine/transfer.h"

namespace velacor::statemachine {
namespace {

using protocol::testing::Answer;
using protocol::testing::ScriptedTransactor;

// A machine of `count` default states, each marked by its delay.
StateMachine Chain(std::size_t count) {
    StateMachine m;
    m.NewMachine();
    m.lastIndex = static_cast<std::uint16_t>(count - 1);
    for (std::size_t i = 0; i < count; ++i) {
        m.InitState(i);
        m.states[i].delaySeconds = static_cast<std::uint32_t>(100 + i);
    }
    return m;
}

TEST(StateMachineModel, InsertBeforeStateThreeRenumbersReferencesFromThreeOn) {
    StateMachine m = Chain(6);
    StateRecord& s0 = m.states[0];
    s0.defaultNext = 3;
    s0.stopCondition = STOP_HALL;
    s0.pumpTimeoutNext = 5;
    s0.counterTrigger[0] = {1, 2, 3, COUNTER_INC_AND_TEST};  // tests: renumbered
    s0.counterTrigger[1] = {1, 0, 4, COUNTER_INC_ONLY};      // testValue 0: never renumbered
    s0.divingTrigger = {0, 1, 4, 0};                         // depth triggers: never
    m.states[1].defaultNext = 2;
    m.states[2].defaultNext = 254;
    m.states[3].stopCondition = STOP_TIME;  // its pump time-out is not a reference
    m.states[3].pumpTimeoutNext = 4;
    m.currentIndex = 3;

    ASSERT_TRUE(m.InsertState(false));
    EXPECT_EQ(m.lastIndex, 6);
    EXPECT_EQ(m.currentIndex, 3);
    EXPECT_EQ(m.states[0].defaultNext, 4);
    EXPECT_EQ(m.states[0].pumpTimeoutNext, 6);
    EXPECT_EQ(m.states[0].counterTrigger[0].nextState, 4);
    EXPECT_EQ(m.states[0].counterTrigger[1].nextState, 4);
    EXPECT_EQ(m.states[0].divingTrigger.nextState, 4);
    EXPECT_EQ(m.states[1].defaultNext, 2);
    EXPECT_EQ(m.states[2].defaultNext, 254);
    EXPECT_EQ(m.states[4].pumpTimeoutNext, 4);  // the old state 3, moved up
    EXPECT_EQ(m.states[4].delaySeconds, 103u);
    EXPECT_EQ(m.states[3].delaySeconds, 1u);  // the new default state
    EXPECT_EQ(m.states[3].defaultNext, 4);
}

TEST(StateMachineModel, AFullMachineRefusesAnInsertAndStaysAsItWas) {
    StateMachine m = Chain(255);
    m.currentIndex = 7;
    const auto before = m.states;
    EXPECT_FALSE(m.InsertState(false));
    EXPECT_FALSE(m.InsertState(true));
    EXPECT_EQ(m.lastIndex, 254);
    EXPECT_EQ(m.currentIndex, 7);
    EXPECT_EQ(m.states, before);

    StateMachine almost = Chain(254);
    EXPECT_TRUE(almost.InsertState(true));
    EXPECT_EQ(almost.StateCount(), 255u);
}

TEST(StateMachineModel, DeleteRenumbersAndTheLastStateMovesTheCurrentOne) {
    StateMachine m = Chain(5);
    m.states[0].defaultNext = 4;
    m.states[0].counterTrigger[0] = {1, 0, 4, COUNTER_INC_ONLY};
    m.states[1].defaultNext = 2;  // points at the deleted state: keeps 2, the state after it
    m.currentIndex = 2;
    ASSERT_TRUE(m.DeleteState());
    EXPECT_EQ(m.lastIndex, 3);
    EXPECT_EQ(m.currentIndex, 2);
    EXPECT_EQ(m.states[0].defaultNext, 3);
    EXPECT_EQ(m.states[0].counterTrigger[0].nextState, 4);
    EXPECT_EQ(m.states[1].defaultNext, 2);
    EXPECT_EQ(m.states[2].delaySeconds, 103u);

    m.currentIndex = 3;  // the last state
    ASSERT_TRUE(m.DeleteState());
    EXPECT_EQ(m.currentIndex, 2);
    EXPECT_EQ(m.lastIndex, 2);

    StateMachine one = Chain(1);
    EXPECT_FALSE(one.DeleteState());
    EXPECT_EQ(one.lastIndex, 0);
}

TEST(StateMachineModel, OlderRecordsAreUpgraded) {
    StateMachine m = Chain(3);
    StateRecord& v0 = m.states[0];
    v0.recordVersion = 0;
    v0.ledDrive = {0, 1200, 0, 65535};
    v0.hallStopValue = {300, 400};
    v0.sdRecording = 0;
    v0.divingTrigger = {0, 4, 9, 0};
    v0.climbingTrigger = {0, 2, 9, 0};
    v0.incrementMeasureCounter = 1;
    StateRecord& v1 = m.states[1];
    v1.recordVersion = 1;
    v1.incrementMeasureCounter = 7;
    v1.hallStopValue = {5, 6};
    m.states[2].recordVersion = 9;  // unknown versions stay as they are
    m.states[2].sdRecording = 0;

    m.NormaliseRecords();
    EXPECT_EQ(v0.recordVersion, 2);
    EXPECT_EQ(v0.ledDrive, (std::array<std::uint16_t, 4>{0, 65535, 0, 65535}));
    EXPECT_EQ(v0.hallStopValue, (std::array<std::uint16_t, 2>{0, 0}));
    EXPECT_EQ(v0.sdRecording, 1);
    EXPECT_EQ(v0.divingTrigger, DepthTrigger{});
    EXPECT_EQ(v0.climbingTrigger.level, 2);
    EXPECT_EQ(v0.incrementMeasureCounter, 0);
    EXPECT_EQ(v1.recordVersion, 2);
    EXPECT_EQ(v1.incrementMeasureCounter, 0);
    EXPECT_EQ(v1.hallStopValue, (std::array<std::uint16_t, 2>{5, 6}));
    EXPECT_EQ(m.states[2].recordVersion, 9);
    EXPECT_EQ(m.states[2].sdRecording, 0);
}

TEST(StateMachineModel, NewStatesTakeTheSensorsDefaults) {
    StateMachine m;
    m.defaults = StateDefaults::From(std::nullopt, std::nullopt);
    m.NewMachine();
    EXPECT_EQ(m.states[0].hallSensorPower, 1);
    EXPECT_EQ(m.states[0].photodiodePower, 1);
    EXPECT_EQ(m.states[0].pumpCurrentMa, 0);
    EXPECT_EQ(m.StateCountText(), "State machine not loaded");
    EXPECT_FALSE(m.HasUnsavedEdits());
    ASSERT_TRUE(m.InsertState(true));
    EXPECT_TRUE(m.HasUnsavedEdits());
    EXPECT_EQ(m.StateCountText(), "This state machine has 2 states");

    protocol::PumpDefaults pump;
    pump.hallPower = 0;
    pump.currentMa = 800;
    pump.stopCondition = STOP_TIME;
    m.defaults = StateDefaults::From(pump, std::nullopt);
    m.InitState(0);
    EXPECT_EQ(m.states[0].hallSensorPower, 0);
    EXPECT_EQ(m.states[0].pumpCurrentMa, 800);
    EXPECT_EQ(m.states[0].stopCondition, STOP_TIME);
    EXPECT_EQ(m.states[0].pumpDirection, 1);
    EXPECT_EQ(m.states[0].ledDrive[2], LED_ON);
}

std::vector<std::uint8_t> StateBytes(const StateRecord& r) {
    const auto b = base::Encode(r);
    return {b.begin(), b.end()};
}

TEST(StateTransfer, LoadsEveryStateAndFailsWhole) {
    StateMachine source = Chain(3);
    ScriptedTransactor sensor;
    sensor.Then(Answer(0, {3, 0}));
    for (std::size_t i = 0; i < 3; ++i)
        sensor.Then(Answer(0, StateBytes(source.states[i])));
    StateMachine m;
    const LoadResult ok = LoadFromSensor(sensor, m);
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(m.lastIndex, 2);
    EXPECT_EQ(m.states[2].delaySeconds, 102u);
    EXPECT_EQ(sensor.Payload(0), (std::vector<std::uint8_t>{0}));  // 0xb2 carries one zero byte
    EXPECT_EQ(sensor.Payload(3), (std::vector<std::uint8_t>{2}));
    EXPECT_EQ(LoadStatusText(ok), "Loaded state machine successfully from sensor");

    // A read failing at state 5 of 10 leaves one default state.
    ScriptedTransactor failing;
    failing.Then(Answer(0, {10, 0}));
    for (std::size_t i = 0; i < 5; ++i)
        failing.Then(Answer(0, StateBytes(source.states[0])));
    failing.Then(Answer(3));
    const LoadResult failed = LoadFromSensor(failing, m);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(m.lastIndex, 0);
    EXPECT_EQ(m.states[0].delaySeconds, 1u);
    EXPECT_EQ(LoadStatusText(failed), "Failed to load state machine from sensor");

    ScriptedTransactor empty;
    empty.Then(Answer(0, {0, 0}));
    EXPECT_TRUE(LoadFromSensor(empty, m).ok);
    EXPECT_EQ(m.lastIndex, 0);

    // More than 255 states: the first 255 load, and the status says so.
    ScriptedTransactor big;
    big.Then(Answer(0, {0x2c, 0x01}));  // 300
    for (std::size_t i = 0; i < STATE_SLOTS; ++i)
        big.Then(Answer(0, StateBytes(source.states[0])));
    const LoadResult first = LoadFromSensor(big, m);
    EXPECT_TRUE(first.ok);
    EXPECT_EQ(m.lastIndex, 254);
    EXPECT_EQ(big.Remaining(), 0u);
    EXPECT_EQ(LoadStatusText(first),
              "Loaded state machine successfully from sensor (first 255 of its 300 states)");
}

TEST(StateTransfer, SaveSendsEachStateFlagsTheLastAndStopsAtARefusal) {
    StateMachine one = Chain(1);
    ScriptedTransactor sensor;
    sensor.Then(Answer(0));
    EXPECT_TRUE(SaveToSensor(sensor, one));
    ASSERT_EQ(sensor.Requests().size(), 1u);
    EXPECT_EQ(sensor.Command(0), protocol::CMD_WRITE_STATE);
    EXPECT_EQ(sensor.Length(0), 80);
    EXPECT_EQ(sensor.Payload(0)[0], 0);
    EXPECT_EQ(sensor.Payload(0)[1], 1);

    StateMachine three = Chain(3);
    ScriptedTransactor refusing;
    refusing.Then(Answer(0));
    refusing.Then(Answer(2));
    refusing.Then(Answer(0));
    EXPECT_FALSE(SaveToSensor(refusing, three));
    EXPECT_EQ(refusing.Requests().size(), 2u);
    EXPECT_EQ(refusing.Payload(0)[1], 0);
}

}  // namespace
}  // namespace velacor::statemachine
