// Geometry and texts of the processed graph: value and time labels of a view, where a point
// of a view lands on the plot, and the drag marker.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graph/plot_area.h"

namespace velacor::graph {

inline constexpr Rgb PROCESSED_BACKGROUND{130, 130, 200};
inline constexpr int PROCESSED_MARGIN = 40;       // plot area inset from every edge
inline constexpr int PROCESSED_AXIS_OFFSET = 35;  // axes: from the left edge and the bottom
inline constexpr int VALUE_LABEL_SPACING = 35;    // at least this many pixels between labels
inline constexpr int VALUE_LABEL_MARGIN = 30;     // value labels are right-aligned in it
inline constexpr int TIME_LABEL_SPACING = 100;    // also the width of a time label's box
inline constexpr int POINT_DIAMETER = 4;
inline constexpr int SELECTION_CROSS_SIZE = 10;
inline constexpr int DRAG_TICK_LENGTH = 10;

inline PlotArea ProcessedPlotArea(int clientWidth, int clientHeight) {
    return InsetPlotArea(clientWidth, clientHeight, PROCESSED_MARGIN);
}

// What the processed graph shows: a time span (seconds since 1970, UTC) and a value span.
struct ZoomView {
    std::uint32_t tmin = 0;
    std::uint32_t tmax = 0;
    double vmin = 0;
    double vmax = 0;
    bool operator==(const ZoomView&) const = default;

    bool Contains(std::uint32_t t, double v) const {
        return t >= tmin && t <= tmax && v >= vmin && v <= vmax;
    }
};

// Screen position of a time or a value in a view. A span of zero width puts everything at its
// start (the plot's left edge or bottom) instead of dividing by zero.
double TimeToX(std::uint32_t t, const ZoomView& view, const PlotArea& plot);
double ValueToY(double v, const ZoomView& view, const PlotArea& plot);

// The steps of the value axis for a value span on a plot `plotHeight` pixels high.
struct ValueSteps {
    double rawStep = 0;
    double step = 0;
    double first = 0;
    double last = 0;
    int count = 0;                // labels first, first + step, ...; 0 when none fits
    const char* format = "%.0f";  // "%.2f" below 10, "%.1f" below 100, else "%.0f"
};
ValueSteps ComputeValueSteps(double vmin, double vmax, int plotHeight);

// One label: its position along its axis (y for values, x for times) and its text.
struct AxisLabel {
    double position = 0;
    std::string text;
    bool operator==(const AxisLabel&) const = default;
};
std::vector<AxisLabel> ValueLabels(const ZoomView& view, const PlotArea& plot);
// Every 100 pixels from the plot's left edge: "%02d/%02d %02d:%02d" (day, month, hour, minute).
// A view of one instant (every point at the same time, drawn at the left edge) gets the one
// label there: labels further right would all repeat it.
std::vector<AxisLabel> TimeLabels(const ZoomView& view, const PlotArea& plot);
// The left edge of a time label `width` pixels wide: centred on its position, but kept inside
// the frame of a client `clientWidth` wide, so the labels at the plot's ends are whole.
int TimeLabelLeft(double position, int width, int clientWidth);

// "timestamp=%02d/%02d/%d %02d:%02d:%02d, value=%.2f" of the selected point.
std::string SelectedPointText(std::uint32_t time, double value);

// A drag wider than tall narrows the time span; any other narrows the value span.
inline bool IsTimeDrag(PixelPoint start, PixelPoint end) {
    const int dx = end.x > start.x ? end.x - start.x : start.x - end.x;
    const int dy = end.y > start.y ? end.y - start.y : start.y - end.y;
    return dx > dy;
}

// The white marker of a drag: the line from the start along the drag's longer direction and a
// 10-pixel tick across it at each end.
struct Segment {
    PixelPoint from;
    PixelPoint to;
    bool operator==(const Segment&) const = default;
};
std::array<Segment, 3> DragMarker(PixelPoint start, PixelPoint current);

}  // namespace velacor::graph
