// The processed graph's zoom levels: level 0 is the full view, each drag pushes a narrower
// copy of the current view, up to level 10; the right button goes back one level.
#pragma once

#include <array>
#include <string>

#include "graph/plot_area.h"
#include "graph/processed_layout.h"

namespace velacor::graph {

inline constexpr int MAX_ZOOM_LEVEL = 10;
inline constexpr int MIN_ZOOM_DRAG = 3;  // a drag shorter than this both ways does nothing
inline constexpr const char* MAX_ZOOM_CAPTION = "Max zoom";
inline constexpr const char* MAX_ZOOM_FORMAT = "Max zoom number exceeded (%d)";
// The message shown when a drag would go past level 10.
std::string MaxZoomMessage();

enum class ZoomResult {
    Ignored,  // the drag was too short, or the plot too small to zoom in
    Pushed,   // a new level is current
    MaxZoom,  // already at level 10: show MaxZoomMessage(), the view stays
};

class ZoomStack {
  public:
    int Level() const { return m_level; }
    const ZoomView& Full() const { return m_views[0]; }
    ZoomView& Full() { return m_views[0]; }
    const ZoomView& Current() const { return m_views[static_cast<std::size_t>(m_level)]; }
    ZoomView& Current() { return m_views[static_cast<std::size_t>(m_level)]; }

    // Ends a drag from `start` to `end` (both already limited to the plot). A drag wider than
    // tall narrows the time span to the columns between its ends; any other narrows the
    // value span to the rows between its ends, the plot's height counting both edge pixels.
    ZoomResult PushDrag(PixelPoint start, PixelPoint end, const PlotArea& plot);
    // Back one level; false at level 0.
    bool Pop();
    // Back to level 0; the full view stays.
    void Reset() { m_level = 0; }

  private:
    std::array<ZoomView, MAX_ZOOM_LEVEL + 1> m_views{};
    int m_level = 0;
};

}  // namespace velacor::graph
