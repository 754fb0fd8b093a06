#include "protocol/sensor_control.h"

#include "protocol/identity_commands.h"

namespace velacor::protocol {
namespace {

ControlOutcome Failed(const char* title, const char* message) {
    return ControlOutcome{false, title, message};
}
ControlOutcome Succeeded(const char* title) {
    return ControlOutcome{true, title, {}};
}

}  // namespace

ControlOutcome StartSensor(link::Transactor& link, std::uint8_t startState) {
    constexpr const char* TITLE = "Start";
    StateCount count;
    if (ReadStateCount(link, count) != STATUS_OK) {
        return Failed(TITLE, "Unable get state machine configuration from sensor");
    }
    if (count.count == 0)
        return Failed(TITLE, "Sensor has no state machine loaded");
    const int status = StartStateMachine(link, startState);
    if (status == STATUS_LOW_VOLTAGE)
        return Failed(TITLE, "Voltage too low to run state machine");
    if (status != STATUS_OK)
        return Failed(TITLE, "Failed to start state machine");
    return Succeeded(TITLE);
}

ControlOutcome StopSensor(link::Transactor& link) {
    constexpr const char* TITLE = "Stop";
    if (StopStateMachine(link) != STATUS_OK)
        return Failed(TITLE, "Failed to stop state machine");
    return Succeeded(TITLE);
}

ControlOutcome MountSensorAsDrive(link::Transactor& link) {
    constexpr const char* TITLE = "Mount Sensor As Drive";
    if (MountAsDrive(link) != STATUS_OK)
        return Failed(TITLE, "Request failed.");
    return Succeeded(TITLE);
}

}  // namespace velacor::protocol
