// Whole processing runs over raw output files, shared by the dialogs (on their worker), the
// command line and the benchmarks: each clears the table's rows, feeds every accepted row and
// the end-of-file marker through its chemistry's engine, and says how the reading ended.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "processing/dic_processing.h"
#include "processing/nutrient_processing.h"
#include "processing/ph_processing.h"
#include "processing/raw_file.h"
#include "processing/results.h"
#include "processing/run_control.h"
#include "processing/ta_processing.h"

namespace velacor::processing {

enum class Chemistry { Nutrient, Ph, Ta, Dic };

// The texts a processing dialog shows about its file.
struct ProcessingTexts {
    std::string_view dialogTitle;
    std::string_view noHeader;        // the file has no header: parameters by hand
    std::string_view wrongChemistry;  // the file belongs to another chemistry
};
ProcessingTexts TextsOf(Chemistry chemistry);
RowRule RowRuleOf(Chemistry chemistry);
bool IsNutrientCode(std::uint8_t chemistryCode);

RunOutcome RunNutrient(RawFile& file, const protocol::NutrientProcessing& params,
                       std::uint8_t nutrientType, ResultsTable& table, LogSink* log,
                       const RunControl& control = {});
RunOutcome RunPh(RawFile& file, const PhSettings& settings, ResultsTable& table, LogSink* log,
                 const RunControl& control = {});
RunOutcome RunTa(RawFile& file, const TaSettings& settings, ResultsTable& table, LogSink* log,
                 const RunControl& control = {});
RunOutcome RunDic(RawFile& file, const DicSettings& settings, ResultsTable& table, LogSink* log,
                  const RunControl& control = {});

struct MultiFileOutcome {
    int filesComplete = 0;  // files read to their end without a read error
    bool cancelled = false;
    // One line for each file that gave no rows, with its path and why: it could not be
    // opened, it has no header, another chemistry, or parameters that can't be processed.
    std::vector<std::string> skipped;
};

// Processes each file with the parameters of its own header and appends every file's rows to
// `table` (its rows are not cleared). `onReadError` is called for each file whose reading
// failed. With more than one path the log says why a file contributes nothing. `control` sees
// the bytes read over all files.
MultiFileOutcome RunMultiNutrient(const std::vector<std::string>& paths, ResultsTable& table,
                                  LogSink* log, const RunControl& control,
                                  const std::function<void(const Message&)>& onReadError);

// One file processed with the parameters of its header, as velacor-cli does it: the table gets
// the dialog's headings and rows. On failure `error` holds the dialog's message.
struct HeaderRun {
    bool ok = false;
    std::string error;
    RunOutcome outcome;
};
HeaderRun ProcessWithHeader(Chemistry chemistry, const std::string& path, ResultsTable& table,
                            LogSink* log);

}  // namespace velacor::processing
