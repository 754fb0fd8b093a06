// Starting, stopping and mounting the sensor, with the messages the operator sees.
#pragma once

#include <cstdint>
#include <string>

#include "link/transactor.h"

namespace velacor::protocol {

struct ControlOutcome {
    bool ok = false;
    std::string title;    // message box title: "Start", "Stop", "Mount Sensor As Drive"
    std::string message;  // empty on success
};

// Reads the state count (0xb2) and refuses an empty machine; then 0xb5 with `startState`.
ControlOutcome StartSensor(link::Transactor& link, std::uint8_t startState);
ControlOutcome StopSensor(link::Transactor& link);
ControlOutcome MountSensorAsDrive(link::Transactor& link);

}  // namespace velacor::protocol
