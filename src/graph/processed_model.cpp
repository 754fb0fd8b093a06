#include "graph/processed_model.h"

#include <algorithm>
#include <cmath>

namespace velacor::graph {
namespace {

constexpr std::array<ChemistryPreset, 10> PRESETS = {{
    {"value", 0, 100},
    {"Nitrate (uM)", 0, 500},
    {"Phosphate (uM)", 0, 5},
    {"Silicate (uM)", 0, 300},
    {"pH", 7.5, 8.5},
    {"Nitrite (uM)", 0, 500},
    {"Iron (uM)", 0, 500},
    {"TA (umol/kg)", 0, 500},
    {"DIC (umol/kg)", 0, 500},
    {"Ammonia (?\?\?)", 0, 5},  // "???", escaped so that no compiler reads a trigraph
}};

void WidenValues(ZoomView& view, double v) {
    view.vmin = std::min(view.vmin, v);
    view.vmax = std::max(view.vmax, v);
}

}  // namespace

const ChemistryPreset& PresetFor(int chemistryType) {
    if (chemistryType < 0 || chemistryType >= static_cast<int>(PRESETS.size()))
        return PRESETS[0];
    return PRESETS[static_cast<std::size_t>(chemistryType)];
}

ProcessedModel::ProcessedModel() {
    SetChemistry(0);
}

bool ProcessedModel::AddPoint(std::uint32_t time, double value) {
    if (!std::isfinite(value))
        return false;
    ZoomView& full = m_zoom.Full();
    if (!m_taken) {
        full.tmin = full.tmax = time;
        m_overallMin = m_overallMax = value;
        m_taken = true;
    }
    m_overallMin = std::min(m_overallMin, value);
    m_overallMax = std::max(m_overallMax, value);

    // A zoomed view that ends at the newest data follows it.
    ZoomView& current = m_zoom.Current();
    if (m_zoom.Level() >= 1 && current.tmax == full.tmax && time > full.tmax) {
        if (current.tmin == full.tmin) {
            current.tmax = time;
        } else {
            const std::uint32_t shift = time - full.tmax;
            current.tmin += shift;
            current.tmax += shift;
        }
        WidenValues(current, value);
    }

    full.tmin = std::min(full.tmin, time);
    full.tmax = std::max(full.tmax, time);
    WidenValues(full, value);

    if (m_count == MAX_GRAPH_POINTS) {
        m_start = (m_start + 1) % MAX_GRAPH_POINTS;
        --m_count;
        if (m_selected)
            m_selected = *m_selected == 0 ? std::nullopt : std::optional(*m_selected - 1);
    }
    m_points[Slot(m_count)] = {time, value, 0, 0, false};
    ++m_count;
    return true;
}

void ProcessedModel::SetChemistry(int chemistryType) {
    m_chemistryType = chemistryType;
    const ChemistryPreset& preset = PresetFor(chemistryType);
    ZoomView& full = m_zoom.Full();
    full.vmin = preset.vmin;
    full.vmax = preset.vmax;
    if (m_taken) {
        WidenValues(full, m_overallMin);
        WidenValues(full, m_overallMax);
    }
}

void ProcessedModel::ResetView() {
    m_zoom.Reset();
    m_selected.reset();
}

void ProcessedModel::PlacePoints(const PlotArea& plot) {
    const ZoomView& view = m_zoom.Current();
    for (std::size_t i = 0; i < m_count; ++i) {
        GraphPoint& p = m_points[Slot(i)];
        p.drawn = !plot.TooSmall() && view.Contains(p.time, p.value);
        p.x = TimeToX(p.time, view, plot);
        p.y = ValueToY(p.value, view, plot);
    }
}

void ProcessedModel::SelectAt(PixelPoint click) {
    m_selected.reset();
    double best = PICK_RADIUS;
    for (std::size_t i = 0; i < m_count; ++i) {
        const GraphPoint& p = At(i);
        if (!p.drawn)
            continue;
        const double distance = std::hypot(p.x - click.x, p.y - click.y);
        if (distance < best) {
            best = distance;
            m_selected = i;
        }
    }
}

}  // namespace velacor::graph
