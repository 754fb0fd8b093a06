#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "base/utc_time.h"
#include "graph/processed_layout.h"
#include "graph/processed_model.h"
#include "graph/raw_layout.h"
#include "graph/zoom_stack.h"

namespace velacor::graph {
namespace {

// A 480 x 430 client: plot (40, 40) to (440, 390), 400 wide and 350 high.
const PlotArea PLOT = ProcessedPlotArea(480, 430);

std::vector<std::string> Texts(const std::vector<AxisLabel>& labels) {
    std::vector<std::string> texts;
    for (const AxisLabel& label : labels)
        texts.push_back(label.text);
    return texts;
}

// The value labels' texts, one space between them, of a span on a plot `height` pixels high.
std::string LabelTexts(double vmin, double vmax, int height) {
    std::string joined;
    for (const AxisLabel& label : ValueLabels({0, 0, vmin, vmax}, {40, 40, 440, 40 + height}))
        joined += (joined.empty() ? "" : " ") + label.text;
    return joined;
}

TEST(ValueLabels, NiceStepsAndAFormatForEachSpanAtTheirHeights) {
    const struct {
        double vmin, vmax;
        int height;
        const char* texts;
    } cases[] = {
        {0, 500, 350, "0 60 120 180 240 300 360 420 480"},
        {0, 50, 350, "0.0 6.0 12.0 18.0 24.0 30.0 36.0 42.0 48.0"},
        {0, 5, 350, "0.00 0.60 1.20 1.80 2.40 3.00 3.60 4.20 4.80"},
        {7.5, 8.5, 350, "7.60 7.80 8.00 8.20 8.40"},
        // The format goes by the last label only.
        {-500, 5, 350, "-480.00 -420.00 -360.00 -300.00 -240.00 -180.00 -120.00 -60.00 0.00"},
        {0, 500, 50, "0 500"},  // under 70 pixels one label space, not a division by zero
        {7, 7, 350, "7.00"},    // one value, one label
        // Labels crossing zero read "0.00", never "-0.00".
        {-0.9, 0.9, 350, "-0.80 -0.60 -0.40 -0.20 0.00 0.20 0.40 0.60 0.80"},
        {-1.2, 1.2, 350, "-0.90 -0.60 -0.30 0.00 0.30 0.60 0.90"},
        {1.01, 1.46, 80, ""},  // a span narrower than its step holds no multiple of it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LabelTexts(c.vmin, c.vmax, c.height), c.texts)
            << c.vmin << ".." << c.vmax << " on " << c.height;
    }
    const std::vector<AxisLabel> labels = ValueLabels({0, 0, 0, 500}, PLOT);
    EXPECT_DOUBLE_EQ(labels.front().position, 390);
    EXPECT_DOUBLE_EQ(labels.back().position, 390 - 480.0 / 500 * 350);
    EXPECT_DOUBLE_EQ(ValueLabels({0, 0, 7, 7}, PLOT)[0].position, PLOT.bottom);  // not NaN
}

TEST(TimeLabels, EveryHundredPixelsInUtc) {
    const std::uint32_t t0 = base::FromUtc({2024, 3, 5, 10, 20, 0});
    const ZoomView view{t0, t0 + 4000, 0, 1};
    const std::vector<AxisLabel> labels = TimeLabels(view, PLOT);
    EXPECT_EQ(Texts(labels), (std::vector<std::string>{"05/03 10:20", "05/03 10:36", "05/03 10:53",
                                                       "05/03 11:10"}));
    EXPECT_DOUBLE_EQ(labels[1].position, 140);

    // One instant: the one label where its points are drawn, not four of the same time.
    const std::vector<AxisLabel> one = TimeLabels({t0, t0, 0, 1}, PLOT);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_DOUBLE_EQ(one[0].position, PLOT.left);

    // A label box stays inside the frame at both ends of a client 480 pixels wide.
    EXPECT_EQ(TimeLabelLeft(40, 90, 480), 3);
    EXPECT_EQ(TimeLabelLeft(240, 90, 480), 195);
    EXPECT_EQ(TimeLabelLeft(470, 90, 480), 480 - 3 - 90);
}

TEST(Overlays, SelectedPointTextAndADragMarkerAlongTheLongerDirection) {
    EXPECT_EQ(SelectedPointText(base::FromUtc({2023, 11, 2, 4, 5, 6}), 12.346),
              "timestamp=02/11/2023 04:05:06, value=12.35");
    const auto wide = DragMarker({100, 200}, {180, 230});
    EXPECT_EQ(wide[0], (Segment{{100, 200}, {180, 200}}));
    EXPECT_EQ(wide[1], (Segment{{100, 195}, {100, 205}}));
    EXPECT_EQ(wide[2], (Segment{{180, 195}, {180, 205}}));
    const auto square = DragMarker({100, 200}, {130, 170});
    EXPECT_EQ(square[0], (Segment{{100, 200}, {100, 170}}));
    EXPECT_EQ(square[2], (Segment{{95, 170}, {105, 170}}));
}

ZoomStack StackWith(const ZoomView& full) {
    ZoomStack stack;
    stack.Full() = full;
    return stack;
}

TEST(ZoomStack, DragsNarrowTheSpanAsItWasBeforeTheDrag) {
    ZoomStack time = StackWith({1000, 4000, 0, 10});
    // Right to left: the ends are ordered. 1/400 and 99/400 of 3000 s truncate to 7 and 742.
    EXPECT_EQ(time.PushDrag({341, 250}, {41, 260}, PLOT), ZoomResult::Pushed);
    EXPECT_EQ(time.Current(), (ZoomView{1007, 3258, 0, 10}));
    EXPECT_EQ(time.Full(), (ZoomView{1000, 4000, 0, 10}));

    // A square drag is a value drag. The height counts both edge pixels: 36 and 90 of 351 rows.
    ZoomStack values = StackWith({1000, 2000, 0, 351});
    const auto expectValues = [&values] {
        EXPECT_EQ(values.Current().tmin, 1000u);
        EXPECT_EQ(values.Current().tmax, 2000u);
        EXPECT_NEAR(values.Current().vmin, 90, 1e-9);
        EXPECT_NEAR(values.Current().vmax, 315, 1e-9);
    };
    EXPECT_EQ(values.PushDrag({200, 300}, {100, 76}, PLOT), ZoomResult::Pushed);
    expectValues();
    // Ends outside the plot are limited to it: the full height gives the full span back.
    EXPECT_EQ(values.PushDrag({300, 0}, {300, 1000}, PLOT), ZoomResult::Pushed);
    expectValues();
}

TEST(ZoomStack, DragsShorterThanThreePixelsBothWaysDoNothing) {
    const struct {
        int dx, dy;
        ZoomResult result;
    } cases[] = {{-2, 2, ZoomResult::Ignored},
                 {3, 0, ZoomResult::Pushed},
                 {0, -3, ZoomResult::Pushed},
                 {2, 3, ZoomResult::Pushed}};
    for (const auto& c : cases) {
        ZoomStack stack = StackWith({1000, 2000, 0, 10});
        EXPECT_EQ(stack.PushDrag({200, 200}, {200 + c.dx, 200 + c.dy}, PLOT), c.result)
            << c.dx << "," << c.dy;
        EXPECT_EQ(stack.Level(), c.result == ZoomResult::Pushed ? 1 : 0);
    }
}

TEST(ZoomStack, TheEleventhZoomIsRefusedAndBackStopsAtTheFullView) {
    ZoomStack stack = StackWith({0, 1u << 30, 0, 1e6});
    EXPECT_FALSE(stack.Pop());
    for (int i = 1; i <= MAX_ZOOM_LEVEL; ++i)
        ASSERT_EQ(stack.PushDrag({50, 100}, {430, 110}, PLOT), ZoomResult::Pushed) << i;
    const ZoomView deepest = stack.Current();
    EXPECT_EQ(stack.PushDrag({50, 100}, {430, 110}, PLOT), ZoomResult::MaxZoom);
    EXPECT_EQ(stack.Level(), MAX_ZOOM_LEVEL);
    EXPECT_EQ(stack.Current(), deepest);
    // A too-short drag at level 10 still does nothing at all.
    EXPECT_EQ(stack.PushDrag({50, 100}, {51, 101}, PLOT), ZoomResult::Ignored);
    EXPECT_TRUE(stack.Pop());
    EXPECT_EQ(stack.Level(), MAX_ZOOM_LEVEL - 1);
}

TEST(ProcessedModel, FirstPointAndPresetsSetTheFullView) {
    ProcessedModel model;
    EXPECT_STREQ(model.AxisTitle(), "value");
    EXPECT_EQ(model.View(), (ZoomView{0, 0, 0, 100}));
    model.SetChemistry(1);
    EXPECT_TRUE(model.AddPoint(5000, 620));
    EXPECT_EQ(model.View(), (ZoomView{5000, 5000, 0, 620}));
    model.PlacePoints(PLOT);  // one instant: no division by its zero span
    EXPECT_DOUBLE_EQ(model.At(0).x, PLOT.left);
    model.AddPoint(4000, -3);
    EXPECT_EQ(model.View(), (ZoomView{4000, 5000, -3, 620}));
    // The preset is widened to every value seen so far.
    model.SetChemistry(4);
    EXPECT_STREQ(model.AxisTitle(), "pH");
    EXPECT_EQ(model.View(), (ZoomView{4000, 5000, -3, 620}));
    // Values that are not numbers are not plotted and leave the spans alone.
    EXPECT_FALSE(model.AddPoint(9000, std::nan("")));
    EXPECT_FALSE(model.AddPoint(9000, INFINITY));
    EXPECT_EQ(model.Count(), 2u);

    // The last preset; types beyond the table take the first.
    ProcessedModel other;
    other.SetChemistry(9);
    EXPECT_EQ(other.View(), (ZoomView{0, 0, 0, 5}));
    for (const int type : {10, -1}) {
        other.SetChemistry(type);
        EXPECT_STREQ(other.AxisTitle(), "value") << type;
    }
}

// A model with points at 1000, 1100, ..., 1900 s, values 10..19, on a 0..100 preset.
ProcessedModel TenPoints() {
    ProcessedModel model;
    for (std::uint32_t i = 0; i < 10; ++i)
        model.AddPoint(1000 + 100 * i, 10 + i);
    return model;
}

TEST(ProcessedModel, AZoomedViewFollowsNewDataOnlyWhenItEndsAtTheNewest) {
    // The right half of the time span: the view moves right, keeping its 450 s width.
    ProcessedModel model = TenPoints();
    ASSERT_EQ(model.EndDrag({240, 200}, {440, 210}, PLOT), ZoomResult::Pushed);
    EXPECT_EQ(model.View(), (ZoomView{1450, 1900, 0, 100}));
    model.AddPoint(2100, 140);
    EXPECT_EQ(model.View(), (ZoomView{1650, 2100, 0, 140}));
    EXPECT_EQ(model.Zoom().Full(), (ZoomView{1000, 2100, 0, 140}));

    // A value zoom keeps the whole time span: its end extends to the new point.
    ProcessedModel values = TenPoints();
    ASSERT_EQ(values.EndDrag({200, 40}, {210, 250}, PLOT), ZoomResult::Pushed);
    const ZoomView before = values.View();
    values.AddPoint(2500, 1);
    EXPECT_EQ(values.View().tmin, 1000u);
    EXPECT_EQ(values.View().tmax, 2500u);
    EXPECT_EQ(values.View().vmin, 1.0);
    EXPECT_EQ(values.View().vmax, before.vmax);

    // A view inside the data stays put; so does a following one for a point no later than the
    // newest.
    ProcessedModel inside = TenPoints();
    inside.EndDrag({100, 200}, {300, 200}, PLOT);
    const ZoomView middle = inside.View();
    inside.AddPoint(3000, 500);
    EXPECT_EQ(inside.View(), middle);
    model.AddPoint(2100, 90);
    EXPECT_EQ(model.View(), (ZoomView{1650, 2100, 0, 140}));
}

TEST(ProcessedModel, The401stPointDropsTheOldest) {
    ProcessedModel model;
    for (std::uint32_t i = 0; i < MAX_GRAPH_POINTS; ++i)
        model.AddPoint(1000 + i, i);
    model.PlacePoints(PLOT);
    model.SelectAt({static_cast<int>(model.At(5).x), static_cast<int>(model.At(5).y)});
    ASSERT_EQ(model.Selected(), 5u);
    model.AddPoint(5000, 42);
    EXPECT_EQ(model.Count(), MAX_GRAPH_POINTS);
    EXPECT_EQ(model.At(0).time, 1001u);
    EXPECT_EQ(model.At(MAX_GRAPH_POINTS - 1).time, 5000u);
    EXPECT_EQ(model.Selected(), 4u);  // still the same point
    // The full view keeps what it has taken in.
    EXPECT_EQ(model.Zoom().Full().tmin, 1000u);
    for (int i = 0; i < 5; ++i)
        model.AddPoint(5001 + i, 1);
    EXPECT_EQ(model.Selected(), std::nullopt);  // the selected point itself was dropped
}

TEST(ProcessedModel, AClickPicksTheNearestDrawnPointWithinTenPixels) {
    ProcessedModel model;  // 0..100 on the 350-pixel plot
    model.AddPoint(1000, 50);
    model.AddPoint(1400, 50);  // x 40 and 440 on the 400-pixel plot
    model.AddPoint(1200, 50);  // x 240, y 215
    model.PlacePoints(PLOT);
    ASSERT_DOUBLE_EQ(model.At(2).x, 240);
    ASSERT_DOUBLE_EQ(model.At(2).y, 215);
    model.SelectAt({246, 223});  // 10 pixels away: too far
    EXPECT_EQ(model.Selected(), std::nullopt);
    model.SelectAt({246, 222});  // 9.2 pixels
    EXPECT_EQ(model.Selected(), 2u);
    model.SelectAt({43, 215});
    EXPECT_EQ(model.Selected(), 0u);
    model.SelectAt({300, 300});  // nothing near: the selection goes
    EXPECT_EQ(model.Selected(), std::nullopt);

    // Zoomed to the middle: points outside the view are not drawn and cannot be picked.
    model.EndDrag({140, 200}, {340, 200}, PLOT);
    model.PlacePoints(PLOT);
    EXPECT_FALSE(model.At(0).drawn);
    model.SelectAt({static_cast<int>(model.At(0).x), static_cast<int>(model.At(0).y)});
    EXPECT_EQ(model.Selected(), std::nullopt);
    model.SelectAt({240, 215});
    EXPECT_EQ(model.Selected(), 2u);
    model.ResetView();
    EXPECT_EQ(model.Zoom().Level(), 0);
    EXPECT_EQ(model.Selected(), std::nullopt);
}

TEST(RawLayout, ColumnsWithTheNewestAtTheRightTheVoltageScaleAndCounterLabels) {
    const PlotArea plot = RawPlotArea(800, 600);  // 700 x 500, bottom 550
    const int n = RawColumnCount(plot, 100);
    EXPECT_EQ(n, 100);
    EXPECT_EQ(RawColumnAge(0, n), 99u);
    EXPECT_EQ(RawColumnAge(99, n), 0u);
    EXPECT_EQ(RawColumnCount(plot, 3600), 700);

    EXPECT_EQ(RawColumnAt({plot.left + 99, 300}, plot, n), 99);
    EXPECT_EQ(RawColumnAt({plot.left + 100, 300}, plot, n), std::nullopt);
    EXPECT_EQ(RawColumnAt({plot.left + 10, plot.top - 1}, plot, n), std::nullopt);

    EXPECT_DOUBLE_EQ(RawValueY(0, plot), 550);
    EXPECT_DOUBLE_EQ(RawValueY(32768, plot), 300);
    EXPECT_GT(RawValueY(65535, plot), plot.top);
    const auto labels = RawVoltLabels(plot);
    EXPECT_EQ(labels[3].text, "1.5");
    EXPECT_EQ(labels.back().text, "5.0");
    EXPECT_DOUBLE_EQ(labels.back().y, plot.top);

    // Counter labels under the last column, and under the first past sixty columns.
    EXPECT_EQ(RawCounterColumns(0).last, std::nullopt);
    EXPECT_EQ(RawCounterColumns(60).first, std::nullopt);
    EXPECT_EQ(RawCounterColumns(60).last, 59);
    EXPECT_EQ(RawCounterColumns(61).first, 0);
}

TEST(RawLayout, PlatformAndThermistorTexts) {
    protocol::PlatformData platform;
    platform.depth = 12.345f;
    platform.direction = 2;
    platform.temperature = 8.5f;
    platform.salinity = 35.25f;
    platform.oxygen = 4.125f;
    platform.param = {1, -2, 3};
    EXPECT_EQ(PlatformDataText(platform),
              "depth=12.35 m, dir=2, temp=8.500 C, salin=35.250 PSU, DO=4.125 ml/l, P1=1, "
              "P2=-2, P3=3");

    protocol::SampleRecord newest;
    newest.channel[4] = 32768;  // 2.5 V
    newest.channel[7] = 13107;  // 0.99998 V
    std::array<protocol::ThermistorConfig, protocol::THERMISTOR_COUNT> t{};
    t[0] = {0, 4, 1, -2, 3, 4};  // v^3 - 2v^2 + 3v + 4 at 2.5 V
    t[1] = {0, 7, 0, 0, 10, 0};  // 10 v at v = 0.99998
    t[2] = {0, 9, 1, 1, 1, 5};   // no channel 9: the constant term
    EXPECT_EQ(ThermistorText(t, newest),
              "thermistor1=14.625, thermistor2=10.000, thermistor3=5.000");
    EXPECT_EQ(RawStateText(newest), "state 0");
}

}  // namespace
}  // namespace velacor::graph
