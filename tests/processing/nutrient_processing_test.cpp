#include "processing/nutrient_processing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "processing/processing_runs.h"
#include "processing/test_rows.h"
#include "temp_dir.h"

namespace velacor::processing {
namespace {

using test::Contains;
using test::CountPrefix;
using test::Row;
using test::WithChannel;

constexpr std::uint8_t FLUSH = 0, INTAKE = 1, BLANK = 2, SAMPLE = 3, STD1 = 4, STD2 = 5,
                       OC_BLANK = 6, OC_SAMPLE = 7;
constexpr std::size_t VALUE = 2, P1 = 3, SAMPLE_M = 9, STD1_M = 10, STD2_M = 11, SAMPLE_L = 15;

// Long on channel 0, Medium on 1, Short on 2; output Medium; Standard 1 adjustment (10 µM);
// trigger Sample.
protocol::NutrientProcessing Params() {
    protocol::NutrientProcessing p;
    p.sampleIntakeState = INTAKE;
    p.blankMeasureState = BLANK;
    p.sampleMeasureState = SAMPLE;
    p.standard1State = STD1;
    p.standard2State = STD2;
    p.opticalCorrBlankState = OC_BLANK;
    p.opticalCorrSampleState = OC_SAMPLE;
    p.standard1Conc = 10000;
    p.standard2Conc = 20000;
    p.standardAdjustment = 0;
    p.processingTrigger = 2;
    p.outputChannel = protocol::PATH_MEDIUM;
    p.measureChannel = {0, 1, 2};
    return p;
}

// The intensity that shows absorbance `a` against a blank of 1.
double Absorbing(double a) {
    return std::pow(10.0, -a);
}

struct Runner {
    explicit Runner(const protocol::NutrientProcessing& p) : engine(p, 1, table, &log) {}
    // `rows` rows in each state in turn, every channel showing the state's absorbance.
    void States(std::initializer_list<std::pair<std::uint8_t, double>> states, int rows = 5) {
        for (const auto& [state, absorbance] : states)
            test::Feed(engine, Row(state, Absorbing(absorbance)), rows);
    }
    // intake, blank, standard 1 (A 0.1), sample (A `a`), flush.
    void Cycle(double a) {
        States({{INTAKE, 0}, {BLANK, 0}, {STD1, 0.1}, {SAMPLE, a}, {FLUSH, 0}});
    }
    const ResultRow& Last() const { return table.Rows().back(); }

