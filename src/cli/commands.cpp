#include "cli/commands.h"

#include <array>

namespace velacor::cli {

std::span<const CommandSpec> Commands() {
    static constexpr std::array COMMANDS = {
        CommandSpec{"list", "", "one line per attached sensor: Name,Serial Number,State,Type,PATH",
                    RunList},
        CommandSpec{"info", "", "the sensor's identity, firmware, supply and measurement number",
                    RunInfo},
        CommandSpec{"start", "[STATE]", "start the state machine at STATE (default 0)", RunStart},
        CommandSpec{"stop", "", "stop the state machine", RunStop},
        CommandSpec{"sm", "summary|dryrun|convert|pull|push ...",
                    "state machine: summary FILE [-o OUT]; dryrun FILE [--start N] "
                    "[--timeout-state N]; convert IN OUT; pull FILE; push FILE",
                    RunStateMachine},
        CommandSpec{"process", "nutrient|ph|ta|dic|nutrient-multi FILE... [-o OUT] [--log]",
                    "process raw output files with the parameters of their headers; print the "
                    "results as Save writes them; --log writes the message log to standard error",
                    RunProcess},
    };
    return COMMANDS;
}

}  // namespace velacor::cli
