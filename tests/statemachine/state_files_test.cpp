// State machine files: the SC2 and SC1 layouts, the choice between them, and the load and save
// flows with their messages.
#include "statemachine/state_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "base/byte_io.h"
#include "temp_dir.h"

namespace velacor::statemachine {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Statuses = std::vector<std::string>;

// A state whose every field survives the SC1 conversion unchanged: LEDs only on or off, no sync
// value, no measure counter, no hall stop values, trigger modes as SC1 reads them back.
StateRecord Stable(std::size_t i) {
    const auto n = static_cast<std::uint8_t>(i);
    StateRecord r;
    r.valvesOpen = static_cast<std::uint16_t>(0x8001U | (0x0100U << (i % 7)));
    r.ledDrive = {LED_ON, 0, LED_ON, (i % 2) != 0 ? LED_ON : std::uint16_t{0}};
    r.hallSensorPower = 1;
    r.photodiodePower = 0;
    r.pumpOn = 1;
    r.pumpDirection = n % 2;
    r.pumpCurrentMa = static_cast<std::uint16_t>(1600 - i);
    r.stepPeriodUs = 0x1FFFFU - n;
    r.microstepCode = n % 5;
    r.stopCondition = n % 3;
    r.pumpTimeoutNext = static_cast<std::uint8_t>(n + 2);
    r.stepCount = 0x01020304U + n;
    r.stopTimeS = 0xA0B0C0D0U;
    r.sdRecording = (i % 2) != 0 ? 2 : 1;
    r.defaultNext = static_cast<std::uint8_t>(n + 1);
    r.counterTrigger[0] = {5, 10, 3, COUNTER_INC_AND_TEST};
    r.counterTrigger[1] = {1, 0, 7, COUNTER_INC_ONLY};
    r.counterTrigger[2] = {0, 4, 254, COUNTER_RESET};
    r.counterTrigger[5] = {255, 255, n, COUNTER_INC_AND_TEST};
    r.divingTrigger = {0, 3, 9, 1};
    r.climbingTrigger = {0, 0, 0, 0};
    r.delaySeconds = 86400U + n;
    r.waitForSchedule = n % 2;
    r.mode = n % 3;
    return r;
}

StateMachine MachineOf(std::size_t count) {
    StateMachine m;
    m.NewMachine();
    m.lastIndex = static_cast<std::uint16_t>(count - 1);
    for (std::size_t i = 0; i < count; ++i)
        m.states[i] = Stable(i);
    return m;
}

Bytes Sc2Records(std::size_t count, std::uint8_t version, std::size_t recordSize) {
    Bytes bytes;
    for (std::size_t i = 0; i < count; ++i) {
        StateRecord r = Stable(i % STATE_SLOTS);
        r.recordVersion = version;
        const auto record = base::Encode(r);
        bytes.insert(bytes.end(), record.begin(), record.begin() + recordSize);
    }
    return bytes;
}

Bytes Sc1File(std::size_t count) {
    const StateMachine m = MachineOf(count);
    return WriteStateBytes({m.states.data(), count}, StateFileFormat::Sc1);
}

class StateFilesTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return m_dir / name; }
    void WriteFile(const std::string& name, const Bytes& bytes) const {
        m_dir.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    Bytes ReadFile(const std::string& name) const {
        const std::string text = velacor::testing::ReadWholeFile(Path(name));
        return Bytes(text.begin(), text.end());
    }

    velacor::testing::TempDir m_dir;
};

// ---- sizes and round trips ----

TEST_F(StateFilesTest, ThreeStatesTake234BytesAsSc2And306AsSc1) {
    StateMachine m = MachineOf(3);
    for (const auto& [name, size] : {std::pair{"three.asm", 234U}, std::pair{"three.dat", 306U}}) {
        const StateFileOutcome saved = SaveStateMachineFile(m, Path(name));
        EXPECT_TRUE(saved.done) << name;
        EXPECT_EQ(saved.statusTexts, (Statuses{"File saved", "Saved"}));
        EXPECT_TRUE(saved.messageTitle.empty() && saved.message.empty());
        EXPECT_EQ(ReadFile(name).size(), size) << name;
        EXPECT_FALSE(m.HasUnsavedEdits());
        m.states[0].delaySeconds += 1;
    }
}

