// Which main-window commands may be used in which connection state.
#pragma once

#include <cstdint>

namespace velacor::connection {

enum class Command {
    // File
    Disconnect,
    MountAsDrive,
    LogConfiguration,
    SaveDiagnosticLog,
    ProcessNutrient,
    ProcessNutrientMulti,
    ProcessPh,
    Exit,
    // View
    RawGraph,
    RawText,
    ProcessedGraph,
    ProcessedText,
    Compatibility,
    // Configure
    ConfigureClock,
    ConfigureChemistry,
    ConfigureRs232,
    ConfigurePlatformDefaults,
    ConfigureStateMachine,
    ConfigureSchedule,
    ConfigureTelemetry,
    // Help
    About,
    PortPins,
    // Commands the main menu does not offer (the service menu does)
    ConfigureRs485,
    ConfigureOptics,
    ConfigureIdentification,
    ConfigureThermistors,
    ConfigureStartStates,
    DiagnosticsView,
    DiagnosticsLogView,
    ProcessTa,
    ProcessDic,
    PlatformSimulator,
    FullStateMachineEditor,
};

enum class Availability {
    Always,         // whatever the connection
    Connected,      // while a sensor is connected
    ConnectedIdle,  // while connected and the state machine is not running
};

Availability AvailabilityOf(Command command);
bool IsCommandEnabled(Command command, std::uint32_t connectionFlags);

}  // namespace velacor::connection
