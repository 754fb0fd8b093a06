// process nutrient|ph|ta|dic FILE, process nutrient-multi FILE...: the processed results as the
// dialogs' Save button writes them.
#include <ostream>

#include "cli/commands.h"
#include "processing/processing_runs.h"

namespace velacor::cli {

using namespace velacor::processing;

namespace {

// The message log, line by line as it happens.
class StreamLog final : public LogSink {
  public:
    explicit StreamLog(std::ostream& out) : m_out(out) {}
    void AddLine(std::string_view line) override { m_out << line << '\n'; }

  private:
    std::ostream& m_out;
};

struct ProcessArgs {
    std::string kind;
    std::vector<std::string> files;
    std::string outPath;
    bool log = false;
};

constexpr const char* PROCESS_USAGE =
    "usage: process nutrient|ph|ta|dic FILE [-o OUT] [--log] | process nutrient-multi FILE... "
    "[-o OUT] [--log]";

bool ParseArgs(const std::vector<std::string>& args, ProcessArgs& parsed) {
    if (args.empty())
        return false;
    parsed.kind = args[0];
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            parsed.outPath = args[++i];
        else if (args[i] == "--log")
            parsed.log = true;
        else if (args[i].starts_with("-") && args[i] != "-")
            return false;
        else
            parsed.files.push_back(args[i]);
    }
    if (parsed.kind == "nutrient-multi")
        return !parsed.files.empty();
    return parsed.files.size() == 1;
}

// The table on standard output, or into OUT, which may not be one of the raw files read.
int WriteTable(CliContext& context, const ResultsTable& table, const ProcessArgs& args) {
    if (args.outPath.empty()) {
        WriteResults(context.out, table);
        return EXIT_OK;
    }
    const base::SaveOutcome saved = SaveResults(args.outPath, table, args.files);
    return saved.Saved() ? EXIT_OK : Fail(context, saved.message);
}

}  // namespace

int RunProcess(CliContext& context) {
    ProcessArgs args;
    if (!ParseArgs(context.args, args))
        return Usage(context, PROCESS_USAGE);
    StreamLog streamLog(context.err);
    LogSink* log = args.log ? &streamLog : nullptr;
    ResultsTable table;

    if (args.kind == "nutrient-multi") {
        table.SetHeadings(MultiNutrientHeadings());
        bool readError = false;
        const MultiFileOutcome outcome =
            RunMultiNutrient(args.files, table, log, RunControl{}, [&](const Message& message) {
                context.err << message.text << '\n';
                readError = true;
            });
        // Every file that gave nothing says why, with or without the log.
        for (const std::string& reason : outcome.skipped)
            context.err << reason << '\n';
        if (outcome.filesComplete == 0)
            return Fail(context, readError ? std::string(ReadErrorMessage(RowRule::Nutrient).text)
                                           : "No file could be processed");
        const int status = WriteTable(context, table, args);
        return readError || !outcome.skipped.empty() ? EXIT_FAILED : status;
    }

    Chemistry chemistry;
    if (args.kind == "nutrient")
        chemistry = Chemistry::Nutrient;
    else if (args.kind == "ph")
        chemistry = Chemistry::Ph;
    else if (args.kind == "ta")
        chemistry = Chemistry::Ta;
    else if (args.kind == "dic")
        chemistry = Chemistry::Dic;
    else
        return Usage(context, PROCESS_USAGE);
    const HeaderRun run = ProcessWithHeader(chemistry, args.files[0], table, log);
    if (!run.ok)
        return Fail(context, run.error);
    return WriteTable(context, table, args);
}

}  // namespace velacor::cli