TEST_F(StateFilesTest, Sc2FileLoadsBackByteForByte) {
    StateMachine original = MachineOf(5);
    original.states[4].syncValue = 200;
    original.states[4].incrementMeasureCounter = 1;
    original.states[3].hallStopValue = {100, 4095};
    ASSERT_TRUE(SaveStateMachineFile(original, Path("m.asm")).done);
    const Bytes file = ReadFile("m.asm");

    StateMachine loaded = MachineOf(8);
    loaded.currentIndex = 6;
    const StateFileOutcome outcome = LoadStateMachineFile(loaded, Path("m.asm"));
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(outcome.statusTexts,
              (Statuses{"File loaded", "Loaded state machine successfully from file"}));
    EXPECT_TRUE(outcome.message.empty());
    ASSERT_EQ(loaded.lastIndex, 4);
    EXPECT_EQ(loaded.currentIndex, 0);
    EXPECT_FALSE(loaded.HasUnsavedEdits());
    EXPECT_EQ(WriteStateBytes({loaded.states.data(), 5}, StateFileFormat::Sc2), file);
    EXPECT_EQ(base::Encode(loaded.states[5]), (std::array<std::uint8_t, StateRecord::SIZE>{}));
}

// An SC1 round trip of six states, one holding what SC1 cannot keep as it was.
TEST_F(StateFilesTest, Sc1RoundTripChangesOnlyWhatSc1CannotHold) {
    struct Case {
        const char* what;
        std::uint8_t StateRecord::*field;
        std::uint8_t saved;
        std::uint8_t loaded;
    };
    const Case cases[] = {
        {"sync value", &StateRecord::syncValue, 9, 0},
        {"measure counter", &StateRecord::incrementMeasureCounter, 1, 0},
        {"hibernating", &StateRecord::mode, MODE_HIBERNATING, MODE_IDLE},
        {"unknown microstep code", &StateRecord::microstepCode, 7, 4},
        {"recording unset", &StateRecord::sdRecording, 0, 1},
        {"unknown stop condition", &StateRecord::stopCondition, 9, STOP_TIME},
        {"pump on 2", &StateRecord::pumpOn, 2, 0},
        {"schedule wait 5", &StateRecord::waitForSchedule, 5, 1},
    };
    for (const Case& c : cases) {
        StateMachine m = MachineOf(6);
        m.states[1].*c.field = c.saved;
        ASSERT_TRUE(SaveStateMachineFile(m, Path("m.dat")).done);
        StateMachine loaded;
        ASSERT_TRUE(LoadStateMachineFile(loaded, Path("m.dat")).done);
        ASSERT_EQ(loaded.lastIndex, 5);
        for (std::size_t i = 0; i < 6; ++i) {
            StateRecord expected = Stable(i);
            if (i == 1)
                expected.*c.field = c.loaded;
            EXPECT_EQ(loaded.states[i], expected) << c.what << ", state " << i;
        }
    }
}

TEST_F(StateFilesTest, Sc1RoundTripRulesForTriggersHallValuesAndLeds) {
    StateMachine m = MachineOf(1);
    StateRecord& r = m.states[0];
    r.hallStopValue = {1200, 4095};
    r.ledDrive[1] = 1200;
    r.counterTrigger[3] = {2, 6, 1, COUNTER_INC_ONLY};      // tests: comes back Inc & Test
    r.counterTrigger[4] = {2, 0, 1, COUNTER_INC_AND_TEST};  // no test value: Inc Only
    r.climbingTrigger = {0, 2, 12, 0};                      // takes the counter rule too
    r.divingTrigger = {0, 4, 12, 0};                        // level above 3: cleared
    ASSERT_TRUE(SaveStateMachineFile(m, Path("m.dat")).done);
    ASSERT_TRUE(LoadStateMachineFile(m, Path("m.dat")).done);
    EXPECT_EQ(r.hallStopValue, (std::array<std::uint16_t, 2>{0, 0}));
    EXPECT_EQ(r.ledDrive[1], LED_ON);
    EXPECT_EQ(r.counterTrigger[3], (CounterTrigger{2, 6, 1, COUNTER_INC_AND_TEST}));
    EXPECT_EQ(r.counterTrigger[4], (CounterTrigger{2, 0, 1, COUNTER_INC_ONLY}));
    EXPECT_EQ(r.climbingTrigger, (DepthTrigger{0, 2, 12, 1}));
    EXPECT_EQ(r.divingTrigger, DepthTrigger{});
}

