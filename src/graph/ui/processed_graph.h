// The processed graph control: the sensor's results as points against time, with the value
// axis of the chemistry. A left drag zooms into the time span (drag wider than tall) or the
// value span (otherwise), up to ten levels; the right button goes back one level; a click
// selects the nearest point within 10 pixels and shows its time and value.
//
// Threads: GUI thread only. A view's worker hands points over with queued calls.
#pragma once

#include <QPoint>

#include <cstdint>

#include "graph/processed_model.h"
#include "graph/ui/graph_canvas.h"

namespace velacor::widgets {
class Prompter;
}

namespace velacor::graph::ui {

class ProcessedGraph final : public GraphCanvas {
    Q_OBJECT
  public:
    // `prompter` shows the "Max zoom" message and must outlive the control.
    explicit ProcessedGraph(widgets::Prompter& prompter, QWidget* parent = nullptr);

    // Adds a point (time in seconds since 1970, UTC) and asks for a redraw; a burst of points
    // is drawn once, when control returns to the event loop.
    void AddPoint(std::uint32_t time, double value);
    void Redraw();
    // The axis title and preset value span of a chemistry type (ChemistryConfig's type byte).
    void SetChemistry(int chemistryType);
    // Back to the full view with no point selected; the points stay.
    void ResetView();

    const ProcessedModel& Model() const { return m_model; }

  protected:
    void DrawGraph(QPainter& painter, QSize client) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void DrawAxes(QPainter& painter, QSize client, const PlotArea& plot);
    void DrawPoints(QPainter& painter, QSize client);
    PlotArea CurrentPlot() const;

    widgets::Prompter& m_prompter;
    ProcessedModel m_model;
    bool m_redrawQueued = false;
    bool m_leftDown = false;
    QPoint m_pressPosition;
    bool m_dragging = false;
    PixelPoint m_dragStart;
    PixelPoint m_dragCurrent;
};

}  // namespace velacor::graph::ui
