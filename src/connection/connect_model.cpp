#include "connection/connect_model.h"

#include "base/str_printf.h"
#include "link/device_monitor.h"
#include "protocol/identity_commands.h"

namespace velacor::connection {
namespace {

constexpr std::size_t MAX_SELECTED_NAME = 20;

ConnectAction Message(const char* title, const char* message) {
    ConnectAction action;
    action.kind = ConnectAction::Kind::Message;
    action.title = title;
    action.message = message;
    return action;
}

}  // namespace

ProbeResult ConnectModel::Probe(int event, const std::function<bool()>& stopRequested) {
    ProbeResult result;
    result.rows = ProbeDevices(m_platform, m_link, m_via, result.list, stopRequested);
    result.event = event;
    return result;
}

ConnectAction ConnectModel::Apply(ProbeResult result) {
    m_result = std::move(result);
    m_selectedRow.reset();
    m_buttons = {};
    if (m_result.event == link::DEVICE_ARRIVAL) {
        for (std::size_t i = 0; i < m_result.rows.size(); ++i) {
            if (m_result.rows[i].name == m_selectedName)
                m_selectedRow = i;
        }
        if (m_firmwareStartPending) {
            m_firmwareStartPending = false;
            m_link.CloseSensor();
            return Connect();
        }
    }
    return {};
}

void ConnectModel::Click(std::optional<std::size_t> row) {
    if (!row || *row >= m_result.rows.size()) {
        m_selectedRow.reset();
        m_buttons = {};
        return;
    }
    m_selectedRow = row;
    m_selectedName = base::Truncated(m_result.rows[*row].name, MAX_SELECTED_NAME);
    const std::uint32_t mode = EntryOf(m_result.rows[*row]).mode;
    m_buttons.connect = mode != link::MODE_NOT_PROBED;
    m_buttons.upgrade = mode == link::MODE_BOOTLOADER;
    m_buttons.factorySettings = mode != link::MODE_NOT_PROBED;
}

ConnectAction ConnectModel::OpenSelected(const char* title, int timeoutMs,
                                         ConnectAction::Kind kind) {
    if (!m_selectedRow)
        return Message(title, "Nothing selected");
    const link::DeviceEntry& entry = EntryOf(m_result.rows[*m_selectedRow]);
    if (m_link.OpenSensor(entry.path, timeoutMs) != 0) {
        return Message(title, kind == ConnectAction::Kind::ConnectDevice
                                  ? "Failed to connect"
                                  : "Failed to connect to sensor");
    }
    ConnectAction action;
    action.kind = kind;
    action.title = title;
    action.entry = entry;
    return action;
}

ConnectAction ConnectModel::Connect() {
    ConnectAction action =
        OpenSelected("Connect", link::CONNECT_TIMEOUT_MS, ConnectAction::Kind::ConnectDevice);
    if (action.kind == ConnectAction::Kind::Message) {
        if (m_selectedRow)  // the selected device could not be opened
            m_buttons = {true, false, false};
        return action;
    }
    if (action.entry.mode != link::MODE_BOOTLOADER)
        return action;
    // A bootloader: start its firmware and wait for the device to come back.
    if (protocol::StartFirmware(m_via) != protocol::STATUS_OK) {
        m_buttons = {true, true, true};
        return Message("Connect", "Failed to start firmware");
    }
    m_selectedRow.reset();
    m_firmwareStartPending = true;
    action.kind = ConnectAction::Kind::WaitForFirmware;
    return action;
}

ConnectAction ConnectModel::UpgradeFirmware() {
    return OpenSelected("Upgrade Firmware", link::UPGRADE_TIMEOUT_MS,
                        ConnectAction::Kind::RunUpgrade);
}

ConnectAction ConnectModel::FactorySettings() {
    return OpenSelected("Factory Settings", link::UPGRADE_TIMEOUT_MS,
                        ConnectAction::Kind::RunFactorySettings);
}

void ConnectModel::DialogEnded() {
    m_link.CloseSensor();
}

bool ConnectModel::DeviceEvent(int kind) {
    if (kind != link::DEVICE_ARRIVAL && kind != link::DEVICE_REMOVE_COMPLETE)
        return false;
    if (m_pendingEvent != link::DEVICE_ARRIVAL)
        m_pendingEvent = kind;
    m_buttons = {};
    return true;
}

int ConnectModel::TakeEvent() {
    const int event = m_pendingEvent;
    m_pendingEvent = 0;
    return event;
}

}  // namespace velacor::connection
