// The shared read and write that every command wrapper goes through and that never touch the
// caller's record on a failure, the two-format optics start and the thermistor index. The wire
// codes of the identity, version, power and counter reads are in the command line's trace; the
// other wrappers only name their code from the one table of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/byte_io.h"
#include "link/link_status.h"
#include "protocol/identity_records.h"
#include "protocol/optics_commands.h"
#include "protocol/scripted_transactor.h"
#include "protocol/settings_commands.h"

namespace velacor::protocol {
namespace {

using testing::Answer;
using testing::Encoded;
using testing::ExpectRequest;
using testing::LinkFailure;
using testing::PatternBytes;
using testing::ScriptedAnswer;
using testing::ScriptedTransactor;

using Bytes = std::vector<std::uint8_t>;

template <class R>
R Patterned(std::uint32_t seed) {
    return base::Decode<R>(PatternBytes(R::SIZE, seed));
}

int ExpectedResult(const ScriptedAnswer& a) {
    return a.linkStatus != link::LINK_OK ? RESULT_TRANSPORT_FAILURE : a.status;
}

TEST(SharedExchange, ReadRecordChangesTheRecordOnlyOnStatusZero) {
    const Bytes answer = PatternBytes(MAX_PAYLOAD, 1);
    // Status 9 is here too: only the identity reads answer it with their older command. Each
    // failure follows an answer of 0, and must never report that earlier status.
    const std::vector<ScriptedAnswer> failures = {
        LinkFailure(link::LINK_TIMEOUT),         LinkFailure(link::LINK_BUSY),
        Answer(1, PatternBytes(MAX_PAYLOAD, 3)), Answer(4, PatternBytes(MAX_PAYLOAD, 4)),
        Answer(9, PatternBytes(MAX_PAYLOAD, 7)), Answer(255, PatternBytes(MAX_PAYLOAD, 9))};
    ScriptedTransactor t;
    for (const ScriptedAnswer& a : failures) {
        t.Then(Answer(0, answer));
        t.Then(a);
    }
    const Bytes expected(answer.begin(), answer.begin() + PowerStatus::SIZE);
    for (const ScriptedAnswer& a : failures) {
        PowerStatus power = Patterned<PowerStatus>(2);
        ASSERT_EQ(ReadRecord(t, CMD_READ_POWER_STATUS, power), STATUS_OK);
        EXPECT_EQ(Encoded(power), expected);
        EXPECT_EQ(ReadRecord(t, CMD_READ_POWER_STATUS, power), ExpectedResult(a));
        EXPECT_EQ(Encoded(power), expected) << "result " << ExpectedResult(a);
    }
    EXPECT_EQ(t.Requests().size(), 2 * failures.size());
}

TEST(SharedExchange, WritesReturnTheStatusAndSetNothingButTheRequest) {
    const PumpDefaults pump = Patterned<PumpDefaults>(5);
    for (const ScriptedAnswer& a : {Answer(0), Answer(3), Answer(255), LinkFailure()}) {
        ScriptedTransactor t{a, a};
        EXPECT_EQ(WriteRecord(t, CMD_WRITE_PUMP_DEFAULTS, pump), ExpectedResult(a));
        EXPECT_EQ(SendCommand(t, CMD_STOP_PUMP), ExpectedResult(a));
        ASSERT_EQ(t.Requests().size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            // The link fills bytes 0 and 3; the short request after the long one carries none
            // of its bytes.
            const auto& report = t.Requests()[i];
            EXPECT_EQ(report[0], 0);
            EXPECT_EQ(report[3], 0);
            EXPECT_EQ(report[STATUS_OFFSET], 0);
            EXPECT_TRUE(std::all_of(report.begin() + PAYLOAD_OFFSET + t.Length(i), report.end(),
                                    [](std::uint8_t b) { return b == 0; }));
        }
    }
}

TEST(Framing, PayloadIsCutToOneHundredTwentyThreeBytes) {
    const Bytes payload = PatternBytes(200, 12);
    ScriptedTransactor t{Answer(0)};
    ASSERT_EQ(SendCommand(t, CMD_WRITE_TASK_LOG_FILTERS, payload), STATUS_OK);
    EXPECT_EQ(t.Length(0), MAX_PAYLOAD);
    EXPECT_EQ(t.Payload(0), Bytes(payload.begin(), payload.begin() + MAX_PAYLOAD));
}

// Both directions lead with the thermistor's index.
TEST(Thermistor, RequestsLeadWithTheIndexByte) {
    for (const std::uint8_t index : {std::uint8_t{0}, std::uint8_t{2}}) {
        const ThermistorConfig therm = Patterned<ThermistorConfig>(index);
        const Bytes answer = PatternBytes(MAX_PAYLOAD, index + 5);
        ScriptedTransactor t{Answer(0), Answer(0, answer)};
        ASSERT_EQ(WriteThermistor(t, index, therm), STATUS_OK);
        Bytes expected = Encoded(therm);
        expected.insert(expected.begin(), index);
        ExpectRequest(t, 0, CMD_WRITE_THERMISTOR, expected);
        ThermistorConfig read;
        ASSERT_EQ(ReadThermistor(t, index, read), STATUS_OK);
        ExpectRequest(t, 1, CMD_READ_THERMISTOR, {index});
        EXPECT_EQ(Encoded(read), Bytes(answer.begin(), answer.begin() + ThermistorConfig::SIZE));
    }
}

OpticsStart AnOpticsStart() {
    OpticsStart start = Patterned<OpticsStart>(44);
    start.optics.opticsByte0 = 0;
    start.optics.opticsForm = 1;
    start.sampleIntervalMs = 1000;
    start.multiplexer = 1;
    return start;
}

// Firmware that does not know format 2 answers status 8 and is sent the older 16-byte request
// once; no other answer brings it.
TEST(StartOptics, StatusEightRepeatsOnceInFormatOne) {
    const Bytes full = Encoded(AnOpticsStart());
    const Bytes first16(full.begin(), full.begin() + OpticsStart::FORMAT_1_SIZE);
    struct Case {
        ScriptedAnswer first;
        ScriptedAnswer second;
        std::size_t requests;
        int result;
    };
    const ScriptedAnswer eight = Answer(STATUS_FORMAT_UNSUPPORTED);
    for (const Case& c :
         {Case{Answer(0), Answer(0), 1, 0}, Case{Answer(9), Answer(0), 1, 9},
          Case{LinkFailure(), Answer(0), 1, RESULT_TRANSPORT_FAILURE}, Case{eight, Answer(0), 2, 0},
          Case{eight, Answer(3), 2, 3}, Case{eight, eight, 2, STATUS_FORMAT_UNSUPPORTED},
          Case{eight, LinkFailure(), 2, RESULT_TRANSPORT_FAILURE}}) {
        SCOPED_TRACE(::testing::Message() << c.requests << " requests, result " << c.result);
        ScriptedTransactor t{c.first, c.second, Answer(0)};
        EXPECT_EQ(StartOptics(t, AnOpticsStart()), c.result);
        ASSERT_EQ(t.Requests().size(), c.requests);
        ExpectRequest(t, 0, CMD_START_OPTICS, full, FORMAT_2);
        if (c.requests == 2)
            ExpectRequest(t, 1, CMD_START_OPTICS, first16);
    }
}

}  // namespace
}  // namespace velacor::protocol
