// The connect view's logic: the probed device list, the selection, the three buttons and what
// each button does. The view only shows rows and buttons and carries out the actions.
//
// Threads: Probe() runs on a worker while nothing else uses the link (the connect view is
// shown); everything else on the GUI thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "connection/device_probe.h"
#include "link/device_list.h"
#include "link/sensor_link.h"

namespace velacor::connection {

struct ConnectButtons {
    bool connect = false;
    bool upgrade = false;
    bool factorySettings = false;
};

struct ProbeResult {
    link::DeviceList list;
    std::vector<DeviceRow> rows;
    int event = 0;  // the device notification this probe answers (0: none)
};

struct ConnectAction {
    enum class Kind {
        None,
        Message,            // show `message` titled `title`
        ConnectDevice,      // the link is open to `entry`: hand it to the main window
        WaitForFirmware,    // the bootloader was told to start its firmware
        RunUpgrade,         // the link is open (5000 ms) to `entry`: run the upgrade dialog
        RunFactorySettings  // likewise for the factory settings dialog
    };
    Kind kind = Kind::None;
    std::string title;
    std::string message;
    link::DeviceEntry entry;
};

class ConnectModel {
  public:
    ConnectModel(link::HidPlatform& platform, link::SensorLink& link, link::Transactor& via)
        : m_platform(platform), m_link(link), m_via(via) {}

    // Closes the link and probes every attached device (slow: up to 2 s for a silent one).
    // `event` is the notification the probe answers, from TakeEvent().
    // `stopRequested` as ProbeDevices takes it.
    ProbeResult Probe(int event = 0, const std::function<bool()>& stopRequested = {});
    // Shows a probe's result. After a device arrival it selects again the last row with the
    // remembered name and, when a bootloader was told to start its firmware, connects to it.
    ConnectAction Apply(ProbeResult result);

    const std::vector<DeviceRow>& Rows() const { return m_result.rows; }
    const link::DeviceEntry& EntryOf(const DeviceRow& row) const {
        return m_result.list.entries[row.entryIndex];
    }
    std::optional<std::size_t> SelectedRow() const { return m_selectedRow; }
    ConnectButtons Buttons() const { return m_buttons; }
    bool FirmwareStartPending() const { return m_firmwareStartPending; }

    // A click on a row, or on no row (nullopt).
    void Click(std::optional<std::size_t> row);
    ConnectAction Connect();
    ConnectAction UpgradeFirmware();
    ConnectAction FactorySettings();
    // The upgrade or factory settings dialog has ended: the link it used is closed.
    void DialogEnded();

    // A device notification while the view is shown: true when the list must be probed again
    // (arrival and remove complete; the other kinds are ignored).
    bool DeviceEvent(int kind);
    // The notification the next probe answers; an arrival outweighs a removal.
    int TakeEvent();

  private:
    ConnectAction OpenSelected(const char* title, int timeoutMs, ConnectAction::Kind kind);

    link::HidPlatform& m_platform;
    link::SensorLink& m_link;
    link::Transactor& m_via;
    ProbeResult m_result;
    std::optional<std::size_t> m_selectedRow;
    std::string m_selectedName;
    ConnectButtons m_buttons;
    bool m_firmwareStartPending = false;
    int m_pendingEvent = 0;  // notifications not yet answered by a probe
};

}  // namespace velacor::connection