// ---- the SC1 layout itself (a round trip cannot see two fields swapped) ----

TEST(Sc1Layout, FieldsLieAtTheirOffsets) {
    StateRecord r = Stable(4);
    r.valvesOpen = 0x8005;
    r.ledDrive = {LED_ON, 0, 1000, 49000};
    r.pumpDirection = 1;
    r.stopCondition = STOP_STEP_COUNT;
    r.microstepCode = 4;
    r.sdRecording = 2;
    r.waitForSchedule = 0;
    r.hallStopValue = {0x0102, 0x0304};
    r.mode = MODE_HIBERNATING;
    r.climbingTrigger = {7, 3, 21, 2};
    const auto b = EncodeSc1(r);

    const std::pair<std::size_t, std::uint8_t> expected[] = {
        {0, 0},     {1, 5},                                       // reserved, default next
        {2, 0x84},  {3, 0x51},  {4, 0x01},  {5, 0},               // delay 86404
        {6, 1},     {7, 2},                                       // timed delay, hibernating -> 2
        {8, 1},     {9, 0},     {10, 1},    {22, 0},    {23, 1},  // valves 0, 2, 15
        {24, 1},    {25, 0},    {26, 0},    {30, 0},              // powers, reserved
        {31, 0xFF}, {32, 0xFF}, {33, 0},    {34, 0},              // LED 0 on, LED 1 off
        {35, 0x39}, {36, 0x05},                                   // 1000 -> 1337
        {37, 0xFF}, {38, 0xFF},                                   // 49000 -> 65535 (top of scale)
        {39, 1},    {40, 3},    {41, 0},    {42, 1},    {43, 0},  // withdraw, operate, step count
        {44, 0x3C}, {45, 0x06},                                   // 1596 mA
        {50, 0x08}, {51, 0x03}, {52, 0x02}, {53, 0x01},           // step count
        {58, 6},    {59, 0x02}, {60, 0x01}, {61, 0x04}, {62, 0x03},
        {63, 1},    {64, 0},    {65, 1},    {66, 0},    {68, 0},   // full steps, recording off
        {69, 5},    {70, 3},    {71, 10},   {72, 0},               // counter 1: next and test swap
        {77, 0},    {78, 254},  {79, 4},    {80, 1},               // counter 3: Reset
        {93, 0},    {94, 9},    {95, 3},    {96, 0},               // diving
        {97, 7},    {98, 21},   {99, 3},    {100, 1},   {101, 0},  // climbing, reserved
    };
    for (const auto& [offset, value] : expected)
        EXPECT_EQ(b[offset], value) << "offset " << offset;
}

// Byte values SC1 files may hold but this program never writes (the round trips above read
// back every value it does write).
TEST(Sc1Layout, ReadingMapsForeignByteValues) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
        std::uint8_t StateRecord::*field;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {"mode 3", {{7, 3}}, &StateRecord::mode, MODE_IDLE},
        {"pump operate 1", {{40, 1}}, &StateRecord::pumpOn, 0},
        {"0 microsteps", {{63, 0}}, &StateRecord::microstepCode, 4},
        {"hall before step count", {{41, 1}, {42, 1}}, &StateRecord::stopCondition, STOP_HALL},
        {"step count before time",
         {{42, 1}, {43, 1}},
         &StateRecord::stopCondition,
         STOP_STEP_COUNT},
        {"stop flags of 2", {{41, 2}, {42, 2}}, &StateRecord::stopCondition, STOP_TIME},
        {"recording on before off", {{64, 1}, {65, 1}}, &StateRecord::sdRecording, 1},
        {"recording flag 2", {{64, 2}}, &StateRecord::sdRecording, 0},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, SC1_RECORD_SIZE> b{};
        for (const auto& [offset, value] : c.bytes)
            b[offset] = value;
        EXPECT_EQ(DecodeSc1(b).*c.field, c.expected) << c.what;
    }
}

