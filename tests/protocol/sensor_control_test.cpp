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

// Without a usable state count no 0xb5 goes out; the start state is the only payload byte.
TEST(StartSensor, RequestsAndMessage) {
    const std::vector<std::uint8_t> threeStates = {3, 0};
    const std::string noConfig = "Unable get state machine configuration from sensor";
    const std::string failed = "Failed to start state machine";
    struct Case {
        const char* name;
        std::vector<ScriptedAnswer> answers;  // to 0xb2, then to 0xb5
        bool ok;
        std::string message;
    };
    const Case cases[] = {
        {"started", {Answer(0, threeStates), Answer(0)}, true, ""},
        // 256 states: the count's high byte alone counts.
        {"256 states", {Answer(0, {0, 1}), Answer(0)}, true, ""},
        {"count refused", {Answer(3, threeStates)}, false, noConfig},
        {"no states", {Answer(0, {0, 0})}, false, "Sensor has no state machine loaded"},
        {"low voltage",
         {Answer(0, threeStates), Answer(6)},
         false,
         "Voltage too low to run state machine"},
        {"start refused", {Answer(0, threeStates), Answer(1)}, false, failed},
        {"start lost", {Answer(0, threeStates), LinkFailure()}, false, failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedTransactor t;
        for (const ScriptedAnswer& a : c.answers)
            t.Then(a);
        const ControlOutcome outcome = StartSensor(t, 17);
        EXPECT_EQ(outcome.ok, c.ok);
        EXPECT_EQ(outcome.title, "Start");
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(t.Remaining(), 0u);
        ASSERT_EQ(t.Requests().size(), c.answers.size());
        EXPECT_EQ(t.Command(0), CMD_READ_STATE_COUNT);
        EXPECT_EQ(t.Payload(0), std::vector<std::uint8_t>{0});
        if (c.answers.size() > 1) {
            EXPECT_EQ(t.Command(1), CMD_START_STATE_MACHINE);
            EXPECT_EQ(t.Payload(1), std::vector<std::uint8_t>{17});
        }
    }
}

TEST(StopAndMount, OneRequestAndItsMessage) {
    struct Case {
        ControlOutcome (*run)(link::Transactor&);
        std::uint8_t command;
        const char* title;
        const char* failure;
    };
    for (const Case& c :
         {Case{StopSensor, CMD_STOP_STATE_MACHINE, "Stop", "Failed to stop state machine"},
          Case{MountSensorAsDrive, CMD_MOUNT_AS_DRIVE, "Mount Sensor As Drive",
               "Request failed."}}) {
        for (const ScriptedAnswer& a : {Answer(0), Answer(6), LinkFailure()}) {
            SCOPED_TRACE(c.title);
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
}

}  // namespace
}  // namespace velacor::protocol
