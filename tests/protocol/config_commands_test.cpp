// The command wrappers: the shared read and write that never touch the caller's record on a
// failure, what each wrapper puts on the wire, the two-format optics start and the thermistor
// index.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_io.h"
#include "link/link_status.h"
#include "protocol/chemistry_commands.h"
#include "protocol/identity_commands.h"
#include "protocol/optics_commands.h"
#include "protocol/scripted_transactor.h"
#include "protocol/settings_commands.h"
#include "protocol/upgrade_commands.h"

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

// What each wrapper adds to the shared exchange: its command and its request. A read wrapper seen
// through the encoded bytes of its record.
struct ReadCase {
    std::string name;
    std::uint8_t command;
    Bytes request;
    std::size_t size;
    std::function<int(link::Transactor&, Bytes&)> read;
};

template <class R, class F>
ReadCase Reader(std::string name, std::uint8_t command, Bytes request, F wrapper) {
    return ReadCase{std::move(name), command, std::move(request), R::SIZE,
                    [wrapper](link::Transactor& t, Bytes& bytes) {
                        R record = base::Decode<R>(bytes);
                        const int status = wrapper(t, record);
                        bytes = Encoded(record);
                        return status;
                    }};
}

int ReadPh(link::Transactor& link, PhProcessing& r) {
    return ReadProcessing(link, CHEMISTRY_PH, r);
}
int ReadThirdThermistor(link::Transactor& link, ThermistorConfig& r) {
    return ReadThermistor(link, 2, r);
}

// The identity, version, power and counter reads are in the command line's wire trace.
TEST(Wrappers, EachReadSendsItsCommandAndTakesItsRecord) {
    const ReadCase cases[] = {
        Reader<OutputFileName>("OutputFileName", 0xa6, {}, ReadOutputFileName),
        Reader<StateCount>("StateCount", 0xb2, {0}, ReadStateCount),
        Reader<ChemistryConfig>("ChemistryConfig", 0x90, {}, ReadChemistryConfig),
        Reader<PhProcessing>("PhProcessing", 0x92, {38, 0, 0, 0}, ReadPh),
        Reader<OpticsDefaults>("OpticsDefaults", 0x70, {}, ReadOpticsDefaults),
        Reader<PmtDefaults>("PmtDefaults", 0x76, {}, ReadPmtDefaults),
        Reader<DicConductivity>("DicConductivity", 0x74, {}, ReadDicConductivity),
        Reader<PumpDefaults>("PumpDefaults", 0x60, {}, ReadPumpDefaults),
        Reader<PumpStatus>("PumpStatus", 0x64, {}, ReadPumpStatus),
        Reader<AnalogueInputs>("AnalogueInputs", 0xa2, {}, ReadAnalogueInputs),
        Reader<ThermistorConfig>("Thermistor", 0x94, {2}, ReadThirdThermistor),
        Reader<Rs232Config>("Rs232", 0xc0, {}, ReadRs232Config),
        Reader<Rs485Config>("Rs485", 0xd0, {}, ReadRs485Config),
        Reader<PlatformDefaults>("PlatformDefaults", 0xb8, {}, ReadPlatformDefaults),
        Reader<MeasurementSchedule>("Schedule", 0xba, {}, ReadSchedule),
        Reader<ScheduleStatus>("ScheduleStatus", 0xbd, {}, ReadScheduleStatus),
        Reader<RtcTime>("Clock", 0x22, {}, ReadClock),
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes answer = PatternBytes(MAX_PAYLOAD, c.command);
        ScriptedTransactor t{Answer(0, answer)};
        Bytes record = PatternBytes(c.size, 2);
        ASSERT_EQ(c.read(t, record), STATUS_OK);
        ASSERT_EQ(t.Requests().size(), 1u);
        ExpectRequest(t, 0, c.command, c.request);
        EXPECT_EQ(record,
                  Bytes(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(c.size)));
    }
}

