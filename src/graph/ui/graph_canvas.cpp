#include "graph/ui/graph_canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

namespace velacor::graph::ui {

QFont GraphFont() {
    QFont font(QString::fromLatin1(FONT_FAMILY));
    // Font matching falls back on the style hint when the family is not installed.
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(FONT_PIXEL_SIZE);
    font.setWeight(static_cast<QFont::Weight>(FONT_WEIGHT));
    return font;
}

GraphCanvas::GraphCanvas(QWidget* parent) : QWidget(parent), m_font(GraphFont()) {
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphCanvas::SetCanvasSize(QSize size) {
    m_fixedSize = size;
}

QSize GraphCanvas::CanvasSize() const {
    if (!m_fixedSize.isEmpty())
        return m_fixedSize;
    if (const QScreen* s = screen())
        return s->size();
    return size();
}

QSize GraphCanvas::ClientSize() const {
    return size().boundedTo(CanvasSize());
}

void GraphCanvas::Render() {
    const QSize canvasSize = CanvasSize();
    if (m_canvas.size() != canvasSize)
        m_canvas = QImage(canvasSize, QImage::Format_RGB32);
    if (m_canvas.isNull())
        return;
    {
        QPainter painter(&m_canvas);
        painter.setFont(m_font);
        painter.setBackgroundMode(Qt::TransparentMode);
        DrawGraph(painter, ClientSize());
    }
    update();
}

void GraphCanvas::DrawFrame(QPainter& painter, QSize client) {
    // The 2-pixel pen's stroke, as four strips along the inside of the client edges.
    const QColor colour = ToQColor(FRAME_COLOUR);
    const int w = client.width();
    const int h = client.height();
    const int t = FRAME_PEN_WIDTH;
    painter.fillRect(0, 0, w, t, colour);
    painter.fillRect(0, h - t, w, t, colour);
    painter.fillRect(0, 0, t, h, colour);
    painter.fillRect(w - t, 0, t, h, colour);
}

void GraphCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    // Beyond the screen-sized image (a control larger than the screen) stays plain.
    if (!m_canvas.rect().contains(area))
        painter.fillRect(area, palette().window());
    if (!m_canvas.isNull())
        painter.drawImage(area.topLeft(), m_canvas, area);
}

void GraphCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Render();
}

void GraphCanvas::DrawAxisEndTitle(QPainter& painter, QSize client, int axisEndX, int axisY,
                                   const QString& title) {
    const int width = painter.fontMetrics().horizontalAdvance(title);
    const int height = painter.fontMetrics().height();
    if (axisEndX + 4 + width <= client.width() - 2) {
        painter.drawText(QRect(axisEndX + 4, axisY - height / 2, width + 2, height),
                         Qt::AlignLeft | Qt::AlignVCenter, title);
    } else {
        painter.drawText(QRect(client.width() - 4 - width, axisY - height - 2, width + 2, height),
                         Qt::AlignLeft | Qt::AlignVCenter, title);
    }
}

}  // namespace velacor::graph::ui