    ResultsTable table{InitialNutrientHeadings()};
    LogLines log;
    NutrientRun engine;
};

TEST(NutrientProcessing, StandardOneCycleAndItsLog) {
    Runner run(Params());
    run.Cycle(0.05);
    ASSERT_EQ(run.table.Rows().size(), 1u);
    const ResultRow& row = run.Last();
    EXPECT_EQ(
        test::Cells(row, {VALUE, SAMPLE_M, STD1_M, STD2_M, 6, 7}),
        (std::vector<std::string>{"5.000", "0.050000", "0.100000", "0.000000", "20.00", "35.000"}));
    const std::vector<std::string> expected = {
        "entered sample intake state",
        "entering a measurement state (2)",
        "exited blank measurement state (2)",
        "entering a measurement state (4)",
        "exited standard1 measurement state (4)",
        "entering a measurement state (3)",
        "exited sample measurement state (3)",
        "nutrient = (0.050000 / 0.100000) * 10.000000",
    };
    ASSERT_GE(run.log.lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(run.log.lines.begin(), run.log.lines.begin() + 8), expected);
    EXPECT_TRUE(run.log.lines[8].starts_with("processed nutrient result (medium) at "));
    EXPECT_TRUE(run.log.lines.back().starts_with("processed nutrient result (long) at "));
}

TEST(NutrientProcessing, TriggerBlankUsesThePreviousCyclesAverages) {
    auto p = Params();
    p.processingTrigger = 3;
    Runner run(p);
    run.Cycle(0.05);  // the blank is left before this cycle's sample: no sample yet
    run.Cycle(0.08);  // ...so this cycle reports the first cycle's sample
    ASSERT_EQ(run.table.Rows().size(), 2u);
    EXPECT_EQ(run.table.Rows()[0][VALUE], "0.000");
    EXPECT_EQ(run.table.Rows()[1][VALUE], "5.000");
    for (const std::string& line : run.log.lines)
        if (line.starts_with("processed nutrient result (medium)")) {
            EXPECT_TRUE(line.ends_with("failed")) << line;  // the first cycle's
            break;
        }
}

TEST(NutrientProcessing, StateEnteredTwiceKeepsOnlyTheLaterWindow) {
    auto p = Params();
    p.processingTrigger = 0;  // the result comes when standard 1 is left
    Runner run(p);
    run.States({{INTAKE, 0}, {BLANK, 0}, {SAMPLE, 0.2}, {FLUSH, 0}});
    run.States({{SAMPLE, 0.04}, {STD1, 0.1}, {FLUSH, 0}});
    ASSERT_EQ(run.table.Rows().size(), 1u);
    EXPECT_EQ(run.Last()[VALUE], "4.000");
}

TEST(NutrientProcessing, StandardTwoAdjustmentIgnoresTheStandardOneState) {
    auto p = Params();
    p.standardAdjustment = 1;
    Runner run(p);
    // Standard 1 is not averaged: it is neither used nor the trigger.
    run.States({{INTAKE, 0}, {BLANK, 0}, {STD1, 0.3}, {STD2, 0.1}, {SAMPLE, 0.05}, {FLUSH, 0}});
    ASSERT_EQ(run.table.Rows().size(), 1u);
    EXPECT_EQ(run.Last()[VALUE], "10.000");  // 0.05 / 0.1 * 20 µM
    EXPECT_EQ(run.Last()[STD1_M], "0.000000");
    EXPECT_EQ(run.Last()[STD2_M], "0.100000");
    EXPECT_EQ(CountPrefix(run.log.lines, "exited standard1"), 0u);
    EXPECT_TRUE(Contains(run.log.lines, "entering a measurement state (4)"));
}

TEST(NutrientProcessing, AdaptiveOutputAndAnUnknownAdjustmentGiveNoValue) {
    auto p = Params();
    p.outputChannel = OUTPUT_ADAPTIVE;
    Runner adaptive(p);
    adaptive.Cycle(0.05);
    EXPECT_EQ(adaptive.Last()[VALUE], "0.000");
    EXPECT_EQ(adaptive.Last()[SAMPLE_M], "0.050000");  // the paths are still computed

    p = Params();
    p.standardAdjustment = 9;
    Runner unknown(p);
    unknown.Cycle(0.05);
    EXPECT_EQ(unknown.Last()[VALUE], "0.000");
    EXPECT_EQ(CountPrefix(unknown.log.lines, "Unknown nutrient standard ajustment 9"), 3u);
    EXPECT_EQ(CountPrefix(unknown.log.lines, "processed nutrient result"), 3u);
    EXPECT_TRUE(unknown.log.lines.back().ends_with("failed"));
}

TEST(NutrientProcessing, PMappingAndAFailedPathKeepingEarlierAbsorbances) {
    auto p = Params();
    p.sampleParam = {1, 12, 14};  // Medium concentration, Long absorbance, Short blank
    Runner run(p);
    run.Cycle(0.05);
    EXPECT_EQ(test::Cells(run.Last(), {P1, P1 + 1, P1 + 2}),
              (std::vector<std::string>{"5.000", "0.050", "1.000"}));
    // The Long path's blank goes dark: its P stays 0, its absorbances keep the last good ones.
    run.States({{INTAKE, 0}});
    run.engine.Step(WithChannel(Row(BLANK, 1.0), 0, 0.0));
    run.States({{STD1, 0.1}, {SAMPLE, 0.02}, {FLUSH, 0}});
    EXPECT_EQ(test::Cells(run.Last(), {VALUE, P1 + 1, SAMPLE_L, SAMPLE_M}),
              (std::vector<std::string>{"2.000", "0.000", "0.050000", "0.020000"}));
}

TEST(NutrientProcessing, MonitoringChannelDividesOutTheSourceDrift) {
    auto p = Params();
    p.monitorChannel[protocol::PATH_MEDIUM] = 5;
    Runner run(p);
    run.States({{INTAKE, 0}, {BLANK, 0}});
    // The LED is at 80 % for the standard and 50 % for the sample, as channel 5 sees.
    run.engine.Step(WithChannel(Row(STD1, 0.8 * Absorbing(0.1)), 5, 0.8));
    run.engine.Step(WithChannel(Row(SAMPLE, 0.5 * Absorbing(0.05)), 5, 0.5));
    run.States({{FLUSH, 0}});
    EXPECT_EQ(run.Last()[VALUE], "5.000");
    EXPECT_EQ(run.Last()[SAMPLE_M], "0.050000");
}

TEST(NutrientProcessing, WindowStopsAveragingAfterAMillionRows) {
    Runner run(Params());
    run.States({{INTAKE, 0}, {BLANK, 0}, {STD1, 0.1}});
    run.States({{SAMPLE, 0.05}}, static_cast<int>(WINDOW_ROW_LIMIT));
    run.States({{SAMPLE, -6}}, 1);  // past the limit: ignored, though one such row would show
    run.States({{FLUSH, 0}});
    EXPECT_EQ(run.Last()[VALUE], "5.000");
}

TEST(NutrientHeadings, NitrateNamesItsMappingsOtherTypesKeepTheirs) {
    std::vector<std::string> headings = InitialNutrientHeadings();
    ApplyNutrientHeadings(headings, protocol::CHEMISTRY_NITRATE, {13, 21, 15});
    EXPECT_EQ(std::vector(headings.begin() + 2, headings.begin() + 6),
              (std::vector<std::string>{"Nitrate (uM)", "P1 - Medium Blank Int",
                                        "P2 - Long Std1 Abs", "P3 - Long Blnk Int"}));
    ApplyNutrientHeadings(headings, protocol::CHEMISTRY_SILICATE, {0, 0, 0});
    EXPECT_EQ(headings[VALUE], "Silicate (uM)");
    EXPECT_EQ(headings[3], "P1 - Medium Blank Int");
    ApplyNutrientHeadings(headings, protocol::CHEMISTRY_NITRATE, {0, 5, 0});
    EXPECT_EQ(headings[3], "P1");
    EXPECT_EQ(headings[4], "P2 - Short Ch Conc");
    ApplyNutrientHeadings(headings, 42, {1, 1, 1});
    EXPECT_EQ(headings[VALUE], "Nitrate (uM)");
}

TEST(NutrientParameters, ChannelsOutsideTheRowAreRefused) {
    auto p = Params();
    EXPECT_EQ(CheckNutrientParameters(p), "");
    p.monitorChannel[protocol::PATH_SHORT] = 8;
    EXPECT_EQ(CheckNutrientParameters(p),
              "The Short monitor channel is 8: a channel must be one of 0 to 7, or None.");
    p = Params();
    p.measureChannel[protocol::PATH_LONG] = 200;
    EXPECT_EQ(CheckNutrientParameters(p),
              "The Long measure channel is 200: a channel must be one of 0 to 7.");
}

// ---- several files -----------------------------------------------------------------------

std::string NutrientFile(int type, const std::string& name, int cycles, double ocAbs) {
    std::string text =
        "%VELACOR.HEADER_START\n%VELACOR.CHEMISTRY.TYPE=" + std::to_string(type) + "\n";
    if (!name.empty())
        text += "%VELACOR.CORE.SENSOR_NAME=" + name + "\n";
    for (const char* key :
         {"SAMPLE_INTAKE_STATE=1", "BLANK_MEASUREMENT_STATE=2", "SAMPLE_MEASUREMENT_STATE=3",
          "STANDARD1_MEASUREMENT_STATE=4", "STANDARD2_MEASUREMENT_STATE=5",
          "OC_BLANK_MEASUREMENT_STATE=6", "OC_SAMPLE_MEASUREMENT_STATE=7",
          "STANDARD1_CONCENTRATION=10.0", "PROCESSING_TRIGGER=2", "ENABLE_OPTICAL_CORRECTION=1",
          "MEASUREMENT_CHANNEL_LONG=0", "MEASUREMENT_CHANNEL_MEDIUM=1",
          "MEASUREMENT_CHANNEL_SHORT=2"})
        text += std::string("%VELACOR.CHEMISTRY.") + key + "\n";
    text += "%VELACOR.HEADER_END\n%Counter,State\n";
    for (int c = 0; c < cycles; ++c)
        for (auto [state, level] : {std::pair{INTAKE, 1.0},
                                    {OC_BLANK, 1.0},
                                    {OC_SAMPLE, Absorbing(ocAbs)},
                                    {BLANK, 1.0},
                                    {STD1, Absorbing(0.1)},
                                    {SAMPLE, Absorbing(0.3)},
                                    {FLUSH, 1.0}})
            text += test::RowText(Row(state, level));
    return text;
}

TEST(MultiFile, EachFileUsesItsOwnDilutionAndName) {
    const velacor::testing::TempDir dir;
    // 0.3 of turbidity: Nitrate (1:1.5) takes 0.2 off, Silicate (1:4) 0.075.
    const std::string a = dir.Write("a.csv", NutrientFile(1, std::string(30, 'N'), 1, 0.3));
    const std::string b = dir.Write("b.csv", NutrientFile(3, "", 1, 0.3));
    ResultsTable table(MultiNutrientHeadings());
    LogLines log;
    const MultiFileOutcome outcome =
        RunMultiNutrient({a, b}, table, &log, {}, [](const Message&) { FAIL(); });
    EXPECT_EQ(outcome.filesComplete, 2);
    ASSERT_EQ(table.Rows().size(), 2u);
    EXPECT_EQ(table.Rows()[0][2], "10.000");  // (0.3 - 0.2) / 0.1 * 10
    EXPECT_EQ(table.Rows()[0][8], std::string(20, 'N'));
    EXPECT_EQ(table.Rows()[1][2], "22.500");  // (0.3 - 0.075) / 0.1 * 10
    EXPECT_EQ(table.Rows()[1][8], "");
    EXPECT_EQ(log.lines.front(), "Reading file " + a);
}

TEST(MultiFile, FilesThatGiveNothingSayWhyAndTheRestGoOn) {
    const velacor::testing::TempDir dir;
    const std::string good = dir.Write("good.csv", NutrientFile(2, "Reef", 2, 0.0));
    const std::string ph =
        dir.Write("ph.csv", "%VELACOR.HEADER_START\n%VELACOR.CHEMISTRY.TYPE=4\n");
    const std::string bare = dir.Write("bare.csv", "1,2,3\n");
    const std::string missing = dir / "missing.csv";
    ResultsTable table(MultiNutrientHeadings());
    LogLines log;
    const MultiFileOutcome outcome =
        RunMultiNutrient({missing, ph, bare, good}, table, &log, {}, [](const Message&) {});
    EXPECT_EQ(outcome.filesComplete, 1);
    EXPECT_EQ(table.Rows().size(), 2u);
    EXPECT_TRUE(Contains(log.lines, "Can't open file " + missing));
    EXPECT_TRUE(Contains(log.lines, "Wrong chemistry type (4): not a nutrient sensor"));
    EXPECT_TRUE(Contains(log.lines, "Failed to read sensor parameters from file header"));
    EXPECT_EQ(table.Rows()[0][2], "30.000");

    // A single file that is no nutrient file ends quietly.
    for (const std::string& path : {ph, bare}) {
        log.lines.clear();
        table.Clear();
        EXPECT_EQ(RunMultiNutrient({path}, table, &log, {}, [](const Message&) {}).filesComplete,
                  0);
        EXPECT_EQ(log.lines, std::vector<std::string>{"Processing file " + path});
        EXPECT_TRUE(table.Rows().empty());
    }
}

TEST(MultiFile, CancelStopsBetweenBlocks) {
    const velacor::testing::TempDir dir;
    const std::string a = dir.Write("a.csv", NutrientFile(1, "A", 3000, 0.0));
    ResultsTable table(MultiNutrientHeadings());
    RunControl control;
    control.keepGoing = [](std::uint64_t) { return false; };
    const MultiFileOutcome outcome =
        RunMultiNutrient({a, a}, table, nullptr, control, [](const Message&) {});
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.filesComplete, 0);
}

}  // namespace
}  // namespace velacor::processing