struct SendCase {
    std::string name;
    std::uint8_t command;
    Bytes payload;
    std::function<int(link::Transactor&)> send;
};

template <class R, class F>
SendCase Writer(std::string name, std::uint8_t command, F wrapper) {
    const R record = Patterned<R>(command);
    return SendCase{std::move(name), command, Encoded(record),
                    [wrapper, record](link::Transactor& t) { return wrapper(t, record); }};
}

int StartAtStateSeven(link::Transactor& link) {
    return StartStateMachine(link, 7);
}

TEST(Wrappers, EachWriteAndControlSendsItsCommandAndPayload) {
    const SendCase cases[] = {
        Writer<DeviceInfo>("DeviceInfo", 0x05, WriteDeviceInfo),
        Writer<MeasurementCounters>("Counters", 0x25, WriteMeasurementCounters),
        Writer<ChemistryConfig>("ChemistryConfig", 0x91, WriteChemistryConfig),
        Writer<OpticsDefaults>("OpticsDefaults", 0x71, WriteOpticsDefaults),
        Writer<PmtDefaults>("PmtDefaults", 0x77, WritePmtDefaults),
        Writer<DicConductivity>("DicConductivity", 0x75, WriteDicConductivity),
        Writer<PumpDefaults>("PumpDefaults", 0x61, WritePumpDefaults),
        Writer<ValveTest>("StartValveTest", 0x65, StartValveTest),
        Writer<PumpStart>("StartPump", 0x62, StartPump),
        Writer<Rs232Config>("Rs232", 0xc1, WriteRs232Config),
        Writer<Rs485Config>("Rs485", 0xd1, WriteRs485Config),
        Writer<PlatformDefaults>("PlatformDefaults", 0xb9, WritePlatformDefaults),
        Writer<MeasurementSchedule>("Schedule", 0xbb, WriteSchedule),
        Writer<RtcTime>("SetClock", 0x23, SetClock),
        Writer<UpgradeBlock>("UpgradeBlock", 0x03, SendUpgradeBlock),
        SendCase{"StartFirmware", 0x02, {}, StartFirmware},
        SendCase{"StopOptics", 0x73, {}, StopOptics},
        SendCase{"StopPump", 0x63, {}, StopPump},
        SendCase{"StopValves", 0x66, {}, StopValves},
        SendCase{"StopStateMachine", 0xb6, {}, StopStateMachine},
        SendCase{"MountAsDrive", 0xe2, {}, MountAsDrive},
        SendCase{"StartStateMachine", 0xb5, {7}, StartAtStateSeven},
    };
    for (const SendCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedTransactor t{Answer(3)};
        EXPECT_EQ(c.send(t), 3);
        ASSERT_EQ(t.Requests().size(), 1u);
        ExpectRequest(t, 0, c.command, c.payload);
    }
}

TEST(Framing, PayloadIsCutToOneHundredTwentyThreeBytes) {
    const Bytes payload = PatternBytes(200, 12);
    ScriptedTransactor t{Answer(0)};
    ASSERT_EQ(SendCommand(t, CMD_WRITE_TASK_LOG_FILTERS, payload), STATUS_OK);
    EXPECT_EQ(t.Length(0), MAX_PAYLOAD);
    EXPECT_EQ(t.Payload(0), Bytes(payload.begin(), payload.begin() + MAX_PAYLOAD));
}

TEST(Thermistor, WriteLeadsWithTheIndexByte) {
    for (const std::uint8_t index : {std::uint8_t{0}, std::uint8_t{2}}) {
        const ThermistorConfig therm = Patterned<ThermistorConfig>(index);
        ScriptedTransactor t{Answer(0)};
        ASSERT_EQ(WriteThermistor(t, index, therm), STATUS_OK);
        Bytes expected = Encoded(therm);
        expected.insert(expected.begin(), index);
        ExpectRequest(t, 0, CMD_WRITE_THERMISTOR, expected);
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
