// State machine files on the PC, in two formats:
//
// SC2 (*.asm): the StateRecord sequence itself, no header, nothing after the last state. The
// first byte of the file (state 0's recordVersion) sets the record size for the whole file:
// 2 = 78-byte records; 0 or 1 = 77-byte records, the StateRecord without its last byte
// (incrementMeasureCounter, read as 0); any other value = no state can be read.
//
// SC1 (*.dat): one 102-byte record per state, no header, little-endian, converted field by field
// (EncodeSc1 / DecodeSc1 below list the layout). Its first byte is read the same way: records
// are read only when it is 0, 1 or 2. A record read from SC1 is a version-0 record, so the
// normalisation after loading applies to it.
//
// Reading stops at the first incomplete record or after 255 records; the incomplete record is
// dropped and no slot receives part of it. Everything here is plain C++ and may be called from
// any thread on objects that thread owns.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "statemachine/state_machine.h"
#include "statemachine/state_record.h"

namespace velacor::statemachine {

enum class StateFileFormat { Sc2, Sc1 };

inline constexpr std::size_t SC2_OLD_RECORD_SIZE = 77;  // versions 0 and 1
inline constexpr std::size_t SC1_RECORD_SIZE = 102;

// The file dialog of both load and save.
inline constexpr const char* STATE_FILE_DIALOG_TITLE = "State Machine File";
inline constexpr std::array<const char*, 3> STATE_FILE_FILTERS = {
    "SC2 State Machine Files (*.asm)", "SC1 State Machine Files (*.dat)", "All Files (*.*)"};
inline constexpr const char* STATE_FILE_DEFAULT_EXTENSION = "asm";

// SC1 when the extension of the file name (after its last '.') begins with 'D' or 'd', whatever
// filter the user picked; SC2 otherwise, also for a name without an extension.
StateFileFormat FormatForFileName(std::string_view path);

// One state in the SC1 layout, and back. DecodeSc1 yields recordVersion, syncValue and
// incrementMeasureCounter 0, which SC1 does not hold.
std::array<std::uint8_t, SC1_RECORD_SIZE> EncodeSc1(const StateRecord& r);
StateRecord DecodeSc1(std::span<const std::uint8_t, SC1_RECORD_SIZE> b);

// Reads the complete records of a file's content into slots 0, 1, ... (at most 255 and at most
// slots.size()) and returns how many were read. Slots past the count are left as they were.
std::size_t ReadStateBytes(std::span<const std::uint8_t> bytes, StateFileFormat format,
                           std::span<StateRecord> slots);
// The file content of `states`: 78 bytes a state for SC2, 102 for SC1.
std::vector<std::uint8_t> WriteStateBytes(std::span<const StateRecord> states,
                                          StateFileFormat format);

struct StateFileRead {
    bool ok = false;        // false on a stream error; reaching the end of the file is no error
    std::size_t count = 0;  // complete records read into slots 0 .. count - 1
};
// Reads from the stream's position; reads no more than 255 records of the largest layout.
StateFileRead ReadStateFile(std::istream& in, StateFileFormat format, std::span<StateRecord> slots);
// Writes every state of `states`; false at the first short write.
bool WriteStateFile(std::ostream& out, StateFileFormat format, std::span<const StateRecord> states);

// What the editor shows after a load or a save.
struct StateFileOutcome {
    bool done = false;  // the machine was loaded or saved
    // Status bar texts in the order they are set; the last one stays.
    std::vector<std::string> statusTexts;
    // A message box to show: its caption and text; both empty for none.
    std::string messageTitle;
    std::string message;
};

// The load from a file named by the file-open dialog; an empty path is the dialog's Cancel
// ("Load cancelled", nothing changes). On success the machine holds the file's states,
// normalised, with state 0 current, and the saved copy is taken. When the file cannot be opened
// or read, or holds no complete state, the outcome is "Failed to load file" and the machine is
// left exactly as it was.
StateFileOutcome LoadStateMachineFile(StateMachine& machine, const std::string& path);

// The save to a file named by the file-save dialog (which has asked before replacing a file);
// an empty path is the dialog's Cancel ("Save cancelled", not done). The editor stores its
// controls into the current state first. States 0 to lastIndex are written in the format the
// name selects, through a temporary file, so a failed save leaves an existing file untouched
// ("Failed to save file"). On success the saved copy is taken.
[[nodiscard]] StateFileOutcome SaveStateMachineFile(StateMachine& machine, const std::string& path);

}  // namespace velacor::statemachine
