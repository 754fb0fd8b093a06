// list, info, start, stop.
#include <charconv>

#include "base/str_printf.h"
#include "cli/commands.h"
#include "connection/device_probe.h"
#include "protocol/device_type.h"
#include "protocol/identity_commands.h"
#include "protocol/sensor_control.h"

namespace velacor::cli {

using namespace velacor::protocol;

int RunList(CliContext& context) {
    if (!context.args.empty())
        return Usage(context, "list takes no arguments");
    SensorAccess* sensor = context.Sensor();
    if (sensor == nullptr)
        return EXIT_USAGE;
    link::DeviceList list;
    const auto rows =
        connection::ProbeDevices(sensor->Platform(), sensor->Link(), sensor->Via(), list);
    for (const auto& row : rows) {
        context.out << row.name << ',' << row.serialNumber << ',' << row.state << ',' << row.type
                    << ',' << list.entries[row.entryIndex].path << '\n';
    }
    return EXIT_OK;
}

int RunInfo(CliContext& context) {
    if (!context.args.empty())
        return Usage(context, "info takes no arguments");
    int status = EXIT_OK;
    SensorAccess* sensor = context.ConnectedSensor(status);
    if (sensor == nullptr)
        return status;
    Transactor& via = sensor->Via();

    DeviceInfo info;
    SensorIdentity identity;
    if (ReadDeviceInfo(via, info) != STATUS_OK || ReadIdentity(via, identity) != STATUS_OK) {
        return Fail(context, "Unable to read the sensor's identity");
    }
    // Like the About box, a value that can't be read is left empty.
    FirmwareVersionText version;
    const std::string versionText =
        ReadFirmwareVersion(via, version) == STATUS_OK ? version.Text() : std::string{};
    PowerStatus power;
    const bool powerOk = ReadPowerStatus(via, power) == STATUS_OK;
    MeasurementCounters counters;
    const bool countersOk = ReadMeasurementCounters(via, counters) == STATUS_OK;

    auto& out = context.out;
    out << "Sensor Device: " << DeviceTypeName(identity.deviceType) << '\n';
    out << "Sensor Name: " << info.Name() << '\n';
    out << base::StrPrintf("Sensor Serial Number: %u\n", unsigned{info.serialNumber});
    out << base::StrPrintf("Processing Board Serial Number: %u\n",
                           unsigned{info.boardSerialNumber});
    out << base::StrPrintf("Bootloader Version: %u\n", unsigned{identity.bootloaderVersion});
    out << "Firmware Version: " << versionText << '\n';
    out << "Supply (V): "
        << (powerOk ? base::StrPrintf("%.1f", power.supplyMillivolts / 1000.0) : "") << '\n';
    out << "Temperature (C): "
        << (powerOk ? base::StrPrintf("%.1f", power.temperatureMilli / 1000.0) : "") << '\n';
    out << "Measurement: "
        << (countersOk ? base::StrPrintf("%d", counters.measurementTripCounter) : "") << '\n';
    return EXIT_OK;
}

namespace {

bool ParseState(const std::string& text, std::uint8_t& state) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value > 254)
        return false;
    state = static_cast<std::uint8_t>(value);
    return true;
}

}  // namespace

int RunStart(CliContext& context) {
    std::uint8_t state = 0;
    if (context.args.size() > 1 ||
        (context.args.size() == 1 && !ParseState(context.args[0], state))) {
        return Usage(context, "start takes one state number, 0 to 254");
    }
    int status = EXIT_OK;
    SensorAccess* sensor = context.ConnectedSensor(status);
    if (sensor == nullptr)
        return status;
    const ControlOutcome outcome = StartSensor(sensor->Via(), state);
    return outcome.ok ? EXIT_OK : Fail(context, outcome.message);
}

int RunStop(CliContext& context) {
    if (!context.args.empty())
        return Usage(context, "stop takes no arguments");
    int status = EXIT_OK;
    SensorAccess* sensor = context.ConnectedSensor(status);
    if (sensor == nullptr)
        return status;
    const ControlOutcome outcome = StopSensor(sensor->Via());
    return outcome.ok ? EXIT_OK : Fail(context, outcome.message);
}

}  // namespace velacor::cli
