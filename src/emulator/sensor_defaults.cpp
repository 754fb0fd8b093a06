#include "emulator/sensor_defaults.h"

#include "base/byte_io.h"
#include "base/utc_time.h"
#include "protocol/device_type.h"

namespace velacor::emulator {

using namespace velacor::protocol;

std::uint16_t DeviceTypeOf(std::uint8_t chemistry) {
    constexpr std::array<std::uint16_t, 10> TYPES = {
        DEVICE_TYPE_GENERIC, DEVICE_TYPE_NITRATE, DEVICE_TYPE_PHOSPHATE, DEVICE_TYPE_SILICATE,
        DEVICE_TYPE_PH,      DEVICE_TYPE_NITRITE, DEVICE_TYPE_IRON,      DEVICE_TYPE_TA,
        DEVICE_TYPE_DIC,     DEVICE_TYPE_AMMONIA,
    };
    return chemistry < TYPES.size() ? TYPES[chemistry] : DEVICE_TYPE_GENERIC;
}

DeviceInfo DefaultDeviceInfo(const SensorOptions& options) {
    DeviceInfo info;
    info.recordVersion = DEVICE_INFO_RECORD_VERSION;
    info.SetName(options.name);
    info.serialNumber = options.serialNumber;
    info.boardSerialNumber = options.boardSerialNumber;
    return info;
}

ChemistryConfig DefaultChemistryConfig(std::uint8_t chemistry) {
    ChemistryConfig config;
    config.chemistryType = chemistry;
    config.sampleIntervalMs = 1000;
    config.multiplexer = chemistry == CHEMISTRY_PH ? 1 : 0;
    config.autoDeployStart = 0;
    config.manualFlushStart = 0;
    config.manualDeployStart = 0;
    config.loopedFlushStart = 1;
    return config;
}

std::vector<std::uint8_t> DefaultProcessing(std::uint8_t chemistry) {
    auto bytes = [](const auto& record) {
        const auto encoded = base::Encode(record);
        return std::vector<std::uint8_t>(encoded.begin(), encoded.end());
    };
    if (IsNutrient(chemistry)) {
        NutrientProcessing p;
        p.outputChannel = PATH_MEDIUM;
        p.sampleIntakeState = 0;
        p.blankMeasureState = 1;
        p.sampleMeasureState = 2;
        p.standard1State = STATE_NONE;
        p.standard2State = STATE_NONE;
        p.standard1Conc = 20000;  // 20 µM
        p.standard2Conc = 40000;
        p.processingTrigger = 2;  // Sample
        p.opticalCorrSampleState = STATE_NONE;
        p.opticalCorrBlankState = STATE_NONE;
        p.monitorChannel = {3, 4, 5};
        p.outputHasMonitor = 1;
        p.outputMonitorChannel = 4;
        p.sampleParam = {1, 5, 9};
        return bytes(p);
    }
    switch (chemistry) {
        case CHEMISTRY_PH: {
            PhProcessing p;
            p.inputChannelBlue = 0;
            p.inputChannelYellow = 1;
            p.sampleIntakeState = 0;
            p.sampleMeasureState = 2;
            p.blankStartOffsetS = 2;
            p.blankEndOffsetS = 8;
            p.absorbanceMinBlue = 0.05f;
            p.absorbanceMaxYellow = 1.2f;
            p.dpHdT = -0.0162f;
            p.rAdjustScale = 1.0f;
            p.thermistor1Scale = 1.0f;
            p.thermistor2Scale = 1.0f;
            return bytes(p);
        }
        case CHEMISTRY_TA: {
            TaProcessing p;
            p.measureChannel = 0;
            p.monitorChannelLed1 = 2;
            p.monitorChannelLed2 = 3;
            p.sampleIntakeState = 0;
            p.blankMeasureStateLed1 = 1;
            p.blankMeasureStateLed2 = 1;
            p.sampleMeasureStateLed1 = 2;
            p.sampleMeasureStateLed2 = 2;
            p.processingTrigger = 2;
            p.titrantMolarity = 0.1f;
            p.pKa = 4.0f;
            p.e1 = 0.00691f;
            p.e2 = 2.222f;
            p.e3 = 0.1331f;
            return bytes(p);
        }
        case CHEMISTRY_DIC: {
            DicProcessing p;
            p.inlet[0] = DicInlet{INLET_SAMPLE, 0, 2, 0.0f};
            p.inlet[1] = DicInlet{INLET_CRM, 0, 2, 2011.5f};
            return bytes(p);
        }
        case CHEMISTRY_AMMONIA:
            return bytes(AmmoniaProcessing{});
        default: {
            GenericProcessing p;
            p.sampleMeasureState = 2;
            p.scale.fill(1.0f);
            return bytes(p);
        }
    }
}

OpticsDefaults DefaultOptics(std::uint8_t chemistry) {
    OpticsDefaults optics;
    optics.photodiodePower = 1;
    optics.ledCurrentUa = {
        20000, chemistry == CHEMISTRY_PH ? std::uint16_t{18000} : std::uint16_t{0}, 0, 0};
    return optics;
}

PmtDefaults DefaultPmt() {
    return PmtDefaults{};
}

DicConductivity DefaultDicConductivity() {
    DicConductivity dic;
    dic.rxGain = 1;
    dic.offsetV = 0.25f;
    dic.frequencyKhz = 200;
    dic.excitationPct = 50;
    return dic;
}

PumpDefaults DefaultPump() {
    PumpDefaults pump;
    pump.direction = 1;
    pump.currentMa = 400;
    pump.stepPeriodUs = 1000;
    pump.microstepCode = 1;
    pump.stopCondition = STOP_HALL;
    pump.hallStopInject = 2000;
    pump.hallStopWithdraw = 2000;
    pump.timeoutS = 30;
    pump.hallPower = 1;
    pump.valveSpikeMs = 100;
    return pump;
}

ThermistorConfig DefaultThermistor(std::uint8_t index) {
    ThermistorConfig t;
    t.inputChannel = static_cast<std::uint8_t>(6 + index % 2);
    t.coeffV3 = -2.135f;
    t.coeffV2 = 12.48f;
    t.coeffV1 = -35.21f;
    t.coeffV0 = 48.07f;
    return t;
}

Rs232Config DefaultRs232() {
    return Rs232Config{};
}
Rs485Config DefaultRs485() {
    return Rs485Config{};
}

PlatformDefaults DefaultPlatform() {
    PlatformDefaults p;
    p.salinityPsu = 35.0f;
    p.temperatureC = 10.0f;
    p.dissolvedOxygenMlL = 5.0f;
    return p;
}

MeasurementSchedule DefaultSchedule() {
    MeasurementSchedule s;
    s.scheduleForm = 3;
    s.intervalMode = INTERVAL_HOURS;
    s.intervalValue = 1;
    s.startTime = base::FromUtc({2026, 1, 1, 0, 0, 0});
    return s;
}

MeasurementCounters DefaultCounters() {
    MeasurementCounters c;
    c.recordVersion = COUNTERS_RECORD_VERSION;
    c.pumpStrokeMeter = 48211;
    c.measurementCounter = 1337;
    return c;
}

namespace {

// Byte offsets inside the 78-byte state record.
struct StateBuilder {
    StateBytes bytes{};
    StateBuilder() {
        bytes[0] = 2;  // record version
        for (std::size_t led = 0; led < 4; ++led)
            base::PutU16(bytes, 3 + 2 * led, 0);
        bytes[11] = 1;                  // hall sensor power
        bytes[12] = 1;                  // photodiode power
        bytes[14] = 1;                  // withdraw
        base::PutU16(bytes, 15, 400);   // pump current
        base::PutU32(bytes, 17, 1000);  // step period
        bytes[36] = 1;                  // recording on
    }
    StateBuilder& Valves(std::uint16_t mask) {
        base::PutU16(bytes, 1, mask);
        return *this;
    }
    StateBuilder& Led(std::size_t led) {
        base::PutU16(bytes, 3 + 2 * led, 0xFFFF);
        return *this;
    }
    StateBuilder& Pump(std::uint8_t direction, std::uint8_t timeoutNext) {
        bytes[13] = 1;
        bytes[14] = direction;
        bytes[27] = timeoutNext;
        base::PutU32(bytes, 32, 30);
        return *this;
    }
    StateBuilder& Next(std::uint8_t state) {
        bytes[38] = state;
        return *this;
    }
    StateBuilder& Delay(std::uint32_t seconds) {
        base::PutU32(bytes, 71, seconds);
        return *this;
    }
    StateBuilder& Mode(std::uint8_t mode) {
        bytes[76] = mode;
        return *this;
    }
    StateBuilder& CountsMeasurement() {
        bytes[77] = 1;
        return *this;
    }
};

}  // namespace

std::vector<StateBytes> DefaultStateMachine(std::uint8_t chemistry) {
    const std::size_t led = chemistry == CHEMISTRY_PH ? 1 : 0;
    return {
        StateBuilder().Valves(0x0003).Pump(1, 1).Next(1).Delay(6).Mode(0).bytes,  // draw sample
        StateBuilder().Led(led).Next(2).Delay(8).Mode(0).bytes,                   // blank
        StateBuilder().Led(led).Valves(0x0004).Next(3).Delay(10).Mode(0).CountsMeasurement().bytes,
        StateBuilder().Next(0).Delay(6).Mode(1).bytes,  // sleep until the next cycle
    };
}

}  // namespace velacor::emulator
