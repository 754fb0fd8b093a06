#include "app/main_menu.h"

#include <QAction>
#include <QMenu>

#include <cstring>

namespace velacor::app {

MainMenu::MainMenu(QMenuBar* bar, std::span<const MenuCommand> commands, bool serviceMenu) {
    std::map<QString, QMenu*> menus;
    for (const MenuCommand& item : commands) {
        if (!serviceMenu && std::strcmp(item.menu, SERVICE_MENU_TITLE) == 0)
            continue;
        const QString title = QString::fromUtf8(item.menu);
        QMenu*& menu = menus[title];
        if (menu == nullptr)
            menu = bar->addMenu(title);
        if (item.separatorBefore)
            menu->addSeparator();
        QAction* action = menu->addAction(QString::fromUtf8(item.caption));
        m_actions[item.command] = action;
        m_built[item.command] = static_cast<bool>(item.run);
        if (item.run)
            QObject::connect(action, &QAction::triggered, action, item.run);
    }
}

QAction* MainMenu::Action(connection::Command command) const {
    const auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void MainMenu::Update(std::uint32_t connectionFlags) {
    for (auto& [command, action] : m_actions) {
        action->setEnabled(m_built[command] &&
                           connection::IsCommandEnabled(command, connectionFlags));
    }
}

}  // namespace velacor::app
