#include "connection/ui/connect_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

#include "widgets/lists.h"
#include "widgets/post.h"
#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::connection::ui {

namespace {
// Widths in dialog base units.
constexpr std::array<base::ListColumn, 4> COLUMNS = {{
    {"Name", 15},
    {"Serial Number", 10},
    {"State", 15},
    {"Type", 35},
}};
}  // namespace

ConnectView::ConnectView(link::HidPlatform& platform, link::SensorLink& link, link::Transactor& via,
                         widgets::Prompter& prompter, bool showFactorySettings, QWidget* parent)
    : QWidget(parent), m_model(platform, link, via), m_link(link), m_prompter(prompter) {
    QLabel* header = widgets::MakeViewHeader("VELACOR CONNECT");

    m_connect = new QPushButton(QStringLiteral("Connect"));
    m_connect->setToolTip(QStringLiteral("Connect To Sensor"));
    m_upgrade = new QPushButton(QStringLiteral("Upgrade Firmware"));
    m_upgrade->setToolTip(QStringLiteral("Upgrade Sensor Firmware"));
    m_factory = new QPushButton(QStringLiteral("Factory Settings"));
    m_factory->setToolTip(QStringLiteral("Set Factory Settings (requires password)"));
    m_factory->setVisible(showFactorySettings);

    auto* left = new QVBoxLayout;
    left->addWidget(header);
    left->addSpacing(12);
    for (QPushButton* button : {m_connect, m_upgrade, m_factory})
        left->addWidget(button);
    left->addStretch();

    m_list = new QTreeWidget;
    widgets::AddListColumns(m_list, COLUMNS);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAllColumnsShowFocus(true);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(m_list, 1);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &ConnectView::OnClick);
    // A double click (or Enter) on a row acts as a click on Connect, if Connect may be clicked.
    connect(m_list, &QTreeWidget::itemActivated, this, [this] {
        OnClick();
        if (m_connect->isEnabled())
            OnConnect();
    });
    connect(m_connect, &QPushButton::clicked, this, &ConnectView::OnConnect);
    connect(m_upgrade, &QPushButton::clicked, this, &ConnectView::OnUpgrade);
    // The factory settings dialog comes with a later release: the button stays disabled.

    ShowButtons();
    Refresh();
}

ConnectView::~ConnectView() {
    StopWorker();
}

void ConnectView::StopWorker() {
    m_stopped = true;  // a probe result still queued is not shown
    if (m_probing) {
        // The probe owns the link while it runs: closing it ends the exchange in flight.
        m_probe.RequestStop();
        m_link.CloseSensor();
    }
    m_probe.Stop();
}

void ConnectView::Refresh() {
    if (m_stopped)
        return;
    if (m_probing) {
        m_probeAgain = true;
        return;
    }
    StartProbe();
}

void ConnectView::DeviceEvent(int kind) {
    if (m_model.DeviceEvent(kind)) {
        ShowButtons();
        Refresh();
    }
}

void ConnectView::StartProbe() {
    m_probe.Stop();  // the last probe has ended already: its result is shown
    m_probing = true;
    m_probeAgain = false;
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
    }
    ShowButtons();
    const int event = m_model.TakeEvent();
    const bool started = m_probe.Start([this, event] {
        auto result = std::make_shared<ProbeResult>(
            m_model.Probe(event, [this] { return m_probe.StopRequested(); }));
        widgets::PostTo(this, [this, result] { ShowProbe(result); });
    });
    if (!started) {
        m_probing = false;
        ShowButtons();
        widgets::Inform(m_prompter, "Connect", widgets::WORKER_START_FAILED_TEXT);
    }
}

void ConnectView::ShowProbe(std::shared_ptr<ProbeResult> result) {
    if (m_stopped)
        return;
    m_probe.Stop();
    m_probing = false;
    const ConnectAction action = m_model.Apply(std::move(*result));
    ShowRows();
    ShowButtons();
    Carry(action);
    if (m_probeAgain)
        StartProbe();
    emit refreshed();
}

void ConnectView::ShowRows() {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    const auto& rows = m_model.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = static_cast<int>(i);
        widgets::SetListCell(m_list, r, 0, widgets::FromUtf8(rows[i].name));
        widgets::SetListCell(m_list, r, 1, widgets::FromUtf8(rows[i].serialNumber));
        widgets::SetListCell(m_list, r, 2, widgets::FromUtf8(rows[i].state));
        widgets::SetListCell(m_list, r, 3, widgets::FromUtf8(rows[i].type));
    }
    if (const auto selected = m_model.SelectedRow())
        m_list->setCurrentItem(m_list->topLevelItem(static_cast<int>(*selected)));
}

void ConnectView::ShowButtons() {
    const ConnectButtons buttons = m_probing ? ConnectButtons{} : m_model.Buttons();
    m_connect->setEnabled(buttons.connect);
    m_upgrade->setEnabled(buttons.upgrade);
    m_factory->setEnabled(false);
}

void ConnectView::OnClick() {
    if (m_probing)
        return;
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    std::optional<std::size_t> row;
    if (!selected.isEmpty())
        row = static_cast<std::size_t>(m_list->indexOfTopLevelItem(selected.front()));
    m_model.Click(row);
    ShowButtons();
}

void ConnectView::OnConnect() {
    if (m_probing)
        return;
    OnClick();
    Carry(m_model.Connect());
    ShowButtons();
}

void ConnectView::OnUpgrade() {
    if (m_probing)
        return;
    Carry(m_model.UpgradeFirmware());
    ShowButtons();
}

void ConnectView::Carry(const ConnectAction& action) {
    using Kind = ConnectAction::Kind;
    switch (action.kind) {
        case Kind::Message:
            m_prompter.Inform(widgets::FromUtf8(action.title), widgets::FromUtf8(action.message));
            break;
        case Kind::ConnectDevice:
            emit connectDevice(action.entry);
            break;
        case Kind::WaitForFirmware: {
            const QSignalBlocker quiet(m_list);
            m_list->clearSelection();
            break;
        }
        case Kind::RunUpgrade:
            emit upgradeRequested(action.entry.mode);
            m_model.DialogEnded();
            break;
        case Kind::RunFactorySettings:
        case Kind::None:
            break;
    }
}

}  // namespace velacor::connection::ui
