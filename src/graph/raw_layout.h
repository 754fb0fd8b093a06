// Geometry and texts of the raw graph: one column per sample, newest at the right, one voltage
// trace per photodiode channel, optional platform data and thermistor lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "graph/plot_area.h"
#include "protocol/live_records.h"
#include "protocol/settings_records.h"

namespace velacor::graph {

inline constexpr Rgb RAW_BACKGROUND{150, 150, 150};
inline constexpr int RAW_MARGIN = 50;       // plot area inset from every edge
inline constexpr int RAW_AXIS_OFFSET = 45;  // axes: from the left edge and from the bottom
inline constexpr double RAW_FULL_SCALE_VOLTS = 5.0;
inline constexpr int RAW_VOLT_LABELS = 11;  // 0.0 to 5.0 in steps of 0.5
// With more columns than this the first column gets a counter label too.
inline constexpr int RAW_FIRST_LABEL_MIN_COLUMNS = 61;
inline constexpr int RAW_TICK_LENGTH = 5;
inline constexpr int RAW_TRACE_PEN_WIDTH = 2;
inline constexpr int RAW_THERMISTOR_TEXT_TOP = 30;

inline PlotArea RawPlotArea(int clientWidth, int clientHeight) {
    return InsetPlotArea(clientWidth, clientHeight, RAW_MARGIN);
}

// Columns drawn: one per plot pixel, at most one per sample held.
int RawColumnCount(const PlotArea& plot, std::size_t sampleCount);

// Age (0 the newest) of the sample in `column` of `columns`: the newest is at the right.
inline std::size_t RawColumnAge(int column, int columns) {
    return static_cast<std::size_t>(columns - 1 - column);
}

inline int RawColumnX(const PlotArea& plot, int column) {
    return plot.left + column;
}

// Height of a raw channel value: 0 V at the plot's bottom, 5 V at its top.
double RawValueY(std::uint16_t raw, const PlotArea& plot);

// One volt label of the left margin.
struct VoltLabel {
    double volts = 0;
    double y = 0;
    std::string text;  // "%.1f"
};
std::array<VoltLabel, RAW_VOLT_LABELS> RawVoltLabels(const PlotArea& plot);

// Columns that get the sample counter under the X axis: the last always (it also gets the
// state number), the first only when more than 60 columns are drawn.
struct CounterColumns {
    std::optional<int> first;
    std::optional<int> last;
};
CounterColumns RawCounterColumns(int columns);

// The column under the mouse, if the mouse is over a drawn column within the plot's height.
std::optional<int> RawColumnAt(PixelPoint mouse, const PlotArea& plot, int columns);

std::string RawCounterText(const protocol::SampleRecord& sample);  // "%u"
std::string RawStateText(const protocol::SampleRecord& sample);    // "state %u"
std::string PlatformDataText(const protocol::PlatformData& platform);

// Temperature of one thermistor from the newest sample: the calibration's cubic of the
// thermistor channel's voltage. An input channel beyond the eight gives the constant term.
double ThermistorTemperature(const protocol::ThermistorConfig& config,
                             const protocol::SampleRecord& newest);
std::string ThermistorText(
    const std::array<protocol::ThermistorConfig, protocol::THERMISTOR_COUNT>& thermistors,
    const protocol::SampleRecord& newest);

}  // namespace velacor::graph
