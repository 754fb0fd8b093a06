// The two chemistry blocks: ChemistryConfig (0x90/0x91) and the processing parameters
// (0x92/0x93), whose layout depends on the chemistry type. State fields hold a state index,
// 255 meaning none or disabled.
#pragma once

#include <array>
#include <cmath>

#include <cstddef>
#include <cstdint>

#include "base/byte_io.h"

namespace velacor::protocol {

enum ChemistryType : std::uint8_t {
    CHEMISTRY_GENERIC = 0,
    CHEMISTRY_NITRATE = 1,
    CHEMISTRY_PHOSPHATE = 2,
    CHEMISTRY_SILICATE = 3,
    CHEMISTRY_PH = 4,
    CHEMISTRY_NITRITE = 5,
    CHEMISTRY_IRON = 6,
    CHEMISTRY_TA = 7,
    CHEMISTRY_DIC = 8,
    CHEMISTRY_AMMONIA = 9,
};

inline constexpr std::uint8_t STATE_NONE = 255;
inline constexpr std::uint8_t STATE_MAX =
    254;  // the highest state a start or measurement field holds
inline constexpr std::uint8_t CHANNEL_NONE = 255;

// Nitrate, phosphate, silicate, nitrite and iron share NutrientProcessing.
constexpr bool IsNutrient(std::uint8_t type) {
    return type == CHEMISTRY_NITRATE || type == CHEMISTRY_PHOSPHATE || type == CHEMISTRY_SILICATE ||
           type == CHEMISTRY_NITRITE || type == CHEMISTRY_IRON;
}

// Length of the processing record of a chemistry type; 0 for an unknown type.
constexpr std::size_t ProcessingRecordLength(std::uint8_t type) {
    constexpr std::array<std::size_t, 10> LENGTHS = {67, 32, 32, 32, 38, 32, 32, 39, 25, 2};
    return type < LENGTHS.size() ? LENGTHS[type] : 0;
}

// Standard concentrations are stored in thousandths of a micromole per litre, truncated toward
// zero; a negative or NaN value stores 0, one beyond the u32 its maximum. A value that is a
// whole number of thousandths stores as itself even where binary arithmetic falls just short
// of it (1.005 x 1000 is 1004.9999999999999): a shown concentration saved back is unchanged.
inline std::uint32_t ConcentrationToStored(double micromolar) {
    const double scaled = micromolar * 1000.0;
    if (!(scaled > 0))
        return 0;
    const double nearest = std::round(scaled);
    const double whole =
        std::abs(scaled - nearest) <= nearest * 1e-12 ? nearest : std::floor(scaled);
    if (whole >= 4294967295.0)
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(whole);
}
constexpr double StoredToConcentration(std::uint32_t stored) {
    return stored / 1000.0;
}

// The dilution of the optical-correction absorbance of a nutrient; 1.0 for any other type.
constexpr double OpticalCorrectionDilution(std::uint8_t type) {
    switch (type) {
        case CHEMISTRY_NITRATE:
            return 1.5;
        case CHEMISTRY_PHOSPHATE:
            return 3.0;
        case CHEMISTRY_SILICATE:
            return 4.0;
        case CHEMISTRY_NITRITE:
            return 2.0;
        case CHEMISTRY_IRON:
            return 1.135;
        default:
            return 1.0;
    }
}

struct ChemistryConfig {
    static constexpr std::size_t SIZE = 25;
    std::uint8_t configByte0 = 0;
    std::uint8_t chemistryType = 0;
    std::uint32_t sampleIntervalMs = 0;
    std::uint8_t multiplexer = 0;  // 0 none, 1 pH
    std::uint8_t autoDeployStart = STATE_NONE;
    std::uint8_t manualFlushStart = STATE_NONE;
    std::uint8_t manualPrimeStart = STATE_NONE;
    std::uint8_t manualDeployStart = STATE_NONE;
    std::array<std::uint8_t, 3> special1To3Start{STATE_NONE, STATE_NONE, STATE_NONE};
    std::array<std::uint8_t, 4> configBytes14{};
    std::array<std::uint8_t, 6> special4To9Start{STATE_NONE, STATE_NONE, STATE_NONE,
                                                 STATE_NONE, STATE_NONE, STATE_NONE};
    std::uint8_t loopedFlushStart = STATE_NONE;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.configByte0, r.chemistryType, r.sampleIntervalMs, r.multiplexer,
                       r.autoDeployStart, r.manualFlushStart, r.manualPrimeStart,
                       r.manualDeployStart, r.special1To3Start, r.configBytes14, r.special4To9Start,
                       r.loopedFlushStart);
    }
};

