// Moving the state machine between the sensor and the program, one state per exchange.
#pragma once

#include <cstdint>
#include <string>

#include "link/transactor.h"
#include "statemachine/state_machine.h"

namespace velacor::statemachine {

struct LoadResult {
    bool ok = false;
    std::uint16_t sensorStates = 0;  // what the sensor reported holding
    // The sensor reported more states than the 255 a machine holds: only the first were read.
    bool truncated() const { return sensorStates > STATE_SLOTS; }
};

// 0xb2, then 0xb3 for each state. On success the machine holds the sensor's states (one
// default state when the sensor has none), normalised, current state 0. On failure it holds
// one default state. The saved copy is left to the caller.
LoadResult LoadFromSensor(link::Transactor& link, StateMachine& machine);
// 0xb4 for states 0..lastIndex, the last one flagged; stops at the first failure.
bool SaveToSensor(link::Transactor& link, const StateMachine& machine);

// The pump and optics defaults new states take, read from the sensor (0x70, 0x60); a block
// that can't be read leaves the fallback values.
StateDefaults ReadStateDefaults(link::Transactor& link);

// The status line after a load from the sensor as the editor opens.
std::string LoadStatusText(const LoadResult& result);

}  // namespace velacor::statemachine
