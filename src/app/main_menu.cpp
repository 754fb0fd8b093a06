#include "app/main_menu.h"

#include <QAction>
#include <QMenu>

namespace velacor::app {

using connection::Command;

namespace {

struct MenuItem {
    const char* menu;  // nullptr: separator in the previous menu
    const char* caption;
    Command command;
};

constexpr MenuItem MAIN_MENU[] = {
    {"&File", "&Disconnect", Command::Disconnect},
    {"&File", "&Mount Sensor As Drive", Command::MountAsDrive},
    {"&File", "&Log Sensor Configuration...", Command::LogConfiguration},
    {"&File", "&Save Diagnostic Log...", Command::SaveDiagnosticLog},
    {"&File", "Process Raw &Nutrient File...", Command::ProcessNutrient},
    {"&File", "Process Raw N&utrient File (Multi)...", Command::ProcessNutrientMulti},
    {"&File", "Process Raw p&H File...", Command::ProcessPh},
    {"&File", "E&xit", Command::Exit},
    {"&View", "Raw Output (&graph)", Command::RawGraph},
    {"&View", "Raw Output (&text)", Command::RawText},
    {"&View", "&Processed Output (graph)", Command::ProcessedGraph},
    {"&View", "&Processed Output (text)", Command::ProcessedText},
    {"&View", "&Compatibility", Command::Compatibility},
    {"&Configure", "Real Time &Clock...", Command::ConfigureClock},
    {"&Configure", "C&hemistry...", Command::ConfigureChemistry},
    {"&Configure", "RS&232...", Command::ConfigureRs232},
    {"&Configure", "&Platform Defaults...", Command::ConfigurePlatformDefaults},
    {"&Configure", "&State Machine...", Command::ConfigureStateMachine},
    {"&Configure", "&Measurement Schedule...", Command::ConfigureSchedule},
    {"&Configure", "T&elemetry Parameters...", Command::ConfigureTelemetry},
    {"&Help", "&About...", Command::About},
    {"&Help", "Sensor &Port Pins...", Command::PortPins},
};

// The commands the main menu does not offer, for service work.
constexpr MenuItem SERVICE_MENU[] = {
    {"&Service", "RS&485...", Command::ConfigureRs485},
    {"&Service", "&Optics, Valves && Pump Defaults...", Command::ConfigureOptics},
    {"&Service", "Sensor &Identification...", Command::ConfigureIdentification},
    {"&Service", "&Thermistors...", Command::ConfigureThermistors},
    {"&Service", "St&art States...", Command::ConfigureStartStates},
    {"&Service", "&Diagnostics", Command::DiagnosticsView},
    {"&Service", "Diagnostic &Log File...", Command::DiagnosticsLogView},
    {"&Service", "Process Raw T&A File...", Command::ProcessTa},
    {"&Service", "Process Raw &DIC File...", Command::ProcessDic},
    {"&Service", "Platform Si&mulator...", Command::PlatformSimulator},
    {"&Service", "State Machine (&Full Editor)...", Command::FullStateMachineEditor},
};

}  // namespace

MainMenu::MainMenu(QMenuBar* bar, bool serviceMenu) {
    std::map<QString, QMenu*> menus;
    auto add = [&](const MenuItem& item) {
        const QString title = QString::fromUtf8(item.menu);
        QMenu*& menu = menus[title];
        if (menu == nullptr)
            menu = bar->addMenu(title);
        if (item.command == Command::Exit || item.command == Command::ProcessNutrient)
            menu->addSeparator();
        m_actions[item.command] = menu->addAction(QString::fromUtf8(item.caption));
    };
    for (const MenuItem& item : MAIN_MENU)
        add(item);
    if (serviceMenu) {
        for (const MenuItem& item : SERVICE_MENU)
            add(item);
    }
}

QAction* MainMenu::Action(Command command) const {
    const auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void MainMenu::Update(std::uint32_t connectionFlags) {
    for (auto& [command, action] : m_actions) {
        action->setEnabled(m_built.contains(command) &&
                           connection::IsCommandEnabled(command, connectionFlags));
    }
}

}  // namespace velacor::app
