// Any bytes, read as a raw output file and processed by every chemistry with the parameters its
// header gives (whatever the chemistry code says): no crash, no undefined behaviour, every log
// line within its limit and the table within its row limit.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "processing/processing_runs.h"

namespace {

using namespace velacor::processing;

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

class CheckedLog final : public LogSink {
  public:
    void AddLine(std::string_view line) override { Check(line.size() <= LOG_LINE_LIMIT); }
};

void CheckTable(const ResultsTable& table, const RunOutcome& outcome) {
    Check(table.Rows().size() <= RESULTS_ROW_LIMIT);
    Check(outcome.Complete());
    for (const ResultRow& row : table.Rows())
        Check(row.size() == table.Headings().size() || table.Headings().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MemorySource source(bytes);
    RawFile file(source);
    CheckedLog log;

    NutrientHeader nutrient = DefaultNutrientHeader();
    ReadNutrientHeader(file, nutrient);
    if (CheckNutrientParameters(nutrient.params).empty()) {
        ResultsTable table(InitialNutrientHeadings());
        CheckTable(table, RunNutrient(file, nutrient.params, nutrient.chemistryType, table, &log));
    }

    PhHeader ph = DefaultPhHeader();
    ReadPhHeader(file, ph);
    const PhSettings phSettings{ph.params, ph.sampleIntervalMs, ph.thermistor};
    if (CheckPhSettings(phSettings).empty()) {
        ResultsTable table(PhHeadings());
        CheckTable(table, RunPh(file, phSettings, table, &log));
    }

    TaHeader ta = DefaultTaHeader();
    ReadTaHeader(file, ta);
    const TaSettings taSettings{ta.params, ta.thermistor};
    if (CheckTaSettings(taSettings).empty()) {
        ResultsTable table(TaHeadings());
        CheckTable(table, RunTa(file, taSettings, table, &log));
    }

    DicHeader dic = DefaultDicHeader();
    ReadDicHeader(file, dic);
    const DicSettings dicSettings{dic.params, dic.thermistor};
    if (CheckDicSettings(dicSettings).empty()) {
        ResultsTable table(DicHeadings());
        CheckTable(table, RunDic(file, dicSettings, table, &log));
    }
    return 0;
}
