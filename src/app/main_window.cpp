#include "app/main_window.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

#include "app/prompter.h"
#include "app/ui_helpers.h"
#include "connection/connection_flags.h"
#include "connection/ui/compatibility_view.h"
#include "connection/ui/connect_view.h"
#include "connection/ui/graph_views.h"
#include "connection/ui/table_views.h"
#include "connection/ui/upgrade_dialog.h"
#include "processing/ui/dic_dialog.h"
#include "processing/ui/multi_nutrient_dialog.h"
#include "processing/ui/nutrient_dialog.h"
#include "processing/ui/ph_dialog.h"
#include "processing/ui/ta_dialog.h"
#include "protocol/device_type.h"
#include "protocol/identity_commands.h"
#include "statemachine/ui/state_machine_editor.h"

namespace velacor::app {

using connection::Command;

namespace {

constexpr const char* GUI_VERSION = "1.1.0";
constexpr const char* PORT_PINS_TEXT =
    "Communication Port\n\n  PIN 1: 12-16 VDC\n  PIN 2: GND\n  PIN 3: USB VBus/5V\n  PIN 4: NC\n"
    "  PIN 5: USB DP\n  PIN 6: USB DM\n  PIN 7: RS232 SENSOR-RX\n  PIN 8: RS232 SENSOR-TX\n\n"
    "Mating plug type: SubConn MCIL8F\nwith MCDLS-F locking sleeve\n";

}  // namespace

MainWindow::MainWindow(link::HidPlatform& platform, link::SensorLink& link, link::Transactor& via,
                       Prompter& prompter, MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      m_platform(platform),
      m_link(link),
      m_prompter(prompter),
      m_options(options),
      m_session(link, via) {
    setWindowTitle(QString::fromUtf8(connection::INITIAL_TITLE));
    setMinimumSize(760, 420);
    resize(980, 660);

    m_menu = std::make_unique<MainMenu>(menuBar(), options.service);
    for (Command built :
         {Command::Disconnect, Command::MountAsDrive, Command::Exit, Command::RawGraph,
          Command::RawText, Command::ProcessedGraph, Command::ProcessedText, Command::Compatibility,
          Command::ConfigureStateMachine, Command::FullStateMachineEditor, Command::About,
          Command::PortPins, Command::ProcessNutrient, Command::ProcessNutrientMulti,
          Command::ProcessPh, Command::ProcessTa, Command::ProcessDic}) {
        m_menu->SetBuilt(built);
    }
    for (Command process : {Command::ProcessNutrient, Command::ProcessNutrientMulti,
                            Command::ProcessPh, Command::ProcessTa, Command::ProcessDic}) {
        if (QAction* action = m_menu->Action(process))
            connect(action, &QAction::triggered, this,
                    [this, process] { ProcessRawFile(process); });
    }
    for (Command view :
         {Command::RawGraph, Command::RawText, Command::ProcessedGraph, Command::ProcessedText}) {
        connect(m_menu->Action(view), &QAction::triggered, this,
                [this, view] { ShowOutputView(view); });
    }
    connect(m_menu->Action(Command::Disconnect), &QAction::triggered, this,
            &MainWindow::Disconnect);
    connect(m_menu->Action(Command::MountAsDrive), &QAction::triggered, this,
            &MainWindow::MountAsDrive);
    connect(m_menu->Action(Command::Exit), &QAction::triggered, this, &QWidget::close);
    connect(m_menu->Action(Command::Compatibility), &QAction::triggered, this,
            &MainWindow::ShowCompatibilityView);
    connect(m_menu->Action(Command::About), &QAction::triggered, this, &MainWindow::ShowAbout);
    connect(m_menu->Action(Command::ConfigureStateMachine), &QAction::triggered, this,
            [this] { EditStateMachine(true); });
    if (QAction* full = m_menu->Action(Command::FullStateMachineEditor))
        connect(full, &QAction::triggered, this, [this] { EditStateMachine(false); });
    connect(m_menu->Action(Command::PortPins), &QAction::triggered, this,
            &MainWindow::ShowPortPins);

    const std::array<int, connection::STATUS_PARTS - 1> widths = {
        connection::STATUS_PART_RIGHT_EDGES[0],
        connection::STATUS_PART_RIGHT_EDGES[1] - connection::STATUS_PART_RIGHT_EDGES[0],
        connection::STATUS_PART_RIGHT_EDGES[2] - connection::STATUS_PART_RIGHT_EDGES[1],
        connection::STATUS_PART_RIGHT_EDGES[3] - connection::STATUS_PART_RIGHT_EDGES[2]};
    for (std::size_t i = 0; i < m_status.size(); ++i) {
        m_status[i] = new QLabel;
        m_status[i]->setFrameShape(QFrame::Panel);
        m_status[i]->setFrameShadow(QFrame::Sunken);
        if (i < widths.size()) {
            m_status[i]->setFixedWidth(widths[i]);
            statusBar()->addWidget(m_status[i]);
        } else {
            statusBar()->addWidget(m_status[i], 1);
        }
    }
    statusBar()->setSizeGripEnabled(false);

    setWindowTitle(QString::fromUtf8(connection::NOT_CONNECTED_TITLE));
    SetStatus(connection::NotConnectedStatus());
    ShowConnectView();
    m_menu->Update(m_session.Flags());
}

MainWindow::~MainWindow() {
    // Closing the link first ends any request in flight at once; then the view's worker and
    // the poller are joined.
    m_link.CloseSensor();
    delete m_view;
    m_poller.Stop();
}

void MainWindow::PostDeviceEvent(const link::DeviceEvent& event) {
    QMetaObject::invokeMethod(
        this, [this, event] { DeviceEvent(event); }, Qt::QueuedConnection);
}

void MainWindow::DeviceEvent(const link::DeviceEvent& event) {
    if (m_session.Connected()) {
        if (event.kind != link::DEVICE_REMOVE_COMPLETE)
            return;  // the output views have no use for arrivals
        if (!m_session.IsCurrentDevice(event.path))
            return;
        Disconnect();
        m_prompter.Inform(QStringLiteral("Device Change"), QStringLiteral("Sensor Disconnected"));
        return;
    }
    if (auto* view = ConnectViewShown())
        view->DeviceEvent(event.kind);
}

connection::ui::ConnectView* MainWindow::ConnectViewShown() const {
    return qobject_cast<connection::ui::ConnectView*>(m_view.data());
}

QString MainWindow::StatusText(std::size_t part) const {
    return m_status.at(part)->text();
}

void MainWindow::StopViewWork() {
    if (auto* worker = dynamic_cast<ViewWithWorker*>(m_view.data()))
        worker->StopWorker();
}

void MainWindow::SetView(QWidget* view) {
    StopViewWork();
    if (m_view) {
        m_view->hide();
        m_view->deleteLater();  // a view may be replaced from inside its own signal
    }
    m_view = view;
    setCentralWidget(view);
}

void MainWindow::ShowConnectView() {
    auto* view = new connection::ui::ConnectView(m_platform, m_link, m_session.Via(), m_prompter,
                                                 m_options.service);
    connect(view, &connection::ui::ConnectView::connectDevice, this, &MainWindow::ConnectDevice);
    connect(view, &connection::ui::ConnectView::upgradeRequested, this, &MainWindow::RunUpgrade);
    SetView(view);
}

void MainWindow::ShowCompatibilityView() {
    if (!m_session.Connected())
        return;
    auto* view = new connection::ui::CompatibilityView(m_session.Via(), m_prompter);
    if (!view->Loaded()) {
        delete view;  // the sensor's version could not be read; the message was shown
        return;
    }
    SetView(view);
}

void MainWindow::ConnectDevice(const link::DeviceEntry& entry) {
    m_session.ConnectDevice(entry);
    if (const auto title = m_session.ReadTitle()) {
        setWindowTitle(FromUtf8(*title));
        SetStatus({});
    }
    StartPoller();
    ShowOutputView(Command::RawGraph);
    ConnectionChanged();
}

void MainWindow::ShowOutputView(Command which) {
    if (!m_session.Connected())
        return;
    connection::ui::OutputView* view = nullptr;
    link::Transactor& via = m_session.Via();
    switch (which) {
        case Command::ProcessedText:
            view = new connection::ui::ProcessedTableView(via, m_prompter);
            break;
        case Command::ProcessedGraph:
            view = new connection::ui::ProcessedGraphView(via, m_prompter);
            break;
        case Command::RawText:
            view = new connection::ui::RawTableView(via, m_prompter, m_poller.History());
            break;
        default:
            view = new connection::ui::RawGraphView(via, m_prompter, m_poller, m_channelChoice);
            break;
    }
    connect(view, &connection::ui::OutputView::startRequested, this, &MainWindow::StartSensor);
    connect(view, &connection::ui::OutputView::stopRequested, this, &MainWindow::StopSensor);
    view->SetConnectionFlags(m_session.Flags());
    SetView(view);
}

void MainWindow::StartPoller() {
    // The reports come from the poller's thread: each is queued to this window with a copy.
    connection::PollerReports reports;
    reports.linkHealth = [this](bool ok, const protocol::PowerStatus& power) {
        QMetaObject::invokeMethod(
            this, [this, ok, power] { LinkHealth(ok, power); }, Qt::QueuedConnection);
    };
    reports.measurementInfo = [this](bool ok, const protocol::MeasurementCounters& counters) {
        QMetaObject::invokeMethod(
            this, [this, ok, counters] { MeasurementInfo(ok, counters); }, Qt::QueuedConnection);
    };
    reports.sensorRunning = [this](std::uint8_t mode) {
        QMetaObject::invokeMethod(
            this, [this, mode] { SensorRunning(mode); }, Qt::QueuedConnection);
    };
    reports.sensorIdle = [this](std::uint8_t mode) {
        QMetaObject::invokeMethod(
            this, [this, mode] { SensorIdle(mode); }, Qt::QueuedConnection);
    };
    m_poller.Start(m_session.Via(), std::move(reports));
}

void MainWindow::Disconnect() {
    m_session.Disconnect();
    // Every worker that uses the link ends before the connect view probes other devices on it.
    m_poller.Stop();
    StopViewWork();
    ConnectionChanged();
    ShowConnectView();
    setWindowTitle(QString::fromUtf8(connection::NOT_CONNECTED_TITLE));
    SetStatus(connection::NotConnectedStatus());
}

void MainWindow::StartSensor(std::uint8_t startState) {
    const protocol::ControlOutcome outcome = m_session.StartSensor(startState);
    if (outcome.ok)
        m_poller.ClearHistory();
    else
        m_prompter.Inform(FromUtf8(outcome.title), FromUtf8(outcome.message));
    ConnectionChanged();
}

void MainWindow::StopSensor() {
    const protocol::ControlOutcome outcome = m_session.StopSensor();
    if (!outcome.ok)
        m_prompter.Inform(FromUtf8(outcome.title), FromUtf8(outcome.message));
    ConnectionChanged();
}

void MainWindow::LinkHealth(bool ok, const protocol::PowerStatus& power) {
    if (!m_session.Connected())
        return;
    SetStatusPart(1, connection::LinkHealthText(ok));
    SetStatusPart(4, connection::PowerText(ok, power));
}

void MainWindow::MeasurementInfo(bool ok, const protocol::MeasurementCounters& counters) {
    if (m_session.Connected())
        SetStatusPart(0, connection::MeasurementText(ok, counters));
}

void MainWindow::SensorRunning(std::uint8_t mode) {
    ShowSensorMode(mode, true);
}

void MainWindow::SensorIdle(std::uint8_t mode) {
    ShowSensorMode(mode, false);
}

void MainWindow::ShowSensorMode(std::uint8_t mode, bool running) {
    if (!m_session.Connected())
        return;
    m_session.SetRunning(running);
    SetStatusPart(2, connection::SensorModeText(mode));
    SetStatusPart(3, m_session.OutputFileStatus(mode));
    ConnectionChanged();
}

void MainWindow::MountAsDrive() {
    const protocol::ControlOutcome outcome = protocol::MountSensorAsDrive(m_session.Via());
    if (!outcome.ok)
        m_prompter.Inform(FromUtf8(outcome.title), FromUtf8(outcome.message));
}

void MainWindow::ConnectionChanged() {
    m_menu->Update(m_session.Flags());
    if (auto* view = qobject_cast<connection::ui::OutputView*>(m_view.data()))
        view->SetConnectionFlags(m_session.Flags());
}

void MainWindow::SetStatus(const connection::StatusTexts& texts) {
    for (std::size_t i = 0; i < m_status.size(); ++i)
        SetStatusPart(i, texts[i]);
}

void MainWindow::SetStatusPart(std::size_t part, const std::string& text) {
    SetStatusText(m_status.at(part), text);
}

void MainWindow::RunUpgrade(std::uint32_t mode) {
    connection::ui::UpgradeDialog dialog(m_session.Via(), m_prompter, mode, this);
    dialog.Run();
}

void MainWindow::EditStateMachine(bool compact) {
    statemachine::ui::StateMachineEditor editor(m_session.Connected() ? &m_session.Via() : nullptr,
                                                m_prompter, m_stateMachine, this);
    if (compact)
        editor.UseCompactLayout();
    editor.exec();
}

void MainWindow::ProcessRawFile(Command command) {
    const auto run = [this](auto& dialog) {
        if (dialog.Open())
            dialog.exec();
    };
    switch (command) {
        case Command::ProcessNutrient: {
            processing::ui::NutrientDialog dialog(m_prompter, this);
            run(dialog);
            break;
        }
        case Command::ProcessNutrientMulti: {
            processing::ui::MultiNutrientDialog dialog(m_prompter, this);
            run(dialog);
            break;
        }
        case Command::ProcessPh: {
            processing::ui::PhDialog dialog(m_prompter, this);
            run(dialog);
            break;
        }
        case Command::ProcessTa: {
            processing::ui::TaDialog dialog(m_prompter, this);
            run(dialog);
            break;
        }
        case Command::ProcessDic: {
            processing::ui::DicDialog dialog(m_prompter, this);
            run(dialog);
            break;
        }
        default:
            break;
    }
}

void MainWindow::ShowAbout() {
    std::string firmware;
    std::string device;
    if (m_session.Connected()) {
        protocol::FirmwareVersionText version;
        if (protocol::ReadFirmwareVersion(m_session.Via(), version) == protocol::STATUS_OK)
            firmware = version.Text();
        protocol::SensorIdentity identity;
        if (protocol::ReadIdentity(m_session.Via(), identity) == protocol::STATUS_OK)
            device = protocol::DeviceTypeName(identity.deviceType);
    }
    ShowMessage(m_prompter, "About",
                "Brenmoor Sensors\n\nGUI Version: %s\nFirmware Version: %s\nDevice: %s",
                GUI_VERSION, firmware.c_str(), device.c_str());
}

void MainWindow::ShowPortPins() {
    m_prompter.Inform(QStringLiteral("Sensor Port Pins"), QString::fromUtf8(PORT_PINS_TEXT));
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();  // Escape closes the window like Exit
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace velacor::app
