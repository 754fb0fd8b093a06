#include "graph/zoom_stack.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "base/str_printf.h"

namespace velacor::graph {

std::string MaxZoomMessage() {
    return base::StrPrintf(MAX_ZOOM_FORMAT, MAX_ZOOM_LEVEL);
}

ZoomResult ZoomStack::PushDrag(PixelPoint start, PixelPoint end, const PlotArea& plot) {
    start = ClampToPlot(start, plot);
    end = ClampToPlot(end, plot);
    if (std::abs(end.x - start.x) < MIN_ZOOM_DRAG && std::abs(end.y - start.y) < MIN_ZOOM_DRAG)
        return ZoomResult::Ignored;
    if (plot.TooSmall())
        return ZoomResult::Ignored;
    if (m_level >= MAX_ZOOM_LEVEL)
        return ZoomResult::MaxZoom;

    ZoomView next = Current();
    // Both ends narrow the span as it was before the drag.
    if (IsTimeDrag(start, end)) {
        const auto [x1, x2] = std::minmax(start.x, end.x);
        const double span = static_cast<double>(next.tmax - next.tmin);
        const double width = plot.Width();
        const auto grow = static_cast<std::uint32_t>(std::trunc((x1 - plot.left) / width * span));
        const auto shrink =
            static_cast<std::uint32_t>(std::trunc((plot.right - x2) / width * span));
        next.tmin += grow;
        next.tmax -= shrink;
    } else {
        const auto [y1, y2] = std::minmax(start.y, end.y);
        const double span = next.vmax - next.vmin;
        const double height = plot.Height() + 1;
        const double shrink = (y1 - plot.top) / height * span;
        const double grow = (plot.bottom - y2) / height * span;
        next.vmax -= shrink;
        next.vmin += grow;
    }
    ++m_level;
    Current() = next;
    return ZoomResult::Pushed;
}

bool ZoomStack::Pop() {
    if (m_level == 0)
        return false;
    --m_level;
    return true;
}

}  // namespace velacor::graph