TEST(Sc1Layout, LedDrivesScaleBothWaysAndKeepOn) {
    // Past the SC1 scale (49000): its top, never a wrapped value.
    const std::pair<std::uint16_t, std::uint16_t> written[] = {{49001, 65535}, {65534, 65535}};
    for (const auto& [drive, sc1] : written) {
        StateRecord r;
        r.ledDrive[2] = drive;
        EXPECT_EQ(base::GetU16(EncodeSc1(r), 35), sc1) << drive;
    }
    const std::pair<std::uint16_t, std::uint16_t> read[] = {
        {0, 0}, {1337, 999}, {65534, 48999}, {LED_ON, LED_ON}};
    for (const auto& [sc1, drive] : read) {
        std::array<std::uint8_t, SC1_RECORD_SIZE> b{};
        base::PutU16(b, 31, sc1);
        EXPECT_EQ(DecodeSc1(b).ledDrive[0], drive) << sc1;
    }
}

// ---- reading: record sizes, limits, short files ----

// First byte 0 or 1: 77-byte records without incrementMeasureCounter, upgraded on load.
TEST_F(StateFilesTest, OldSc2RecordsOf77BytesLoadAndAreUpgraded) {
    for (const std::uint8_t version : {std::uint8_t{0}, std::uint8_t{1}}) {
        Bytes file = Sc2Records(3, version, SC2_OLD_RECORD_SIZE);
        ASSERT_EQ(file.size(), 231U);
        base::PutU16(file, 3 + 2, 1200);  // state 0, LED 1: version 0 turns it on
        WriteFile("old.asm", file);
        StateMachine m;
        ASSERT_TRUE(LoadStateMachineFile(m, Path("old.asm")).done);
        ASSERT_EQ(m.lastIndex, 2);
        StateRecord expected = Stable(0);
        expected.ledDrive[1] = version == 0 ? LED_ON : 1200;
        EXPECT_EQ(m.states[0], expected) << int{version};
        for (std::size_t i = 1; i < 3; ++i)
            EXPECT_EQ(m.states[i], Stable(i)) << int{version};  // version 2, no measure counter
    }
}

TEST_F(StateFilesTest, OnlyTheFirst255StatesOfALongerFileLoad) {
    WriteFile("long.asm", Sc2Records(300, 2, StateRecord::SIZE));
    StateMachine m;
    ASSERT_TRUE(LoadStateMachineFile(m, Path("long.asm")).done);
    EXPECT_EQ(m.lastIndex, LAST_POSSIBLE_INDEX);
    EXPECT_EQ(m.states[254], Stable(254));
    EXPECT_EQ(m.StateCountText(), "This state machine has 255 states");
}

// A file cut off inside a record loads the complete records before it; the incomplete one
// leaves nothing behind in its slot.
TEST_F(StateFilesTest, AFileEndingInsideARecordLoadsTheCompleteRecords) {
    struct Case {
        const char* name;
        Bytes file;
        std::size_t states;
    };
    Bytes sc2 = Sc2Records(3, 2, StateRecord::SIZE);
    sc2.resize(2 * StateRecord::SIZE + 40);
    Bytes old = Sc2Records(3, 1, SC2_OLD_RECORD_SIZE);
    old.resize(3 * SC2_OLD_RECORD_SIZE - 1);
    Bytes sc1 = Sc1File(4);
    sc1.resize(3 * SC1_RECORD_SIZE + 101);
    const Case cases[] = {{"cut.asm", sc2, 2}, {"cut_old.asm", old, 2}, {"cut.dat", sc1, 3}};
    for (const Case& c : cases) {
        WriteFile(c.name, c.file);
        StateMachine m = MachineOf(6);
        const StateFileOutcome outcome = LoadStateMachineFile(m, Path(c.name));
        EXPECT_TRUE(outcome.done) << c.name;
        EXPECT_TRUE(outcome.message.empty()) << c.name;
        EXPECT_EQ(m.StateCount(), c.states) << c.name;
        EXPECT_EQ(m.states[c.states - 1], Stable(c.states - 1)) << c.name;
        EXPECT_EQ(base::Encode(m.states[c.states]), (std::array<std::uint8_t, StateRecord::SIZE>{}))
            << c.name;
    }
}

