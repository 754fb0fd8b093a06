#include "processing/ph_processing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/str_printf.h"

#include "processing/test_rows.h"

namespace velacor::processing {
namespace {

using test::Contains;
using test::Row;

constexpr std::uint8_t FLUSH = 0, INTAKE = 1, MEASURE = 2;
constexpr int BLUE = 0, YELLOW = 1, THERMISTOR1 = 6, THERMISTOR2 = 7;

// One row a second; blank over seconds 5..9; thermistors read 10 °C per volt. The bounds make
// every row of a falling curve extend the fit: the yellow bound lies far above any absorbance
// and the blue bound at zero.
PhSettings Settings() {
    PhSettings s;
    s.sampleIntervalMs = 1000;
    auto& p = s.params;
    p.inputChannelBlue = BLUE;
    p.inputChannelYellow = YELLOW;
    p.sampleIntakeState = INTAKE;
    p.sampleMeasureState = MEASURE;
    p.blankStartOffsetS = 5;
    p.blankEndOffsetS = 9;
    p.absorbanceMaxYellow = 100;
    p.rAdjustScale = 1;
    p.thermistor1Scale = p.thermistor2Scale = 0.5f;
    s.thermistor[0] = {THERMISTOR1, 0, 0, 10, 0};
    s.thermistor[1] = {THERMISTOR2, 0, 0, 10, 0};
    return s;
}

// The absorbance ratio that the indicator equations turn into `ph` (the inverse of PhFromRatio
// with scale 1 and offset 0).
double RatioFor(double ph, double t, double s) {
    const double kelvin = t + 273.15;
    const double e1 = -0.007762 + 4.5174e-5 * kelvin;
    const double e3e2 = -0.020813 + 0.000260262 * kelvin + 0.00010436 * (s - 35);
    const double minusLogK2e2 = (-246.64209 + 0.315971 * s + 0.00028855 * s * s) +
                                (7229.23864 - 7.098137 * s - 0.057034 * s * s) / kelvin +
                                (44.493382 - 0.052711 * s) * std::log(kelvin) - 0.0781344 * kelvin;
    const double ratio = std::pow(10.0, ph - minusLogK2e2);
    return (ratio + e1) / (1 + ratio * e3e2);
}

RawRecord MeasureRow(double i434, double i578, double t1 = 2.0, double t2 = 2.0) {
    RawRecord r = Row(MEASURE, 1.0);
    r.channel[BLUE] = i434;
    r.channel[YELLOW] = i578;
    r.channel[THERMISTOR1] = t1;
    r.channel[THERMISTOR2] = t2;
    r.platformTemperature = 20;
    return r;
}

struct Runner {
    explicit Runner(const PhSettings& s) : engine(s, table, &log) {}
    // Intake, then `blankRows` rows of reference 1.0.
    void Start(int blankRows = 10, double t1 = 2.0, double t2 = 2.0, float platformT = 20) {
        RawRecord intake = Row(INTAKE);
        intake.platformTemperature = platformT;
        engine.Step(intake);
        for (int i = 0; i < blankRows; ++i)
            engine.Step(MeasureRow(1.0, 1.0, t1, t2));
    }
    // Start, then `fitRows` rows of a falling dye curve whose absorbances keep the ratio
    // `ratio`, then flush.
    void Cycle(double ratio, int fitRows, double t1 = 2.0, double t2 = 2.0, float platformT = 20) {
        Start(10, t1, t2, platformT);
        for (int k = 0; k < fitRows; ++k) {
            const double a434 = 0.9 - 0.8 * k / fitRows;
            engine.Step(MeasureRow(std::pow(10.0, -a434), std::pow(10.0, -ratio * a434), t1, t2));
        }
        engine.Step(Row(FLUSH));
    }
    bool Logged(const std::string& line) const { return Contains(log.lines, line); }

