// The poller, the sample history, the raw table's feed and the output tables' texts.
#include <gtest/gtest.h>

#include <chrono>

#include "base/byte_io.h"
#include "connection/connection_flags.h"
#include "connection/output_rows.h"
#include "connection/poller.h"
#include "connection/raw_table_feed.h"
#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "protocol/command_codes.h"
#include "protocol/scripted_transactor.h"

namespace velacor::connection {
namespace {

using protocol::testing::Answer;
using protocol::testing::LinkFailure;
using protocol::testing::ScriptedTransactor;

protocol::SampleRecord Sample(std::uint32_t counter) {
    protocol::SampleRecord s;
    s.counter = counter;
    s.state = 3;
    return s;
}

std::vector<std::uint8_t> OutputPayload(std::uint8_t mode, std::uint32_t counter) {
    protocol::OutputStatus status;
    status.mode = mode;
    status.sample = Sample(counter);
    const auto bytes = base::Encode(status);
    return {bytes.begin(), bytes.end()};
}

struct Reports {
    std::vector<bool> health;
    std::vector<int> running, idle;
    PollerReports Make() {
        return {[this](bool ok, const protocol::PowerStatus&) { health.push_back(ok); },
                {},
                [this](std::uint8_t mode) { running.push_back(mode); },
                [this](std::uint8_t mode) { idle.push_back(mode); }};
    }
};

// One cycle's answers: power, counters, output status (-1: the link fails), platform data.
void ScriptCycle(ScriptedTransactor& t, int outputStatus, std::vector<std::uint8_t> output) {
    std::vector<std::uint8_t> power(17, 0);
    power[5] = 0x10;  // some supply
    t.Then(Answer(0, power));
    t.Then(Answer(0, {3}));
    t.Then(outputStatus < 0 ? LinkFailure()
                            : Answer(static_cast<std::uint8_t>(outputStatus), std::move(output)));
    t.Then(Answer(0, std::vector<std::uint8_t>(36, 1)));
}

// Waits until the poller has used every scripted answer, and a little more.
void WaitForScript(const ScriptedTransactor& sensor) {
    for (int i = 0; i < 2000 && sensor.Remaining() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TEST(PollerCycle, RepeatedSampleIsStoredOnce) {
    Poller poller;
    ScriptedTransactor sensor;
    Reports got;
    ScriptCycle(sensor, 0, OutputPayload(0, 41));
    ScriptCycle(sensor, 0, OutputPayload(0, 41));
    ScriptCycle(sensor, 0, OutputPayload(1, 42));
    ASSERT_TRUE(poller.Start(sensor, got.Make(), std::chrono::milliseconds(1)));
    WaitForScript(sensor);
    EXPECT_EQ(poller.History().Count(), 2u);
    EXPECT_EQ(poller.History().AtAge(0)->counter, 42u);
    poller.Stop();
    EXPECT_EQ(got.running, (std::vector<int>{0, 0, 1}));
}

TEST(PollerCycle, StatusesOfTheOutputPoll) {
    struct Case {
        int status;
        std::vector<bool> health;
        std::vector<int> running;
        std::vector<int> idle;
        std::size_t samples;
    };
    const Case cases[] = {
        {0, {true}, {0}, {}, 1},   // a new sample while operating
        {6, {true}, {}, {2}, 0},   // no new sample, idle: mode and health only
        {14, {false}, {}, {}, 0},  // the sensor's own 14 is a communication error
        {9, {}, {}, {}, 0},        // any other status reports nothing
        {-1, {false}, {}, {}, 0},  // transport failure
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        Poller poller;
        ScriptedTransactor sensor;
        Reports got;
        ScriptCycle(sensor, c.status, OutputPayload(c.status == 6 ? 2 : 0, 7));
        ASSERT_TRUE(poller.Start(sensor, got.Make(), std::chrono::hours(1)));
        WaitForScript(sensor);  // one cycle; the next is an hour away
        EXPECT_EQ(poller.History().Count(), c.samples);
        poller.Stop();
        EXPECT_EQ(got.health, c.health);
        EXPECT_EQ(got.running, c.running);
        EXPECT_EQ(got.idle, c.idle);
    }
}

TEST(PollerCycle, FailedRequestsZeroTheSharedCopies) {
    Poller poller;
    ScriptedTransactor sensor{LinkFailure(), Answer(5), Answer(6, OutputPayload(2, 0)), Answer(9)};
    poller.Cycle(sensor, Reports().Make());
    EXPECT_EQ(poller.Power().supplyMillivolts, 0);
    EXPECT_EQ(poller.Counters().recordVersion, 0);
    EXPECT_EQ(poller.Platform().salinity, 0.0f);
}

TEST(Poller, StopWhileARequestIsInFlightReturnsWithinOneTimeOut) {
    emulator::VirtualHidPlatform platform;
    auto sensor = std::make_shared<emulator::VirtualSensor>();
    const std::string path = platform.AddSensor(sensor);
    link::SensorLink sensorLink(platform);
    ASSERT_EQ(sensorLink.OpenSensor(path, 400), 0);
    sensor->InjectFault({protocol::CMD_READ_POWER_STATUS, emulator::FaultKind::NoAnswer, 0, 1});
    Poller poller;
    ASSERT_TRUE(poller.Start(sensorLink, {}));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto stopping = std::chrono::steady_clock::now();
    poller.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::milliseconds(1500));
    EXPECT_FALSE(poller.Running());
    EXPECT_FALSE(poller.History().Allocated());
}

// Runs the feed until it would wait, collecting the counters it adds.
std::vector<std::uint32_t> Drain(RawTableFeed& feed, const SampleHistory& history, bool paused) {
    std::vector<std::uint32_t> added;
    for (;;) {
        const RawTableFeed::Step step = feed.Next(history, paused);
        if (step.add)
            added.push_back(step.add->counter);
        if (step.waitAfter)
            return added;
    }
}

TEST(RawTableFeed, AFullRingThenTheFeedsFirstFillOfTheLastThousandThenWhatArrivesUnpaused) {
    SampleHistory history;
    EXPECT_EQ(history.AtAge(0), std::nullopt);
    history.Append(Sample(1));  // not allocated: dropped
    EXPECT_EQ(history.Count(), 0u);
    ASSERT_TRUE(history.Allocate());
    for (std::uint32_t c = 1; c <= HISTORY_SLOTS + 100; ++c)
        history.Append(Sample(c));
    EXPECT_EQ(history.Count(), HISTORY_SLOTS);
    EXPECT_EQ(history.AtAge(HISTORY_SLOTS - 1)->counter, 101u);
    EXPECT_EQ(history.AtAge(HISTORY_SLOTS), std::nullopt);
    std::vector<protocol::SampleRecord> newest;
    history.CopyNewest(3, newest);
    ASSERT_EQ(newest.size(), 3u);
    EXPECT_EQ(newest.front().counter, HISTORY_SLOTS + 98);
    EXPECT_EQ(newest.back().counter, HISTORY_SLOTS + 100);

    RawTableFeed feed;
    feed.Begin(history);
    const auto added = Drain(feed, history, false);
    ASSERT_EQ(added.size(), 1000u);
    EXPECT_EQ(added.front(), HISTORY_SLOTS - 899);
    EXPECT_EQ(added.back(), HISTORY_SLOTS + 100);
    EXPECT_TRUE(Drain(feed, history, false).empty());  // nothing new: nothing added
    history.Append(Sample(HISTORY_SLOTS + 101));       // arrives while paused: skipped for good
    EXPECT_TRUE(Drain(feed, history, true).empty());
    EXPECT_TRUE(Drain(feed, history, false).empty());
    history.Append(Sample(HISTORY_SLOTS + 102));
    EXPECT_EQ(Drain(feed, history, false), std::vector<std::uint32_t>{HISTORY_SLOTS + 102});

    history.Clear();
    EXPECT_TRUE(feed.Next(history, false).clear);
}

TEST(OutputRows, ProcessedColumnTitlesFollowTheChemistry) {
    struct Case {
        std::uint8_t type;
        const char* first;
        const char* value;
        const char* p1;
        const char* p3;
    };
    const Case cases[] = {
        {4, "Dive Number", "pH", "Platform DO (ml/l)", "Thermistor t (degC)"},
        {8, "Meas State", "DIC (umol/kg)", "Sample Step (V)", "Temperature (C)"},
        {42, "Dive Number", "Unknown Value", "P1", "P3"},
    };
    for (const Case& c : cases) {
        const auto columns = ProcessedColumns(c.type);
        ASSERT_EQ(columns.size(), PROCESSED_COLUMN_COUNT);
        EXPECT_EQ(columns[0].title, c.first) << int{c.type};
        EXPECT_EQ(columns[3].title, c.value) << int{c.type};
        EXPECT_EQ(columns[9].title, c.p1) << int{c.type};
        EXPECT_EQ(columns[11].title, c.p3) << int{c.type};
    }
}

TEST(OutputRows, RowTexts) {
    protocol::SampleRecord s = Sample(12);
    s.channel[0] = 32768;
    s.temperatureMilli = 21549;
    s.sensorTime = 951782400;
    auto row = RawRow(s);
    ASSERT_EQ(row.size(), RAW_COLUMN_COUNT);
    EXPECT_EQ(row[0], "12");
    EXPECT_EQ(row[2], "2.50000");
    EXPECT_EQ(row[10], "21.5");
    EXPECT_EQ(row[14], "29/02/2000 00:00:00");
    EXPECT_EQ(row[18], "n/a");
    s.platformValid = 1;
    s.platformDepth = 12.5f;
    EXPECT_EQ(RawRow(s)[18], "12.500");

    protocol::ProcessedRecord r;
    r.SetValue(17.25);
    r.validity = 2;
    r.direction = 3;
    const auto processed = ProcessedRow(r);
    EXPECT_EQ(processed[3], "17.250");
    EXPECT_EQ(processed[4], "bad");
    EXPECT_EQ(processed[6], "climbing");
    r.validity = 7;
    EXPECT_EQ(ProcessedRow(r)[4], "unknown");
}

TEST(OutputRows, StartChoicesListOnlyStatesInUse) {
    protocol::ChemistryConfig all255;
    all255.autoDeployStart = all255.manualDeployStart = all255.manualPrimeStart = 255;
    all255.manualFlushStart = all255.loopedFlushStart = 255;
    EXPECT_TRUE(StartChoices(all255).empty());
    EXPECT_FALSE(AutostartOn(all255));

    protocol::ChemistryConfig some = all255;
    some.manualFlushStart = 4;
    some.special4To9Start[2] = 9;
    const auto choices = StartChoices(some);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].name, "Flush");
    EXPECT_EQ(choices[0].state, 4);
    EXPECT_EQ(choices[1].name, "Special6");

    const auto unreadable = StartChoices(UnreadableChemistryConfig());
    ASSERT_EQ(unreadable.size(), 10u);  // Loop Flush and Special1..9, all at state 0
    EXPECT_EQ(unreadable[0].name, "Loop Flush");
    EXPECT_TRUE(AutostartOn(UnreadableChemistryConfig()));
}

}  // namespace
}  // namespace velacor::connection
