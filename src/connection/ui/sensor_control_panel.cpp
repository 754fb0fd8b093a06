#include "connection/ui/sensor_control_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>

#include "connection/connection_flags.h"
#include "protocol/chemistry_commands.h"
#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::connection::ui {

SensorControlPanel::SensorControlPanel(link::Transactor& link, widgets::Prompter& prompter,
                                       QWidget* parent)
    : QGroupBox(QStringLiteral("Sensor Control"), parent), m_link(link), m_prompter(prompter) {
    m_choices = new QComboBox;
    m_start = new QPushButton(QStringLiteral("Start"));
    m_start->setToolTip(QStringLiteral("Start Sensor"));
    m_stop = new QPushButton(QStringLiteral("Stop"));
    m_stop->setToolTip(QStringLiteral("Stop Sensor"));
    m_autostart = new QCheckBox(QStringLiteral("Autostart"));
    m_autostart->setToolTip(QStringLiteral("Set sensor to run automatically at power-up"));
    m_pause = new QCheckBox(QStringLiteral("Pause Display"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_choices, 0, 0, 1, 2);
    layout->addWidget(m_start, 1, 0);
    layout->addWidget(m_stop, 1, 1);
    layout->addWidget(m_autostart, 2, 0, 1, 2);
    layout->addWidget(m_pause, 3, 0, 1, 2);

    connect(m_start, &QPushButton::clicked, this, [this] {
        const int index = m_choices->currentIndex();
        const std::uint8_t state =
            index >= 0 && static_cast<std::size_t>(index) < m_startChoices.size()
                ? m_startChoices[static_cast<std::size_t>(index)].state
                : 0;
        emit startRequested(state);
    });
    connect(m_stop, &QPushButton::clicked, this, [this] { emit stopRequested(); });
    connect(m_pause, &QCheckBox::toggled, this, [this](bool on) { m_paused = on; });
    connect(m_autostart, &QCheckBox::clicked, this, [this] { emit autostartRequested(); });
    Refresh();
}

void SensorControlPanel::Refresh() {
    if (protocol::ReadChemistryConfig(m_link, m_config) != protocol::STATUS_OK) {
        m_config = UnreadableChemistryConfig();
        m_prompter.Inform(QStringLiteral("Chemistry"),
                          QStringLiteral("Unable to get current chemistry from sensor"));
    }
    m_startChoices = connection::StartChoices(m_config);
    m_choices->clear();
    for (const StartChoice& choice : m_startChoices)
        m_choices->addItem(widgets::FromUtf8(choice.name), choice.state);
    if (!m_startChoices.empty())
        m_choices->setCurrentIndex(0);
    m_autostart->setChecked(AutostartOn(m_config));
    UpdateEnabling();
}

void SensorControlPanel::SetConnectionFlags(std::uint32_t flags) {
    m_flags = flags;
    UpdateEnabling();
}

void SensorControlPanel::UpdateEnabling() {
    const bool connected = (m_flags & FLAG_CONNECTED) != 0;
    const bool running = (m_flags & FLAG_RUNNING) != 0;
    const bool canStart = connected && !running && !m_startChoices.empty();
    m_choices->setEnabled(canStart);
    m_start->setEnabled(canStart);
    m_stop->setEnabled(connected && running);
    m_autostart->setEnabled(connected && !running);  // as the start states editor's command
    m_pause->setEnabled(connected);
}

}  // namespace velacor::connection::ui
