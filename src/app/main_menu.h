// The main menu: captions, access keys, and which commands exist yet.
#pragma once

#include <QMenuBar>

#include <map>
#include <set>

#include "connection/menu_rules.h"

class QAction;

namespace velacor::app {

class MainMenu {
  public:
    // Builds the File, View, Configure and Help menus, and the Service menu when asked.
    MainMenu(QMenuBar* bar, bool serviceMenu);

    QAction* Action(connection::Command command) const;
    // Marks a command as carried out by this program; only those can be enabled.
    void SetBuilt(connection::Command command) { m_built.insert(command); }
    // Enables each built command as the connection flags allow; the rest stay greyed.
    void Update(std::uint32_t connectionFlags);

  private:
    std::map<connection::Command, QAction*> m_actions;
    std::set<connection::Command> m_built;
};

}  // namespace velacor::app
