// The common ground of both graph controls: an off-screen image the size of the screen that
// the graph is drawn into only when it is asked to redraw (or resized), and that painting only
// copies. Arrow cursor; the client area drawn is limited to the image's size.
//
// Threads: GUI thread only, like every widget.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

#include "graph/plot_area.h"
#include "widgets/colours.h"

namespace velacor::graph::ui {

using widgets::ToQColor;

// Arial 15 pixels high, weight 500; the default sans-serif font where Arial is missing.
QFont GraphFont();

class GraphCanvas : public QWidget {
    Q_OBJECT
  public:
    // The last drawing.
    const QImage& Canvas() const { return m_canvas; }
    // Draws into an image of `size` instead of the screen's size (benchmarks and tests, which
    // run on a virtual screen). An empty size goes back to the screen's.
    void SetCanvasSize(QSize size);

  protected:
    explicit GraphCanvas(QWidget* parent);

    // Draws the graph into the image and schedules a paint.
    void Render();
    // Draws everything for a client area of `client` (never larger than the image).
    virtual void DrawGraph(QPainter& painter, QSize client) = 0;
    // The client area the next drawing covers.
    QSize ClientSize() const;
    QSize CanvasSize() const;
    // The grey frame round the client area.
    static void DrawFrame(QPainter& painter, QSize client);
    // The X axis's title at its right end: beside it when the margin is wide enough, else just
    // above it, ending at the client's edge.
    static void DrawAxisEndTitle(QPainter& painter, QSize client, int axisEndX, int axisY,
                                 const QString& title);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QImage m_canvas;
    QSize m_fixedSize;
    QFont m_font;
};

}  // namespace velacor::graph::ui
