// Reading generated files back with the program's own raw file reader, for the generator tests.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "processing/processing_runs.h"
#include "processing/raw_file.h"
#include "rawgen/raw_generator.h"

namespace velacor::rawgen::readback {

using processing::RawRecord;
using processing::RowRule;

inline Options With(Chemistry chemistry, unsigned cycles = 10) {
    Options options;
    options.chemistry = chemistry;
    options.cycles = cycles;
    return options;
}

// The generator names the chemistries as the processing does, on its own so that it shares
// no code with the reader it tests.
inline RowRule RuleFor(Chemistry chemistry) {
    static_assert(static_cast<int>(Chemistry::Dic) == static_cast<int>(processing::Chemistry::Dic));
    return processing::RowRuleOf(static_cast<processing::Chemistry>(chemistry));
}

// The accepted rows of a generated file, read back by the program's own reader.
struct ReadBack {
    std::vector<RawRecord> rows;  // without the end-of-file marker
    processing::RowsResult result;
};

inline ReadBack Read(const std::string& text, RowRule rule) {
    processing::MemorySource source(text);
    processing::RawFile file(source);
    ReadBack back;
    back.result = processing::ReadRows(file, rule, [&](const RawRecord& r) {
        if (r.state != processing::END_OF_FILE_STATE)
            back.rows.push_back(r);
    });
    return back;
}

// Consecutive rows of one state.
struct StateRun {
    std::uint8_t state;
    std::size_t first;
    std::size_t count;
};

inline std::vector<StateRun> Runs(const std::vector<RawRecord>& rows) {
    std::vector<StateRun> runs;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (runs.empty() || runs.back().state != rows[i].state)
            runs.push_back({rows[i].state, i, 0});
        ++runs.back().count;
    }
    return runs;
}

inline double Mean(const std::vector<RawRecord>& rows, const StateRun& run, int channel,
                   std::size_t last = 0) {
    const std::size_t n = last ? std::min(last, run.count) : run.count;
    double sum = 0;
    for (std::size_t i = run.first + run.count - n; i < run.first + run.count; ++i)
        sum += rows[i].channel[channel];
    return sum / static_cast<double>(n);
}

inline double Min(const std::vector<RawRecord>& rows, const StateRun& run, int channel) {
    double low = rows[run.first].channel[channel];
    for (std::size_t i = run.first; i < run.first + run.count; ++i)
        low = std::min(low, rows[i].channel[channel]);
    return low;
}

inline double Cubic(const processing::HeaderThermistor& t, double v) {
    return t.calA * v * v * v + t.calB * v * v + t.calC * v + t.calD;
}

}  // namespace velacor::rawgen::readback
