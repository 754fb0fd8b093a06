// What the output tables show: their columns, and the cell texts of one raw sample or one
// processed result.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/list_column.h"
#include "protocol/chemistry_records.h"
#include "protocol/live_records.h"

namespace velacor::connection {

// Widths in dialog base units.
using OutputColumn = base::ListColumn;

inline constexpr std::size_t RAW_COLUMN_COUNT = 20;
inline constexpr std::size_t PROCESSED_COLUMN_COUNT = 12;
// Both tables keep about this many rows, dropping the oldest.
inline constexpr std::size_t MAX_TABLE_ROWS = 1000;

std::vector<OutputColumn> RawColumns();
// The processed table's columns; the chemistry type renames some of them.
std::vector<OutputColumn> ProcessedColumns(std::uint8_t chemistryType);

// "%02d/%02d/%04d %02d:%02d:%02d" in UTC.
std::string SensorTimeText(std::uint32_t secondsSince1970);
std::vector<std::string> RawRow(const protocol::SampleRecord& sample);
std::vector<std::string> ProcessedRow(const protocol::ProcessedRecord& record);

// The start choices of the Sensor Control panel, in list order, each with its state.
struct StartChoice {
    std::string name;
    std::uint8_t state;
};
std::vector<StartChoice> StartChoices(const protocol::ChemistryConfig& config);
// Whether "Autostart" shows ticked.
bool AutostartOn(const protocol::ChemistryConfig& config);
// The view's copy of the chemistry configuration when it can't be read: no deploy, prime or
// flush; every other start state 0.
protocol::ChemistryConfig UnreadableChemistryConfig();

}  // namespace velacor::connection
