#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "graph/raw_layout.h"
#include "graph/ui/processed_graph.h"
#include "graph/ui/raw_graph.h"
#include "graph/zoom_stack.h"
#include "widgets/scripted_prompter.h"

namespace velacor::graph::ui {
namespace {

const QColor RED(255, 0, 0);

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Drag(QWidget* widget, QPoint from, QPoint to) {
    SendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// True when a pixel of column `x` within a pixel of `y` has `colour` (the 2-pixel pen
// straddles the line).
bool ColourNear(const QImage& image, int x, int y, QColor colour) {
    for (int row = y - 2; row <= y + 1; ++row) {
        if (image.pixelColor(x, row) == colour)
            return true;
    }
    return false;
}

TEST(RawGraphWidget, DrawsOneColumnPerSampleFromThePlotsLeftEdge) {
    std::vector<protocol::SampleRecord> samples;
    for (std::uint32_t i = 0; i < 100; ++i) {
        protocol::SampleRecord sample;
        sample.counter = i;
        sample.channel[0] = 32768;  // 2.5 V: half way up
        sample.channel[1] = 65535;
        samples.push_back(sample);
    }
    RawGraph graph([&samples](std::size_t n, std::vector<protocol::SampleRecord>& out) {
        const std::size_t count = std::min(n, samples.size());
        out.assign(samples.end() - static_cast<std::ptrdiff_t>(count), samples.end());
    });
    graph.resize(600, 400);
    graph.SetChannelShown(0, true);
    graph.Redraw();

    const QImage& image = graph.Canvas();
    ASSERT_GE(image.width(), 600);
    const PlotArea plot = RawPlotArea(600, 400);
    const int y = static_cast<int>(RawValueY(32768, plot));
    EXPECT_TRUE(ColourNear(image, plot.left + 1, y, RED));
    EXPECT_TRUE(ColourNear(image, plot.left + 98, y, RED));
    EXPECT_FALSE(ColourNear(image, plot.left + 110, y, RED));  // 100 columns only
    // Channel 1 is not ticked: no green at its height.
    EXPECT_FALSE(ColourNear(image, plot.left + 50, static_cast<int>(RawValueY(65535, plot)) + 1,
                            QColor(0, 255, 0)));
}

TEST(ProcessedGraphWidget, DrawsPointsSelectsAndStopsZoomingAtLevelTen) {
    widgets::testing::ScriptedPrompter prompter;
    ProcessedGraph graph(prompter);
    graph.resize(600, 400);  // plot (40, 40) to (560, 360)
    graph.SetChemistry(1);   // 0 to 500
    graph.AddPoint(1000, 100);
    graph.AddPoint(2000, 400);
    graph.Redraw();

    const QPoint newest(560, 360 - 256);
    EXPECT_EQ(graph.Canvas().pixelColor(newest), QColor(255, 255, 255));

    // A click beside the newest point selects it and marks it with a red cross.
    SendMouse(&graph, QEvent::MouseButtonPress, newest + QPoint(3, 3), Qt::LeftButton,
              Qt::LeftButton);
    SendMouse(&graph, QEvent::MouseButtonRelease, newest + QPoint(3, 3), Qt::LeftButton,
              Qt::NoButton);
    EXPECT_EQ(graph.Model().Selected(), 1u);
    EXPECT_TRUE(ColourNear(graph.Canvas(), newest.x() - 4, newest.y(), RED));

    for (int i = 0; i < MAX_ZOOM_LEVEL; ++i)
        Drag(&graph, {100, 200}, {500, 210});
    EXPECT_EQ(graph.Model().Zoom().Level(), MAX_ZOOM_LEVEL);
    EXPECT_TRUE(prompter.informed.empty());
    Drag(&graph, {100, 200}, {500, 210});
    ASSERT_EQ(prompter.informed.size(), 1u);
    EXPECT_EQ(prompter.informed[0],
              (widgets::testing::Shown{"Max zoom", "Max zoom number exceeded (10)"}));

    SendMouse(&graph, QEvent::MouseButtonPress, {300, 200}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(graph.Model().Zoom().Level(), MAX_ZOOM_LEVEL - 1);
}

}  // namespace
}  // namespace velacor::graph::ui
