// The main window: menu, one exchangeable view, the five-part status bar, and the connection
// logic that ties them together. Runs on the GUI thread; device notifications arrive queued.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "app/main_menu.h"
#include "connection/poller.h"
#include "connection/session.h"
#include "connection/status_texts.h"
#include "link/device_monitor.h"
#include "statemachine/state_machine.h"

class QLabel;

namespace velacor::connection::ui {
class ConnectView;
}

namespace velacor::widgets {
class Prompter;
}

namespace velacor::app {

using widgets::Prompter;

struct MainWindowOptions {
    bool service = false;  // the Service menu and the Factory Settings button
};

class MainWindow final : public QMainWindow {
    Q_OBJECT
  public:
    // `via` carries every exchange on `link`; the platform lists and opens the sensors.
    MainWindow(link::HidPlatform& platform, link::SensorLink& link, link::Transactor& via,
               Prompter& prompter, MainWindowOptions options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A device notification; safe to call from any thread (it is queued to the GUI thread).
    void PostDeviceEvent(const link::DeviceEvent& event);

    // Requests of the views.
    void ConnectDevice(const link::DeviceEntry& entry);
    void Disconnect();
    void StartSensor(std::uint8_t startState);
    void StopSensor();
    // Reports of the live data poller (queued to the GUI thread); ignored while not connected.
    void LinkHealth(bool ok, const protocol::PowerStatus& power);
    void MeasurementInfo(bool ok, const protocol::MeasurementCounters& counters);
    void SensorRunning(std::uint8_t mode);
    void SensorIdle(std::uint8_t mode);

    std::uint32_t ConnectionFlags() const { return m_session.Flags(); }
    const connection::Poller& LivePoller() const { return m_poller; }
    const MainMenu& Menu() const { return *m_menu; }
    QWidget* CurrentView() const { return m_view; }
    connection::ui::ConnectView* ConnectViewShown() const;
    QString StatusText(std::size_t part) const;
    // Where a status bar part lies, in the window's pixels.
    QRect StatusPartGeometry(std::size_t part) const;

  private:
    // Every command of the menus: where it stands, its caption and what it does.
    std::vector<MenuCommand> CommandTable();
    void BuildStatusBar();
    void FitStatusParts();
    void DeviceEvent(const link::DeviceEvent& event);
    void SetView(QWidget* view);
    void StopViewWork();
    void ShowConnectView();
    void ShowCompatibilityView();
    void ConnectionChanged();
    void SetStatus(const connection::StatusTexts& texts);
    void SetStatusPart(std::size_t part, const std::string& text);
    void ShowSensorMode(std::uint8_t mode, bool running);
    void RunUpgrade(std::uint32_t mode);
    void StartPoller();
    void ShowOutputView(connection::Command which);
    // The compact layout from the Configure menu, the full one from the service menu.
    void EditStateMachine(bool compact);
    // Opens a processing dialog: chooses its file, then shows it until it is closed.
    template <class Dialog>
    void ProcessRawFile();
    // A configuration editor over the connected sensor; the view then reads the sensor again.
    template <class Editor, class... Options>
    void RunEditor(Options... options);
    void RefreshView();
    void ShowAbout();
    void ShowPortPins();
    void MountAsDrive();
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    link::HidPlatform& m_platform;
    link::SensorLink& m_link;
    Prompter& m_prompter;
    MainWindowOptions m_options;
    connection::ConnectionSession m_session;
    connection::Poller m_poller;
    std::optional<std::array<bool, 8>> m_channelChoice;  // the raw graph's channels, kept
    statemachine::StateMachine m_stateMachine;           // the program's one state machine
    std::unique_ptr<MainMenu> m_menu;
    std::array<QLabel*, connection::STATUS_PARTS> m_status{};
    QPointer<QWidget> m_view;
};

}  // namespace velacor::app
