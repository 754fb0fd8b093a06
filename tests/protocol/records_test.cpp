// Wire layouts of every record: each byte survives a decode and encode, the named fields cover
// the record without a gap, and the fields the program interprets sit at the offsets the sensor
// uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/byte_io.h"
#include "base/record_fields.h"
#include "protocol/chemistry_records.h"
#include "protocol/frame.h"
#include "protocol/identity_records.h"
#include "protocol/optics_records.h"
#include "protocol/scripted_transactor.h"
#include "protocol/settings_records.h"
#include "protocol/upgrade_records.h"

namespace velacor::protocol {
namespace {

using base::FieldInfo;
using base::FieldKind;
using testing::PatternBytes;

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
// byte string decodes into a record that encodes to the same string (float fields are copied as
// bit patterns, NaNs included). An answer payload is longer than the record: only the record's
// own bytes are read.
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

    auto longer = PatternBytes(MAX_PAYLOAD, 7);
    const auto full = base::Encode(base::Decode<R>(longer));
    std::fill(longer.begin() + R::SIZE, longer.end(), std::uint8_t{0xa5});
    EXPECT_EQ(base::Encode(base::Decode<R>(longer)), full);
}

// The field names are what the report, the editors and the configuration files go by: each
// names one field, and together they cover the record's bytes in order.
TYPED_TEST(RecordLayout, NamedFieldsAreUniqueAndCoverTheRecord) {
    using R = TypeParam;
    std::set<std::string> names;
    std::size_t next = 0;
    for (const FieldInfo& f : base::FieldList<R>()) {
        EXPECT_TRUE(names.insert(f.name).second) << f.name << " appears twice";
        EXPECT_FALSE(f.name.empty() || f.name.find_first_of(" \n") != std::string::npos)
            << '"' << f.name << '"';
        EXPECT_EQ(f.offset, next) << f.name;
        next = f.offset + f.size;
    }
    EXPECT_EQ(next, R::SIZE);
}

struct Spot {
    const char* record;
    std::vector<FieldInfo> (*fields)();
    const char* name;
    std::size_t offset;
    FieldKind kind = FieldKind::Unsigned;
};

template <class R>
constexpr auto Of = &base::FieldList<R>;

constexpr FieldKind S = FieldKind::Signed;
constexpr FieldKind F = FieldKind::Float;

TEST(RecordOffsets, InterpretedFieldsSitWhereTheSensorPutsThem) {
    const Spot spots[] = {
        {"SensorIdentity", Of<SensorIdentity>, "deviceType", 2},
        {"DeviceInfo", Of<DeviceInfo>, "name[0]", 2},
        {"DeviceInfo", Of<DeviceInfo>, "serialNumber", 24},
        {"DeviceInfo", Of<DeviceInfo>, "boardSerialNumber", 27},
        {"LegacyDeviceRecord", Of<LegacyDeviceRecord>, "boardIndex", 23},
        {"LegacyDeviceRecord", Of<LegacyDeviceRecord>, "bootloaderVersion", 26},
        {"FirmwareVersionText", Of<FirmwareVersionText>, "text[0]", 1},
        {"PowerStatus", Of<PowerStatus>, "supplyMillivolts", 5, S},
        {"PowerStatus", Of<PowerStatus>, "temperatureMilli", 9, S},
        {"MeasurementCounters", Of<MeasurementCounters>, "measurementTripCounter", 13, S},
        {"ChemistryConfig", Of<ChemistryConfig>, "sampleIntervalMs", 2},
        {"ChemistryConfig", Of<ChemistryConfig>, "autoDeployStart", 7},
        {"ChemistryConfig", Of<ChemistryConfig>, "special4To9Start[2]", 20},
        {"ChemistryConfig", Of<ChemistryConfig>, "loopedFlushStart", 24},
        // The 26-byte nutrient conversion works on these offsets.
        {"NutrientProcessing", Of<NutrientProcessing>, "outputChannel", 2},
        {"NutrientProcessing", Of<NutrientProcessing>, "standard1Conc", 8},
        {"NutrientProcessing", Of<NutrientProcessing>, "outputMonitorChannel", 22},
        {"NutrientProcessing", Of<NutrientProcessing>, "measureChannel[0]", 23},
        {"NutrientProcessing", Of<NutrientProcessing>, "monitorChannel[0]", 26},
        {"NutrientProcessing", Of<NutrientProcessing>, "sampleParam[0]", 29},
        {"PhProcessing", Of<PhProcessing>, "blankEndOffsetS", 8},
        {"PhProcessing", Of<PhProcessing>, "thermistor2Scale", 34, F},
        {"TaProcessing", Of<TaProcessing>, "temperatureCoefficient", 11, F},
        {"TaProcessing", Of<TaProcessing>, "titrantMolarity", 19, F},
        {"DicProcessing", Of<DicProcessing>, "inlet[0].type", 4},
        {"DicProcessing", Of<DicProcessing>, "inlet[1].crmValue", 14, F},
        {"DicProcessing", Of<DicProcessing>, "inlet[2].type", 18},
        {"OpticsStart", Of<OpticsStart>, "sampleIntervalMs", 11},
        {"OpticsStart", Of<OpticsStart>, "pmt.pmtByte0", OpticsStart::FORMAT_1_SIZE},
        {"AnalogueInputs", Of<AnalogueInputs>, "hall[0]", 35},
        {"PlatformDefaults", Of<PlatformDefaults>, "timeOffsetS", 20, S},
        {"PlatformDefaults", Of<PlatformDefaults>, "platformParam[1]", 28, S},
        {"Rs485Config", Of<Rs485Config>, "pollRateS", 13},
        {"MeasurementSchedule", Of<MeasurementSchedule>, "stopTime", 7},
        {"UpgradeBlock", Of<UpgradeBlock>, "imageBase", 73},
    };
    for (const Spot& spot : spots) {
        const auto fields = spot.fields();
        const auto f = std::find_if(fields.begin(), fields.end(),
                                    [&](const FieldInfo& i) { return i.name == spot.name; });
        ASSERT_NE(f, fields.end()) << spot.record << "." << spot.name;
        EXPECT_EQ(f->offset, spot.offset) << spot.record << "." << spot.name;
        EXPECT_EQ(f->kind, spot.kind) << spot.record << "." << spot.name;
    }
}

TEST(RecordOffsets, DeviceInfoNameKeepsAtMostTwentyCharactersAndItsTerminator) {
    DeviceInfo info;
    info.name.fill('x');  // as a sensor might hold it, without a terminator
    info.SetName("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(info.Name(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(base::Encode(info)[22], 0);
}

// Run modes start disabled; a nutrient record is the current form on channels 0, 1, 2 without
// monitoring channels; the pump has stopped when both of its last two status bytes are 0.
TEST(RecordDefaults, FreshRecordsAndPumpStopped) {
    EXPECT_EQ(base::Encode(ChemistryConfig{})[7], STATE_NONE);
    const auto nutrient = base::Encode(NutrientProcessing{});
    EXPECT_EQ(std::vector<std::uint8_t>(nutrient.begin(), nutrient.begin() + 3),
              (std::vector<std::uint8_t>{2, 0, PATH_MEDIUM}));
    EXPECT_EQ(std::vector<std::uint8_t>(nutrient.begin() + 23, nutrient.begin() + 29),
              (std::vector<std::uint8_t>{0, 1, 2, 255, 255, 255}));

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
