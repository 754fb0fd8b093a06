#include "cli/cli_app.h"

#include "cli/commands.h"

namespace velacor::cli {
namespace {

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
        std::string head = std::string(command.name);
        if (!command.usage.empty())
            head += " " + std::string(command.usage);
        out << "  " << head << std::string(head.size() < 22 ? 22 - head.size() : 1, ' ')
            << command.summary << '\n';
    }
    out << "\nexit status: 0 success, 1 the operation failed, 2 wrong usage\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CliContext context{out, err, {}, std::nullopt, false, nullptr};
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        if (args[i] == "--help") {
            PrintHelp(out);
            return EXIT_OK;
        }
        if (args[i] == "--trace") {
            context.trace = true;
        } else if (args[i] == "--device" && i + 1 < args.size()) {
            context.deviceChoice = args[++i];
        } else if (args[i].starts_with("--device=")) {
            context.deviceChoice = args[i].substr(9);
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
        if (context.args.size() == 1 && context.args[0] == "--help") {
            out << "usage: velacor-cli [--device DEVICE] [--trace] " << command.name;
            if (!command.usage.empty())
                out << ' ' << command.usage;
            out << "\n  " << command.summary << '\n';
            return EXIT_OK;
        }
        return command.run(context);
    }
    return Usage(context, "unknown command '" + name + "'");
}

}  // namespace velacor::cli
