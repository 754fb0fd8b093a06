// The "Sensor Control" panel every output view carries: start choices, Start, Stop,
// Autostart and Pause Display.
#pragma once

#include <QGroupBox>

#include <atomic>
#include <vector>

#include "connection/output_rows.h"
#include "link/transactor.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace velacor::widgets {
class Prompter;
}

namespace velacor::connection::ui {

class SensorControlPanel final : public QGroupBox {
    Q_OBJECT
  public:
    SensorControlPanel(link::Transactor& link, widgets::Prompter& prompter,
                       QWidget* parent = nullptr);

    // Reads the chemistry configuration again and rebuilds the start choices.
    void Refresh();
    void SetConnectionFlags(std::uint32_t flags);
    // "Pause Display"; safe to read from a view's worker thread.
    bool Paused() const { return m_paused; }
    const protocol::ChemistryConfig& Chemistry() const { return m_config; }

    QComboBox* StartChoices() const { return m_choices; }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* StopButton() const { return m_stop; }
    QCheckBox* AutostartBox() const { return m_autostart; }
    QCheckBox* PauseBox() const { return m_pause; }

  signals:
    void startRequested(std::uint8_t startState);
    void stopRequested();
    // "Autostart" was clicked: the owner runs the start states editor with the automatic
    // deployment toggled, then refreshes the view.
    void autostartRequested();

  private:
    void UpdateEnabling();

    link::Transactor& m_link;
    widgets::Prompter& m_prompter;
    protocol::ChemistryConfig m_config;
    std::vector<StartChoice> m_startChoices;
    std::uint32_t m_flags = 0;
    std::atomic<bool> m_paused{false};
    QComboBox* m_choices = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QCheckBox* m_autostart = nullptr;
    QCheckBox* m_pause = nullptr;
};

}  // namespace velacor::connection::ui
