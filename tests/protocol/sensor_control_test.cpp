// Start, stop and mount as the operator sees them: which requests go out and which message
// comes back.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/command_codes.h"
#include "protocol/scripted_transactor.h"
#include "protocol/sensor_control.h"

namespace velacor::protocol {
namespace {

using testing::Answer;
using testing::LinkFailure;
using testing::ScriptedAnswer;
using testing::ScriptedTransactor;

struct StartCase {
    std::string name;
    std::vector<ScriptedAnswer> answers;  // to 0xb2, then to 0xb5
    bool ok;
    std::string message;
};

class StartSensorOutcome : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartSensorOutcome, RequestsAndMessage) {
    const StartCase& c = GetParam();
    ScriptedTransactor t;
    for (const ScriptedAnswer& a : c.answers)
        t.Then(a);

    const ControlOutcome outcome = StartSensor(t, 4);
    EXPECT_EQ(outcome.ok, c.ok);
    EXPECT_EQ(outcome.title, "Start");
    EXPECT_EQ(outcome.message, c.message);

    // Everything scripted was asked for, and nothing more: without a usable state count no
    // 0xb5 goes out.
    EXPECT_EQ(t.Remaining(), 0u);
    ASSERT_EQ(t.Requests().size(), c.answers.size());
    EXPECT_EQ(t.Command(0), CMD_READ_STATE_COUNT);
    EXPECT_EQ(t.Payload(0), std::vector<std::uint8_t>{0});
    if (c.answers.size() > 1) {
        EXPECT_EQ(t.Command(1), CMD_START_STATE_MACHINE);
        EXPECT_EQ(t.Payload(1), std::vector<std::uint8_t>{4});
    }
}

const std::vector<std::uint8_t> THREE_STATES = {3, 0};

std::vector<StartCase> StartCases() {
    const std::string noConfig = "Unable get state machine configuration from sensor";
    const std::string failed = "Failed to start state machine";
    return {
        {"Started", {Answer(0, THREE_STATES), Answer(0)}, true, ""},
        // 256 states: the count's high byte alone counts.
        {"StartedWith256States", {Answer(0, {0, 1}), Answer(0)}, true, ""},
        {"CountTransportFailure", {LinkFailure()}, false, noConfig},
        {"CountRefused", {Answer(3, THREE_STATES)}, false, noConfig},
        {"NoStateMachine", {Answer(0, {0, 0})}, false, "Sensor has no state machine loaded"},
        {"LowVoltage",
         {Answer(0, THREE_STATES), Answer(6)},
         false,
         "Voltage too low to run state machine"},
        {"StartRefused", {Answer(0, THREE_STATES), Answer(1)}, false, failed},
        {"StartStatusNine", {Answer(0, THREE_STATES), Answer(9)}, false, failed},
        {"StartTransportFailure", {Answer(0, THREE_STATES), LinkFailure()}, false, failed},
    };
}

std::string StartCaseName(const ::testing::TestParamInfo<StartCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Control, StartSensorOutcome, ::testing::ValuesIn(StartCases()),
                         StartCaseName);

TEST(StartSensor, StartStateTravelsAsTheOnlyPayloadByte) {
    for (const std::uint8_t state : {std::uint8_t{0}, std::uint8_t{17}, std::uint8_t{254}}) {
        ScriptedTransactor t{Answer(0, THREE_STATES), Answer(0)};
        ASSERT_TRUE(StartSensor(t, state).ok);
        ASSERT_EQ(t.Requests().size(), 2u);
        EXPECT_EQ(t.Length(1), 1);
        EXPECT_EQ(t.Payload(1), std::vector<std::uint8_t>{state});
    }
}

struct SimpleCase {
    const char* name;
    ControlOutcome (*run)(link::Transactor&);
    std::uint8_t command;
    const char* title;
    const char* failure;
};

class StopAndMount : public ::testing::TestWithParam<SimpleCase> {};

TEST_P(StopAndMount, OneRequestAndItsMessage) {
    const SimpleCase& c = GetParam();
    for (const ScriptedAnswer& a : {Answer(0), Answer(1), Answer(6), LinkFailure()}) {
        ScriptedTransactor t{a};
        const ControlOutcome outcome = c.run(t);
        const bool success = a.linkStatus == link::LINK_OK && a.status == 0;
        EXPECT_EQ(outcome.ok, success);
        EXPECT_EQ(outcome.title, c.title);
        EXPECT_EQ(outcome.message, success ? "" : c.failure);
        ASSERT_EQ(t.Requests().size(), 1u);
        EXPECT_EQ(t.Command(0), c.command);
        EXPECT_EQ(t.Length(0), 0);
    }
}

std::string SimpleCaseName(const ::testing::TestParamInfo<SimpleCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Control, StopAndMount,
                         ::testing::Values(SimpleCase{"Stop", StopSensor, CMD_STOP_STATE_MACHINE,
                                                      "Stop", "Failed to stop state machine"},
                                           SimpleCase{"Mount", MountSensorAsDrive,
                                                      CMD_MOUNT_AS_DRIVE, "Mount Sensor As Drive",
                                                      "Request failed."}),
                         SimpleCaseName);

}  // namespace
}  // namespace velacor::protocol
