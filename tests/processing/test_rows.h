// Building raw rows and files for the processing tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "processing/raw_row.h"
#include "processing/results.h"

namespace velacor::processing::test {

// A row in `state` with every channel at `level`, times one second apart from 2026-01-01.
inline RawRecord Row(std::uint8_t state, double level = 1.0) {
    static std::uint32_t clock = 1767225600;
    RawRecord r;
    r.state = state;
    for (double& c : r.channel)
        c = level;
    r.sensorTime = r.platformTime = ++clock;
    r.platformSalinity = 35;
    r.platformTemperature = 12;
    r.platformDepth = 20;
    return r;
}

inline RawRecord WithChannel(RawRecord r, int channel, double value) {
    r.channel[channel] = value;
    return r;
}

// `count` copies of a row fed to `engine`.
template <class Engine>
void Feed(Engine& engine, const RawRecord& row, int count = 1) {
    for (int i = 0; i < count; ++i)
        engine.Step(row);
}

// The 20-field text of a row, as the sensor writes it.
inline std::string RowText(const RawRecord& r) {
    char text[400];
    std::snprintf(text, sizeof text,
                  "%u,%u,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,12.5,12.1,0,0,%u,%.3f,%.3f,%.3f,"
                  "%.3f,%u\n",
                  r.counter, r.state, r.channel[0], r.channel[1], r.channel[2], r.channel[3],
                  r.channel[4], r.channel[5], r.channel[6], r.channel[7], r.sensorTime,
                  r.platformSalinity, r.platformTemperature, r.platformOxygen, r.platformDepth,
                  r.platformTime);
    return text;
}

// The cells of `row` in `columns`, in that order.
inline std::vector<std::string> Cells(const std::vector<std::string>& row,
                                      std::initializer_list<std::size_t> columns) {
    std::vector<std::string> cells;
    for (const std::size_t c : columns)
        cells.push_back(row.at(c));
    return cells;
}

inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
        if (l == line)
            return true;
    return false;
}

inline std::size_t CountPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
    std::size_t n = 0;
    for (const std::string& l : lines)
        n += l.starts_with(prefix);
    return n;
}

}  // namespace velacor::processing::test
