#include "app/main_window.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

#include "base/version.h"
#include "config/ui/chemistry_editor_dialog.h"
#include "config/ui/settings_editor_dialogs.h"
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
#include "widgets/post.h"
#include "widgets/prompter.h"
#include "widgets/text.h"
#include "widgets/view_with_worker.h"

namespace velacor::app {

using connection::Command;

namespace {

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

    m_menu = std::make_unique<MainMenu>(menuBar(), CommandTable(), options.service);
    BuildStatusBar();

    setWindowTitle(QString::fromUtf8(connection::NOT_CONNECTED_TITLE));
    SetStatus(connection::NotConnectedStatus());
    ShowConnectView();
    m_menu->Update(m_session.Flags());
}

std::vector<MenuCommand> MainWindow::CommandTable() {
    const auto view = [this](Command which) { return [this, which] { ShowOutputView(which); }; };
    return {
        {Command::Disconnect, "&File", "&Disconnect", false, [this] { Disconnect(); }},
        {Command::MountAsDrive, "&File", "&Mount Sensor As Drive", false,
         [this] { MountAsDrive(); }},
        {Command::LogConfiguration, "&File", "&Log Sensor Configuration...", false, {}},
        {Command::SaveDiagnosticLog, "&File", "&Save Diagnostic Log...", false, {}},
        {Command::ProcessNutrient, "&File", "Process Raw &Nutrient File...", true,
         [this] { ProcessRawFile<processing::ui::NutrientDialog>(); }},
        {Command::ProcessNutrientMulti, "&File", "Process Raw N&utrient File (Multi)...", false,
         [this] { ProcessRawFile<processing::ui::MultiNutrientDialog>(); }},
        {Command::ProcessPh, "&File", "Process Raw p&H File...", false,
         [this] { ProcessRawFile<processing::ui::PhDialog>(); }},
        {Command::Exit, "&File", "E&xit", true, [this] { close(); }},
        {Command::RawGraph, "&View", "Raw Output (&graph)", false, view(Command::RawGraph)},
        {Command::RawText, "&View", "Raw Output (&text)", false, view(Command::RawText)},
        {Command::ProcessedGraph, "&View", "&Processed Output (graph)", false,
         view(Command::ProcessedGraph)},
        {Command::ProcessedText, "&View", "&Processed Output (text)", false,
         view(Command::ProcessedText)},
        {Command::Compatibility, "&View", "&Compatibility", false,
         [this] { ShowCompatibilityView(); }},
        {Command::ConfigureClock, "&Configure", "Real Time &Clock...", false, {}},
        {Command::ConfigureChemistry, "&Configure", "C&hemistry...", false,
         [this] { RunEditor<config::ui::ChemistryEditorDialog>(); }},
        {Command::ConfigureRs232, "&Configure", "RS&232...", false, {}},
        {Command::ConfigurePlatformDefaults, "&Configure", "&Platform Defaults...", false, {}},
        {Command::ConfigureStateMachine, "&Configure", "&State Machine...", false,
         [this] { EditStateMachine(true); }},
        {Command::ConfigureSchedule, "&Configure", "&Measurement Schedule...", false, {}},
        {Command::ConfigureTelemetry, "&Configure", "T&elemetry Parameters...", false,
         [this] { RunEditor<config::ui::TelemetryEditorDialog>(); }},
        {Command::About, "&Help", "&About...", false, [this] { ShowAbout(); }},
        {Command::PortPins, "&Help", "Sensor &Port Pins...", false, [this] { ShowPortPins(); }},
        // The commands the main menu does not offer, for service work.
        {Command::ConfigureRs485, SERVICE_MENU_TITLE, "RS&485...", false, {}},
        {Command::ConfigureOptics,
         SERVICE_MENU_TITLE,
         "&Optics, Valves && Pump Defaults...",
         false,
         {}},
        {Command::ConfigureIdentification,
         SERVICE_MENU_TITLE,
         "Sensor &Identification...",
         false,
         {}},
        {Command::ConfigureThermistors, SERVICE_MENU_TITLE, "&Thermistors...", false,
         [this] { RunEditor<config::ui::ThermistorsDialog>(); }},
        {Command::ConfigureStartStates, SERVICE_MENU_TITLE, "St&art States...", false,
         [this] { RunEditor<config::ui::StartStatesDialog>(false); }},
        {Command::DiagnosticsView, SERVICE_MENU_TITLE, "&Diagnostics", false, {}},
        {Command::DiagnosticsLogView, SERVICE_MENU_TITLE, "Diagnostic &Log File...", false, {}},
        {Command::ProcessTa, SERVICE_MENU_TITLE, "Process Raw T&A File...", false,
         [this] { ProcessRawFile<processing::ui::TaDialog>(); }},
        {Command::ProcessDic, SERVICE_MENU_TITLE, "Process Raw &DIC File...", false,
         [this] { ProcessRawFile<processing::ui::DicDialog>(); }},
        {Command::PlatformSimulator, SERVICE_MENU_TITLE, "Platform Si&mulator...", false, {}},
        {Command::FullStateMachineEditor, SERVICE_MENU_TITLE, "State Machine (&Full Editor)...",
         false, [this] { EditStateMachine(false); }},
    };
}

void MainWindow::BuildStatusBar() {
    // The parts stand side by side without the status bar's own spacing, so that their right
    // edges stand exactly where the table puts them.
    auto* parts = new QWidget;
    auto* row = new QHBoxLayout(parts);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    statusBar()->addWidget(parts, 1);
    statusBar()->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < m_status.size(); ++i) {
        m_status[i] = new QLabel;
        m_status[i]->setFrameShape(QFrame::Panel);
        m_status[i]->setFrameShadow(QFrame::Sunken);
        row->addWidget(m_status[i], i + 1 < m_status.size() ? 0 : 1);
    }
    FitStatusParts();
}

