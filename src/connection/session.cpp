#include "connection/session.h"

#include <algorithm>
#include <cctype>

#include "base/str_printf.h"
#include "connection/connection_flags.h"
#include "connection/status_texts.h"
#include "protocol/device_type.h"
#include "protocol/identity_commands.h"

namespace velacor::connection {

namespace {
constexpr std::size_t MAX_PATH_CHARS = 259;
constexpr std::size_t MAX_TITLE_CHARS = 71;
}  // namespace

void ConnectionSession::ConnectDevice(const link::DeviceEntry& entry) {
    m_currentPath = base::Truncated(entry.path, MAX_PATH_CHARS);
    m_flags = FLAG_CONNECTED;
}

std::optional<std::string> ConnectionSession::ReadTitle() {
    protocol::DeviceInfo info;
    protocol::SensorIdentity identity;
    if (protocol::ReadDeviceInfo(m_via, info) != protocol::STATUS_OK ||
        protocol::ReadIdentity(m_via, identity) != protocol::STATUS_OK) {
        return std::nullopt;
    }
    return base::Truncated(base::StrPrintf("%s (%s)", info.Name().c_str(),
                                           protocol::DeviceTypeName(identity.deviceType).c_str()),
                           MAX_TITLE_CHARS);
}

void ConnectionSession::Disconnect() {
    m_link.CloseSensor();
    m_flags = 0;
    m_currentPath.clear();
}

bool ConnectionSession::IsCurrentDevice(std::string_view path) const {
    return Connected() && std::equal(path.begin(), path.end(), m_currentPath.begin(),
                                     m_currentPath.end(), [](char a, char b) {
                                         return std::tolower(static_cast<unsigned char>(a)) ==
                                                std::tolower(static_cast<unsigned char>(b));
                                     });
}

protocol::ControlOutcome ConnectionSession::StartSensor(std::uint8_t startState) {
    protocol::ControlOutcome outcome = protocol::StartSensor(m_via, startState);
    if (outcome.ok)
        m_flags |= FLAG_RUNNING;
    return outcome;
}

protocol::ControlOutcome ConnectionSession::StopSensor() {
    protocol::ControlOutcome outcome = protocol::StopSensor(m_via);
    if (outcome.ok)
        m_flags &= ~FLAG_RUNNING;
    return outcome;
}

void ConnectionSession::SetRunning(bool running) {
    if (!Connected())
        return;
    m_flags = running ? (m_flags | FLAG_RUNNING) : (m_flags & ~FLAG_RUNNING);
}

std::string ConnectionSession::OutputFileStatus(std::uint8_t mode) {
    if (!ModeShowsOutputFile(mode))
        return {};
    protocol::OutputFileName name;
    if (protocol::ReadOutputFileName(m_via, name) != protocol::STATUS_OK)
        return {};
    return OutputFileText(name.Name());
}

}  // namespace velacor::connection
