#include "cli/cli_app.h"

#include "cli/commands.h"

#include <algorithm>

namespace velacor::cli {
namespace {

constexpr const char* COMMAND_PREFIX = "usage: velacor-cli [--device DEVICE] [--trace] ";

// "  NAME USAGE    SUMMARY", the summary in a column of its own.
void HelpLine(std::ostream& out, std::string_view name, std::string_view usage,
              std::string_view summary, std::size_t column) {
    std::string head(name);
    if (!usage.empty())
        head += " " + std::string(usage);
    out << "  " << head << std::string(head.size() < column ? column - head.size() : 1, ' ')
        << summary << '\n';
}

void PrintHelp(std::ostream& out) {
    out << "usage: velacor-cli [--device DEVICE] [--trace] COMMAND [ARGS...]\n"
           "       velacor-cli --help | COMMAND --help\n\n"
           "options:\n"
           "  --device DEVICE  a device path as 'list' prints it, or virtual[:OPTION,...] for\n"
           "                   the built-in virtual sensor (OPTIONs: generic nitrate phosphate\n"
           "                   silicate ph nitrite iron ta dic ammonia, bootloader, legacy);\n"
           "                   without it, the first attached sensor running its firmware\n"
           "  --trace          write every exchange with the sensor to standard error\n\n"
           "commands:\n";
    for (const CommandSpec& command : Commands()) {
        if (command.run != nullptr)
            HelpLine(out, command.name, command.usage, command.summary, 22);
    }
    out << "\nexit status: 0 success, 1 the operation failed, 2 wrong usage\n";
}

// The help of one command, or of its subcommand when `args` starts with one.
void PrintCommandHelp(std::ostream& out, const CommandSpec& command,
                      const std::vector<std::string>& args) {
    for (const SubcommandHelp& sub : command.subcommands) {
        if (!args.empty() && args.front() == sub.name) {
            out << COMMAND_PREFIX << command.name << ' ' << sub.name;
            if (!sub.usage.empty())
                out << ' ' << sub.usage;
            out << "\n  " << sub.summary << '\n';
            return;
        }
    }
    out << COMMAND_PREFIX << command.name;
    if (!command.usage.empty())
        out << ' ' << command.usage;
    out << "\n  " << command.summary << '\n';
    if (!command.subcommands.empty()) {
        out << '\n';
        for (const SubcommandHelp& sub : command.subcommands)
            HelpLine(out, std::string(command.name) + " " + std::string(sub.name), sub.usage,
                     sub.summary, 40);
    }
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;  // what follows is a file name, even "--help"
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

int RunCommand(CliContext& context, const std::vector<std::string>& args) {
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        if (args[i] == "--help") {
            PrintHelp(context.out);
            return EXIT_OK;
        }
        if (args[i] == "--trace") {
            context.trace = true;
        } else if (args[i] == "--device") {
            if (i + 1 == args.size() || args[i + 1].starts_with("--"))
                return Usage(context, "option '--device' needs a value (a device path or virtual)");
            context.deviceChoice = args[++i];
        } else if (args[i].starts_with("--device=")) {
            context.deviceChoice = args[i].substr(9);
            if (context.deviceChoice->empty())
                return Usage(context, "option '--device' needs a value (a device path or virtual)");
        } else {
            return Usage(context, "unknown option '" + args[i] + "'");
        }
    }
    if (i == args.size())
        return Usage(context, "no command given");

    const std::string& name = args[i];
    for (const CommandSpec& command : Commands()) {
        if (command.name != name)
            continue;
        context.args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
        if (command.run == nullptr)
            return Fail(context, "velacor-cli: '" + name + "' is not available yet");
        if (AsksForHelp(context.args)) {
            PrintCommandHelp(context.out, command, context.args);
            return EXIT_OK;
        }
        // "--" only guards what follows against being read as help.
        if (const auto end = std::find(context.args.begin(), context.args.end(), "--");
            end != context.args.end())
            context.args.erase(end);
        return command.run(context);
    }
    return Usage(context, "unknown command '" + name + "'");
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CliContext context{out, err, {}, std::nullopt, false, nullptr};
    int status = RunCommand(context, args);
    // What went to standard output is part of the result: a write that failed (a full disk,
    // a closed pipe) fails the command.
    out.flush();
    if (!out) {
        err << "velacor-cli: cannot write to standard output\n";
        status = EXIT_FAILED;
    }
    return status;
}

}  // namespace velacor::cli
