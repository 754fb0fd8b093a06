// sm summary, sm dryrun, sm convert, sm pull, sm push.
#include <charconv>
#include <iostream>

#include "cli/commands.h"
#include "statemachine/definition_text.h"
#include "statemachine/dry_run.h"
#include "statemachine/state_files.h"
#include "statemachine/transfer.h"

namespace velacor::cli {

using namespace velacor::statemachine;

namespace {

// Loads FILE into `machine`; on failure writes the editor's message and returns false.
bool LoadFile(CliContext& context, const std::string& path, StateMachine& machine) {
    machine.NewMachine();
    const StateFileOutcome outcome = LoadStateMachineFile(machine, path);
    if (!outcome.done) {
        context.err << (outcome.message.empty() ? "Failed to load file" : outcome.message) << '\n';
        return false;
    }
    return true;
}

bool SaveFile(CliContext& context, const std::string& path, StateMachine& machine) {
    const StateFileOutcome outcome = SaveStateMachineFile(machine, path);
    if (!outcome.done) {
        context.err << (outcome.message.empty() ? "Failed to save file" : outcome.message) << '\n';
        return false;
    }
    return true;
}

bool ParseNumber(const std::string& text, std::uint32_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

// The summary file's bytes: the table texts keep their one-byte micro sign.
// The summary on standard output, or into OUT, which may not be the state machine file read.
int WriteSummary(CliContext& context, const std::vector<TableRow>& rows, const std::string& outPath,
                 const std::string& inputPath, const std::string& lastLine = {}) {
    if (outPath.empty()) {
        context.out << SummaryText(rows) << lastLine;
        return EXIT_OK;
    }
    const std::string inputs[] = {inputPath};
    const base::SaveOutcome saved = SaveSummaryFile(outPath, rows, inputs);
    if (!saved.Saved())
        return Fail(context, saved.message);
    context.out << lastLine;
    return EXIT_OK;
}

}  // namespace

int RunStateMachine(CliContext& context) {
    const auto& args = context.args;
    if (args.empty())
        return Usage(context, "sm needs a subcommand: summary, dryrun, convert, pull or push");
    const std::string& sub = args[0];
    StateMachine machine;
    if (sub == "summary") {
        std::string out;
        if (args.size() == 4 && args[2] == "-o")
            out = args[3];
        else if (args.size() != 2)
            return Usage(context, "usage: sm summary FILE [-o OUT]");
        if (!LoadFile(context, args[1], machine))
            return EXIT_FAILED;
        return WriteSummary(context, DefinitionListing(machine), out, args[1]);
    }
    if (sub == "dryrun") {
        if (args.size() < 2)
            return Usage(context, "usage: sm dryrun FILE [--start N] [--timeout-state N]");
        DryRunOptions options;
        for (std::size_t i = 2; i < args.size(); i += 2) {
            std::uint32_t value = 0;
            if (i + 1 >= args.size() || !ParseNumber(args[i + 1], value))
                return Usage(context, "usage: sm dryrun FILE [--start N] [--timeout-state N]");
            if (args[i] == "--start")
                options.startState = value;
            else if (args[i] == "--timeout-state")
                options.timeoutState = value;
            else
                return Usage(context, "unknown option '" + args[i] + "'");
        }
        if (!LoadFile(context, args[1], machine))
            return EXIT_FAILED;
        options.startState = ClampDryRunState(options.startState, machine.lastIndex);
        const DryRunResult result = DryRun(machine, options);
        return WriteSummary(context, result.rows, {}, args[1], result.message + "\n");
    }
    if (sub == "convert") {
        if (args.size() != 3)
            return Usage(context, "usage: sm convert IN OUT");
        if (!LoadFile(context, args[1], machine) || !SaveFile(context, args[2], machine))
            return EXIT_FAILED;
        return EXIT_OK;
    }
    if (sub == "pull" || sub == "push") {
        if (args.size() != 2)
            return Usage(context, "usage: sm " + sub + " FILE");
        int status = EXIT_OK;
        SensorAccess* sensor = context.ConnectedSensor(status);
        if (sensor == nullptr)
            return status;
        machine.defaults = ReadStateDefaults(sensor->Via());
        if (sub == "pull") {
            if (!LoadFromSensor(sensor->Via(), machine).ok)
                return Fail(context, "Failed to load state machine from sensor");
            return SaveFile(context, args[1], machine) ? EXIT_OK : EXIT_FAILED;
        }
        if (!LoadFile(context, args[1], machine))
            return EXIT_FAILED;
        if (!SaveToSensor(sensor->Via(), machine))
            return Fail(context, "Failed to save state machine to sensor");
        return EXIT_OK;
    }
    return Usage(context, "unknown sm subcommand '" + sub + "'");
}

}  // namespace velacor::cli
