// The processing parameters a connected sensor holds, for a raw file whose header carries
// none: its chemistry configuration (0x90), its processing record (0x92) and, for the
// chemistries that use them, its thermistors (0x94) stand in for the header's keys. Each
// reader gives nothing when an exchange fails or the sensor is set up for another chemistry;
// a thermistor that can't be read stays cleared, as a header without its keys leaves it.
#pragma once

#include <optional>

#include "link/transactor.h"
#include "processing/processing_runs.h"
#include "processing/raw_file.h"

namespace velacor::processing {

// The header of `chemistry` as the sensor would have written it; nullopt when the sensor
// can't give it. `sensorName` of the nutrient header stays empty.
std::optional<NutrientHeader> ReadSensorNutrientHeader(link::Transactor& sensor);
std::optional<PhHeader> ReadSensorPhHeader(link::Transactor& sensor);
std::optional<TaHeader> ReadSensorTaHeader(link::Transactor& sensor);
std::optional<DicHeader> ReadSensorDicHeader(link::Transactor& sensor);

// The log line of a dialog that took its parameters from the sensor.
inline constexpr const char* SENSOR_PARAMETERS_LOG_LINE =
    "No parameters in the file header: the parameters of the connected sensor are shown";

}  // namespace velacor::processing
