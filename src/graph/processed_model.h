// The processed graph's data: the newest 400 points, the zoom levels, the chemistry preset
// and the selected point. Plain data and rules; the widget draws from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "graph/plot_area.h"
#include "graph/processed_layout.h"
#include "graph/zoom_stack.h"

namespace velacor::graph {

inline constexpr std::size_t MAX_GRAPH_POINTS = 400;
inline constexpr double PICK_RADIUS = 10.0;  // a click selects a point closer than this

// Axis title and preset value span of a chemistry type (ChemistryConfig's chemistryType).
struct ChemistryPreset {
    const char* axisTitle;
    double vmin;
    double vmax;
};
// Types beyond the table get type 0's "value" and 0 to 100.
const ChemistryPreset& PresetFor(int chemistryType);

struct GraphPoint {
    std::uint32_t time = 0;  // seconds since 1970, UTC
    double value = 0;
    // Where the last drawing put it; `drawn` is false when it lay outside the view.
    double x = 0;
    double y = 0;
    bool drawn = false;
};

class ProcessedModel {
  public:
    ProcessedModel();

    // Adds a result. The table keeps the newest 400: a 401st drops the oldest (and the
    // selection, if that was the one). The spans keep what they have taken in. Values that are
    // not finite numbers are not plotted. False when the point was not taken.
    bool AddPoint(std::uint32_t time, double value);
    // Level 0's value span becomes the type's preset, widened to the values seen so far.
    void SetChemistry(int chemistryType);
    // Back to level 0 with no point selected; the points stay.
    void ResetView();

    // Places every point for the current view on `plot` (what the widget draws).
    void PlacePoints(const PlotArea& plot);
    // Selects the drawn point nearest to `click`, if it is closer than 10 pixels; otherwise
    // nothing is selected. Uses the positions of the last PlacePoints.
    void SelectAt(PixelPoint click);
    ZoomResult EndDrag(PixelPoint start, PixelPoint end, const PlotArea& plot) {
        return m_zoom.PushDrag(start, end, plot);
    }
    bool Back() { return m_zoom.Pop(); }

    std::size_t Count() const { return m_count; }
    // Point `i` in the order they came, 0 the oldest held.
    const GraphPoint& At(std::size_t i) const { return m_points[Slot(i)]; }
    std::optional<std::size_t> Selected() const { return m_selected; }
    const ZoomStack& Zoom() const { return m_zoom; }
    const ZoomView& View() const { return m_zoom.Current(); }
    int ChemistryType() const { return m_chemistryType; }
    const char* AxisTitle() const { return PresetFor(m_chemistryType).axisTitle; }
    // The smallest and largest value taken in since the start (only with at least one point).
    double OverallMin() const { return m_overallMin; }
    double OverallMax() const { return m_overallMax; }
    bool HasTakenPoints() const { return m_taken; }

  private:
    std::size_t Slot(std::size_t i) const { return (m_start + i) % MAX_GRAPH_POINTS; }

    std::array<GraphPoint, MAX_GRAPH_POINTS> m_points{};
    std::size_t m_start = 0;
    std::size_t m_count = 0;
    ZoomStack m_zoom;
    bool m_taken = false;
    double m_overallMin = 0;
    double m_overallMax = 0;
    std::optional<std::size_t> m_selected;
    int m_chemistryType = 0;
};

}  // namespace velacor::graph
