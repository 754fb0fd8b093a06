#include "cli/cli_context.h"

#include "connection/device_probe.h"
#include "emulator/sensor_options.h"
#include "emulator/virtual_hid_platform.h"
#include "link/hidraw_platform.h"

namespace velacor::cli {

SensorAccess::SensorAccess(std::unique_ptr<link::HidPlatform> platform, std::string path,
                           std::ostream* trace)
    : m_platform(std::move(platform)),
      m_link(std::make_unique<link::SensorLink>(*m_platform)),
      m_tracer(*m_link, trace),
      m_path(std::move(path)) {}

std::unique_ptr<SensorAccess> SensorAccess::Create(const std::optional<std::string>& device,
                                                   std::ostream* trace, std::string& error) {
    constexpr std::string_view VIRTUAL = "virtual";
    if (device && device->starts_with(VIRTUAL)) {
        std::string_view rest = std::string_view(*device).substr(VIRTUAL.size());
        if (!rest.empty() && rest.front() != ':') {
            error = "unknown device '" + *device + "'";
            return nullptr;
        }
        if (!rest.empty())
            rest.remove_prefix(1);
        const auto options = emulator::ParseSensorOptions(rest, error);
        if (!options)
            return nullptr;
        auto platform = std::make_unique<emulator::VirtualHidPlatform>();
        std::string path = platform->AddSensor(std::make_shared<emulator::VirtualSensor>(*options));
        return std::unique_ptr<SensorAccess>(
            new SensorAccess(std::move(platform), std::move(path), trace));
    }
    return std::unique_ptr<SensorAccess>(new SensorAccess(std::make_unique<link::HidrawPlatform>(),
                                                          device.value_or(std::string{}), trace));
}

bool SensorAccess::OpenChosen(std::string& error) {
    std::string path = m_path;
    if (path.empty()) {
        link::DeviceList list;
        const auto rows = connection::ProbeDevices(*m_platform, *m_link, m_tracer, list);
        for (const auto& row : rows) {
            const link::DeviceEntry& entry = list.entries[row.entryIndex];
            if (entry.mode != link::MODE_NOT_PROBED && entry.mode != link::MODE_BOOTLOADER) {
                path = entry.path;
                break;
            }
        }
        if (path.empty()) {
            error = "No sensor running its firmware is attached";
            return false;
        }
    }
    if (m_link->OpenSensor(path, link::CONNECT_TIMEOUT_MS) != 0) {
        error = "Failed to connect";
        return false;
    }
    return true;
}

SensorAccess* CliContext::Sensor() {
    if (!sensor) {
        std::string error;
        sensor = SensorAccess::Create(deviceChoice, trace ? &err : nullptr, error);
        if (!sensor)
            Usage(*this, error);
    }
    return sensor.get();
}

SensorAccess* CliContext::ConnectedSensor(int& status) {
    SensorAccess* access = Sensor();
    if (access == nullptr) {
        status = EXIT_USAGE;
        return nullptr;
    }
    std::string error;
    if (!access->OpenChosen(error)) {
        status = Fail(*this, error);
        return nullptr;
    }
    return access;
}

int Fail(CliContext& context, const std::string& message) {
    context.err << message << '\n';
    return EXIT_FAILED;
}

int Usage(CliContext& context, const std::string& message) {
    context.err << "velacor-cli: " << message << "\nTry 'velacor-cli --help'.\n";
    return EXIT_USAGE;
}

}  // namespace velacor::cli
