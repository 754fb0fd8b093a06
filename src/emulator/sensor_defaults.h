// The factory contents of a virtual sensor's memory, believable for its chemistry.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "emulator/sensor_options.h"
#include "protocol/chemistry_records.h"
#include "protocol/identity_records.h"
#include "protocol/optics_records.h"
#include "protocol/settings_records.h"

namespace velacor::emulator {

inline constexpr std::size_t STATE_RECORD_SIZE = 78;
using StateBytes = std::array<std::uint8_t, STATE_RECORD_SIZE>;

std::uint16_t DeviceTypeOf(std::uint8_t chemistry);
protocol::DeviceInfo DefaultDeviceInfo(const SensorOptions& options);
protocol::ChemistryConfig DefaultChemistryConfig(std::uint8_t chemistry);
// The processing record of the chemistry, in its full length.
std::vector<std::uint8_t> DefaultProcessing(std::uint8_t chemistry);
protocol::OpticsDefaults DefaultOptics(std::uint8_t chemistry);
protocol::PmtDefaults DefaultPmt();
protocol::DicConductivity DefaultDicConductivity();
protocol::PumpDefaults DefaultPump();
protocol::ThermistorConfig DefaultThermistor(std::uint8_t index);
protocol::Rs232Config DefaultRs232();
protocol::Rs485Config DefaultRs485();
protocol::PlatformDefaults DefaultPlatform();
protocol::MeasurementSchedule DefaultSchedule();
protocol::MeasurementCounters DefaultCounters();
// A short measurement program: flush, blank, sample, then sleep until the next cycle.
std::vector<StateBytes> DefaultStateMachine(std::uint8_t chemistry);

}  // namespace velacor::emulator
