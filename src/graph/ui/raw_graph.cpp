#include "graph/ui/raw_graph.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "graph/raw_layout.h"
#include "widgets/text.h"

namespace velacor::graph::ui {
namespace {

constexpr int TEXT_BOX_HEIGHT = 18;
constexpr int COUNTER_BOX_WIDTH = 120;

// The pixel row of a raw value.
int TraceY(std::uint16_t raw, const PlotArea& plot) {
    return static_cast<int>(std::lround(RawValueY(raw, plot)));
}

PixelPoint ToPixel(const QPointF& p) {
    return {static_cast<int>(p.x()), static_cast<int>(p.y())};
}

// A text centred horizontally on `x`, its box's top at `top`.
void DrawCentred(QPainter& painter, int x, int top, const QString& text) {
    painter.drawText(QRect(x - COUNTER_BOX_WIDTH / 2, top, COUNTER_BOX_WIDTH, TEXT_BOX_HEIGHT),
                     Qt::AlignHCenter | Qt::AlignTop, text);
}

}  // namespace

RawGraph::RawGraph(SampleSource source, QWidget* parent)
    : GraphCanvas(parent), m_source(std::move(source)) {}

void RawGraph::Redraw() {
    // Enough samples for the widest plot the image allows, so that resizing can draw again
    // without reading the history.
    const QSize canvas = CanvasSize();
    const PlotArea widest = RawPlotArea(canvas.width(), canvas.height());
    m_source(static_cast<std::size_t>(std::max(0, widest.Width())), m_samples);
    Render();
}

void RawGraph::SetChannelShown(int channel, bool shown) {
    if (channel < 0 || channel >= CHANNELS)
        return;
    m_channelShown[static_cast<std::size_t>(channel)] = shown;
    RenderIfShown();
}

void RawGraph::RenderIfShown() {
    // A hidden control draws when it is resized on its way to the screen.
    if (isVisible())
        Render();
}

bool RawGraph::ChannelShown(int channel) const {
    return channel >= 0 && channel < CHANNELS && m_channelShown[static_cast<std::size_t>(channel)];
}

void RawGraph::SetPlatformDataShown(bool shown) {
    m_platformShown = shown;
    RenderIfShown();
}

void RawGraph::SetThermistorsShown(bool shown) {
    m_thermistorsShown = shown;
    RenderIfShown();
}

const protocol::SampleRecord& RawGraph::ColumnSample(int column, int columns) const {
    return m_samples[m_samples.size() - 1 - RawColumnAge(column, columns)];
}

void RawGraph::DrawGraph(QPainter& painter, QSize client) {
    painter.fillRect(QRect(QPoint(0, 0), client), ToQColor(RAW_BACKGROUND));
    const PlotArea plot = RawPlotArea(client.width(), client.height());
    if (plot.TooSmall())
        return;
    DrawFrame(painter, client);
    const int columns = RawColumnCount(plot, m_samples.size());
    DrawLabels(painter, client, plot, columns);
    DrawTraces(painter, plot, columns);
    DrawTexts(painter, client, plot, columns);
}

void RawGraph::DrawLabels(QPainter& painter, QSize client, const PlotArea& plot, int columns) {
    const int axisY = client.height() - RAW_AXIS_OFFSET;
    painter.setPen(Qt::white);
    painter.drawLine(RAW_AXIS_OFFSET, plot.top, RAW_AXIS_OFFSET, axisY);
    painter.drawLine(RAW_AXIS_OFFSET, axisY, plot.right, axisY);

    for (const VoltLabel& label : RawVoltLabels(plot)) {
        painter.drawText(
            QRectF(0, label.y - TEXT_BOX_HEIGHT / 2.0, RAW_AXIS_OFFSET - 4, TEXT_BOX_HEIGHT),
            Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(label.text));
    }
    painter.drawText(QRect(5, 5, RAW_MARGIN * 2, TEXT_BOX_HEIGHT), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("volt"));
    // Right of the axis's end when it fits the margin, else just above that end: a 15-pixel
    // "counter" is wider than the margin.
    DrawAxisEndTitle(painter, client, plot.right, axisY, QStringLiteral("counter"));

    const CounterColumns labelled = RawCounterColumns(columns);
    for (const std::optional<int>& column : {labelled.first, labelled.last}) {
        if (!column)
            continue;
        const int x = RawColumnX(plot, *column);
        const protocol::SampleRecord& sample = ColumnSample(*column, columns);
        painter.drawLine(x, axisY, x, axisY + RAW_TICK_LENGTH);
        const int top = axisY + RAW_TICK_LENGTH;
        DrawCentred(painter, x, top, widgets::FromUtf8(RawCounterText(sample)));
        if (column == labelled.last)
            DrawCentred(painter, x, top + TEXT_BOX_HEIGHT, widgets::FromUtf8(RawStateText(sample)));
    }
}

void RawGraph::DrawTraces(QPainter& painter, const PlotArea& plot, int columns) {
    if (columns < 2)
        return;
    // Separate segments, not one polyline: the raster engine strokes a long 2-pixel polyline
    // as a single path, many times slower than the same segments on their own.
    const std::size_t first = m_samples.size() - static_cast<std::size_t>(columns);
    for (int channel = 0; channel < CHANNELS; ++channel) {
        const auto c = static_cast<std::size_t>(channel);
        if (!m_channelShown[c])
            continue;
        m_lines.clear();
        QPoint previous(RawColumnX(plot, 0), TraceY(m_samples[first].channel[c], plot));
        for (int column = 1; column < columns; ++column) {
            const QPoint next(RawColumnX(plot, column),
                              TraceY(m_samples[first + column].channel[c], plot));
            m_lines.emplace_back(previous, next);
            previous = next;
        }
        painter.setPen(QPen(ToQColor(CHANNEL_COLOURS[c]), RAW_TRACE_PEN_WIDTH));
        painter.drawLines(m_lines.data(), static_cast<int>(m_lines.size()));
    }
}

void RawGraph::DrawTexts(QPainter& painter, QSize client, const PlotArea& plot, int columns) {
    painter.setPen(Qt::white);
    if (m_mouse) {
        if (const std::optional<int> column = RawColumnAt(*m_mouse, plot, columns)) {
            painter.drawText(
                QRect(m_mouse->x - COUNTER_BOX_WIDTH / 2, m_mouse->y - TEXT_BOX_HEIGHT - 2,
                      COUNTER_BOX_WIDTH, TEXT_BOX_HEIGHT),
                Qt::AlignHCenter | Qt::AlignBottom,
                widgets::FromUtf8(RawStateText(ColumnSample(*column, columns))));
        }
    }
    const int textWidth = client.width() - plot.left;
    if (m_platformShown) {
        painter.drawText(QRect(plot.left, 8, textWidth, TEXT_BOX_HEIGHT),
                         Qt::AlignLeft | Qt::AlignTop,
                         widgets::FromUtf8(PlatformDataText(m_platform)));
    }
    if (m_thermistorsShown && !m_samples.empty()) {
        painter.drawText(QRect(plot.left, RAW_THERMISTOR_TEXT_TOP, textWidth, TEXT_BOX_HEIGHT),
                         Qt::AlignLeft | Qt::AlignTop,
                         widgets::FromUtf8(ThermistorText(m_thermistors, m_samples.back())));
    }
}

void RawGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_mouse = ToPixel(event->position());
    Render();
}

void RawGraph::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !m_mouse)
        return;
    m_mouse = ToPixel(event->position());
    Render();
}

void RawGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_mouse.reset();
    Render();
}

}  // namespace velacor::graph::ui
