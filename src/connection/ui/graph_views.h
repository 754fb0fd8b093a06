// The raw and processed output graphs with their controls.
#pragma once

#include <array>
#include <optional>

#include "connection/poller.h"
#include "connection/ui/output_view.h"

class QCheckBox;
class QPushButton;

namespace velacor::graph::ui {
class ProcessedGraph;
class RawGraph;
}  // namespace velacor::graph::ui

namespace velacor::connection::ui {

// The channels the operator chose; kept by the main window from one opening to the next.
using ChannelChoice = std::optional<std::array<bool, 8>>;

// The channel labels of a chemistry type.
std::array<const char*, 8> ChannelLabels(std::uint8_t chemistryType);
// The channels shown the first time, by chemistry type (none when it can't be read).
std::array<bool, 8> FirstChannels(std::uint8_t chemistryType, bool chemistryRead);

class RawGraphView final : public OutputView {
    Q_OBJECT
  public:
    RawGraphView(link::Transactor& link, widgets::Prompter& prompter, const Poller& poller,
                 ChannelChoice& choice, QWidget* parent = nullptr);
    ~RawGraphView() override { StopWorker(); }
    graph::ui::RawGraph* Graph() const { return m_graph; }
    QCheckBox* ChannelBox(int channel) const {
        return m_channels.at(static_cast<std::size_t>(channel));
    }

  private:
    void ReadThermistors();

    const Poller& m_poller;
    ChannelChoice& m_choice;
    graph::ui::RawGraph* m_graph = nullptr;
    std::array<QCheckBox*, 8> m_channels{};
    bool m_thermistorsRead = true;
};

class ProcessedGraphView final : public OutputView {
    Q_OBJECT
  public:
    ProcessedGraphView(link::Transactor& link, widgets::Prompter& prompter,
                       QWidget* parent = nullptr);
    ~ProcessedGraphView() override { StopWorker(); }
    graph::ui::ProcessedGraph* Graph() const { return m_graph; }
    void Refresh() override;

  private:
    graph::ui::ProcessedGraph* m_graph = nullptr;
    QPushButton* m_reset = nullptr;
};

}  // namespace velacor::connection::ui
