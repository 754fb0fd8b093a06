// What every velacor-cli command receives: its arguments, the output streams, and the sensor
// the --device option chose.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/wire_trace.h"
#include "link/hid_platform.h"
#include "link/sensor_link.h"

namespace velacor::cli {

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_FAILED = 1;
inline constexpr int EXIT_USAGE = 2;

// The platform the --device option names, the link over it, and the tracer in front of it.
class SensorAccess {
  public:
    // `device`: nullopt (first attached sensor running its firmware), a device path, or
    // "virtual[:OPTION,...]". Returns nullptr with `error` set when it names no device.
    static std::unique_ptr<SensorAccess> Create(const std::optional<std::string>& device,
                                                std::ostream* trace, std::string& error);

    link::HidPlatform& Platform() { return *m_platform; }
    link::SensorLink& Link() { return *m_link; }
    // Every exchange goes through here, so --trace sees it.
    link::Transactor& Via() { return m_tracer; }

    // Opens the chosen sensor with the connect time-out; on failure `error` holds the message.
    bool OpenChosen(std::string& error);

  private:
    SensorAccess(std::unique_ptr<link::HidPlatform> platform, std::string path,
                 std::ostream* trace);

    std::unique_ptr<link::HidPlatform> m_platform;
    std::unique_ptr<link::SensorLink> m_link;
    TracingTransactor m_tracer;
    std::string m_path;  // empty: the first attached sensor running its firmware
};

struct CliContext {
    std::ostream& out;
    std::ostream& err;
    std::vector<std::string> args;  // the command's own arguments
    std::optional<std::string> deviceChoice;
    bool trace = false;

    // The sensor access for commands that talk to a sensor, made on first use; nullptr (with
    // the usage message written) when --device names nothing.
    SensorAccess* Sensor();
    // The chosen sensor, opened. On failure writes the message, sets `status` to the exit
    // status and returns nullptr.
    SensorAccess* ConnectedSensor(int& status);
    std::unique_ptr<SensorAccess> sensor;
};

// Writes `message` as the failure of a command and returns EXIT_FAILED.
int Fail(CliContext& context, const std::string& message);
int Usage(CliContext& context, const std::string& message);

}  // namespace velacor::cli
