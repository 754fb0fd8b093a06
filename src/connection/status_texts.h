// The five parts of the main window's status bar. A leading tab centres the text in its part.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/identity_records.h"

namespace velacor::connection {

inline constexpr std::size_t STATUS_PARTS = 5;
// Right edges of parts 0..3 in pixels; part 4 reaches to the window's edge.
inline constexpr std::array<int, 4> STATUS_PART_RIGHT_EDGES = {200, 350, 500, 650};

using StatusTexts = std::array<std::string, STATUS_PARTS>;

StatusTexts NotConnectedStatus();
// Part 0: "\tMeasurement %d", or empty when the counters could not be read.
std::string MeasurementText(bool ok, const protocol::MeasurementCounters& counters);
// Part 1: "\tUSB Comms OK" / "\tUSB Comms Error".
std::string LinkHealthText(bool ok);
// Part 4: "\t%.1fV/%.1f°C", or empty when the power status could not be read.
std::string PowerText(bool ok, const protocol::PowerStatus& power);
// Part 2: the sensor mode.
std::string SensorModeText(std::uint8_t mode);
// Whether part 3 shows the output file name in this mode (operating and sleeping).
bool ModeShowsOutputFile(std::uint8_t mode);
// Part 3: "\tFile: %s".
std::string OutputFileText(const std::string& fileName);

}  // namespace velacor::connection
