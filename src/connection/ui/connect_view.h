// The connect view: the attached sensors, and Connect / Upgrade Firmware / Factory Settings.
// Probing runs on a worker so a silent device never freezes the window; stopping it closes the
// link, which ends the exchange in flight, so the window never waits seconds for a probe.
#pragma once

#include <QWidget>

#include <memory>

#include "base/worker.h"
#include "connection/connect_model.h"
#include "widgets/view_with_worker.h"

class QPushButton;
class QTreeWidget;

namespace velacor::widgets {
class Prompter;
}

namespace velacor::connection::ui {

class ConnectView final : public QWidget, public widgets::ViewWithWorker {
    Q_OBJECT
  public:
    ConnectView(link::HidPlatform& platform, link::SensorLink& link, link::Transactor& via,
                widgets::Prompter& prompter, bool showFactorySettings, QWidget* parent = nullptr);
    ~ConnectView() override;
    void StopWorker() override;

    // Probes the attached devices again (at once, or after the probe now running).
    void Refresh();
    // A device notification passed on by the main window.
    void DeviceEvent(int kind);
    bool Probing() const { return m_probing; }

    QTreeWidget* DeviceList() const { return m_list; }
    QPushButton* ConnectButton() const { return m_connect; }
    QPushButton* UpgradeButton() const { return m_upgrade; }
    QPushButton* FactorySettingsButton() const { return m_factory; }
    const ConnectModel& Model() const { return m_model; }

  signals:
    // The link is open to `entry`, running its firmware: connect the main window to it.
    void connectDevice(const velacor::link::DeviceEntry& entry);
    // The link is open (5000 ms) to `entry`: run the upgrade dialog with its mode now.
    void upgradeRequested(std::uint32_t mode);
    // A probe's rows are shown.
    void refreshed();

  private:
    void StartProbe();
    void ShowProbe(std::shared_ptr<ProbeResult> result);
    void ShowRows();
    void ShowButtons();
    void Carry(const ConnectAction& action);
    void OnClick();
    void OnConnect();
    void OnUpgrade();

    ConnectModel m_model;
    link::SensorLink& m_link;
    widgets::Prompter& m_prompter;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_upgrade = nullptr;
    QPushButton* m_factory = nullptr;
    base::Worker m_probe;
    bool m_probing = false;
    bool m_probeAgain = false;
    bool m_stopped = false;
};

}  // namespace velacor::connection::ui