// ---- format by name ----

TEST(StateFileFormatByName, ExtensionStartingWithDMeansSc1) {
    using enum StateFileFormat;
    const std::pair<const char*, StateFileFormat> cases[] = {
        {"machine.Dat", Sc1}, {"machine.d", Sc1},          {"m.asm.DATA", Sc1},
        {"/tmp/x/.dat", Sc1}, {"machine.asm", Sc2},        {"machine", Sc2},
        {"machine.", Sc2},    {"/tmp/run.d/machine", Sc2}, {"C:\\run.dat\\machine", Sc2},
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(FormatForFileName(name), format) << name;
}

// ---- failures and cancels ----

// Missing, unreadable, too short, or of an unknown record version: nothing loads.
TEST_F(StateFilesTest, FilesWithoutAReadableStateFailAndKeepTheMachine) {
    Bytes sc2Version3 = Sc2Records(2, 3, StateRecord::SIZE);
    Bytes sc1Version9 = Sc1File(2);
    sc1Version9[0] = 9;
    const std::pair<const char*, Bytes> cases[] = {
        {"empty.asm", {}},
        {"short.asm", Bytes(StateRecord::SIZE - 1, 2)},
        {"short.dat", Bytes(SC1_RECORD_SIZE - 1, 0)},
        {"version3.asm", sc2Version3},
        {"version9.dat", sc1Version9},
    };
    for (const auto& [name, bytes] : cases)
        WriteFile(name, bytes);
    std::filesystem::create_directories(m_dir.Path() / "folder.asm");
    for (const char* name : {"empty.asm", "short.asm", "short.dat", "version3.asm", "version9.dat",
                             "missing.asm", "missing.dat", "folder.asm"}) {
        StateMachine m = MachineOf(4);
        m.currentIndex = 2;
        const StateMachine before = m;
        const StateFileOutcome outcome = LoadStateMachineFile(m, Path(name));
        EXPECT_FALSE(outcome.done) << name;
        EXPECT_EQ(outcome.messageTitle, "Load From File") << name;
        EXPECT_EQ(outcome.message, "Failed to load file") << name;
        EXPECT_TRUE(outcome.statusTexts.empty()) << name;
        EXPECT_EQ(m.states, before.states) << name;
        EXPECT_EQ(m.lastIndex, 3) << name;
        EXPECT_EQ(m.currentIndex, 2) << name;
    }
}

TEST_F(StateFilesTest, AFailedSaveOrACancelledDialogChangesNothing) {
    StateMachine m = MachineOf(3);
    const StateMachine before = m;
    StateFileOutcome outcome = SaveStateMachineFile(m, Path("missing/kept.asm"));
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.messageTitle, "Save To File");
    EXPECT_EQ(outcome.message, "Failed to save file");
    EXPECT_TRUE(outcome.statusTexts.empty());
    EXPECT_TRUE(m.HasUnsavedEdits());

    outcome = LoadStateMachineFile(m, "");
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.statusTexts, (Statuses{"Load cancelled"}));
    EXPECT_TRUE(outcome.message.empty());
    outcome = SaveStateMachineFile(m, "");
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(outcome.statusTexts, (Statuses{"Save cancelled"}));
    EXPECT_EQ(m.states, before.states);
    EXPECT_TRUE(m.HasUnsavedEdits());
}

}  // namespace
}  // namespace velacor::statemachine
