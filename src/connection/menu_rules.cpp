#include "connection/menu_rules.h"

#include "connection/connection_flags.h"

namespace velacor::connection {

Availability AvailabilityOf(Command command) {
    switch (command) {
        case Command::ProcessNutrient:
        case Command::ProcessNutrientMulti:
        case Command::ProcessPh:
        case Command::ProcessTa:
        case Command::ProcessDic:
        case Command::DiagnosticsLogView:
        case Command::PlatformSimulator:
        case Command::Exit:
        case Command::About:
        case Command::PortPins:
            return Availability::Always;
        case Command::Disconnect:
        case Command::LogConfiguration:
        case Command::SaveDiagnosticLog:
        case Command::RawGraph:
        case Command::RawText:
        case Command::ProcessedGraph:
        case Command::ProcessedText:
        case Command::Compatibility:
        case Command::DiagnosticsView:
            return Availability::Connected;
        default:
            return Availability::ConnectedIdle;
    }
}

bool IsCommandEnabled(Command command, std::uint32_t connectionFlags) {
    const bool connected = (connectionFlags & FLAG_CONNECTED) != 0;
    const bool running = (connectionFlags & FLAG_RUNNING) != 0;
    switch (AvailabilityOf(command)) {
        case Availability::Always:
            return true;
        case Availability::Connected:
            return connected;
        case Availability::ConnectedIdle:
            return connected && !running;
    }
    return false;
}

}  // namespace velacor::connection
