// Optics, photomultiplier, DIC conductivity and pump default blocks, and the live-test
// requests built from them.
#pragma once

#include <array>

#include <cstddef>
#include <cstdint>

#include "base/byte_io.h"

namespace velacor::protocol {

struct OpticsDefaults {
    static constexpr std::size_t SIZE = 11;
    std::uint8_t opticsByte0 = 0;  // written as 0
    std::uint8_t opticsForm = 1;   // written as 1
    std::uint8_t photodiodePower = 0;
    std::array<std::uint16_t, 4> ledCurrentUa{};  // 0..48000 µA

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.opticsByte0, r.opticsForm, r.photodiodePower, r.ledCurrentUa);
    }
};

enum PmtInstrument : std::uint8_t { PMT_NONE = 0, PMT_H10492 = 1 };

struct PmtDefaults {
    static constexpr std::size_t SIZE = 20;
    std::uint8_t pmtByte0 = 0;
    std::uint8_t pmtInstrument = PMT_NONE;
    float pmtControlV = 0;
    std::array<std::uint8_t, 14> bytes6{};  // written as 0

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.pmtByte0, r.pmtInstrument, r.pmtControlV, r.bytes6);
    }
};

struct DicConductivity {
    static constexpr std::size_t SIZE = 9;
    std::uint8_t dicByte0 = 0;
    std::uint8_t rxGain = 0;
    float offsetV = 0;
    std::uint16_t frequencyKhz = 20;  // 20..2000
    std::uint8_t excitationPct = 0;   // 0..100

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.dicByte0, r.rxGain, r.offsetV, r.frequencyKhz, r.excitationPct);
    }
};

enum PumpStopCondition : std::uint8_t { STOP_HALL = 0, STOP_STEP_COUNT = 1, STOP_TIMEOUT = 2 };

struct PumpDefaults {
    static constexpr std::size_t SIZE = 25;
    std::uint8_t pumpByte0 = 0;
    std::uint8_t direction = 0;      // 0 Inject, 1 Withdraw
    std::uint16_t currentMa = 10;    // 10..1600
    std::uint32_t stepPeriodUs = 2;  // 2..131071
    std::uint8_t microstepCode = 0;  // 0 = 16, 1 = 8, 2 = 4, 3 = 2, 4 = 1 microsteps
    std::uint8_t stopCondition = STOP_HALL;
    std::uint16_t hallStopInject = 1;    // 1..4095
    std::uint16_t hallStopWithdraw = 1;  // 1..4095
    std::uint32_t stepCount = 0;
    std::uint32_t timeoutS = 0;
    std::uint8_t hallPower = 0;
    std::uint16_t valveSpikeMs = 0;  // 0..3000

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.pumpByte0, r.direction, r.currentMa, r.stepPeriodUs, r.microstepCode,
                       r.stopCondition, r.hallStopInject, r.hallStopWithdraw, r.stepCount,
                       r.timeoutS, r.hallPower, r.valveSpikeMs);
    }
};

// Request of 0x62.
struct PumpStart {
    static constexpr std::size_t SIZE = 26;
    PumpDefaults pump;
    std::uint8_t pumpContinuously = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.pump, r.pumpContinuously);
    }
};

// Request of 0x65.
struct ValveTest {
    static constexpr std::size_t SIZE = 4;
    std::uint16_t valveTestMask = 0;  // bit i: valve i
    std::uint16_t valveSpikeMs = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.valveTestMask, r.valveSpikeMs);
    }
};

// Request of 0x72 in format 2; format 1 carries only its first 16 bytes.
struct OpticsStart {
    static constexpr std::size_t SIZE = 36;
    static constexpr std::size_t FORMAT_1_SIZE = 16;
    OpticsDefaults optics;
    std::uint32_t sampleIntervalMs = 0;  // from ChemistryConfig
    std::uint8_t multiplexer = 0;        // from ChemistryConfig
    PmtDefaults pmt;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.optics, r.sampleIntervalMs, r.multiplexer, r.pmt);
    }
};

// Answer of 0x64.
struct PumpStatus {
    static constexpr std::size_t SIZE = 3;
    std::array<std::uint8_t, 3> bytes{};

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.bytes);
    }
    bool Stopped() const { return bytes[1] == 0 && bytes[2] == 0; }
};

// The analogue inputs inside the 0xa2 answer: photodiode channels and the two Hall sensors.
struct AnalogueInputs {
    static constexpr std::size_t SIZE = 39;
    std::array<std::uint8_t, 19> head{};  // sensor mode and sample header, read by the poller
    std::array<std::uint16_t, 8> channel{};
    std::array<std::uint16_t, 2> hall{};

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.head, r.channel, r.hall);
    }
};

}  // namespace velacor::protocol
