#pragma once

#include <cstdint>

namespace velacor::connection {

// The main window's knowledge of the sensor: 0 not connected.
inline constexpr std::uint32_t FLAG_CONNECTED = 1;
inline constexpr std::uint32_t FLAG_RUNNING = 2;  // the sensor's state machine runs

// Sensor modes of the output status.
inline constexpr std::uint8_t SENSOR_MODE_OPERATING = 0;
inline constexpr std::uint8_t SENSOR_MODE_SLEEPING = 1;
inline constexpr std::uint8_t SENSOR_MODE_IDLE = 2;
inline constexpr std::uint8_t SENSOR_MODE_HIBERNATING = 3;

}  // namespace velacor::connection
