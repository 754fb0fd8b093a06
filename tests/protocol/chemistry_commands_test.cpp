// Processing parameters (0x92/0x93): the record length travels in the request, and nutrient
// sensors with older firmware, which only know the 26-byte record, answer status 4 to the
// 32-byte one and get the older form instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "base/byte_io.h"
#include "protocol/chemistry_commands.h"
#include "protocol/scripted_transactor.h"

namespace velacor::protocol {
namespace {

using testing::Answer;
using testing::ExpectRequest;
using testing::LinkFailure;
using testing::PatternBytes;
using testing::ScriptedAnswer;
using testing::ScriptedTransactor;

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t NUTRIENTS[] = {CHEMISTRY_NITRATE, CHEMISTRY_PHOSPHATE, CHEMISTRY_SILICATE,
                                      CHEMISTRY_NITRITE, CHEMISTRY_IRON};
constexpr std::uint8_t NOT_NUTRIENTS[] = {CHEMISTRY_GENERIC, CHEMISTRY_PH, CHEMISTRY_TA,
                                          CHEMISTRY_DIC, CHEMISTRY_AMMONIA};

// The u32 record length and then the record, as 0x93 carries them (0x92 carries the length only).
Bytes LengthPrefixed(std::size_t length, const Bytes& record = {}) {
    Bytes payload(4 + record.size());
    base::PutU32(payload, 0, static_cast<std::uint32_t>(length));
    std::copy(record.begin(), record.end(), payload.begin() + 4);
    return payload;
}

TEST(Processing, RequestsCarryTheRecordLengthOfEachChemistry) {
    for (std::uint8_t type = 0; type <= CHEMISTRY_AMMONIA; ++type) {
        SCOPED_TRACE(int{type});
        const std::size_t length = ProcessingRecordLength(type);
        const Bytes answer = PatternBytes(MAX_PAYLOAD, type);
        const Bytes written = PatternBytes(length, type + 20);
        ScriptedTransactor t{Answer(0, answer), Answer(0)};
        Bytes record(length, 0x55);
        ASSERT_EQ(ReadProcessingBytes(t, type, record), STATUS_OK);
        EXPECT_TRUE(std::equal(record.begin(), record.end(), answer.begin()));
        ASSERT_EQ(WriteProcessingBytes(t, type, written), STATUS_OK);
        ASSERT_EQ(t.Requests().size(), 2u);
        ExpectRequest(t, 0, CMD_READ_PROCESSING, LengthPrefixed(length));
        ExpectRequest(t, 1, CMD_WRITE_PROCESSING, LengthPrefixed(length, written));
    }
}

// The 26-byte answer of older nutrient firmware. Bytes 23..25 of that form mean nothing to us
// and the answer's bytes behind the record must not leak into the caller's record either.
Bytes LegacyAnswer(std::uint8_t outputChannel, std::uint8_t hasMonitor, std::uint8_t monitor) {
    Bytes answer = PatternBytes(LEGACY_NUTRIENT_LENGTH, outputChannel);
    answer[0] = 0;
    answer[2] = outputChannel;
    answer[21] = hasMonitor;
    answer[22] = monitor;
    answer[23] = answer[24] = answer[25] = 9;
    answer.resize(48, 0xee);
    return answer;
}

// Status 4 is retried in the 26-byte form and the answer converted; bytes 29..31 (the
// telemetry parameters) stay the caller's.
TEST(LegacyNutrientRead, StatusFourIsRetriedInTheTwentySixByteForm) {
    struct Case {
        std::uint8_t outputChannel;
        std::uint8_t hasMonitor;
        std::uint8_t monitor;
        std::uint8_t convertedOutput;
        std::array<std::uint8_t, 3> monitors;
    };
    const Case cases[] = {
        {PATH_LONG, 1, 5, PATH_LONG, {5, 255, 255}},
        {PATH_MEDIUM, 1, 6, PATH_MEDIUM, {255, 6, 255}},
        {PATH_SHORT, 1, 7, PATH_SHORT, {255, 255, 7}},
        {PATH_SHORT, 0, 7, PATH_SHORT, {255, 255, 255}},
        // Adaptive and anything else above 3 become Medium, monitoring channel included.
        {OUTPUT_ADAPTIVE, 1, 4, PATH_MEDIUM, {255, 4, 255}},
        {4, 1, 3, PATH_MEDIUM, {255, 3, 255}},
        // Output channel 3 names no optical path: it is kept, and its monitoring channel must not
        // land on byte 29.
        {3, 1, 6, 3, {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "output " << int{c.outputChannel} << " monitor " << int{c.hasMonitor});
        const Bytes legacy = LegacyAnswer(c.outputChannel, c.hasMonitor, c.monitor);
        const Bytes caller = PatternBytes(NutrientProcessing::SIZE, 99);
        Bytes expected = caller;
        std::copy_n(legacy.begin(), LEGACY_NUTRIENT_LENGTH, expected.begin());
        expected[0] = 1;
        expected[2] = c.convertedOutput;
        std::copy_n(Bytes{0, 1, 2}.begin(), 3, expected.begin() + 23);
        std::copy_n(c.monitors.begin(), 3, expected.begin() + 26);

        for (const std::uint8_t type : NUTRIENTS) {
            ScriptedTransactor t{Answer(STATUS_WRONG_RECORD_LENGTH), Answer(0, legacy)};
            Bytes record = caller;
            ASSERT_EQ(ReadProcessingBytes(t, type, record), STATUS_OK) << "type " << int{type};
            ASSERT_EQ(t.Requests().size(), 2u) << "type " << int{type};
            ExpectRequest(t, 0, CMD_READ_PROCESSING, LengthPrefixed(NutrientProcessing::SIZE));
            ExpectRequest(t, 1, CMD_READ_PROCESSING, LengthPrefixed(LEGACY_NUTRIENT_LENGTH));
            EXPECT_EQ(record, expected) << "type " << int{type};
        }
    }
}

TEST(LegacyNutrientWrite, StatusFourIsRepeatedOnceAsTheTwentySixByteRecord) {
    NutrientProcessing nutrient = base::Decode<NutrientProcessing>(PatternBytes(32, 17));
    nutrient.recordForm = 2;
    const auto encoded = base::Encode(nutrient);
    Bytes legacy(encoded.begin(), encoded.begin() + LEGACY_NUTRIENT_LENGTH);
    legacy[0] = 0;  // the 26-byte form's record form
    for (const std::uint8_t type : NUTRIENTS) {
        ScriptedTransactor t{Answer(STATUS_WRONG_RECORD_LENGTH), Answer(0)};
        EXPECT_EQ(WriteProcessing(t, type, nutrient), STATUS_OK) << "type " << int{type};
        ASSERT_EQ(t.Requests().size(), 2u);
        ExpectRequest(t, 0, CMD_WRITE_PROCESSING,
                      LengthPrefixed(32, Bytes(encoded.begin(), encoded.end())));
        ExpectRequest(t, 1, CMD_WRITE_PROCESSING, LengthPrefixed(26, legacy));
    }
}

// A failed read retry leaves the record; a write retry lost on the link reports the 4.
TEST(LegacyNutrient, FailedRetryResults) {
    struct Case {
        ScriptedAnswer second;
        int readResult;
        int writeResult;
    };
    for (const Case& c : {Case{LinkFailure(), RESULT_TRANSPORT_FAILURE, 4}, Case{Answer(4), 4, 4},
                          Case{Answer(3), 3, 3}}) {
        SCOPED_TRACE(c.readResult);
        ScriptedTransactor t{Answer(STATUS_WRONG_RECORD_LENGTH), c.second,
                             Answer(STATUS_WRONG_RECORD_LENGTH), c.second};
        const Bytes caller = PatternBytes(NutrientProcessing::SIZE, 5);
        Bytes record = caller;
        EXPECT_EQ(ReadProcessingBytes(t, CHEMISTRY_PHOSPHATE, record), c.readResult);
        EXPECT_EQ(record, caller);
        EXPECT_EQ(WriteProcessingBytes(t, CHEMISTRY_SILICATE, caller), c.writeResult);
        EXPECT_EQ(t.Requests().size(), 4u);
    }
}

// Only nutrient chemistries get the 26-byte form, and only after a status 4.
TEST(Processing, NoRetryForOtherChemistriesOrOtherStatuses) {
    for (const std::uint8_t type : NOT_NUTRIENTS) {
        ScriptedTransactor t{Answer(STATUS_WRONG_RECORD_LENGTH), Answer(STATUS_WRONG_RECORD_LENGTH),
                             Answer(0, LegacyAnswer(1, 0, 0)), Answer(0, LegacyAnswer(1, 0, 0))};
        const Bytes caller = PatternBytes(ProcessingRecordLength(type), type);
        Bytes record = caller;
        EXPECT_EQ(ReadProcessingBytes(t, type, record), STATUS_WRONG_RECORD_LENGTH);
        EXPECT_EQ(record, caller) << "type " << int{type};
        EXPECT_EQ(t.Requests().size(), 1u) << "type " << int{type};
        EXPECT_EQ(WriteProcessingBytes(t, type, caller), STATUS_WRONG_RECORD_LENGTH);
        EXPECT_EQ(t.Requests().size(), 2u) << "type " << int{type};
    }
    struct Case {
        ScriptedAnswer first;
        int result;
    };
    for (const Case& c : {Case{Answer(3), 3}, Case{Answer(STATUS_NOT_SUPPORTED), 9},
                          Case{LinkFailure(), RESULT_TRANSPORT_FAILURE}}) {
        ScriptedTransactor t{c.first, c.first, Answer(0, LegacyAnswer(1, 0, 0)), Answer(0)};
        Bytes record(NutrientProcessing::SIZE, 0x42);
        EXPECT_EQ(ReadProcessingBytes(t, CHEMISTRY_NITRATE, record), c.result);
        EXPECT_EQ(record, Bytes(NutrientProcessing::SIZE, 0x42)) << "result " << c.result;
        EXPECT_EQ(t.Requests().size(), 1u) << "result " << c.result;
        EXPECT_EQ(WriteProcessing(t, CHEMISTRY_IRON, NutrientProcessing{}), c.result);
        EXPECT_EQ(t.Requests().size(), 2u) << "result " << c.result;
    }
}

}  // namespace
}  // namespace velacor::protocol
