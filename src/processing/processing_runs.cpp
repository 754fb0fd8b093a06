#include "processing/processing_runs.h"

#include <filesystem>
#include <system_error>

#include "base/str_printf.h"

namespace velacor::processing {

ProcessingTexts TextsOf(Chemistry chemistry) {
    switch (chemistry) {
        case Chemistry::Nutrient:
            return {"Process Raw Nutrient Data",
                    "No Nutrient Processing Parameters found in file header: please enter them by "
                    "hand, or connect a sensor and try again to use the current values from the "
                    "sensor.",
                    "This file has the wrong chemistry type for Nutrient processing."};
        case Chemistry::Ph:
            return {"Process Raw pH Data",
                    "No pH Processing Parameters found in file header: please enter them by hand, "
                    "or connect a sensor and try again to use the current values from the sensor.",
                    "This file has the wrong chemistry type for pH processing."};
        case Chemistry::Ta:
            return {"Process Raw TA Data",
                    "No TA Processing Parameters found in file header: please enter them by hand.",
                    "This file has the wrong chemistry type for TA processing."};
        case Chemistry::Dic:
            return {"Process Raw DIC Data",
                    "No DIC Processing Parameters found in file header: please enter them by hand.",
                    "This file has the wrong chemistry type for DIC processing."};
    }
    return {};
}

RowRule RowRuleOf(Chemistry chemistry) {
    switch (chemistry) {
        case Chemistry::Nutrient:
            return RowRule::Nutrient;
        case Chemistry::Ph:
            return RowRule::Ph;
        case Chemistry::Ta:
            return RowRule::Ta;
        case Chemistry::Dic:
            return RowRule::Dic;
    }
    return RowRule::Nutrient;
}

bool IsNutrientCode(std::uint8_t chemistryCode) {
    return FindNutrientType(chemistryCode) != nullptr;
}

namespace {

template <class Engine>
RunOutcome Feed(RawFile& file, RowRule rule, Engine& engine, const RunControl& control) {
    return ReadRowsControlled(file, rule, control,
                              [&engine](const RawRecord& r) { engine.Step(r); });
}

}  // namespace

RunOutcome RunNutrient(RawFile& file, const protocol::NutrientProcessing& params,
                       std::uint8_t nutrientType, ResultsTable& table, LogSink* log,
                       const RunControl& control) {
    table.Clear();
    NutrientRun run(params, nutrientType, table, log);
    return Feed(file, RowRule::Nutrient, run, control);
}

RunOutcome RunPh(RawFile& file, const PhSettings& settings, ResultsTable& table, LogSink* log,
                 const RunControl& control) {
    table.Clear();
    PhRun run(settings, table, log);
    return Feed(file, RowRule::Ph, run, control);
}

RunOutcome RunTa(RawFile& file, const TaSettings& settings, ResultsTable& table, LogSink* log,
                 const RunControl& control) {
    table.Clear();
    TaRun run(settings, table, log);
    return Feed(file, RowRule::Ta, run, control);
}

RunOutcome RunDic(RawFile& file, const DicSettings& settings, ResultsTable& table, LogSink* log,
                  const RunControl& control) {
    table.Clear();
    DicRun run(settings, table, log);
    return Feed(file, RowRule::Dic, run, control);
}

MultiFileOutcome RunMultiNutrient(const std::vector<std::string>& paths, ResultsTable& table,
                                  LogSink* log, const RunControl& control,
                                  const std::function<void(const Message&)>& onReadError) {
    MultiFileOutcome outcome;
    const bool several = paths.size() > 1;
    std::uint64_t bytesBefore = 0;  // of the files already read
    for (const std::string& path : paths) {
        FileSource source(path);
        if (!source.IsOpen()) {
            Log(log, "Can't open file %s\n", path.c_str());
            outcome.skipped.push_back(base::StrPrintf("Can't open file %s", path.c_str()));
            if (!several)
                break;
            continue;
        }
        Log(log, several ? "Reading file %s\n" : "Processing file %s\n", path.c_str());
        RawFile file(source);
        NutrientHeader header = DefaultNutrientHeader();
        // A single file that is not a nutrient file ends the work without a word; in a
        // selection of several the log says which file was passed over and why.
        const auto skip = [&](const std::string& reason) {
            outcome.skipped.push_back(path + ": " + reason);
        };
        if (!ReadNutrientHeader(file, header)) {
            if (several)
                Log(log, "Failed to read sensor parameters from file header");
            skip("Failed to read sensor parameters from file header");
            continue;
        }
        if (!IsNutrientCode(header.chemistryType)) {
            if (several)
                Log(log, "Wrong chemistry type (%d): not a nutrient sensor", header.chemistryType);
            skip(base::StrPrintf("Wrong chemistry type (%d): not a nutrient sensor",
                                 header.chemistryType));
            continue;
        }
        if (const std::string problem = CheckNutrientParameters(header.params); !problem.empty()) {
            Log(log, "%s", problem.c_str());
            skip(problem);
            continue;
        }
        MultiNutrientRun run(header.params, header.chemistryType, header.sensorName, table, log);
        RunControl fileControl;
        if (control.keepGoing)
            fileControl.keepGoing = [&](std::uint64_t bytes) {
                return control.keepGoing(bytesBefore + bytes);
            };
        const RunOutcome fileOutcome = Feed(file, RowRule::Nutrient, run, fileControl);
        bytesBefore += file.BytesRead();
        if (fileOutcome.cancelled) {
            outcome.cancelled = true;
            break;
        }
        if (fileOutcome.readError)
            onReadError(ReadErrorMessage(RowRule::Nutrient));
        else
            ++outcome.filesComplete;
    }
    return outcome;
}

namespace {

// Reads the header of `chemistry` and checks it as the dialog does before processing.
template <class Header>
bool ChemistryMatches(const Header& header, Chemistry chemistry) {
    switch (chemistry) {
        case Chemistry::Nutrient:
            return IsNutrientCode(header.chemistryType);
        case Chemistry::Ph:
            return header.chemistryType == protocol::CHEMISTRY_PH;
        case Chemistry::Ta:
            return header.chemistryType == protocol::CHEMISTRY_TA;
        case Chemistry::Dic:
            return header.chemistryType == protocol::CHEMISTRY_DIC;
    }
    return false;
}

}  // namespace

HeaderRun ProcessWithHeader(Chemistry chemistry, const std::string& path, ResultsTable& table,
                            LogSink* log) {
    HeaderRun run;
    FileSource source(path);
    if (!source.IsOpen()) {
        run.error = base::StrPrintf("Can't open file %s", path.c_str());
        return run;
    }
    RawFile file(source);
    const ProcessingTexts texts = TextsOf(chemistry);
    const auto checkHeader = [&](bool found, const auto& header) {
        if (!found)
            run.error = texts.noHeader;
        else if (!ChemistryMatches(header, chemistry))
            run.error = texts.wrongChemistry;
        return run.error.empty();
    };
    const auto finish = [&](const std::string& problem, auto&& process) {
        if (!problem.empty()) {
            run.error = problem;
            return;
        }
        run.outcome = process();
        if (run.outcome.readError)
            run.error = ReadErrorMessage(RowRuleOf(chemistry)).text;
        run.ok = run.outcome.Complete();
    };
    switch (chemistry) {
        case Chemistry::Nutrient: {
            NutrientHeader header = DefaultNutrientHeader();
            if (!checkHeader(ReadNutrientHeader(file, header), header))
                break;
            std::vector<std::string> headings = InitialNutrientHeadings();
            ApplyNutrientHeadings(headings, header.chemistryType, header.params.sampleParam);
            table.SetHeadings(std::move(headings));
            finish(CheckNutrientParameters(header.params), [&] {
                return RunNutrient(file, header.params, header.chemistryType, table, log);
            });
            break;
        }
        case Chemistry::Ph: {
            PhHeader header = DefaultPhHeader();
            if (!checkHeader(ReadPhHeader(file, header), header))
                break;
            const PhSettings settings{header.params, header.sampleIntervalMs, header.thermistor};
            table.SetHeadings(PhHeadings());
            finish(CheckPhSettings(settings), [&] { return RunPh(file, settings, table, log); });
            break;
        }
        case Chemistry::Ta: {
            TaHeader header = DefaultTaHeader();
            if (!checkHeader(ReadTaHeader(file, header), header))
                break;
            const TaSettings settings{header.params, header.thermistor};
            table.SetHeadings(TaHeadings());
            finish(CheckTaSettings(settings), [&] { return RunTa(file, settings, table, log); });
            break;
        }
        case Chemistry::Dic: {
            DicHeader header = DefaultDicHeader();
            if (!checkHeader(ReadDicHeader(file, header), header))
                break;
            const DicSettings settings{header.params, header.thermistor};
            table.SetHeadings(DicHeadings());
            finish(CheckDicSettings(settings), [&] { return RunDic(file, settings, table, log); });
            break;
        }
    }
    return run;
}

}  // namespace velacor::processing