    ResultsTable table{PhHeadings()};
    LogLines log;
    PhRun engine;
};

TEST(PhEquations, KnownValuesAndTheAdjustment) {
    EXPECT_NEAR(*PhFromRatio(1.0, 25, 35, 1, 0), 7.670834, 1e-6);
    EXPECT_NEAR(*PhFromRatio(0.5, 25, 35, 2, 0), 7.670834, 1e-6);  // adjusted first
    EXPECT_NEAR(*PhFromRatio(0.75, 20, 33.5, 1, 0.75), 7.926654, 1e-6);
}

// The fit needs more than ten rows; eleven rows of an exact curve give its pH back.
TEST(PhProcessing, DyeCurveGivesThePhItWasBuiltFromWithElevenRowsOrMore) {
    const double ratio = RatioFor(7.9, 20, 35);
    Runner run(Settings());
    run.Cycle(ratio, 10);
    EXPECT_TRUE(run.table.Rows().empty());
    EXPECT_EQ(run.log.lines.back(), "Too few samples for regression (10<=10)");
    run.Cycle(ratio, 11);
    ASSERT_EQ(run.table.Rows().size(), 1u);
    const ResultRow& row = run.table.Rows()[0];
    EXPECT_EQ(row[1], "7.900");
    EXPECT_EQ(row[2], base::StrPrintf("%.4f", ratio));
    EXPECT_EQ(row[3], row[2]);
    EXPECT_EQ(row[4], "20.000");
    EXPECT_EQ(row[5], "35.000");
    EXPECT_TRUE(run.Logged("num samples = 11"));
}

TEST(PhProcessing, ThermistorWeightsAndTheTemperatureCorrection) {
    auto s = Settings();
    s.params.thermistor1Scale = 1;
    s.params.thermistor2Scale = 0;
    s.params.dpHdT = -0.0158f;
    Runner run(s);
    // Thermistor 1 reads 20 °C, thermistor 2 30 °C; only the first counts. The water is at
    // 10 °C, so pH 8.000 in the cell is reported as 8.158.
    run.Cycle(RatioFor(8.0, 20, 35), 30, 2.0, 3.0, 10);
    ASSERT_EQ(run.table.Rows().size(), 1u);
    EXPECT_EQ(test::Cells(run.table.Rows()[0], {1, 4, 6}),
              (std::vector<std::string>{"8.158", "20.000", "10.000"}));
    EXPECT_TRUE(run.log.lines.back().ends_with(",pH=8.000000"));  // before the correction
}

TEST(PhProcessing, BlankWindowBoundsFollowTheSampleInterval) {
    // At 100 ms a row, seconds 50..70 are rows 500..700: they read 2.0, every other row 5.0.
    auto s = Settings();
    s.sampleIntervalMs = 100;
    s.params.blankStartOffsetS = 50;
    s.params.blankEndOffsetS = 70;
    Runner tenth(s);
    tenth.Start(0);
    for (std::uint32_t i = 0; i < 705; ++i) {
        const double level = i >= 500 && i <= 700 ? 2.0 : 5.0;
        tenth.engine.Step(MeasureRow(level, level));
    }
    tenth.engine.Step(Row(FLUSH));
    EXPECT_TRUE(tenth.Logged("blank_start_index=500, blank_end_index=700"));
    EXPECT_TRUE(tenth.Logged("abs434ref=2.000000, abs578ref=2.000000"));

    // A measurement that ends inside the window leaves the partial sum divided by all 21 rows.
    s.sampleIntervalMs = 1000;
    Runner run(s);
    run.Start(0);
    for (int i = 0; i < 60; ++i)
        run.engine.Step(MeasureRow(2.1, 2.1));
    run.engine.Step(Row(FLUSH));
    EXPECT_TRUE(run.Logged("abs434ref=1.000000, abs578ref=1.000000"));
    EXPECT_TRUE(run.Logged("num samples = 0"));
}

TEST(PhProcessing, FitStartsNearTheYellowBoundAndEndsNearTheBlueBound) {
    auto s = Settings();
    s.params.absorbanceMaxYellow = 0.6f;
    s.params.absorbanceMinBlue = 0.3f;
    Runner run(s);
    run.Start();
    // Rising to a peak of 1.0, then falling through both bounds to 0.1; y = x, so R = 1.
    for (int k = 1; k <= 100; ++k) {
        const double a = k <= 10 ? 0.1 * k : 1.0 - 0.01 * (k - 10);
        run.engine.Step(MeasureRow(std::pow(10.0, -a), std::pow(10.0, -a)));
    }
    run.engine.Step(Row(FLUSH));
    // Peak at index 19 (the tenth row after the blank), start where y is 0.6, end at 0.3.
    EXPECT_TRUE(run.Logged("abs578max(i,x,y,t) = (19,1.000000,1.000000,20.000000)"));
    EXPECT_TRUE(run.Logged("absmax(i,x,y,t) = (59,0.600000,0.600000,20.000000)"));
    EXPECT_TRUE(run.Logged("absmin(i,x,y,t) = (89,0.300000,0.300000,20.000000)"));
    EXPECT_TRUE(run.Logged("num samples = 31"));
    EXPECT_TRUE(run.Logged("R=1.000000,t=20.000000,s=35.000000"));
}

TEST(PhProcessing, SingularFitAndRatiosOutsideTheEquations) {
    // Absorbances of a thousandth: the fit's determinant vanishes.
    Runner faint(Settings());
    faint.Start();
    for (int k = 0; k < 20; ++k) {
        const double a434 = 0.001 - 0.00001 * k;
        faint.engine.Step(MeasureRow(std::pow(10.0, -a434), std::pow(10.0, -1.2 * a434)));
    }
    faint.engine.Step(Row(FLUSH));
    EXPECT_EQ(faint.log.lines.back(), "Regression impossible");
    EXPECT_TRUE(faint.table.Rows().empty());

    // No yellow absorbance at all: R = 0 lies below the indicator's range.
    Runner clear(Settings());
    clear.Cycle(0.0, 20);
    EXPECT_TRUE(clear.log.lines.back().starts_with("time="));
    EXPECT_TRUE(clear.log.lines.back().ends_with(",pH=failed"));
    EXPECT_TRUE(clear.table.Rows().empty());
}

TEST(PhSettingsCheck, ZeroIntervalAndChannelsOutsideTheRow) {
    auto s = Settings();
    EXPECT_EQ(CheckPhSettings(s), "");
    s.sampleIntervalMs = 0;
    EXPECT_EQ(CheckPhSettings(s), "The sample interval is 0 ms: it must be at least 1 ms.");
    s = Settings();
    s.thermistor[1].inputChannel = 9;
    EXPECT_EQ(CheckPhSettings(s),
              "The input channel of thermistor 2 is 9: a channel must be one of 0 to 7.");
    s = Settings();
    s.params.inputChannelYellow = 8;
    EXPECT_NE(CheckPhSettings(s), "");
}

}  // namespace
}  // namespace velacor::processing
