#include "statemachine/dry_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "statemachine/definition_text.h"
#include "temp_dir.h"

namespace velacor::statemachine {
namespace {

// A machine of lastIndex + 1 default states: each goes on to the next, the last to itself.
StateMachine Chain(std::uint16_t lastIndex) {
    StateMachine m;
    m.lastIndex = lastIndex;
    for (std::size_t i = 0; i <= lastIndex; ++i)
        m.InitState(i);
    return m;
}

CounterTrigger IncAndTest(std::uint8_t increment, std::uint8_t testValue, std::uint8_t next) {
    return {increment, testValue, next, COUNTER_INC_AND_TEST};
}

std::vector<std::uint16_t> Visited(const DryRunResult& run) {
    std::vector<std::uint16_t> states;
    for (const TableRow& row : run.rows)
        states.push_back(row.stateIndex);
    return states;
}

// ---- cell texts -------------------------------------------------------------------------

// The summary file below shows a withdrawing pump with a hall stop; the other settings here.
TEST(StateCellTexts, PumpCellForEachSetting) {
    StateRecord r;
    r.pumpOn = 1;
    r.pumpCurrentMa = 500;
    r.stepPeriodUs = 1000;
    r.stopTimeS = 30;
    r.pumpTimeoutNext = 6;
    r.pumpDirection = 0;
    r.microstepCode = 4;
    r.stopCondition = STOP_TIME;
    EXPECT_EQ(StateCellTexts(3, r)[3], "500mA;1000\xB5s;1x;inject;time;30s");
    EXPECT_EQ(StateCellTexts(3, r)[17], "") << "time-out only with a hall stop";

    r.microstepCode = 5;
    r.stopCondition = 3;
    EXPECT_EQ(StateCellTexts(3, r)[3], "500mA;1000\xB5s;?;inject;?;30s");
    r.pumpOn = 0;
    EXPECT_EQ(StateCellTexts(3, r)[3], "off");
}

TEST(StateCellTexts, NumberListsShowLitLedsNotTheirCurrents) {
    StateMachine m;
    m.defaults.ledCurrentUa = {12000, 0, 48000, 500};
    m.defaults.photodiodePower = 0;
    m.lastIndex = 4;
    m.InitState(2);
    StateRecord& r = m.states[2];
    EXPECT_EQ(StateCellTexts(2, r)[4], "0.1.2.3");
    EXPECT_EQ(StateCellTexts(2, r)[5], "off");
    r.valvesOpen = (1u << 0) | (1u << 3) | (1u << 12);
    r.ledDrive = {0, LED_ON, 0, LED_ON};
    EXPECT_EQ(StateCellTexts(2, r)[2], "0.3.12");
    EXPECT_EQ(StateCellTexts(2, r)[4], "1.3");
    r.ledDrive = {};
    EXPECT_EQ(StateCellTexts(2, r)[4], "none");
}

// The summary file below shows operating, sleeping and idle states; the other modes show as
// idle ones do.
TEST(StateCellTexts, OnlyOperatingStatesFillEveryColumn) {
    StateRecord r;
    r.pumpOn = 1;
    r.stopCondition = STOP_HALL;
    for (CounterTrigger& t : r.counterTrigger)
        t = {1, 2, 3, COUNTER_INC_ONLY};
    r.divingTrigger.level = 1;
    r.climbingTrigger.level = 3;
    for (const std::string& cell : StateCellTexts(12, r))
        EXPECT_NE(cell, "");
    for (const auto& [mode, text] :
         {std::pair<std::uint8_t, const char*>{MODE_HIBERNATING, "hibernating"},
          {7, "unknown (7)"}}) {
        r.mode = mode;
        CellTexts expected{};
        expected[0] = "12";
        expected[1] = text;
        EXPECT_EQ(StateCellTexts(12, r), expected);
    }
}

// The summary file and the dry runs below show the other counter texts.
TEST(StateCellTexts, TriggerAndTimingCells) {
    StateRecord counter;
    counter.counterTrigger[5] = {5, 0, 0, COUNTER_INC_ONLY};
    const CounterValues counters{0, 0, 0, 0, 0, 7};
    EXPECT_EQ(StateCellTexts(0, counter)[14], "inc by 5");
    EXPECT_EQ(StateCellTexts(0, counter, &counters)[14], "inc by 5");
    counter.counterTrigger[5] = {9, 9, 9, 3};
    EXPECT_EQ(StateCellTexts(0, counter)[14], "?");
    counter.counterTrigger[5] = IncAndTest(255, 255, 1);
    EXPECT_EQ(StateCellTexts(0, counter, &counters)[14], "if 262 > 255 goto state 1");

    StateRecord r;
    r.mode = MODE_SLEEPING;
    r.divingTrigger = {0, 2, 7, 0};
    r.climbingTrigger = {0, 3, 1, 0};
    r.delaySeconds = 3000000000u;
    r.defaultNext = 254;
    CellTexts cells = StateCellTexts(0, r);
    EXPECT_EQ(cells[15], "if diving below P2 goto state 7");
    EXPECT_EQ(cells[16], "if climbing above P3 goto state 1");
    EXPECT_EQ(cells[7], "3000000000s");
    EXPECT_EQ(cells[8], "goto state 254");
    r.divingTrigger.level = 4;
    r.climbingTrigger.level = 0;
    r.waitForSchedule = 1;
    cells = StateCellTexts(0, r);
    EXPECT_EQ(cells[15], "");
    EXPECT_EQ(cells[16], "");
    EXPECT_EQ(cells[7], "sched");
}

TEST(DefinitionTable, ColumnsTitlesAndShrink) {
    for (std::size_t c = 0; c < TABLE_COLUMNS; ++c)
        EXPECT_EQ(ColumnWidth(c, true) == 0, c >= 10 && c <= 16) << c;
    EXPECT_EQ(ColumnWidth(9, true), 24);
    EXPECT_EQ(ColumnWidth(10, false), 24);

    const StateMachine m = Chain(2);
    EXPECT_EQ(TableTitle(TableMode::DEFINITION, m), "State Machine Definition (3 states)");
    EXPECT_EQ(TableTitle(TableMode::DRY_RUN, m), "State Machine Dry Run (3 states)");
}

TEST(DefinitionTable, Cp1252ToUtf8) {
    EXPECT_EQ(Cp1252ToUtf8("plain, text"), "plain, text");
    EXPECT_EQ(Cp1252ToUtf8("\xB5"), "\xC2\xB5");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81\x9F\xA0\xFF"), "\u20AC\u0081\u0178\u00A0\u00FF");
}

// ---- summary file -----------------------------------------------------------------------

TEST(SummaryFile, WritesTitlesAndRowsByteForByteAndSaysWhere) {
    const std::string titles =
        "state,mode,valves open,pump,leds on,pd5V,rec,delay,default next,counter1 trigger,"
        "counter2 trigger,counter3 trigger,counter4 trigger,counter5 trigger,counter6 trigger,"
        "diving depth trigger,climbing depth trigger,pump timeout trigger\n";
    StateMachine m = Chain(2);
    m.states[0].pumpOn = 1;
    m.states[0].pumpCurrentMa = 500;
    m.states[0].stepPeriodUs = 1000;
    m.states[0].stopTimeS = 30;
    m.states[1].mode = MODE_SLEEPING;
    m.states[1].counterTrigger[0] = IncAndTest(1, 2, 0);
    m.states[2].mode = MODE_IDLE;
    const velacor::testing::TempDir dir;
    const std::string path = dir / "summary.csv";

    base::SaveOutcome result = SaveSummaryFile(path, DefinitionListing(m));
    EXPECT_TRUE(result.Saved());
    EXPECT_EQ(result.message, "Summary saved to " + path);
    // The micro sign is one Windows-1252 byte.
    EXPECT_EQ(velacor::testing::ReadWholeFile(path),
              titles +
                  "0,operating,none,500mA;1000\xB5s;16x;withdraw;hall;30s,"
                  "0.1.2.3,on,on,1s,goto state 1,,,,,,,,,"
                  "if pump times out goto state 1\n"
                  "1,sleeping,,,,,,1s,goto state 2,"
                  "inc by 1 and if > 2 goto state 0,,,,,,,,\n"
                  "2,idle,,,,,,,,,,,,,,,,\n");

    // An empty table writes the titles without a message.
    result = SaveSummaryFile(path, {});
    EXPECT_TRUE(result.Saved());
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(velacor::testing::ReadWholeFile(path), titles);

    const std::string missing = dir / "missing/kept.csv";
    result = SaveSummaryFile(missing, DefinitionListing(Chain(0)));
    EXPECT_FALSE(result.Saved());
    EXPECT_EQ(result.message, "Unable to open " + missing + " for write");
    EXPECT_EQ(SaveSummaryFile(dir / std::string(300, 'x'), {}).message.size(), 255u);
}

// ---- dry run ----------------------------------------------------------------------------

// Three states; the last one's mode and next state vary, and where the run starts.
void ExpectEnd(std::uint8_t lastMode, std::uint8_t lastNext, std::uint32_t start,
               const std::vector<std::uint16_t>& visited, DryRunEnd end, const char* message) {
    StateMachine m = Chain(2);
    m.states[2].mode = lastMode;
    m.states[2].defaultNext = lastNext;
    const DryRunResult run = DryRun(m, {start, STATE_NONE});
    EXPECT_EQ(Visited(run), visited) << message;
    EXPECT_EQ(run.end, end) << message;
    EXPECT_EQ(run.message, message);
}

TEST(DryRun, EndsWithOneMessagePerReason) {
    using enum DryRunEnd;
    ExpectEnd(MODE_IDLE, 2, 0, {0, 1, 2}, IDLE, "Dry-run ended at IDLE state.");
    ExpectEnd(MODE_HIBERNATING, 2, 1, {1, 2}, HIBERNATING, "Dry-run ended at HIBERNATING state.");
    ExpectEnd(MODE_OPERATING, 9, 0, {0, 1, 2}, INVALID_REFERENCE,
              "Dry run terminated by invalid state reference (9)");
    ExpectEnd(MODE_IDLE, 2, 3, {}, INVALID_REFERENCE,  // a start beyond the last state
              "Dry run terminated by invalid state reference (3)");
}

TEST(DryRun, SelfLoopStopsAtTheRowLimit) {
    const StateMachine m = Chain(1);  // state 1 goes on to itself for ever
    const DryRunResult run = DryRun(m, {});
    ASSERT_EQ(run.rows.size(), 1000u);
    EXPECT_EQ(run.rows.front().stateIndex, 0);
    EXPECT_EQ(run.rows.back().stateIndex, 1);
    EXPECT_EQ(run.rows.back().cells[0], "1");
    EXPECT_EQ(run.end, DryRunEnd::LIMIT);
    EXPECT_EQ(run.message,
              "Dry run terminated after 1000 iterations to avoid probable infinite loop.");
}

TEST(DryRun, IncAndTestRepeatsAStateThenMovesOnWithTheCounterCleared) {
    StateMachine m = Chain(4);
    m.states[1].defaultNext = 1;
    m.states[1].counterTrigger[2] = IncAndTest(1, 2, 3);
    m.states[3].counterTrigger[2] = IncAndTest(1, 2, 0);  // shows the counter when visited
    m.states[3].mode = MODE_SLEEPING;
    m.states[4].mode = MODE_IDLE;
    const DryRunResult run = DryRun(m, {1, STATE_NONE});
    ASSERT_EQ(Visited(run), (std::vector<std::uint16_t>{1, 1, 1, 3, 4}));
    EXPECT_EQ(run.rows[0].cells[11], "if 1 > 2 goto state 3");
    EXPECT_EQ(run.rows[1].cells[11], "if 2 > 2 goto state 3");
    EXPECT_EQ(run.rows[2].cells[11], "if 3 > 2 goto state 3");
    EXPECT_EQ(run.rows[3].cells[11], "if 1 > 2 goto state 0") << "counter back at 0";
}

TEST(DryRun, CountersWrapModulo256AndResetAndLaterTriggersWin) {
    StateMachine m = Chain(6);
    m.states[0].counterTrigger[0] = {250, 0, 0, COUNTER_INC_ONLY};
    m.states[1].counterTrigger[0] = IncAndTest(10, 200, 5);  // 260 wraps to 4: no firing
    m.states[2].counterTrigger[0] = IncAndTest(0, 200, 5);
    m.states[2].counterTrigger[1] = IncAndTest(1, 0, 4);  // both fire: the later one wins
    m.states[2].counterTrigger[4] = IncAndTest(1, 0, 3);
    m.states[3].counterTrigger[0] = {7, 0, 0, COUNTER_RESET};
    m.states[3].defaultNext = 5;
    m.states[5].counterTrigger[0] = IncAndTest(0, 200, 0);
    m.states[5].mode = MODE_SLEEPING;
    m.states[6].mode = MODE_HIBERNATING;
    const DryRunResult run = DryRun(m, {});
    ASSERT_EQ(Visited(run), (std::vector<std::uint16_t>{0, 1, 2, 3, 5, 6}));
    EXPECT_EQ(run.rows[1].cells[9], "if 260 > 200 goto state 5");
    EXPECT_EQ(run.rows[2].cells[9], "if 4 > 200 goto state 5");
    EXPECT_EQ(run.rows[3].cells[9], "reset to zero");
    EXPECT_EQ(run.rows[4].cells[9], "if 0 > 200 goto state 0");
}

TEST(DryRun, PumpTimeoutIsSimulatedOnce) {
    StateMachine m = Chain(6);
    m.states[4].defaultNext = 4;
    m.states[4].pumpTimeoutNext = 5;
    m.states[4].pumpOn = 0;  // the simulation ignores the pump settings
    m.states[4].counterTrigger[0] = IncAndTest(1, 0, 6);  // fires, but the time-out wins
    m.states[5].defaultNext = 4;
    m.states[6].mode = MODE_IDLE;
    DryRunResult run = DryRun(m, {4, 4});
    EXPECT_EQ(Visited(run), (std::vector<std::uint16_t>{4, 5, 4, 6}));

    m.states[4].counterTrigger[0] = {};
    run = DryRun(m, {4, 4});
    ASSERT_EQ(run.rows.size(), 1000u);
    const std::vector<std::uint16_t> visited = Visited(run);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), 5), 1);
    EXPECT_EQ(visited[1], 5);

    // A time-out on a state reached later in the run.
    m.states[2].pumpTimeoutNext = 6;
    EXPECT_EQ(Visited(DryRun(m, {0, 2})), (std::vector<std::uint16_t>{0, 1, 2, 6}));
}

TEST(DryRun, EnteredStateNumbers) {
    // Clamped to the last state, except in a machine of one state.
    EXPECT_EQ(ClampDryRunState(4, 3), 3u);
    EXPECT_EQ(ClampDryRunState(2, 3), 2u);
    EXPECT_EQ(ClampDryRunState(7, 0), 7u);
    EXPECT_TRUE(DryRunStateInRange(3, 3));
    EXPECT_FALSE(DryRunStateInRange(4, 3));
    EXPECT_FALSE(DryRunStateInRange(7, 0));
}

}  // namespace
}  // namespace velacor::statemachine
