// The dry run: walks the state machine on the PC from a start state and lists every state it
// visits, with the default transitions, the six counters and optionally one pump time-out.
// Depth triggers are not simulated. The rows are those of the definition table (with the
// dry-run form of the counter cells), so the result is saved with SaveSummaryFile like the
// definition listing.
//
// A plain function over a StateMachine it only reads: any thread may call it while no one
// edits the machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "statemachine/definition_text.h"
#include "statemachine/state_machine.h"

namespace velacor::statemachine {

inline constexpr const char* DRY_RUN_CAPTION = "State Machine Dry Run";

struct DryRunOptions {
    // The first state listed. A start beyond lastIndex ends the run at once with an invalid
    // reference to it.
    std::uint32_t startState = 0;
    // The state whose pump time-out is simulated, once; STATE_NONE (255) for none.
    std::uint32_t timeoutState = STATE_NONE;
};

enum class DryRunEnd { INVALID_REFERENCE, LIMIT, IDLE, HIBERNATING };

struct DryRunResult {
    std::vector<TableRow> rows;  // at most MAX_TABLE_ROWS
    DryRunEnd end = DryRunEnd::LIMIT;
    std::uint32_t invalidState = 0;  // the state referred to, for INVALID_REFERENCE
    std::string message;             // shown once under DRY_RUN_CAPTION
};

DryRunResult DryRun(const StateMachine& machine, const DryRunOptions& options);

// A state number typed into "Start Dry Run At State:" or "Simulate Pump Timeout On State:"
// as the run takes it: clamped to 0..lastIndex, or as entered when lastIndex is 0.
std::uint32_t ClampDryRunState(std::uint32_t entered, std::uint16_t lastIndex);
// False when the number is beyond lastIndex: the field is drawn in red and "Go" is disabled.
bool DryRunStateInRange(std::uint32_t entered, std::uint16_t lastIndex);

}  // namespace velacor::statemachine
