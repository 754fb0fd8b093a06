// The main window over a virtual HID platform, as the app tests drive it: sensors added before
// it opens, the connect view's list, connecting, menu commands, pictures for a person.
#pragma once

#include <QAction>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

#include "app/main_window.h"
#include "connection/ui/connect_view.h"
#include "emulator/virtual_hid_platform.h"
#include "link/device_monitor.h"
#include "widgets/scripted_prompter.h"
#include "widgets/wait.h"

namespace velacor::app::testing {

using connection::Command;
using connection::ui::ConnectView;
using widgets::testing::ScriptedPrompter;
using widgets::testing::Shown;
using widgets::testing::WaitUntil;

inline emulator::SensorOptions Named(const char* name, bool bootloader = false) {
    emulator::SensorOptions options;
    options.name = name;
    options.bootloader = bootloader;
    options.restartDelayMs = 150;
    return options;
}

class MainWindowTest : public ::testing::Test {
  protected:
    // Adds sensors before the window opens, so its first probe lists them.
    std::shared_ptr<emulator::VirtualSensor> Add(emulator::SensorOptions options) {
        auto sensor = std::make_shared<emulator::VirtualSensor>(options);
        m_platform.AddSensor(sensor);
        return sensor;
    }

    void Open(MainWindowOptions options = {}) {
        m_window = std::make_unique<MainWindow>(m_platform, m_link, m_link, m_prompter, options);
        m_monitor.Start([this](const link::DeviceEvent& e) { m_window->PostDeviceEvent(e); }, {});
        ASSERT_TRUE(WaitUntil([this] { return View() && !View()->Probing(); }));
    }

    void TearDown() override {
        m_monitor.Stop();
        m_window.reset();
    }

    ConnectView* View() const { return m_window->ConnectViewShown(); }
    QTreeWidget* List() const { return View()->DeviceList(); }
    QString Cell(int row, int column) const { return List()->topLevelItem(row)->text(column); }
    int RowNamed(const QString& name) const {
        for (int r = 0; r < List()->topLevelItemCount(); ++r) {
            if (Cell(r, 0) == name)
                return r;
        }
        return -1;
    }
    void Select(int row) { List()->setCurrentItem(List()->topLevelItem(row)); }
    void DoubleClick(int row) {
        Select(row);
        emit List()->itemActivated(List()->topLevelItem(row), 0);
    }
    bool Enabled(Command command) const { return m_window->Menu().Action(command)->isEnabled(); }
    // With VELACOR_SCREENSHOTS=DIR set, saves the window as DIR/NAME.png for a person to look at.
    void Screenshot(const char* name) const {
        const QString dir = qEnvironmentVariable("VELACOR_SCREENSHOTS");
        if (!dir.isEmpty())
            m_window->grab().save(dir + "/" + name + ".png");
    }

    void ConnectTo(const QString& name) {
        const int row = RowNamed(name);
        ASSERT_GE(row, 0);
        Select(row);
        View()->ConnectButton()->click();
        ASSERT_TRUE(WaitUntil([this] { return m_window->ConnectionFlags() != 0; }));
    }

    emulator::VirtualHidPlatform m_platform;
    link::SensorLink m_link{m_platform};
    link::PollingDeviceMonitor m_monitor{m_platform, std::chrono::milliseconds(20)};
    ScriptedPrompter m_prompter;
    std::unique_ptr<MainWindow> m_window;
};

}  // namespace velacor::app::testing
