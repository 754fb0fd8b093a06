#include "connection/ui/graph_views.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "base/str_printf.h"
#include "graph/plot_area.h"
#include "graph/ui/processed_graph.h"
#include "graph/ui/raw_graph.h"
#include "protocol/chemistry_commands.h"
#include "protocol/live_commands.h"
#include "protocol/settings_commands.h"
#include "widgets/colours.h"
#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::connection::ui {

std::array<const char*, 8> ChannelLabels(std::uint8_t type) {
    if (protocol::IsNutrient(type)) {
        return {"Long",        "Medium",      "Short",       "N/A",
                "Monitor (L)", "Monitor (M)", "Monitor (S)", "Temperature"};
    }
    if (type == protocol::CHEMISTRY_PH) {
        return {"Blue",          "Yellow",        "Monitor (B)",   "Monitor (Y)",
                "Temperature 1", "Temperature 2", "Temperature 3", "NA"};
    }
    return {"Channel 0", "Channel 1", "Channel 2", "Channel 3",
            "Channel 4", "Channel 5", "Channel 6", "Channel 7"};
}

std::array<bool, 8> FirstChannels(std::uint8_t type, bool chemistryRead) {
    std::array<bool, 8> shown{};
    if (!chemistryRead)
        return shown;
    switch (type) {
        case protocol::CHEMISTRY_GENERIC:
            shown.fill(true);
            break;
        case protocol::CHEMISTRY_PHOSPHATE:
            shown = {true, true, true, true, false, false, false, false};
            break;
        case protocol::CHEMISTRY_PH:
            shown = {true, true, false, false, true, true, true, false};
            break;
        default:
            shown[0] = true;
            break;
    }
    return shown;
}

RawGraphView::RawGraphView(link::Transactor& link, widgets::Prompter& prompter,
                           const Poller& poller, ChannelChoice& choice, QWidget* parent)
    : OutputView("RAW OUTPUT", link, prompter, parent), m_poller(poller), m_choice(choice) {
    m_graph = new graph::ui::RawGraph(
        [&history = poller.History()](std::size_t count, std::vector<protocol::SampleRecord>& out) {
            history.CopyNewest(count, out);
        });
    SetContent(m_graph);
    ReadThermistors();

    protocol::ChemistryConfig config;
    const bool chemistryRead = protocol::ReadChemistryConfig(link, config) == protocol::STATUS_OK;
    const auto labels = ChannelLabels(m_thermistorsRead ? config.chemistryType : 0xff);
    if (!m_choice)
        m_choice = FirstChannels(config.chemistryType, chemistryRead);

    auto* boxes = new QGridLayout;
    for (int ch = 0; ch < 8; ++ch) {
        const auto index = static_cast<std::size_t>(ch);
        // The channel's colour on the graph's own grey, so white and yellow stay visible.
        auto* marker = new QLabel(QStringLiteral("X"));
        marker->setStyleSheet(
            QStringLiteral("QLabel { color: %1; background: #969696; font-weight: bold; }")
                .arg(widgets::ToQColor(graph::CHANNEL_COLOURS[index]).name()));
        marker->setAlignment(Qt::AlignCenter);
        marker->setFixedWidth(marker->fontMetrics().horizontalAdvance(QStringLiteral("X")) + 8);
        m_channels[index] = new QCheckBox(QString::fromUtf8(labels[index]));
        m_channels[index]->setChecked((*m_choice)[index]);
        m_graph->SetChannelShown(ch, (*m_choice)[index]);
        connect(m_channels[index], &QCheckBox::toggled, this, [this, ch, index](bool on) {
            (*m_choice)[index] = on;
            m_graph->SetChannelShown(ch, on);
        });
        boxes->addWidget(marker, ch, 0);
        boxes->addWidget(m_channels[index], ch, 1);
    }
    auto* platform = new QCheckBox(QStringLiteral("Platform Data"));
    auto* thermistors = new QCheckBox(QStringLiteral("Thermistor Temps"));
    connect(platform, &QCheckBox::toggled, m_graph, &graph::ui::RawGraph::SetPlatformDataShown);
    connect(thermistors, &QCheckBox::toggled, m_graph, &graph::ui::RawGraph::SetThermistorsShown);
    boxes->addWidget(platform, 8, 0, 1, 2);
    boxes->addWidget(thermistors, 9, 0, 1, 2);
    SideColumn()->addLayout(boxes);

    StartWorker([this] {
        do {
            if (!Panel()->Paused()) {
                Post([this, data = m_poller.Platform()] {
                    m_graph->SetPlatformData(data);
                    m_graph->Redraw();
                });
            }
        } while (!WaitOrStop(100));
    });
}

void RawGraphView::ReadThermistors() {
    std::array<protocol::ThermistorConfig, protocol::THERMISTOR_COUNT> configs{};
    for (std::uint8_t i = 0; i < protocol::THERMISTOR_COUNT; ++i) {
        if (protocol::ReadThermistor(m_link, i, configs[i]) != protocol::STATUS_OK) {
            configs[i] = {};
            m_thermistorsRead = false;
            widgets::ShowMessage(m_prompter, base::StrPrintf("Thermistor %u", unsigned{i}).c_str(),
                                 "Unable to get thermistor(%u) config", unsigned{i});
            break;
        }
    }
    m_graph->SetThermistors(configs);
}

ProcessedGraphView::ProcessedGraphView(link::Transactor& link, widgets::Prompter& prompter,
                                       QWidget* parent)
    : OutputView("PROCESSED OUTPUT", link, prompter, parent) {
    m_graph = new graph::ui::ProcessedGraph(prompter);
    m_graph->SetChemistry(Panel()->Chemistry().chemistryType);
    SetContent(m_graph);
    m_reset = new QPushButton(QStringLiteral("Reset Graph"));
    SideColumn()->addWidget(m_reset);
    connect(m_reset, &QPushButton::clicked, m_graph, &graph::ui::ProcessedGraph::ResetView);

    StartWorker([this] {
        if (protocol::PositionProcessedOutput(m_link) != protocol::STATUS_OK)
            return;
        do {
            protocol::ProcessedRecord record;
            while (!StopRequested() &&
                   protocol::ReadProcessedRecord(m_link, record) == protocol::STATUS_OK) {
                Post([this, time = record.platformTime, value = record.Value()] {
                    m_graph->AddPoint(time, value);
                });
            }
            if (WaitOrStop(1000))
                break;
            Post([this] { m_graph->Redraw(); });
        } while (true);
    });
}

void ProcessedGraphView::Refresh() {
    OutputView::Refresh();
    m_graph->SetChemistry(Panel()->Chemistry().chemistryType);
}

}  // namespace velacor::connection::ui
