// Pixel geometry shared by both graphs: the plot rectangle inside the client area, screen
// points and the colours the graphs draw with. No drawing happens here.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "base/rgb.h"

namespace velacor::graph {

// A plot rectangle in client pixels. `right` and `bottom` are edge coordinates, so the plot's
// width is right - left and its height bottom - top.
struct PlotArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Below this size a graph draws only its background.
    bool TooSmall() const { return Width() < MIN_PLOT_SIZE || Height() < MIN_PLOT_SIZE; }

    static constexpr int MIN_PLOT_SIZE = 35;
};

// The plot rectangle `margin` pixels in from each edge of a client area.
inline PlotArea InsetPlotArea(int clientWidth, int clientHeight, int margin) {
    return {margin, margin, clientWidth - margin, clientHeight - margin};
}

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// A point limited to the plot rectangle, edges included.
inline PixelPoint ClampToPlot(PixelPoint p, const PlotArea& plot) {
    return {std::clamp(p.x, plot.left, std::max(plot.left, plot.right)),
            std::clamp(p.y, plot.top, std::max(plot.top, plot.bottom))};
}

using base::Rgb;

// Common frame of both graphs.
inline constexpr Rgb FRAME_COLOUR{100, 100, 100};
inline constexpr int FRAME_PEN_WIDTH = 2;
inline constexpr int FONT_PIXEL_SIZE = 15;
inline constexpr int FONT_WEIGHT = 500;
inline constexpr const char* FONT_FAMILY = "Arial";

// The colour of each photodiode channel, in the raw graph and beside the view's check boxes.
inline constexpr std::array<Rgb, 8> CHANNEL_COLOURS = {{
    {255, 0, 0},      // 0 red
    {0, 255, 0},      // 1 green
    {0, 0, 255},      // 2 blue
    {255, 255, 0},    // 3 yellow
    {0, 255, 255},    // 4 cyan
    {255, 0, 255},    // 5 magenta
    {255, 255, 255},  // 6 white
    {0, 0, 0},        // 7 black
}};

}  // namespace velacor::graph
