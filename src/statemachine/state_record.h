// One state of the sensor's measurement program: the 78-byte record that travels to and from
// the sensor and is stored in state machine files.
#pragma once

#include <array>

#include <cstddef>
#include <cstdint>

#include "base/byte_io.h"

namespace velacor::statemachine {

inline constexpr std::uint8_t RECORD_VERSION = 2;
inline constexpr std::uint16_t LED_ON = 65535;
inline constexpr std::uint8_t STATE_NONE = 255;

enum StateMode : std::uint8_t {
    MODE_OPERATING = 0,
    MODE_SLEEPING = 1,
    MODE_IDLE = 2,
    MODE_HIBERNATING = 3
};
enum CounterMode : std::uint8_t {
    COUNTER_INC_ONLY = 0,
    COUNTER_INC_AND_TEST = 1,
    COUNTER_RESET = 2
};
enum StopCondition : std::uint8_t { STOP_HALL = 0, STOP_STEP_COUNT = 1, STOP_TIME = 2 };

// Counter trigger k works on counter k.
struct CounterTrigger {
    static constexpr std::size_t SIZE = 4;
    std::uint8_t increment = 0;
    std::uint8_t testValue = 0;  // the counter fires when it exceeds this
    std::uint8_t nextState = 0;
    std::uint8_t counterMode = COUNTER_INC_ONLY;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.increment, r.testValue, r.nextState, r.counterMode);
    }
    friend bool operator==(const CounterTrigger&, const CounterTrigger&) = default;
};

// Depth trigger: level 0 none, 1..3 pressure threshold P1..P3; above 3 counts as none.
struct DepthTrigger {
    static constexpr std::size_t SIZE = 4;
    std::uint8_t reserved0 = 0;
    std::uint8_t level = 0;
    std::uint8_t nextState = 0;
    std::uint8_t reserved3 = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.reserved0, r.level, r.nextState, r.reserved3);
    }
    friend bool operator==(const DepthTrigger&, const DepthTrigger&) = default;
};

struct StateRecord {
    static constexpr std::size_t SIZE = 78;
    std::uint8_t recordVersion = RECORD_VERSION;
    std::uint16_t valvesOpen = 0;  // bit i: valve i open
    std::array<std::uint16_t, 4> ledDrive{};
    std::uint8_t hallSensorPower = 0;
    std::uint8_t photodiodePower = 0;
    std::uint8_t pumpOn = 0;
    std::uint8_t pumpDirection = 0;  // 0 inject, 1 withdraw
    std::uint16_t pumpCurrentMa = 0;
    std::uint32_t stepPeriodUs = 0;
    std::uint8_t microstepCode = 0;
    std::uint8_t stopCondition = STOP_HALL;
    std::array<std::uint16_t, 2> hallStopValue{};
    std::uint8_t pumpTimeoutNext = 0;
    std::uint32_t stepCount = 0;
    std::uint32_t stopTimeS = 0;
    std::uint8_t sdRecording = 1;  // 1 on, 2 off (0 in old records: on)
    std::uint8_t syncValue = 0;
    std::uint8_t defaultNext = 0;
    std::array<CounterTrigger, 6> counterTrigger{};
    DepthTrigger divingTrigger;
    DepthTrigger climbingTrigger;
    std::uint32_t delaySeconds = 0;
    std::uint8_t waitForSchedule = 0;
    std::uint8_t mode = MODE_OPERATING;
    std::uint8_t incrementMeasureCounter = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.recordVersion, r.valvesOpen, r.ledDrive, r.hallSensorPower,
                       r.photodiodePower, r.pumpOn, r.pumpDirection, r.pumpCurrentMa,
                       r.stepPeriodUs, r.microstepCode, r.stopCondition, r.hallStopValue,
                       r.pumpTimeoutNext, r.stepCount, r.stopTimeS, r.sdRecording, r.syncValue,
                       r.defaultNext, r.counterTrigger, r.divingTrigger, r.climbingTrigger,
                       r.delaySeconds, r.waitForSchedule, r.mode, r.incrementMeasureCounter);
    }
    friend bool operator==(const StateRecord&, const StateRecord&) = default;
};

}  // namespace velacor::statemachine
