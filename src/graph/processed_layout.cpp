#include "graph/processed_layout.h"

#include <algorithm>
#include <cmath>

#include "base/str_printf.h"
#include "base/utc_time.h"

namespace velacor::graph {

double TimeToX(std::uint32_t t, const ZoomView& view, const PlotArea& plot) {
    if (view.tmax <= view.tmin)
        return plot.left;
    const double offset = static_cast<double>(t) - static_cast<double>(view.tmin);
    return plot.left + offset / static_cast<double>(view.tmax - view.tmin) * plot.Width();
}

double ValueToY(double v, const ZoomView& view, const PlotArea& plot) {
    if (!(view.vmax > view.vmin))
        return plot.bottom;
    return plot.bottom - (v - view.vmin) / (view.vmax - view.vmin) * plot.Height();
}

ValueSteps ComputeValueSteps(double vmin, double vmax, int plotHeight) {
    ValueSteps s;
    // Fewer than two label spaces would divide by zero: such a plot gets one step per span.
    const int spaces = std::max(1, plotHeight / VALUE_LABEL_SPACING - 1);
    s.rawStep = (vmax - vmin) / spaces;
    const double p = std::pow(10.0, std::ceil(std::log10(s.rawStep) - 1));
    s.step = std::ceil(s.rawStep / p) * p;
    if (!std::isfinite(s.step) || s.step <= 0) {
        // A span of zero width (one value) gets one label at that value.
        s.step = 0;
        s.first = s.last = vmin;
        s.count = std::isfinite(vmin) ? 1 : 0;
    } else {
        s.first = std::ceil(vmin / s.step) * s.step;
        s.last = std::floor(vmax / s.step) * s.step;
        s.count = std::max(0, static_cast<int>(std::floor((s.last - s.first) / s.step + 0.5)) + 1);
    }
    s.format = s.last < 10 ? "%.2f" : s.last < 100 ? "%.1f" : "%.0f";
    return s;
}

std::vector<AxisLabel> ValueLabels(const ZoomView& view, const PlotArea& plot) {
    const ValueSteps s = ComputeValueSteps(view.vmin, view.vmax, plot.Height());
    std::vector<AxisLabel> labels;
    labels.reserve(static_cast<std::size_t>(s.count));
    // Multiples of the step counted from zero, so that a label near zero never reads "-0.00".
    const double firstMultiple = s.step > 0 ? std::round(s.first / s.step) : 0.0;
    for (int i = 0; i < s.count; ++i) {
        const double value = s.step > 0 ? (firstMultiple + i) * s.step : s.first;
        labels.push_back({ValueToY(value, view, plot), base::StrPrintf(s.format, value)});
    }
    return labels;
}

std::vector<AxisLabel> TimeLabels(const ZoomView& view, const PlotArea& plot) {
    std::vector<AxisLabel> labels;
    if (plot.Width() <= 0)
        return labels;
    const double span = view.tmax > view.tmin ? static_cast<double>(view.tmax - view.tmin) : 0.0;
    const int end = span > 0 ? plot.Width() : 1;
    for (int offset = 0; offset < end; offset += TIME_LABEL_SPACING) {
        const auto t = static_cast<std::uint32_t>(view.tmin + static_cast<double>(offset) /
                                                                  plot.Width() * span);
        const base::UtcDateTime utc = base::ToUtc(t);
        labels.push_back(
            {static_cast<double>(plot.left + offset),
             base::StrPrintf("%02d/%02d %02d:%02d", utc.day, utc.month, utc.hour, utc.minute)});
    }
    return labels;
}

int TimeLabelLeft(double position, int width, int clientWidth) {
    const int centred = static_cast<int>(std::lround(position - width / 2.0));
    const int inside = FRAME_PEN_WIDTH + 1;
    return std::max(inside, std::min(centred, clientWidth - inside - width));
}

std::string SelectedPointText(std::uint32_t time, double value) {
    const base::UtcDateTime utc = base::ToUtc(time);
    return base::StrPrintf("timestamp=%02d/%02d/%d %02d:%02d:%02d, value=%.2f", utc.day, utc.month,
                           utc.year, utc.hour, utc.minute, utc.second, value);
}

std::array<Segment, 3> DragMarker(PixelPoint start, PixelPoint current) {
    constexpr int HALF = DRAG_TICK_LENGTH / 2;
    if (IsTimeDrag(start, current)) {
        const int y = start.y;
        return {{{{start.x, y}, {current.x, y}},
                 {{start.x, y - HALF}, {start.x, y + HALF}},
                 {{current.x, y - HALF}, {current.x, y + HALF}}}};
    }
    const int x = start.x;
    return {{{{x, start.y}, {x, current.y}},
             {{x - HALF, start.y}, {x + HALF, start.y}},
             {{x - HALF, current.y}, {x + HALF, current.y}}}};
}

}  // namespace velacor::graph
