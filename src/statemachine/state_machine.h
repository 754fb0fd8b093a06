// The in-memory state machine the editor, the definition view, the dry run, the transfer and
// the files all work on: 255 state slots, the last and current index, the copy taken at the
// last load, save or New, and a one-state clipboard.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/optics_records.h"
#include "statemachine/state_editing.h"
#include "statemachine/state_record.h"

namespace velacor::statemachine {

inline constexpr std::size_t STATE_SLOTS = 255;
inline constexpr std::uint16_t LAST_POSSIBLE_INDEX = 254;

// The sensor's pump and optics defaults that a new state takes.
struct StateDefaults {
    std::uint8_t hallSensorPower = 1;
    std::uint8_t photodiodePower = 1;
    std::uint16_t pumpCurrentMa = 0;
    std::uint32_t stepPeriodUs = 0;
    std::uint8_t microstepCode = 0;
    std::uint8_t stopCondition = 0;
    std::uint32_t stepCount = 0;
    std::uint32_t stopTimeS = 0;
    std::array<std::uint16_t, 4> ledCurrentUa{};  // shown beside each lit LED
    std::uint16_t hallStopInject = 0;             // the Hall stop values in force, shown
    std::uint16_t hallStopWithdraw = 0;

    // From the blocks read from the sensor; a block that could not be read is nullopt and its
    // values stay at the fallback (zero, with hall and photodiode power on).
    static StateDefaults From(const std::optional<protocol::PumpDefaults>& pump,
                              const std::optional<protocol::OpticsDefaults>& optics);
};

class StateMachine {
  public:
    std::array<StateRecord, STATE_SLOTS> states{};
    std::uint16_t lastIndex = 0;
    std::uint16_t currentIndex = 0;
    StateDefaults defaults;

    // The default state at slot `index`.
    void InitState(std::size_t index);
    // Clears every slot, one default state, and takes the saved copy.
    void NewMachine();
    // A default state before (after = false) or after the current one, renumbering the state
    // references that point at or past it. False, and nothing changed, with 255 states.
    bool InsertState(bool after);
    // Deletes the current state, renumbering the references past it. False with one state.
    bool DeleteState();
    // Brings records of older layouts (versions 0 and 1) up to version 2.
    void NormaliseRecords();

    std::size_t StateCount() const { return std::size_t{lastIndex} + 1; }
    // "This state machine has %d states", or "State machine not loaded" for one state.
    std::string StateCountText() const;
    // "STATE %03d" of the current state.
    std::string StateLabel() const;

    void TakeSavedCopy();
    bool HasUnsavedEdits() const;
    // Back to the copy taken last.
    void RestoreSavedCopy();

    // The clipboard of the editor's Copy and Paste, and the choice of the last paste, which
    // the next one offers first; both kept while the program runs.
    std::optional<StateRecord> clipboard;
    PasteChoice lastPaste;

  private:
    std::array<StateRecord, STATE_SLOTS> m_savedStates{};
    std::uint16_t m_savedLastIndex = 0;
};

}  // namespace velacor::statemachine
