// The main menu, built from the window's command table: one row per command with its menu,
// caption and handler. A command without a handler is not built yet and stays greyed; the
// others are enabled as the connection state allows (connection/menu_rules.h).
#pragma once

#include <QMenuBar>

#include <functional>
#include <map>
#include <span>

#include "connection/menu_rules.h"

class QAction;

namespace velacor::app {

struct MenuCommand {
    connection::Command command;
    const char* menu;  // "&File"; the Service menu exists only in service mode
    const char* caption;
    bool separatorBefore = false;
    std::function<void()> run;  // empty: not built yet
};

class MainMenu {
  public:
    MainMenu(QMenuBar* bar, std::span<const MenuCommand> commands, bool serviceMenu);

    QAction* Action(connection::Command command) const;
    // Enables each built command as the connection flags allow; the rest stay greyed.
    void Update(std::uint32_t connectionFlags);

  private:
    std::map<connection::Command, QAction*> m_actions;
    std::map<connection::Command, bool> m_built;
};

inline constexpr const char* SERVICE_MENU_TITLE = "&Service";

}  // namespace velacor::app
