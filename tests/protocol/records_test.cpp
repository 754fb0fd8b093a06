// Wire layouts of every record: each byte survives a decode and encode, and the fields the
// program interprets sit at the offsets the sensor uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_io.h"
#include "protocol/chemistry_records.h"
#include "protocol/frame.h"
#include "protocol/identity_records.h"
#include "protocol/optics_records.h"
#include "protocol/scripted_transactor.h"
#include "protocol/settings_records.h"
#include "protocol/upgrade_records.h"

namespace velacor::protocol {
namespace {

using testing::PatternBytes;

// A zeroed record image with the given runs of bytes placed at their offsets.
template <std::size_t N>
std::array<std::uint8_t, N> Placed(
    std::initializer_list<std::pair<std::size_t, std::vector<std::uint8_t>>> runs) {
    std::array<std::uint8_t, N> bytes{};
    for (const auto& [offset, run] : runs) {
        std::copy(run.begin(), run.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    return bytes;
}

template <class R>
class RecordLayout : public ::testing::Test {};

using AllRecords = ::testing::Types<
    // identity, status and control
    SensorIdentity, DeviceInfo, LegacyDeviceRecord, FirmwareVersionText, PowerStatus,
    MeasurementCounters, OutputFileName, StateCount,
    // chemistry
    ChemistryConfig, GenericProcessing, NutrientProcessing, PhProcessing, TaProcessing, DicInlet,
    DicProcessing, AmmoniaProcessing,
    // optics, valves and pump
    OpticsDefaults, PmtDefaults, DicConductivity, PumpDefaults, PumpStart, ValveTest, OpticsStart,
    PumpStatus, AnalogueInputs,
    // settings
    ThermistorConfig, Rs232Config, Rs485Config, PlatformDefaults, MeasurementSchedule,
    ScheduleStatus, RtcTime,
    // upgrade
    UpgradeBlock>;
TYPED_TEST_SUITE(RecordLayout, AllRecords);

// Bytes the program does not interpret must go back to the sensor exactly as they came, so any
// byte string decodes into a record that encodes to the same string. Float fields are copied as
// bit patterns, NaNs included.
TYPED_TEST(RecordLayout, ArbitraryBytesSurviveDecodeAndEncode) {
    using R = TypeParam;
    static_assert(R::SIZE <= MAX_PAYLOAD, "a record must fit one report");
    std::vector<std::vector<std::uint8_t>> inputs = {std::vector<std::uint8_t>(R::SIZE, 0x00),
                                                     std::vector<std::uint8_t>(R::SIZE, 0xff)};
    for (std::uint32_t seed = 1; seed <= 64; ++seed)
        inputs.push_back(PatternBytes(R::SIZE, seed));

    for (const auto& input : inputs) {
        const auto encoded = base::Encode(base::Decode<R>(input));
        ASSERT_TRUE(std::equal(encoded.begin(), encoded.end(), input.begin(), input.end()))
            << "first input byte " << int{input[0]};
    }
}

// An answer payload is longer than the record: only the record's own bytes are read.
TYPED_TEST(RecordLayout, DecodeReadsOnlyItsOwnBytes) {
    using R = TypeParam;
    auto input = PatternBytes(MAX_PAYLOAD, 7);
    const auto full = base::Encode(base::Decode<R>(input));
    std::fill(input.begin() + R::SIZE, input.end(), std::uint8_t{0xa5});
    EXPECT_EQ(base::Encode(base::Decode<R>(input)), full);
}

TEST(RecordOffsets, DeviceInfo) {
    DeviceInfo info;
    info.recordVersion = DEVICE_INFO_RECORD_VERSION;
    info.byte1 = 0x11;
    info.SetName("Buoy-7");
    info.byte23 = 0x23;
    info.serialNumber = 12345;
    info.byte26 = 0x26;
    info.boardSerialNumber = 0xbeef;
    const auto expected = Placed<DeviceInfo::SIZE>(
        {{0, {2, 0x11, 'B', 'u', 'o', 'y', '-', '7'}}, {23, {0x23, 0x39, 0x30, 0x26, 0xef, 0xbe}}});
    EXPECT_EQ(base::Encode(info), expected);

    const auto decoded = base::Decode<DeviceInfo>(expected);
    EXPECT_EQ(decoded.Name(), "Buoy-7");
    EXPECT_EQ(decoded.serialNumber, 12345);
    EXPECT_EQ(decoded.boardSerialNumber, 0xbeef);
}

TEST(RecordOffsets, DeviceInfoNameKeepsAtMostTwentyCharactersAndItsTerminator) {
    DeviceInfo info;
    info.name.fill('x');  // as a sensor might hold it, without a terminator
    info.SetName("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(info.Name(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(base::Encode(info)[22], 0);
}

TEST(RecordOffsets, SensorIdentityAndLegacyDeviceRecord) {
    const auto identityBytes = Placed<SensorIdentity::SIZE>({{0, {0x99, 2, 0x03, 0x01, 17}}});
    const auto identity = base::Decode<SensorIdentity>(identityBytes);
    EXPECT_EQ(identity.mode, IDENTITY_MODE_FIRMWARE);
    EXPECT_EQ(identity.deviceType, 0x0103);
    EXPECT_EQ(identity.bootloaderVersion, 17);

    const auto legacyBytes =
        Placed<LegacyDeviceRecord::SIZE>({{0, {1, 1, 'N', 'o', '3'}}, {23, {12, 0xd2, 0x04, 9}}});
    const auto legacy = base::Decode<LegacyDeviceRecord>(legacyBytes);
    EXPECT_EQ(legacy.flag, 1);
    EXPECT_EQ(legacy.mode, IDENTITY_MODE_BOOTLOADER);
    EXPECT_EQ(legacy.name[0], 'N');
    EXPECT_EQ(legacy.boardIndex, 12);
    EXPECT_EQ(legacy.serialNumber, 1234);
    EXPECT_EQ(legacy.bootloaderVersion, 9);
}

TEST(RecordOffsets, PowerStatusHasSignedMillivoltsAtFive) {
    // 3300 mV, -0.25 degrees, hardware variant 6
    const auto bytes = Placed<PowerStatus::SIZE>(
        {{0, {1, 2, 3, 4, 5}}, {5, {0xe4, 0x0c, 0, 0}}, {9, {0x06, 0xff, 0xff, 0xff}}, {13, {6}}});
    const auto power = base::Decode<PowerStatus>(bytes);
    EXPECT_EQ(power.supplyMillivolts, 3300);
    EXPECT_EQ(power.temperatureMilli, -250);
    EXPECT_EQ(power.hardwareVariant, 6u);

    PowerStatus low;
    low.supplyMillivolts = -2;
    EXPECT_EQ(base::Encode(low), Placed<PowerStatus::SIZE>({{5, {0xfe, 0xff, 0xff, 0xff}}}));
}

TEST(RecordOffsets, MeasurementCountersAndTextRecords) {
    MeasurementCounters counters;
    counters.recordVersion = COUNTERS_RECORD_VERSION;
    counters.pumpStrokeMeter = 0x01020304;
    counters.measurementCounter = 0x0a0b0c0d;
    counters.measurementTripCounter = -2;
    EXPECT_EQ(base::Encode(counters),
              Placed<MeasurementCounters::SIZE>({{0, {3}},
                                                 {5, {4, 3, 2, 1}},
                                                 {9, {0x0d, 0x0c, 0x0b, 0x0a}},
                                                 {13, {0xfe, 0xff, 0xff, 0xff}}}));

    const auto version = base::Decode<FirmwareVersionText>(
        Placed<FirmwareVersionText::SIZE>({{0, {0x7f, 'V', '2', '.', '1', '4'}}}));
    EXPECT_EQ(version.Text(), "V2.14");

    const auto file = base::Decode<OutputFileName>(Placed<OutputFileName::SIZE>(
        {{0, {'D', 'A', 'T', 'A', '0', '0', '0', '1', '.', 'R', 'A', 'W'}}}));
    EXPECT_EQ(file.Name(), "DATA0001.RAW");
}

TEST(RecordOffsets, ChemistryConfig) {
    ChemistryConfig config;
    EXPECT_EQ(base::Encode(config)[7], STATE_NONE) << "run modes start disabled";

    config.configByte0 = 0xc0;
    config.chemistryType = CHEMISTRY_PH;
    config.sampleIntervalMs = 1000;
    config.multiplexer = 1;
    config.autoDeployStart = 3;
    config.special1To3Start = {11, 12, 13};
    config.configBytes14 = {0xa, 0xb, 0xc, 0xd};
    config.special4To9Start = {18, 19, 20, 21, 22, 23};
    config.loopedFlushStart = 24;
    const auto expected = Placed<ChemistryConfig::SIZE>({{0, {0xc0, 4, 0xe8, 0x03, 0, 0, 1, 3}},
                                                         {8, {255, 255, 255, 11, 12, 13}},
                                                         {14, {0xa, 0xb, 0xc, 0xd}},
                                                         {18, {18, 19, 20, 21, 22, 23, 24}}});
    EXPECT_EQ(base::Encode(config), expected);
}

TEST(RecordOffsets, NutrientProcessing) {
    const auto bytes = Placed<NutrientProcessing::SIZE>({
        {0, {2, 0, 254, 1, 2, 3, 4, 5}},
        {8, {0x39, 0x30, 0, 0}},  // standard 1: 12.345 µM
        {12, {0xff, 0xff, 0xff, 0x7f}},
        {16, {2, 3, 1, 6, 7, 1, 5}},
        {23, {7, 6, 5}},    // measurement channels, Long first
        {26, {255, 4, 3}},  // monitoring channels
        {29, {1, 5, 22}},   // telemetry P1..P3
    });
    const auto r = base::Decode<NutrientProcessing>(bytes);
    EXPECT_EQ(r.outputChannel, OUTPUT_ADAPTIVE);
    EXPECT_EQ(r.standard2State, 5);
    EXPECT_EQ(r.standard1Conc, 12345u);
    EXPECT_EQ(r.standard2Conc, 0x7fffffffu);
    EXPECT_EQ(r.standardAdjustment, 2);
    EXPECT_EQ(r.opticalCorrBlankState, 7);
    EXPECT_EQ(r.outputHasMonitor, 1);
    EXPECT_EQ(r.outputMonitorChannel, 5);
    EXPECT_EQ(r.measureChannel, (std::array<std::uint8_t, 3>{7, 6, 5}));
    EXPECT_EQ(r.monitorChannel, (std::array<std::uint8_t, 3>{CHANNEL_NONE, 4, 3}));
    EXPECT_EQ(r.sampleParam, (std::array<std::uint8_t, 3>{1, 5, 22}));

    // A fresh record is the current form with channels 0, 1, 2 and no monitoring channels.
    EXPECT_EQ(base::Encode(NutrientProcessing{}),
              Placed<NutrientProcessing::SIZE>(
                  {{0, {2, 0, PATH_MEDIUM}}, {23, {0, 1, 2, 255, 255, 255}}}));
}

TEST(RecordOffsets, GenericPhAndTaProcessing) {
    GenericProcessing generic;
    generic.offset[0] = 1.5f;
    generic.scale[7] = -2.5f;
    EXPECT_EQ(base::Encode(generic),
              Placed<GenericProcessing::SIZE>({{3, {0, 0, 0xc0, 0x3f}}, {63, {0, 0, 0x20, 0xc0}}}));

    PhProcessing ph;
    ph.inputChannelYellow = 6;
    ph.blankEndOffsetS = 0x0102;
    ph.absorbanceMinBlue = 0.25f;
    ph.thermistor2Scale = 7.0f;
    EXPECT_EQ(base::Encode(ph), Placed<PhProcessing::SIZE>({{0, {1, 0, 0, 6}},
                                                            {8, {0x02, 0x01}},
                                                            {10, {0, 0, 0x80, 0x3e}},
                                                            {34, {0, 0, 0xe0, 0x40}}}));

    TaProcessing ta;
    ta.processingTrigger = 3;
    ta.temperatureCoefficient = 1.5f;
    ta.bytes15 = {0xa, 0xb, 0xc, 0xd};
    ta.titrantMolarity = 0.25f;
    ta.e3 = -2.5f;
    EXPECT_EQ(base::Encode(ta), Placed<TaProcessing::SIZE>({{10, {3, 0, 0, 0xc0, 0x3f}},
                                                            {15, {0xa, 0xb, 0xc, 0xd}},
                                                            {19, {0, 0, 0x80, 0x3e}},
                                                            {35, {0, 0, 0x20, 0xc0}}}));
}

TEST(RecordOffsets, DicProcessingInletsAreSevenBytesFromFour) {
    const auto bytes = Placed<DicProcessing::SIZE>({
        {0, {0, 0, 0xaa, 0xbb}},
        {4, {INLET_SAMPLE, 1, 2, 0, 0, 0, 0}},
        {11, {INLET_CRM, 3, 4, 0x00, 0x4c, 0x01, 0x45}},  // 2068.75 µmol/kg
        {18, {INLET_UNUSED, 255, 255, 0, 0, 0xc0, 0x3f}},
    });
    const auto r = base::Decode<DicProcessing>(bytes);
    EXPECT_EQ(r.bytes2, (std::array<std::uint8_t, 2>{0xaa, 0xbb}));
    EXPECT_EQ(r.inlet[0].type, INLET_SAMPLE);
    EXPECT_EQ(r.inlet[1].type, INLET_CRM);
    EXPECT_EQ(r.inlet[1].measureState, 4);
    EXPECT_EQ(r.inlet[1].crmValue, 2068.75f);
    EXPECT_EQ(r.inlet[2].intakeState, STATE_NONE);
    EXPECT_EQ(r.inlet[2].crmValue, 1.5f);
}

TEST(RecordOffsets, PumpDefaultsAndPumpStart) {
    PumpStart start;
    start.pump.direction = 1;
    start.pump.currentMa = 1600;
    start.pump.stepPeriodUs = 131071;
    start.pump.stopCondition = STOP_TIMEOUT;
    start.pump.hallStopWithdraw = 4095;
    start.pump.stepCount = 0x01020304;
    start.pump.timeoutS = 30;
    start.pump.valveSpikeMs = 3000;
    start.pumpContinuously = 1;
    EXPECT_EQ(base::Encode(start),
              Placed<PumpStart::SIZE>({{0, {0, 1, 0x40, 0x06, 0xff, 0xff, 0x01, 0x00, 0, 2}},
                                       {10, {1, 0, 0xff, 0x0f, 4, 3, 2, 1, 30, 0, 0, 0}},
                                       {22, {0, 0xb8, 0x0b, 1}}}));
}

TEST(RecordOffsets, OpticsStartCarriesTheChemistryValuesBeforeTheFormatOneCut) {
    OpticsStart start;
    start.optics.photodiodePower = 1;
    start.optics.ledCurrentUa = {48000, 0, 0, 1};
    start.sampleIntervalMs = 1000;
    start.multiplexer = 1;
    start.pmt.pmtInstrument = PMT_H10492;
    start.pmt.pmtControlV = 1.1f;
    const auto bytes = base::Encode(start);
    EXPECT_EQ(bytes, (Placed<OpticsStart::SIZE>({{0, {0, 1, 1, 0x80, 0xbb, 0, 0, 0, 0, 1, 0}},
                                                 {11, {0xe8, 0x03, 0, 0, 1}},
                                                 {16, {0, 1, 0xcd, 0xcc, 0x8c, 0x3f}}})));
    // The older format-1 request is the optics block, the interval and the multiplexer.
    EXPECT_EQ(OpticsDefaults::SIZE + 4 + 1, OpticsStart::FORMAT_1_SIZE);
}

TEST(RecordOffsets, AnalogueInputsAndPumpStatus) {
    const auto bytes = Placed<AnalogueInputs::SIZE>(
        {{0, {3}}, {19, {0x01, 0x00}}, {33, {0xff, 0xff}}, {35, {0x34, 0x12, 0x78, 0x56}}});
    const auto inputs = base::Decode<AnalogueInputs>(bytes);
    EXPECT_EQ(inputs.head[0], 3);
    EXPECT_EQ(inputs.channel[0], 1);
    EXPECT_EQ(inputs.channel[7], 0xffff);
    EXPECT_EQ(inputs.hall[0], 0x1234);
    EXPECT_EQ(inputs.hall[1], 0x5678);

    struct Case {
        std::array<std::uint8_t, 3> bytes;
        bool stopped;
    };
    for (const Case& c : {Case{{0, 0, 0}, true}, Case{{9, 0, 0}, true}, Case{{0, 1, 0}, false},
                          Case{{0, 0, 1}, false}}) {
        PumpStatus status;
        status.bytes = c.bytes;
        EXPECT_EQ(status.Stopped(), c.stopped)
            << int{c.bytes[0]} << " " << int{c.bytes[1]} << " " << int{c.bytes[2]};
    }
}

TEST(RecordOffsets, PlatformDefaultsHasSignedTimeOffsetAtTwenty) {
    PlatformDefaults platform;
    platform.diveNumber = 4464;
    platform.salinityPsu = 35.125f;
    platform.depthM = 412.5f;
    platform.travelDirection = 5;
    platform.timeOffsetS = -3600;
    platform.platformParam = {1, -2, 2147483647};
    const auto expected =
        Placed<PlatformDefaults::SIZE>({{0, {1, 0x70, 0x11, 0, 0x80, 0x0c, 0x42}},
                                        {15, {0, 0x40, 0xce, 0x43, 5, 0xf0, 0xf1, 0xff, 0xff}},
                                        {24, {1, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff}},
                                        {32, {0xff, 0xff, 0xff, 0x7f}}});
    EXPECT_EQ(base::Encode(platform), expected);
    EXPECT_EQ(base::Decode<PlatformDefaults>(expected).timeOffsetS, -3600);
    EXPECT_EQ(base::Decode<PlatformDefaults>(expected).platformParam[1], -2);
}

TEST(RecordOffsets, SerialPortRecords) {
    Rs232Config rs232;
    rs232.baudRate = 115200;
    rs232.parity = PARITY_EVEN;
    rs232.stopBits = 2;
    rs232.protocol = 13;
    rs232.mode = 1;
    EXPECT_EQ(
        base::Encode(rs232),
        Placed<Rs232Config::SIZE>({{0, {0, 0x00, 0xc2, 0x01, 0x00, 0, 8, 2, 13, 0, 0, 0, 1}}}));

    Rs485Config rs485;
    rs485.baudRate = 19200;
    rs485.protocol = 1;
    rs485.slaveAddress = 64;
    rs485.pollRateS = 300;
    EXPECT_EQ(base::Encode(rs485),
              Placed<Rs485Config::SIZE>(
                  {{0, {0, 0x00, 0x4b, 0, 0, PARITY_NONE, 8, 1, 1, 0, 0, 0, 64, 0x2c, 0x01}}}));
}

TEST(RecordOffsets, ThermistorScheduleAndClock) {
    ThermistorConfig therm;
    therm.inputChannel = 7;
    therm.coeffV3 = 1.5f;
    therm.coeffV0 = -2.5f;
    EXPECT_EQ(base::Encode(therm), Placed<ThermistorConfig::SIZE>(
                                       {{0, {0, 7, 0, 0, 0xc0, 0x3f}}, {14, {0, 0, 0x20, 0xc0}}}));

    MeasurementSchedule schedule;
    schedule.scheduleForm = 3;
    schedule.intervalMode = INTERVAL_MINUTES;
    schedule.startTime = 0x01020304;
    schedule.stopEnabled = 1;
    schedule.stopTime = 0x0a0b0c0d;
    schedule.intervalValue = 65535;
    EXPECT_EQ(base::Encode(schedule),
              Placed<MeasurementSchedule::SIZE>(
                  {{0, {3, 5, 4, 3, 2, 1, 1, 0x0d, 0x0c, 0x0b, 0x0a, 0xff, 0xff}}}));

    const auto status = base::Decode<ScheduleStatus>(
        Placed<ScheduleStatus::SIZE>({{0, {1, 0, 0, 0, 2, 0, 0, 0, 1}}}));
    EXPECT_EQ(status.timeNow, 1u);
    EXPECT_EQ(status.nextMeasurement, 2u);
    EXPECT_EQ(status.stopReached, 1);

    RtcTime clock;
    clock.year = 2024;
    clock.month = 2;
    clock.day = 29;
    clock.hour = 23;
    clock.minute = 59;
    clock.second = 58;
    EXPECT_EQ(base::Encode(clock),
              Placed<RtcTime::SIZE>({{0, {0, 0xe8, 0x07, 2, 29, 23, 59, 58}}}));
}

TEST(RecordOffsets, OpticsPmtConductivityAndValveRecords) {
    PmtDefaults pmt;
    pmt.pmtInstrument = PMT_H10492;
    pmt.pmtControlV = 0.25f;
    EXPECT_EQ(base::Encode(pmt), Placed<PmtDefaults::SIZE>({{0, {0, 1, 0, 0, 0x80, 0x3e}}}));

    DicConductivity dic;
    dic.rxGain = 1;
    dic.offsetV = -2.5f;
    dic.frequencyKhz = 2000;
    dic.excitationPct = 100;
    EXPECT_EQ(base::Encode(dic),
              Placed<DicConductivity::SIZE>({{0, {0, 1, 0, 0, 0x20, 0xc0, 0xd0, 0x07, 100}}}));

    ValveTest valves;
    valves.valveTestMask = 0x8001;
    valves.valveSpikeMs = 3000;
    EXPECT_EQ(base::Encode(valves), Placed<ValveTest::SIZE>({{0, {0x01, 0x80, 0xb8, 0x0b}}}));
}

// The record length sent with 0x92/0x93 comes from this table, so it must agree with the
// record the caller decodes; a mismatch would make the sensor answer status 4 on every read.
TEST(ProcessingRecords, LengthTableMatchesEachChemistrysRecord) {
    struct Case {
        std::uint8_t type;
        std::size_t size;
        bool nutrient;
    };
    const Case cases[] = {
        {CHEMISTRY_GENERIC, GenericProcessing::SIZE, false},
        {CHEMISTRY_NITRATE, NutrientProcessing::SIZE, true},
        {CHEMISTRY_PHOSPHATE, NutrientProcessing::SIZE, true},
        {CHEMISTRY_SILICATE, NutrientProcessing::SIZE, true},
        {CHEMISTRY_PH, PhProcessing::SIZE, false},
        {CHEMISTRY_NITRITE, NutrientProcessing::SIZE, true},
        {CHEMISTRY_IRON, NutrientProcessing::SIZE, true},
        {CHEMISTRY_TA, TaProcessing::SIZE, false},
        {CHEMISTRY_DIC, DicProcessing::SIZE, false},
        {CHEMISTRY_AMMONIA, AmmoniaProcessing::SIZE, false},
        {10, 0, false},
        {255, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProcessingRecordLength(c.type), c.size) << "type " << int{c.type};
        EXPECT_EQ(IsNutrient(c.type), c.nutrient) << "type " << int{c.type};
        EXPECT_LE(c.size + 4, MAX_PAYLOAD) << "type " << int{c.type};
    }
}

}  // namespace
}  // namespace velacor::protocol
