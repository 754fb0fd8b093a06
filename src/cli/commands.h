// The table of velacor-cli commands. Each command reads its arguments from the context and
// returns the exit status.
#pragma once

#include <span>
#include <string_view>

#include "cli/cli_context.h"

namespace velacor::cli {

// A subcommand's line of help: "sm pull FILE" and what it does.
struct SubcommandHelp {
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
};

struct CommandSpec {
    std::string_view name;
    std::string_view usage;           // arguments, after the name
    std::string_view summary;         // one line for --help
    int (*run)(CliContext& context);  // nullptr: not available yet
    std::span<const SubcommandHelp> subcommands = {};
};

std::span<const CommandSpec> Commands();

// Commands that talk to a sensor.
int RunList(CliContext& context);
int RunInfo(CliContext& context);
int RunStart(CliContext& context);
int RunStop(CliContext& context);
// sm summary | dryrun | convert | pull | push.
int RunStateMachine(CliContext& context);
// process nutrient | ph | ta | dic | nutrient-multi.
int RunProcess(CliContext& context);

}  // namespace velacor::cli
