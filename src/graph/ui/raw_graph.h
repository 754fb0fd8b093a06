// The raw graph control: the newest raw samples of the history as one voltage trace per
// ticked photodiode channel, one pixel column per sample with the newest at the right, and the
// optional platform data and thermistor temperature lines. While the left button is held over
// a column, that sample's state number is written above the mouse.
//
// Threads: GUI thread only. A view's worker asks for Redraw with a queued call.
#pragma once

#include <QLine>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "graph/plot_area.h"
#include "graph/ui/graph_canvas.h"
#include "protocol/live_records.h"
#include "protocol/settings_records.h"

namespace velacor::graph::ui {

class RawGraph final : public GraphCanvas {
    Q_OBJECT
  public:
    inline static constexpr int CHANNELS = 8;

    // Where the samples come from: copies the newest `count` samples (fewer when there are
    // fewer), oldest first, into `out`. Called on the GUI thread.
    using SampleSource =
        std::function<void(std::size_t count, std::vector<protocol::SampleRecord>& out)>;

    explicit RawGraph(SampleSource source, QWidget* parent = nullptr);

    // Copies the newest samples from the source and draws them.
    void Redraw();

    // The check boxes: shown channels, "Platform Data" and "Thermistor Temps". Each draws
    // again at once, if the control is on screen, from the samples of the last Redraw (so a
    // paused view still follows).
    void SetChannelShown(int channel, bool shown);
    bool ChannelShown(int channel) const;
    void SetPlatformDataShown(bool shown);
    void SetThermistorsShown(bool shown);

    // Data for the next Redraw: the poller's last platform data, the thermistor calibrations.
    void SetPlatformData(const protocol::PlatformData& platform) { m_platform = platform; }
    void SetThermistors(
        const std::array<protocol::ThermistorConfig, protocol::THERMISTOR_COUNT>& thermistors) {
        m_thermistors = thermistors;
    }

  protected:
    void DrawGraph(QPainter& painter, QSize client) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void RenderIfShown();
    void DrawLabels(QPainter& painter, QSize client, const PlotArea& plot, int columns);
    void DrawTraces(QPainter& painter, const PlotArea& plot, int columns);
    void DrawTexts(QPainter& painter, QSize client, const PlotArea& plot, int columns);
    // The sample drawn in `column` of `columns`.
    const protocol::SampleRecord& ColumnSample(int column, int columns) const;

    SampleSource m_source;
    std::vector<protocol::SampleRecord> m_samples;  // oldest first, as many as the image is wide
    std::vector<QLine> m_lines;                     // one trace's segments, reused
    std::array<bool, CHANNELS> m_channelShown{};
    bool m_platformShown = false;
    bool m_thermistorsShown = false;
    protocol::PlatformData m_platform;
    std::array<protocol::ThermistorConfig, protocol::THERMISTOR_COUNT> m_thermistors{};
    std::optional<PixelPoint> m_mouse;  // while the left button is held
};

}  // namespace velacor::graph::ui