struct GenericProcessing {
    static constexpr std::size_t SIZE = 67;
    std::uint8_t recordForm = 0;
    std::uint8_t sampleIntakeState = 0;
    std::uint8_t sampleMeasureState = 0;
    std::array<float, 8> offset{};  // channel 0 first
    std::array<float, 8> scale{};

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.recordForm, r.sampleIntakeState, r.sampleMeasureState, r.offset,
                       r.scale);
    }
};

// Optical path index of measureChannel, monitorChannel and outputChannel.
enum OpticalPath : std::uint8_t { PATH_LONG = 0, PATH_MEDIUM = 1, PATH_SHORT = 2 };
inline constexpr std::uint8_t OUTPUT_ADAPTIVE = 254;
inline constexpr std::size_t LEGACY_NUTRIENT_LENGTH = 26;
// recordForm of a NutrientProcessing read from the 26-byte form and converted.
inline constexpr std::uint8_t NUTRIENT_FORM_CONVERTED = 1;

struct NutrientProcessing {
    static constexpr std::size_t SIZE = 32;
    std::uint8_t recordForm = 2;  // 1 when converted from the 26-byte form
    std::uint8_t sensorVersion = 0;
    std::uint8_t outputChannel = PATH_MEDIUM;  // 0 Long, 1 Medium, 2 Short, 254 Adaptive
    std::uint8_t sampleIntakeState = 0;
    std::uint8_t sampleMeasureState = 0;
    std::uint8_t blankMeasureState = 0;
    std::uint8_t standard1State = 0;
    std::uint8_t standard2State = 0;
    std::uint32_t standard1Conc = 0;  // µM x 1000
    std::uint32_t standard2Conc = 0;
    std::uint8_t standardAdjustment = 0;  // 0 Standard 1, 1 Standard 2, 2 Linear Fit
    std::uint8_t processingTrigger = 0;   // 0 Standard 1, 1 Standard 2, 2 Sample, 3 Blank
    std::uint8_t opticalCorrection = 0;
    std::uint8_t opticalCorrSampleState = 0;
    std::uint8_t opticalCorrBlankState = 0;
    std::uint8_t outputHasMonitor = 0;
    std::uint8_t outputMonitorChannel = 0;
    std::array<std::uint8_t, 3> measureChannel{0, 1, 2};  // by optical path
    std::array<std::uint8_t, 3> monitorChannel{CHANNEL_NONE, CHANNEL_NONE, CHANNEL_NONE};
    std::array<std::uint8_t, 3> sampleParam{};  // telemetry codes P1..P3

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.recordForm, r.sensorVersion, r.outputChannel, r.sampleIntakeState,
                       r.sampleMeasureState, r.blankMeasureState, r.standard1State,
                       r.standard2State, r.standard1Conc, r.standard2Conc, r.standardAdjustment,
                       r.processingTrigger, r.opticalCorrection, r.opticalCorrSampleState,
                       r.opticalCorrBlankState, r.outputHasMonitor, r.outputMonitorChannel,
                       r.measureChannel, r.monitorChannel, r.sampleParam);
    }
};

