// Wire layouts of every record: each byte survives a decode and encode, the field names are
// unique, and the fields the program reaches by offset sit where the sensor puts them.
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

using AllRecords =
    ::testing::Types<SensorIdentity, DeviceInfo, LegacyDeviceRecord, FirmwareVersionText,
                     PowerStatus, MeasurementCounters, OutputFileName, StateCount, ChemistryConfig,
                     GenericProcessing, NutrientProcessing, PhProcessing, TaProcessing, DicInlet,
                     DicProcessing, AmmoniaProcessing, OpticsDefaults, PmtDefaults, DicConductivity,
                     PumpDefaults, PumpStart, ValveTest, OpticsStart, PumpStatus, AnalogueInputs,
                     ThermistorConfig, Rs232Config, Rs485Config, PlatformDefaults,
                     MeasurementSchedule, ScheduleStatus, RtcTime, UpgradeBlock>;
TYPED_TEST_SUITE(RecordLayout, AllRecords);

// Bytes the program does not interpret go back to the sensor exactly as they came (floats as
// bit patterns, NaNs included), and of a longer answer only the record's own bytes are read.
// The names are what the report, the editors and the configuration files go by.
TYPED_TEST(RecordLayout, BytesSurviveDecodeAndEncodeAndNamesAreUnique) {
    using R = TypeParam;
    static_assert(R::SIZE <= MAX_PAYLOAD, "a record must fit one report");
    for (std::uint32_t seed = 0; seed <= 64; ++seed) {
        const auto input =
            seed == 0 ? std::vector<std::uint8_t>(R::SIZE, 0xff) : PatternBytes(R::SIZE, seed);
        const auto encoded = base::Encode(base::Decode<R>(input));
        ASSERT_TRUE(std::equal(encoded.begin(), encoded.end(), input.begin(), input.end()))
            << "seed " << seed;
    }
    auto longer = PatternBytes(MAX_PAYLOAD, 7);
    const auto full = base::Encode(base::Decode<R>(longer));
    std::fill(longer.begin() + R::SIZE, longer.end(), std::uint8_t{0xa5});
    EXPECT_EQ(base::Encode(base::Decode<R>(longer)), full);

    std::set<std::string> names;
    for (const FieldInfo& f : base::FieldList<R>()) {
        EXPECT_TRUE(names.insert(f.name).second) << f.name << " appears twice";
        EXPECT_EQ(f.name.find_first_of(" \n"), std::string::npos) << '"' << f.name << '"';
    }
}

struct Spot {
    std::vector<FieldInfo> (*fields)();
    const char* name;
    std::size_t offset;
    FieldKind kind = FieldKind::Unsigned;
};

template <class R>
constexpr auto Of = &base::FieldList<R>;

// Neighbours of the same size could swap unnoticed by any round trip; these are the fields that
// conversions, status texts and processing read.
TEST(RecordOffsets, InterpretedFieldsSitWhereTheSensorPutsThem) {
    constexpr FieldKind S = FieldKind::Signed;
    constexpr FieldKind F = FieldKind::Float;
    const Spot spots[] = {
        {Of<SensorIdentity>, "deviceType", 2},
        {Of<DeviceInfo>, "serialNumber", 24},
        {Of<DeviceInfo>, "boardSerialNumber", 27},
        {Of<LegacyDeviceRecord>, "boardIndex", 23},
        {Of<PowerStatus>, "supplyMillivolts", 5, S},
        {Of<PowerStatus>, "temperatureMilli", 9, S},
        {Of<MeasurementCounters>, "measurementTripCounter", 13, S},
        {Of<ChemistryConfig>, "autoDeployStart", 7},
        {Of<ChemistryConfig>, "special4To9Start[2]", 20},
        {Of<ChemistryConfig>, "loopedFlushStart", 24},
        // The 26-byte nutrient conversion works on these offsets.
        {Of<NutrientProcessing>, "outputChannel", 2},
        {Of<NutrientProcessing>, "outputMonitorChannel", 22},
        {Of<NutrientProcessing>, "measureChannel[0]", 23},
        {Of<NutrientProcessing>, "monitorChannel[0]", 26},
        {Of<NutrientProcessing>, "sampleParam[0]", 29},
        {Of<PhProcessing>, "thermistor2Scale", 34, F},
        {Of<DicProcessing>, "inlet[1].crmValue", 14, F},
        {Of<OpticsStart>, "pmt.pmtByte0", OpticsStart::FORMAT_1_SIZE},
        {Of<PlatformDefaults>, "timeOffsetS", 20, S},
    };
    for (const Spot& spot : spots) {
        const auto fields = spot.fields();
        const auto f = std::find_if(fields.begin(), fields.end(),
                                    [&](const FieldInfo& i) { return i.name == spot.name; });
        ASSERT_NE(f, fields.end()) << spot.name;
        EXPECT_EQ(f->offset, spot.offset) << spot.name;
        EXPECT_EQ(f->kind, spot.kind) << spot.name;
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
    for (const auto& [bytes, stopped] : {std::pair{std::array<std::uint8_t, 3>{9, 0, 0}, true},
                                         {{0, 1, 0}, false},
                                         {{0, 0, 1}, false}}) {
        PumpStatus status;
        status.bytes = bytes;
        EXPECT_EQ(status.Stopped(), stopped) << int{bytes[1]} << " " << int{bytes[2]};
    }
}

// The record length sent with 0x92/0x93 comes from this table, so it must agree with the
// record the caller decodes; a mismatch would make the sensor answer status 4 on every read.
TEST(ProcessingRecords, LengthTableMatchesEachChemistrysRecord) {
    const std::size_t nutrient = NutrientProcessing::SIZE;
    const std::size_t sizes[] = {GenericProcessing::SIZE,
                                 nutrient,
                                 nutrient,
                                 nutrient,
                                 PhProcessing::SIZE,
                                 nutrient,
                                 nutrient,
                                 TaProcessing::SIZE,
                                 DicProcessing::SIZE,
                                 AmmoniaProcessing::SIZE};
    for (int type = 0; type <= 255; ++type) {
        const auto t = static_cast<std::uint8_t>(type);
        const std::size_t size = type < 10 ? sizes[type] : 0;
        EXPECT_EQ(ProcessingRecordLength(t), size) << "type " << type;
        EXPECT_EQ(IsNutrient(t), type < 10 && size == nutrient) << "type " << type;
        EXPECT_LE(size + 4, MAX_PAYLOAD) << "type " << type;
    }
}

}  // namespace
}  // namespace velacor::protocol
