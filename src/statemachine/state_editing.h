// The state machine editor's rules as plain code: which controls an operator may change for
// the choices a state shows, and what a paste from the clipboard makes of the current state.
#pragma once

#include <array>
#include <cstdint>

#include "statemachine/state_record.h"

namespace velacor::statemachine {

inline constexpr std::size_t COUNTER_TRIGGERS = 6;

// The choices of the controls that the enabling rules read.
struct StateChoices {
    std::uint8_t mode = MODE_OPERATING;
    bool pumpOn = false;
    std::uint8_t stopCondition = STOP_HALL;
    std::uint8_t direction = 0;  // 0 inject, 1 withdraw
    bool sendSync = false;
    bool waitSeconds = true;  // "Wait For This Many Seconds" rather than the schedule
    std::array<std::uint8_t, COUNTER_TRIGGERS> counterModes{};
    std::uint8_t divingLevel = 0;  // 0 "No Trigger"
    std::uint8_t climbingLevel = 0;
};

struct CounterEnabling {
    bool mode = false;
    bool increment = false;
    bool testValue = false;  // and its next state
    bool operator==(const CounterEnabling&) const = default;
};

// Which controls are enabled. `operating` covers every control of an operating state without
// a rule of its own: valves, LEDs and their currents, photodiode power, "Operate Pump", SD
// recording, "Increment Measure Counter", "Send Sync", the depth trigger levels.
struct StateEnabling {
    bool operating = false;
    bool defaultNext = false;
    bool waitChoice = false;  // both delay buttons
    bool delaySeconds = false;
    bool schedule = false;  // "Schedule...": its editor is not built yet, so never
    bool syncValue = false;
    bool pumpSettings = false;  // current, step period, microstepping, direction, stop condition
    bool hallInject = false;
    bool hallWithdraw = false;
    bool hallPower = false;
    bool hallTimeoutState = false;
    bool stopTime = false;
    bool stepCount = false;  // shown "unsupported", never edited
    std::array<CounterEnabling, COUNTER_TRIGGERS> counters{};
    bool divingState = false;
    bool climbingState = false;
    bool operator==(const StateEnabling&) const = default;
};

StateEnabling StateControlRules(const StateChoices& choices);

// Switching on the pump with a Hall stop, or choosing a Hall stop for a running pump, switches
// on the Hall sensors' supply: they must see the magnet to stop the pump.
inline bool HallSupplyNeeded(const StateChoices& c) {
    return c.pumpOn && c.stopCondition == STOP_HALL;
}

// What a paste does: insert a state first (before or after the current one) or overwrite the
// current one, and which parts of the clipboard's state it takes.
struct PasteChoice {
    enum class Place { Before, After, Overwrite };
    Place place = Place::Overwrite;
    bool valves = false;
    bool pump = false;
    bool everythingElse = false;
    bool operator==(const PasteChoice&) const = default;
};

// An insert takes every part, whatever the boxes show.
PasteChoice EffectivePaste(const PasteChoice& shown);

// The state a paste leaves where `current` stood: the parts chosen from `source`, the rest
// from `current`; the pasted state's transitions (default next, pump time-out next, the
// counters' next states) are cleared, as they belong to where it was copied from.
StateRecord PastedState(const StateRecord& current, const StateRecord& source,
                        const PasteChoice& choice);

}  // namespace velacor::statemachine
