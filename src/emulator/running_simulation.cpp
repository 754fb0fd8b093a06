#include "emulator/running_simulation.h"

#include <algorithm>
#include <cmath>

#include "base/byte_io.h"
#include "protocol/chemistry_records.h"

namespace velacor::emulator {
namespace {

// Offsets in the 78-byte state record.
constexpr std::size_t VALVES = 1;
constexpr std::size_t LEDS = 3;
constexpr std::size_t PUMP_ON = 13;
constexpr std::size_t PUMP_DIRECTION = 14;
constexpr std::size_t DEFAULT_NEXT = 38;
constexpr std::size_t DELAY = 71;
constexpr std::size_t MODE = 76;
constexpr std::size_t COUNTS_MEASUREMENT = 77;

constexpr double COUNTS_PER_VOLT = 65536.0 / 5.0;

std::uint16_t Counts(double volts) {
    return static_cast<std::uint16_t>(std::clamp(volts, 0.0, 4.9999) * COUNTS_PER_VOLT);
}

// A believable concentration for the chemistry, in its unit.
double TypicalValue(std::uint8_t chemistry) {
    switch (chemistry) {
        case protocol::CHEMISTRY_PH:
            return 8.05;
        case protocol::CHEMISTRY_TA:
            return 2300.0;
        case protocol::CHEMISTRY_DIC:
            return 2050.0;
        case protocol::CHEMISTRY_PHOSPHATE:
            return 1.2;
        case protocol::CHEMISTRY_SILICATE:
            return 35.0;
        default:
            return 18.5;
    }
}

}  // namespace

RunningSimulation::RunningSimulation(std::uint8_t startState, std::uint8_t chemistry,
                                     std::uint32_t sensorTime)
    : m_state(startState), m_chemistry(chemistry), m_random(sensorTime | 1u) {}

double RunningSimulation::Noise() {
    m_random = m_random * 1664525u + 1013904223u;  // small LCG: repeatable, cheap
    return (static_cast<double>(m_random >> 8) / 16777216.0) - 0.5;
}

std::uint8_t RunningSimulation::Mode(const std::vector<StateBytes>& states) const {
    return m_state < states.size() ? states[m_state][MODE] : 2;
}

protocol::SampleRecord RunningSimulation::Step(const std::vector<StateBytes>& states,
                                               std::uint32_t sensorTime,
                                               std::int32_t supplyMillivolts,
                                               std::int32_t temperatureMilli) {
    protocol::SampleRecord sample;
    sample.counter = ++m_counter;
    sample.sensorTime = sensorTime;
    sample.state = m_state;
    sample.temperatureMilli = temperatureMilli + static_cast<std::int32_t>(Noise() * 40);
    sample.supplyMillivolts = supplyMillivolts + static_cast<std::int32_t>(Noise() * 20);
    if (m_state >= states.size())
        return sample;
    const StateBytes& s = states[m_state];

    // Photodiodes: dark level, light when an LED shines; the sample in the cell (valve 2)
    // absorbs part of the light on the measuring paths, more the longer it has been there.
    const bool lit = base::GetU16(s, LEDS) != 0 || base::GetU16(s, LEDS + 2) != 0;
    const bool sampleInCell = (base::GetU16(s, VALVES) & 0x0004) != 0;
    const double absorbance = sampleInCell ? 0.35 * (1.0 - std::exp(-0.5 * m_secondsInState)) : 0;
    for (std::size_t ch = 0; ch < sample.channel.size(); ++ch) {
        double volts = 0.42 + 0.01 * static_cast<double>(ch);
        if (lit && ch < 3)  // long, medium and short paths
            volts = 3.6 * std::pow(10.0, -absorbance * (1.0 + static_cast<double>(ch) * 0.5));
        else if (lit && ch < 6)  // monitoring photodiodes see the LED directly
            volts = 3.9;
        if (ch == 7)  // thermistor
            volts = 1.65 + 0.002 * temperatureMilli / 1000.0;
        sample.channel[ch] = Counts(volts + Noise() * 0.004);
    }
    if (s[PUMP_ON] != 0) {
        const int move = s[PUMP_DIRECTION] != 0 ? 40 : -40;
        m_hallInject = static_cast<std::uint16_t>(std::clamp(m_hallInject + move, 100, 4000));
        m_hallWithdraw = static_cast<std::uint16_t>(std::clamp(m_hallWithdraw - move, 100, 4000));
    }
    sample.hallInject = m_hallInject;
    sample.hallWithdraw = m_hallWithdraw;

    // Leave the state when its time is up.
    if (++m_secondsInState >= std::max<std::uint32_t>(1, base::GetU32(s, DELAY))) {
        if (s[COUNTS_MEASUREMENT] != 0) {
            ++m_measurements;
            protocol::ProcessedRecord result;
            result.sensorTime = sensorTime;
            result.platformTime = sensorTime;
            result.platformSalinity = 35.0f;
            result.platformTemperature = 10.0f;
            result.validity = 1;
            result.SetValue(TypicalValue(m_chemistry) * (1.0 + 0.04 * Noise()));
            m_results.push_back(result);
        }
        m_state = s[DEFAULT_NEXT];
        m_secondsInState = 0;
    }
    return sample;
}

int RunningSimulation::TakeMeasurements() {
    const int n = m_measurements;
    m_measurements = 0;
    return n;
}

std::vector<protocol::ProcessedRecord> RunningSimulation::TakeResults() {
    std::vector<protocol::ProcessedRecord> results;
    results.swap(m_results);
    return results;
}

}  // namespace velacor::emulator
