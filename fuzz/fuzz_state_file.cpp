// Any file content, read as an SC2 and as an SC1 state machine file, the way a load does it:
// reading must stay inside the slots, and what was read must survive a save and a reload.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "statemachine/state_files.h"
#include "statemachine/state_machine.h"

namespace {

using namespace velacor::statemachine;

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// Reads `bytes` into a machine and normalises it, as LoadStateMachineFile does; 0 when the
// content holds no complete state.
std::size_t Load(std::span<const std::uint8_t> bytes, StateFileFormat format, StateMachine& m) {
    const std::size_t count = ReadStateBytes(bytes, format, m.states);
    if (count == 0)
        return 0;
    m.lastIndex = static_cast<std::uint16_t>(count - 1);
    m.NormaliseRecords();
    return count;
}

void RoundTrip(std::span<const std::uint8_t> bytes, StateFileFormat format) {
    StateMachine first;
    const std::size_t count = Load(bytes, format, first);
    Check(count <= STATE_SLOTS);
    if (count == 0)
        return;
    const std::span<const StateRecord> states(first.states.data(), count);
    const auto saved = WriteStateBytes(states, format);
    Check(saved.size() ==
          count * (format == StateFileFormat::Sc1 ? SC1_RECORD_SIZE : StateRecord::SIZE));

    // In an SC2 file of 78-byte records, every record that normalisation leaves alone (version
    // 2 or above) is written back as the file's own bytes.
    if (format == StateFileFormat::Sc2 && bytes[0] == RECORD_VERSION) {
        for (std::size_t i = 0; i < count; ++i) {
            const auto in = bytes.subspan(i * StateRecord::SIZE, StateRecord::SIZE);
            if (in[0] >= RECORD_VERSION)
                Check(std::equal(in.begin(), in.end(), saved.begin() + i * StateRecord::SIZE));
        }
    }

    // Once normalised, a machine goes through its own format unchanged.
    StateMachine second;
    Check(Load(saved, format, second) == count);
    for (std::size_t i = 0; i < count; ++i)
        Check(second.states[i] == first.states[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    RoundTrip(bytes, StateFileFormat::Sc2);
    RoundTrip(bytes, StateFileFormat::Sc1);
    return 0;
}