void MainWindow::FitStatusParts() {
    // The bar's own margin puts the first part a few pixels in from the window's edge: the
    // first part gives them back.
    const int origin = m_status[0]->parentWidget()->mapTo(this, QPoint(0, 0)).x();
    int left = origin;
    for (std::size_t i = 0; i + 1 < m_status.size(); ++i) {
        const int right = connection::STATUS_PART_RIGHT_EDGES[i];
        m_status[i]->setFixedWidth(std::max(1, right - left));
        left = right;
    }
}

MainWindow::~MainWindow() {
    // Closing the link first ends any request in flight at once; then the view's worker and
    // the poller are joined.
    m_link.CloseSensor();
    delete m_view;
    m_poller.Stop();
}

void MainWindow::PostDeviceEvent(const link::DeviceEvent& event) {
    widgets::PostTo(this, [this, event] { DeviceEvent(event); });
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

QRect MainWindow::StatusPartGeometry(std::size_t part) const {
    const QLabel* label = m_status.at(part);
    return QRect(label->mapTo(this, QPoint(0, 0)), label->size());
}

void MainWindow::StopViewWork() {
    if (auto* worker = dynamic_cast<widgets::ViewWithWorker*>(m_view.data()))
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
        setWindowTitle(widgets::FromUtf8(*title));
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
    // The editor belongs to this window, not to the view: an unplug while it is open replaces
    // the view under it.
    connect(view, &connection::ui::OutputView::autostartRequested, this,
            [this] { RunEditor<config::ui::StartStatesDialog>(true); });
    view->SetConnectionFlags(m_session.Flags());
    SetView(view);
}

void MainWindow::StartPoller() {
    // The reports come from the poller's thread: each is queued to this window with a copy.
    connection::PollerReports reports;
    reports.linkHealth = [this](bool ok, const protocol::PowerStatus& power) {
        widgets::PostTo(this, [this, ok, power] { LinkHealth(ok, power); });
    };
    reports.measurementInfo = [this](bool ok, const protocol::MeasurementCounters& counters) {
        widgets::PostTo(this, [this, ok, counters] { MeasurementInfo(ok, counters); });
    };
    reports.sensorRunning = [this](std::uint8_t mode) {
        widgets::PostTo(this, [this, mode] { SensorRunning(mode); });
    };
    reports.sensorIdle = [this](std::uint8_t mode) {
        widgets::PostTo(this, [this, mode] { SensorIdle(mode); });
    };
    if (!m_poller.Start(m_session.Via(), std::move(reports)))
        widgets::Inform(m_prompter, "Connect", widgets::WORKER_START_FAILED_TEXT);
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
        widgets::Inform(m_prompter, outcome.title, outcome.message);
    ConnectionChanged();
}

void MainWindow::StopSensor() {
    const protocol::ControlOutcome outcome = m_session.StopSensor();
    if (!outcome.ok)
        widgets::Inform(m_prompter, outcome.title, outcome.message);
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
        widgets::Inform(m_prompter, outcome.title, outcome.message);
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
    widgets::SetStatusText(m_status.at(part), text);
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

template <class Editor, class... Options>
void MainWindow::RunEditor(Options... options) {
    if (!m_session.Connected())
        return;
    Editor editor(m_session.Via(), m_prompter, options..., this);
    if (editor.Open())
        editor.exec();
    RefreshView();
}

void MainWindow::RefreshView() {
    if (auto* view = dynamic_cast<connection::ui::OutputView*>(m_view.data()))
        view->Refresh();
}

template <class Dialog>
void MainWindow::ProcessRawFile() {
    Dialog dialog(m_prompter, this);
    dialog.SetSensor(m_session.Connected() ? &m_session.Via() : nullptr);
    if (dialog.Open())
        dialog.exec();
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
    widgets::ShowMessage(m_prompter, "About",
                         "Brenmoor Sensors\nGUI Version: %s\nFirmware Version: %s\nDevice: %s",
                         base::VERSION, firmware.c_str(), device.c_str());
}

void MainWindow::ShowPortPins() {
    m_prompter.Inform(QStringLiteral("Sensor Port Pins"), QString::fromUtf8(PORT_PINS_TEXT));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FitStatusParts();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FitStatusParts();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();  // Escape closes the window like Exit
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace velacor::app
