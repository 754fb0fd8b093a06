// The main window's connection: which sensor is connected, its flags, its title, and starting
// and stopping it. Runs on the GUI thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/device_list.h"
#include "link/sensor_link.h"
#include "protocol/sensor_control.h"

namespace velacor::connection {

inline constexpr const char* INITIAL_TITLE = "velacor_main (not connected)";
inline constexpr const char* NOT_CONNECTED_TITLE = "not connected";

class ConnectionSession {
  public:
    ConnectionSession(link::SensorLink& link, link::Transactor& via) : m_link(link), m_via(via) {}

    std::uint32_t Flags() const { return m_flags; }
    bool Connected() const { return m_flags != 0; }
    const std::string& CurrentDevicePath() const { return m_currentPath; }

    // Takes over the link the connect view opened to `entry`: flags become Connected only.
    void ConnectDevice(const link::DeviceEntry& entry);
    // "%s (%s)" with the sensor's name and type (at most 71 characters); nullopt when the
    // device information or identity can't be read.
    std::optional<std::string> ReadTitle();
    // Closes the link; flags become 0.
    void Disconnect();
    // Whether a removed device interface is the connected one (paths compared ignoring case).
    bool IsCurrentDevice(std::string_view path) const;

    protocol::ControlOutcome StartSensor(std::uint8_t startState);
    protocol::ControlOutcome StopSensor();
    // The poller's view of the sensor mode: every mode but idle counts as running.
    void SetRunning(bool running);
    // Status part 3 for a sensor mode: the output file while operating or sleeping.
    std::string OutputFileStatus(std::uint8_t mode);

    link::Transactor& Via() { return m_via; }

  private:
    link::SensorLink& m_link;
    link::Transactor& m_via;
    std::uint32_t m_flags = 0;
    std::string m_currentPath;
};

}  // namespace velacor::connection
