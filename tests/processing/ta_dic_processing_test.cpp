#include <gtest/gtest.h>

#include <cmath>

#include "base/str_printf.h"

#include "processing/dic_processing.h"
#include "processing/processing_runs.h"
#include "processing/ta_processing.h"
#include "processing/test_rows.h"

namespace velacor::processing {
namespace {

using test::Contains;
using test::Row;

// ---- TA ----------------------------------------------------------------------------------

constexpr std::uint8_t FLUSH = 0, INTAKE = 1, BLANK1 = 2, BLANK2 = 3, SAMPLE1 = 4, SAMPLE2 = 5;
constexpr int TA_CHANNEL = 0, T1 = 6, T2 = 7;

TaSettings Ta() {
    TaSettings s;
    auto& p = s.params;
    p.measureChannel = TA_CHANNEL;
    p.sampleIntakeState = INTAKE;
    p.blankMeasureStateLed1 = BLANK1;
    p.blankMeasureStateLed2 = BLANK2;
    p.sampleMeasureStateLed1 = SAMPLE1;
    p.sampleMeasureStateLed2 = SAMPLE2;
    p.processingTrigger = 3;  // Sample (LED2)
    p.titrantMolarity = 0.1f;
    p.pKa = 4.2699f;
    p.e1 = 0.00691f;
    p.e2 = 2.222f;
    p.e3 = 0.1331f;
    s.thermistor[0] = {T1, 0, 0, 10, 0};
    s.thermistor[1] = {T2, 0, 0, 10, 0};
    return s;
}

// The LED 2 absorbance that, with LED 1 absorbance `a1` at 25 °C, gives `ta` µmol/kg.
double A2For(double ta, double a1, const TaSettings& s) {
    const auto& p = s.params;
    const double hydrogen = (double{p.titrantMolarity} - ta * 1e-6 * 8.819) / 9.819;
    const double ph = -std::log10(hydrogen);
    const double q = std::pow(10.0, ph - double{p.pKa});  // (R - e1) / (e2 - R e3)
    const double r = (q * double{p.e2} + double{p.e1}) / (1 + q * double{p.e3});
    return r * a1;
}

struct TaRunner {
    explicit TaRunner(const TaSettings& s) : engine(s, table, &log) {}
    void State(std::uint8_t state, double level, double volts = 2.5, int rows = 4) {
        RawRecord r = Row(state, level);
        r.channel[T1] = r.channel[T2] = volts;
        for (int i = 0; i < rows; ++i)
            engine.Step(r);
    }
    ResultsTable table{TaHeadings()};
    LogLines log;
    TaRun engine;
};

TEST(TaProcessing, AbsorbancesGiveTheAlkalinityTheyWereBuiltFrom) {
    const TaSettings s = Ta();
    TaRunner run(s);
    const double a2 = A2For(2300, 0.5, s);
    run.State(INTAKE, 1.0);
    run.State(BLANK1, 0.8);
    run.State(BLANK2, 0.9);
    run.State(SAMPLE1, 0.8 * std::pow(10.0, -0.5));
    run.State(SAMPLE2, 0.9 * std::pow(10.0, -a2), 2.4);
    run.State(FLUSH, 1.0);
    ASSERT_EQ(run.table.Rows().size(), 1u);
    const ResultRow& row = run.table.Rows()[0];
    EXPECT_EQ(row[1], "2300.000");
    EXPECT_EQ(row[2], "0.500000");
    EXPECT_EQ(row[3], base::StrPrintf("%.6f", double{static_cast<float>(a2)}));
    // t1 and t2 come from the window that fired: the sample with LED 2 at 24 °C.
    EXPECT_EQ(row[4], "24.000000");
    EXPECT_TRUE(Contains(run.log.lines, "t1=24.000000,t2=24.000000"));
    EXPECT_TRUE(Contains(run.log.lines, "exited sample (led2) measurement state (5)"));
}

TEST(TaProcessing, SkippedStateUsesItsAverageFromAnEarlierCycle) {
    TaRunner run(Ta());
    for (int cycle = 0; cycle < 2; ++cycle) {
        run.State(INTAKE, 1.0);
        if (cycle == 0)
            run.State(BLANK1, 0.8);
        run.State(BLANK2, 0.9);
        run.State(SAMPLE1, 0.4);
        run.State(SAMPLE2, 0.3);
        run.State(FLUSH, 1.0);
    }
    ASSERT_EQ(run.table.Rows().size(), 2u);
    EXPECT_EQ(run.table.Rows()[0][1], run.table.Rows()[1][1]);
    EXPECT_EQ(test::CountPrefix(run.log.lines, "meas b1=0.800000,b2=0.900000"), 2u);
}

// ---- DIC ---------------------------------------------------------------------------------

constexpr std::uint8_t CRM_INTAKE = 1, CRM_MEASURE = 2, SAMPLE_INTAKE = 3, SAMPLE_MEASURE = 4,
                       UNUSED_MEASURE = 5;

DicSettings Dic() {
    DicSettings s;
    s.params.inlet[0] = {protocol::INLET_CRM, CRM_INTAKE, CRM_MEASURE, 2000.0f};
    s.params.inlet[1] = {protocol::INLET_SAMPLE, SAMPLE_INTAKE, SAMPLE_MEASURE, 0};
    s.params.inlet[2] = {protocol::INLET_UNUSED, 0, UNUSED_MEASURE, 0};
    s.thermistor = {6, 0, 0, 10, 0};
    return s;
}

struct DicRunner {
    DicRunner() : engine(Dic(), table, &log) {}
    // A measurement whose channel 0 reads `values`, with the thermistor at 15 °C.
    void Measure(std::uint8_t intake, std::uint8_t measure, const std::vector<double>& values) {
        engine.Step(Row(intake));
        for (double v : values) {
            RawRecord r = Row(measure);
            r.channel[0] = v;
            r.channel[6] = 1.5;
            engine.Step(r);
        }
        engine.Step(Row(FLUSH));
    }
    // One row at 0.1, then 30 rows `step` higher.
    void Step(std::uint8_t intake, std::uint8_t measure, double step) {
        std::vector<double> values(31, 0.1 + step);
        values[0] = 0.1;
        Measure(intake, measure, values);
    }
    ResultsTable table{DicHeadings()};
    LogLines log;
    DicRun engine;
};

TEST(DicProcessing, WindowMeanTakesTheLastThirtyRowsAndTheMinimumAllOfThem) {
    DicRunner run;
    // 45 rows: the first 15 read 1.0 but for one at 0.05; the last 30 read 0.25.
    std::vector<double> crm(45, 0.25);
    std::fill(crm.begin(), crm.begin() + 15, 1.0);
    crm[2] = 0.05;
    run.Measure(CRM_INTAKE, CRM_MEASURE, crm);  // step 0.2
    // 5 rows: the mean of all five, 0.3, less the minimum 0.1.
    run.Measure(SAMPLE_INTAKE, SAMPLE_MEASURE, {0.1, 0.2, 0.3, 0.4, 0.5});
    ASSERT_EQ(run.table.Rows().size(), 1u);
    const ResultRow& row = run.table.Rows()[0];
    EXPECT_EQ(test::Cells(row, {1, 2, 3, 4, 5, 6}),
              (std::vector<std::string>{"4", "2000.000", "0.200", "0.200", "15.000", "good"}));
}

TEST(DicProcessing, CalibrationFromTheLatestCrmAndSamplesBeforeAnyMarkedBad) {
    DicRunner run;
    run.Step(SAMPLE_INTAKE, SAMPLE_MEASURE, 0.21);  // no CRM yet
    run.Step(CRM_INTAKE, CRM_MEASURE, 0.2);
    run.Step(SAMPLE_INTAKE, SAMPLE_MEASURE, 0.21);
    run.Step(CRM_INTAKE, CRM_MEASURE, 0.4);  // replaces the first calibration
    run.Step(SAMPLE_INTAKE, SAMPLE_MEASURE, 0.21);
    run.Measure(SAMPLE_INTAKE, UNUSED_MEASURE, {0.1, 0.9});  // an unused inlet's state
    ASSERT_EQ(run.table.Rows().size(), 3u);
    const auto& rows = run.table.Rows();
    EXPECT_EQ(test::Cells(rows[0], {6, 1, 2}), (std::vector<std::string>{"bad", "0", "0.000"}));
    EXPECT_EQ(rows[1][2], "2100.000");
    EXPECT_EQ(rows[1][6], "good");
    EXPECT_EQ(rows[2][2], "1050.000");
    EXPECT_EQ(rows[2][4], "0.400");
    EXPECT_EQ(test::CountPrefix(run.log.lines, "processed DIC result at "), 3u);
    EXPECT_EQ(test::CountPrefix(run.log.lines, "exited inlet 0 measurement state (2)"), 2u);
    EXPECT_EQ(test::CountPrefix(run.log.lines, "entered inlet 1 sample intake state (3)"), 4u);
    EXPECT_EQ(test::CountPrefix(run.log.lines, "exited inlet 2"), 0u);
}

TEST(TaDicSettings, ChannelsOutsideTheRowAreRefused) {
    TaSettings ta = Ta();
    EXPECT_EQ(CheckTaSettings(ta), "");
    ta.params.measureChannel = 8;
    EXPECT_EQ(CheckTaSettings(ta),
              "The measurement channel is 8: a channel must be one of 0 to 7.");
    DicSettings dic = Dic();
    EXPECT_EQ(CheckDicSettings(dic), "");
    dic.thermistor.inputChannel = 255;
    EXPECT_NE(CheckDicSettings(dic), "");
}

}  // namespace
}  // namespace velacor::processing
