#include "cli/commands.h"

#include <array>

namespace velacor::cli {
namespace {

constexpr std::array STATE_MACHINE_COMMANDS = {
    SubcommandHelp{"summary", "FILE [-o OUT]",
                   "the state machine summary file of an SC2 (.asm) or SC1 (.dat) file"},
    SubcommandHelp{"dryrun", "FILE [--start N] [--timeout-state N]",
                   "the dry run's table, then the end message as the last line"},
    SubcommandHelp{"convert", "IN OUT",
                   "load IN and save it as OUT, each format chosen by its file name"},
    SubcommandHelp{"pull", "FILE", "the sensor's state machine into FILE"},
    SubcommandHelp{"push", "FILE", "the state machine of FILE into the sensor"},
};

constexpr std::array PROCESS_COMMANDS = {
    SubcommandHelp{"nutrient", "FILE [-o OUT] [--log]",
                   "one raw nutrient file, with the parameters of its header"},
    SubcommandHelp{"ph", "FILE [-o OUT] [--log]", "one raw pH file"},
    SubcommandHelp{"ta", "FILE [-o OUT] [--log]", "one raw TA file"},
    SubcommandHelp{"dic", "FILE [-o OUT] [--log]", "one raw DIC file"},
    SubcommandHelp{"nutrient-multi", "FILE... [-o OUT] [--log]",
                   "several raw nutrient files into one table, in the order given"},
};

}  // namespace

std::span<const CommandSpec> Commands() {
    static constexpr std::array COMMANDS = {
        CommandSpec{"list", "", "one line per attached sensor: Name,Serial Number,State,Type,PATH",
                    RunList},
        CommandSpec{"info", "", "the sensor's identity, firmware, supply and measurement number",
                    RunInfo},
        CommandSpec{"start", "[STATE]", "start the state machine at STATE (default 0)", RunStart},
        CommandSpec{"stop", "", "stop the state machine", RunStop},
        CommandSpec{"sm", "summary|dryrun|convert|pull|push ...", "the state machine",
                    RunStateMachine, STATE_MACHINE_COMMANDS},
        CommandSpec{"process", "nutrient|ph|ta|dic|nutrient-multi FILE... [-o OUT] [--log]",
                    "process raw output files with the parameters of their headers; print the "
                    "results as Save writes them; --log writes the message log to standard error",
                    RunProcess, PROCESS_COMMANDS},
        // Commands that later releases carry out.
        CommandSpec{"report", "[-o FILE]", "the configuration report", nullptr},
        CommandSpec{"config", "save|diff|restore ...", "sensor configuration files", nullptr},
        CommandSpec{"diag", "save|show|log|restarts|tasks|wipe ...", "the diagnostic log", nullptr},
        CommandSpec{"upgrade", "firmware|bootloader FILE", "image upgrade", nullptr},
        CommandSpec{"ports", "", "the serial ports of the PC", nullptr},
        CommandSpec{"simulate", "seaglider|bridges|eti|download --port PATH ...",
                    "the platform simulator", nullptr},
        CommandSpec{"serve-serial", "[virtual options]", "the virtual sensor's serial side",
                    nullptr},
    };
    return COMMANDS;
}

}  // namespace velacor::cli
