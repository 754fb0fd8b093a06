// The virtual sensor at work: walks its state machine one second at a time and produces what a
// running sensor would — a raw sample per second whose photodiode channels follow the state's
// LEDs and valves, Hall counts that move while the pump runs, and a processed result at the end
// of every measuring state.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "emulator/sensor_defaults.h"
#include "protocol/live_records.h"

namespace velacor::emulator {

class RunningSimulation {
public:
    // Starts at `startState`; `chemistry` picks the size of the measured value.
    RunningSimulation(std::uint8_t startState, std::uint8_t chemistry, std::uint32_t sensorTime);

    // One second of running; returns the sample of that second.
    protocol::SampleRecord Step(const std::vector<StateBytes>& states, std::uint32_t sensorTime,
                                std::int32_t supplyMillivolts, std::int32_t temperatureMilli);
    std::uint8_t Mode(const std::vector<StateBytes>& states) const;
    std::uint8_t State() const { return m_state; }
    // Measurements finished since the last call.
    int TakeMeasurements();
    // Results computed since the last call, oldest first.
    std::vector<protocol::ProcessedRecord> TakeResults();

private:
    double Noise();

    std::uint8_t m_state;
    std::uint8_t m_chemistry;
    std::uint32_t m_secondsInState = 0;
    std::uint32_t m_counter = 0;
    std::uint32_t m_random = 12345;
    std::uint16_t m_hallInject = 2048;
    std::uint16_t m_hallWithdraw = 2048;
    int m_measurements = 0;
    std::vector<protocol::ProcessedRecord> m_results;
};

}  // namespace velacor::emulator
