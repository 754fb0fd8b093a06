// Wire layouts of every record: each byte survives a decode and encode, the field names are
// unique, and the fields the program reaches by offset sit where it expects them.
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

// The 26-byte nutrient conversion and the format-1 optics start cut records at these offsets
// by number; the field list must agree with them.
TEST(RecordOffsets, FieldsThatCodeReachesByOffsetSitThere) {
    struct Spot {
        std::vector<FieldInfo> fields;
        const char* name;
        std::size_t offset;
    };
    const auto nutrient = base::FieldList<NutrientProcessing>();
    const Spot spots[] = {
        {nutrient, "outputChannel", 2},
        {nutrient, "outputMonitorChannel", 22},
        {nutrient, "measureChannel[0]", 23},
        {nutrient, "monitorChannel[0]", 26},
        {nutrient, "sampleParam[0]", 29},
        {base::FieldList<OpticsStart>(), "pmt.pmtByte0", OpticsStart::FORMAT_1_SIZE},
    };
    for (const Spot& spot : spots) {
        const auto f = std::find_if(spot.fields.begin(), spot.fields.end(),
                                    [&](const FieldInfo& i) { return i.name == spot.name; });
        ASSERT_NE(f, spot.fields.end()) << spot.name;
        EXPECT_EQ(f->offset, spot.offset) << spot.name;
    }
}

TEST(RecordOffsets, DeviceInfoNameKeepsAtMostTwentyCharactersAndItsTerminator) {
    DeviceInfo info;
    info.name.fill('x');  // as a sensor might hold it, without a terminator
    info.SetName("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(info.Name(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(base::Encode(info)[22], 0);
}

// The pump has stopped when both of its last two status bytes are 0.
TEST(PumpStatus, StoppedGoesByTheLastTwoBytes) {
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
