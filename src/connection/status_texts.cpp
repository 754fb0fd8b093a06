#include "connection/status_texts.h"

#include "base/str_printf.h"
#include "connection/connection_flags.h"

namespace velacor::connection {

StatusTexts NotConnectedStatus() {
    return {"\tnot connected", "", "", "", ""};
}

std::string MeasurementText(bool ok, const protocol::MeasurementCounters& counters) {
    return ok ? base::StrPrintf("\tMeasurement %d", counters.measurementTripCounter) : "";
}

std::string LinkHealthText(bool ok) {
    return ok ? "\tUSB Comms OK" : "\tUSB Comms Error";
}

std::string PowerText(bool ok, const protocol::PowerStatus& power) {
    // The degree sign is one character; this program's texts are UTF-8.
    return ok ? base::StrPrintf("\t%.1fV/%.1f\u00B0C", power.supplyMillivolts / 1000.0,
                                power.temperatureMilli / 1000.0)
              : "";
}

std::string SensorModeText(std::uint8_t mode) {
    switch (mode) {
        case SENSOR_MODE_OPERATING:
            return "\tSensor Mode: Operating";
        case SENSOR_MODE_SLEEPING:
            return "\tSensor Mode: Sleeping";
        case SENSOR_MODE_IDLE:
            return "\tSensor Mode: Idle";
        case SENSOR_MODE_HIBERNATING:
            return "\tSensor Mode: Hibernating";
        default:
            return base::StrPrintf("\tSensor Mode: Unknown (%u)", unsigned{mode});
    }
}

bool ModeShowsOutputFile(std::uint8_t mode) {
    return mode == SENSOR_MODE_OPERATING || mode == SENSOR_MODE_SLEEPING;
}

std::string OutputFileText(const std::string& fileName) {
    return base::StrPrintf("\tFile: %s", fileName.c_str());
}

}  // namespace velacor::connection