struct PhProcessing {
    static constexpr std::size_t SIZE = 38;
    std::uint8_t recordForm = 1;
    std::uint8_t sensorVersion = 0;
    std::uint8_t inputChannelBlue = 0;    // 434 nm signal
    std::uint8_t inputChannelYellow = 0;  // 578 nm signal
    std::uint8_t sampleIntakeState = 0;
    std::uint8_t sampleMeasureState = 0;
    std::uint16_t blankStartOffsetS = 0;
    std::uint16_t blankEndOffsetS = 0;
    float absorbanceMinBlue = 0;
    float absorbanceMaxYellow = 0;
    float dpHdT = 0;
    float rAdjustScale = 0;
    float rAdjustOffset = 0;
    float thermistor1Scale = 0;
    float thermistor2Scale = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.recordForm, r.sensorVersion, r.inputChannelBlue, r.inputChannelYellow,
                       r.sampleIntakeState, r.sampleMeasureState, r.blankStartOffsetS,
                       r.blankEndOffsetS, r.absorbanceMinBlue, r.absorbanceMaxYellow, r.dpHdT,
                       r.rAdjustScale, r.rAdjustOffset, r.thermistor1Scale, r.thermistor2Scale);
    }
};

struct TaProcessing {
    static constexpr std::size_t SIZE = 39;
    std::uint8_t recordForm = 0;
    std::uint8_t sensorVersion = 0;
    std::uint8_t measureChannel = 0;
    std::uint8_t monitorChannelLed1 = 0;
    std::uint8_t monitorChannelLed2 = 0;
    std::uint8_t sampleIntakeState = 0;
    std::uint8_t blankMeasureStateLed1 = 0;
    std::uint8_t blankMeasureStateLed2 = 0;
    std::uint8_t sampleMeasureStateLed1 = 0;
    std::uint8_t sampleMeasureStateLed2 = 0;
    std::uint8_t processingTrigger = 0;  // 0 Blank LED1, 1 Blank LED2, 2 Sample LED1, 3 Sample LED2
    float temperatureCoefficient = 0;
    std::array<std::uint8_t, 4> bytes15{};
    float titrantMolarity = 0;
    float pKa = 0;
    float e1 = 0;
    float e2 = 0;
    float e3 = 0;

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.recordForm, r.sensorVersion, r.measureChannel, r.monitorChannelLed1,
                       r.monitorChannelLed2, r.sampleIntakeState, r.blankMeasureStateLed1,
                       r.blankMeasureStateLed2, r.sampleMeasureStateLed1, r.sampleMeasureStateLed2,
                       r.processingTrigger, r.temperatureCoefficient, r.bytes15, r.titrantMolarity,
                       r.pKa, r.e1, r.e2, r.e3);
    }
};

enum DicInletType : std::uint8_t { INLET_UNUSED = 0, INLET_SAMPLE = 1, INLET_CRM = 2 };

struct DicInlet {
    static constexpr std::size_t SIZE = 7;
    std::uint8_t type = INLET_UNUSED;
    std::uint8_t intakeState = 0;
    std::uint8_t measureState = 0;
    float crmValue = 0;  // µmol/kg

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.type, r.intakeState, r.measureState, r.crmValue);
    }
};

struct DicProcessing {
    static constexpr std::size_t SIZE = 25;
    std::uint8_t recordForm = 0;
    std::uint8_t sensorVersion = 0;
    std::array<std::uint8_t, 2> bytes2{};
    std::array<DicInlet, 3> inlet{};

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.recordForm, r.sensorVersion, r.bytes2, r.inlet);
    }
};

// Carried whole; no field is interpreted.
struct AmmoniaProcessing {
    static constexpr std::size_t SIZE = 2;
    std::array<std::uint8_t, 2> bytes{};

    template <class Io, class Self>
    static constexpr void Fields(Io& io, Self& r) {
        VELACOR_FIELDS(io, r.bytes);
    }
};

}  // namespace velacor::protocol
