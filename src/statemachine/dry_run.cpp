#include "statemachine/dry_run.h"

#include <algorithm>

#include "base/str_printf.h"

namespace velacor::statemachine {
namespace {

// The state after `previous` (record r), applying r's counter triggers to `counters` and, once,
// the simulated pump time-out.
std::uint32_t NextState(const StateRecord& r, std::uint32_t previous, CounterValues& counters,
                        std::uint32_t& timeoutState) {
    std::uint32_t next = r.defaultNext;
    for (std::size_t k = 0; k < COUNTERS; ++k) {
        const CounterTrigger& t = r.counterTrigger[k];
        std::uint8_t& counter = counters[k];
        if (t.counterMode == COUNTER_RESET) {
            counter = 0;
            continue;
        }
        counter = static_cast<std::uint8_t>(counter + t.increment);  // wraps modulo 256
        if (t.counterMode == COUNTER_INC_AND_TEST && counter > t.testValue) {
            next = t.nextState;  // a later firing trigger overrides an earlier one
            counter = 0;
        }
    }
    // The time-out wins over the counters, whatever the state's pump settings.
    if (previous == timeoutState) {
        next = r.pumpTimeoutNext;
        timeoutState = STATE_NONE;
    }
    return next;
}

}  // namespace

DryRunResult DryRun(const StateMachine& machine, const DryRunOptions& options) {
    DryRunResult result;
    const std::uint32_t lastIndex = std::min<std::uint32_t>(machine.lastIndex, STATE_SLOTS - 1);
    CounterValues counters{};
    std::uint32_t timeoutState = options.timeoutState;
    std::uint32_t state = options.startState;
    for (;;) {
        if (!result.rows.empty()) {
            if (result.rows.size() >= MAX_TABLE_ROWS) {
                result.end = DryRunEnd::LIMIT;
                result.message = base::StrPrintf(
                    "Dry run terminated after %d iterations to avoid probable infinite loop.",
                    static_cast<int>(MAX_TABLE_ROWS));
                break;
            }
            const StateRecord& r = machine.states[state];
            if (r.mode == MODE_IDLE) {
                result.end = DryRunEnd::IDLE;
                result.message = "Dry-run ended at IDLE state.";
                break;
            }
            if (r.mode == MODE_HIBERNATING) {
                result.end = DryRunEnd::HIBERNATING;
                result.message = "Dry-run ended at HIBERNATING state.";
                break;
            }
            state = NextState(r, state, counters, timeoutState);
        }
        if (state > lastIndex) {
            result.end = DryRunEnd::INVALID_REFERENCE;
            result.invalidState = state;
            result.message =
                base::StrPrintf("Dry run terminated by invalid state reference (%u)", state);
            break;
        }
        result.rows.push_back({static_cast<std::uint16_t>(state),
                               StateCellTexts(state, machine.states[state], &counters)});
    }
    return result;
}

std::uint32_t ClampDryRunState(std::uint32_t entered, std::uint16_t lastIndex) {
    return lastIndex == 0 ? entered : std::min<std::uint32_t>(entered, lastIndex);
}

bool DryRunStateInRange(std::uint32_t entered, std::uint16_t lastIndex) {
    return entered <= lastIndex;
}

}  // namespace velacor::statemachine
