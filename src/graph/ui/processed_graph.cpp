#include "graph/ui/processed_graph.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "graph/processed_layout.h"
#include "graph/zoom_stack.h"
#include "widgets/post.h"
#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::graph::ui {
namespace {

constexpr int TEXT_BOX_HEIGHT = 18;
constexpr Rgb SELECTION_COLOUR{255, 0, 0};

PixelPoint ToPixel(const QPoint& p) {
    return {p.x(), p.y()};
}

QPoint ToQPoint(PixelPoint p) {
    return {p.x, p.y};
}

}  // namespace

ProcessedGraph::ProcessedGraph(widgets::Prompter& prompter, QWidget* parent)
    : GraphCanvas(parent), m_prompter(prompter) {}

void ProcessedGraph::AddPoint(std::uint32_t time, double value) {
    if (!m_model.AddPoint(time, value) || m_redrawQueued)
        return;
    m_redrawQueued = true;
    widgets::PostTo(this, [this] { Redraw(); });
}

void ProcessedGraph::Redraw() {
    m_redrawQueued = false;
    Render();
}

void ProcessedGraph::SetChemistry(int chemistryType) {
    m_model.SetChemistry(chemistryType);
    Redraw();
}

void ProcessedGraph::ResetView() {
    m_model.ResetView();
    Redraw();
}

PlotArea ProcessedGraph::CurrentPlot() const {
    const QSize client = ClientSize();
    return ProcessedPlotArea(client.width(), client.height());
}

void ProcessedGraph::DrawGraph(QPainter& painter, QSize client) {
    painter.fillRect(QRect(QPoint(0, 0), client), ToQColor(PROCESSED_BACKGROUND));
    const PlotArea plot = ProcessedPlotArea(client.width(), client.height());
    m_model.PlacePoints(plot);
    if (plot.TooSmall())
        return;
    DrawFrame(painter, client);
    DrawAxes(painter, client, plot);
    DrawPoints(painter, client);
    if (m_dragging) {
        painter.setPen(Qt::white);
        for (const Segment& s : DragMarker(m_dragStart, m_dragCurrent))
            painter.drawLine(ToQPoint(s.from), ToQPoint(s.to));
    }
}

void ProcessedGraph::DrawAxes(QPainter& painter, QSize client, const PlotArea& plot) {
    const int axisY = client.height() - PROCESSED_AXIS_OFFSET;
    painter.setPen(Qt::white);
    painter.drawLine(PROCESSED_AXIS_OFFSET, plot.top, PROCESSED_AXIS_OFFSET, axisY);
    painter.drawLine(PROCESSED_AXIS_OFFSET, axisY, plot.right, axisY);

    const ZoomView& view = m_model.View();
    for (const AxisLabel& label : ValueLabels(view, plot)) {
        painter.drawText(
            QRectF(0, label.position - TEXT_BOX_HEIGHT / 2.0, VALUE_LABEL_MARGIN, TEXT_BOX_HEIGHT),
            Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(label.text));
    }
    painter.drawText(QRect(5, 3, client.width() - 10, TEXT_BOX_HEIGHT),
                     Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(m_model.AxisTitle()));
    for (const AxisLabel& label : TimeLabels(view, plot)) {
        const QString text = QString::fromLatin1(label.text);
        const int width = painter.fontMetrics().horizontalAdvance(text) + 2;
        painter.drawText(QRect(TimeLabelLeft(label.position, width, client.width()), axisY + 3,
                               width, TEXT_BOX_HEIGHT),
                         Qt::AlignHCenter | Qt::AlignTop, text);
    }
    DrawAxisEndTitle(painter, client, plot.right, axisY, QStringLiteral("time"));
}

void ProcessedGraph::DrawPoints(QPainter& painter, QSize client) {
    constexpr double RADIUS = POINT_DIAMETER / 2.0;
    painter.setPen(Qt::white);
    painter.setBrush(Qt::white);
    for (std::size_t i = 0; i < m_model.Count(); ++i) {
        const GraphPoint& p = m_model.At(i);
        if (p.drawn)
            painter.drawEllipse(QPointF(p.x, p.y), RADIUS, RADIUS);
    }
    painter.setBrush(Qt::NoBrush);

    const std::optional<std::size_t> selected = m_model.Selected();
    if (!selected || !m_model.At(*selected).drawn)
        return;
    const GraphPoint& p = m_model.At(*selected);
    constexpr double ARM = SELECTION_CROSS_SIZE / 2.0;
    painter.setPen(QPen(ToQColor(SELECTION_COLOUR), 2));
    painter.drawLine(QPointF(p.x - ARM, p.y), QPointF(p.x + ARM, p.y));
    painter.drawLine(QPointF(p.x, p.y - ARM), QPointF(p.x, p.y + ARM));
    painter.setPen(ToQColor(SELECTION_COLOUR));
    painter.drawEllipse(QPointF(p.x, p.y), ARM, ARM);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, client.width(), PROCESSED_MARGIN), Qt::AlignCenter,
                     widgets::FromUtf8(SelectedPointText(p.time, p.value)));
}

void ProcessedGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (!m_dragging && m_model.Back())
            Redraw();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_leftDown = true;
    m_dragging = false;
    m_pressPosition = event->position().toPoint();
}

void ProcessedGraph::mouseMoveEvent(QMouseEvent* event) {
    if (!m_leftDown || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint position = event->position().toPoint();
    const PlotArea plot = CurrentPlot();
    // The mouse moved far enough with the button down: a drag, not a click. While the button
    // is down the control keeps the mouse, and the marker stays inside the plot.
    if (!m_dragging &&
        (position - m_pressPosition).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        m_dragStart = ClampToPlot(ToPixel(m_pressPosition), plot);
    }
    if (!m_dragging)
        return;
    m_dragCurrent = ClampToPlot(ToPixel(position), plot);
    Render();
}

void ProcessedGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_leftDown)
        return;
    m_leftDown = false;
    if (!m_dragging) {
        m_model.SelectAt(ToPixel(m_pressPosition));
        Redraw();
        return;
    }
    m_dragging = false;
    const PlotArea plot = CurrentPlot();
    m_dragCurrent = ClampToPlot(ToPixel(event->position().toPoint()), plot);
    const ZoomResult result = m_model.EndDrag(m_dragStart, m_dragCurrent, plot);
    Redraw();
    if (result == ZoomResult::MaxZoom) {
        m_prompter.Inform(QString::fromLatin1(MAX_ZOOM_CAPTION),
                          widgets::FromUtf8(MaxZoomMessage()));
    }
}

}  // namespace velacor::graph::ui
