// The generated rows carry their true values: read back with the program's reader and worked
// through the few forward equations of each chemistry, they give the truth of every cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rawgen/raw_generator.h"
#include "rawgen/rawgen_test_support.h"

namespace velacor::rawgen {
namespace {

using namespace readback;  // NOLINT(google-build-using-namespace): the test helpers
using processing::RawRecord;

template <class Header, class ReadHeader>
Header HeaderOf(const std::string& text, ReadHeader read) {
    processing::MemorySource source(text);
    processing::RawFile file(source);
    Header header;
    EXPECT_TRUE(read(file, header));
    return header;
}

double Absorbance(double intensity, double reference) {
    return -std::log10(intensity / reference);
}

// ---- Equations ---------------------------------------------------------------------------------

TEST(RawGeneratorEquations, PhMatchesWorkedValues) {
    // Worked by hand from the meta-cresol purple equations.
    EXPECT_NEAR(PhFromRatio(1.5, 20.0, 35.0, 1.0f, 0.0f), 7.924907735587507, 1e-12);
    EXPECT_NEAR(PhFromRatio(1.2, 10.0, 33.5, 1.0f, 0.0f), 7.953217808444461, 1e-12);
    EXPECT_NEAR(PhFromRatio(2.0, 25.0, 36.0, 1.0f, 0.0f), 7.998919717139698, 1e-12);
    // The adjustment acts on R before the equations (f32 scale and offset).
    EXPECT_NEAR(PhFromRatio(1.5, 20.0, 35.0, 1.02f, -0.01f), 7.931207004057513, 1e-6);
}

TEST(RawGeneratorEquations, RatioForPhInvertsPhFromRatio) {
    for (const auto& [scale, offset] : {std::pair{1.0f, 0.0f}, std::pair{1.02f, -0.01f}})
        for (double ph = 7.4; ph <= 8.4; ph += 0.1)
            for (double t = 0; t <= 30; t += 7.5)
                for (const double s : {30.0, 35.0, 38.0}) {
                    const double r = RatioForPh(ph, t, s, scale, offset);
                    ASSERT_GT(r, 0.0);
                    ASSERT_NEAR(PhFromRatio(r, t, s, scale, offset), ph, 1e-12)
                        << ph << " " << t << " " << s;
                }
}

TEST(RawGeneratorEquations, PhOutsideTheDomainIsNotANumber) {
    EXPECT_TRUE(std::isnan(PhFromRatio(0.0, 20.0, 35.0, 1.0f, 0.0f)));  // R' below e1
    // R' = e2/e3 makes the denominator vanish.
    const double kelvin = 293.15;
    const double pole = 1.0 / (-0.020813 + 0.000260262 * kelvin);
    EXPECT_TRUE(std::isnan(PhFromRatio(pole, 20.0, 35.0, 1.0f, 0.0f)));
}

TEST(RawGeneratorEquations, TaMatchesWorkedValuesAndInverts) {
    EXPECT_NEAR(TaFromAbsorbances(0.55, 0.40, 12.0, TA_SETUP), 2368.504623598396, 1e-6);
    EXPECT_NEAR(TaFromAbsorbances(0.6, 0.9, 20.0, TA_SETUP), 2435.2183474955455, 1e-6);
    EXPECT_NEAR(TaFromAbsorbances(0.5, 0.25, 25.0, TA_SETUP), 2302.169857730005, 1e-6);
    for (double ta = 2000; ta <= 2400; ta += 25)
        for (double t = 0; t <= 30; t += 5) {
            const double ratio = AbsorbanceRatioForTa(ta, t, TA_SETUP);
            ASSERT_NEAR(TaFromAbsorbances(0.5, 0.5 * ratio, t, TA_SETUP), ta, 1e-6) << ta;
        }
    // More alkalinity than the acid can titrate has no end point.
    const double most = static_cast<double>(TA_SETUP.acidMolarity) / 8.819e-6;
    EXPECT_TRUE(std::isnan(AbsorbanceRatioForTa(most + 1.0, 20.0, TA_SETUP)));
}

TEST(RawGeneratorEquations, ThermistorVoltsReadBackTheirTemperature) {
    for (const ThermistorCal& cal : {THERMISTOR_1, THERMISTOR_2})
        for (double t = -2; t <= 33; t += 0.7)
            ASSERT_NEAR(cal.Temperature(cal.VoltsFor(t)), t, 1e-9);
}

// ---- Truth from the rows -----------------------------------------------------------------------

struct NoiseCase {
    double noise;
    double tolerance;
};

TEST(RawGeneratorTruth, NutrientEveryPathGivesTheConcentration) {
    for (const std::uint8_t type :
         {std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{5}, std::uint8_t{6}})
        for (const auto& [noise, tolerance] : {NoiseCase{0, 2e-5}, NoiseCase{0.002, 0.02}}) {
            SCOPED_TRACE(testing::Message() << "type " << int{type} << " noise " << noise);
            Options options = With(Chemistry::Nutrient, 40);
            options.nutrientType = type;
            options.noise = noise;
            Generated info;
            const std::string text = GenerateString(options, &info);
            const auto header = HeaderOf<processing::NutrientHeader>(
                text, [](auto& f, auto& h) { return processing::ReadNutrientHeader(f, h); });
            const protocol::NutrientProcessing& p = header.params;
            const double c1 = protocol::StoredToConcentration(p.standard1Conc);
            const double c2 = protocol::StoredToConcentration(p.standard2Conc);
            const ReadBack back = Read(text, processing::RowRule::Nutrient);
            const std::vector<StateRun> runs = Runs(back.rows);

            std::size_t cycle = 0;
            const StateRun* last[256] = {};
            double lowest = c2;
            double highest = 0;
            for (std::size_t j = 0; j < runs.size(); ++j) {
                last[runs[j].state] = &runs[j];
                if (runs[j].state != p.sampleMeasureState)
                    continue;
                ASSERT_EQ(runs[j - 1].state, p.sampleIntakeState);
                const StateRun* blank = last[p.blankMeasureState];
                const StateRun* std1 = last[p.standard1State];
                const StateRun* std2 = last[p.standard2State];
                ASSERT_TRUE(blank && std1 && std2);
                ASSERT_LT(cycle, info.truth.size());
                const double truth = info.truth[cycle++].value;
                lowest = std::min(lowest, truth);
                highest = std::max(highest, truth);
                for (const std::uint8_t m : p.measureChannel) {
                    const double b = Mean(back.rows, *blank, m);
                    const double a = Absorbance(Mean(back.rows, runs[j], m), b);
                    const double a1 = Absorbance(Mean(back.rows, *std1, m), b);
                    const double a2 = Absorbance(Mean(back.rows, *std2, m), b);
                    const double k = (a1 * c1 + a2 * c2) / (c1 * c1 + c2 * c2);
                    EXPECT_NEAR(a / k, truth, tolerance * c2) << "channel " << int{m};
                }
            }
            EXPECT_EQ(cycle, info.truth.size());
            EXPECT_GT(highest - lowest, 0.3 * c2);  // the truth moves through the range
        }
}

TEST(RawGeneratorTruth, PhDyeCurveGivesTheReportedPh) {
    struct Case {
        std::uint32_t intervalMs;
        double noise;
        double tolerance;
    };
    for (const Case c : {Case{1000, 0, 2e-5}, Case{100, 0, 2e-5}, Case{1000, 0.002, 0.003}}) {
        SCOPED_TRACE(testing::Message() << c.intervalMs << " ms, noise " << c.noise);
        Options options = With(Chemistry::Ph, 12);
        options.sampleIntervalMs = c.intervalMs;
        options.noise = c.noise;
        Generated info;
        const std::string text = GenerateString(options, &info);
        const auto header = HeaderOf<processing::PhHeader>(
            text, [](auto& f, auto& h) { return processing::ReadPhHeader(f, h); });
        const protocol::PhProcessing& p = header.params;
        const std::size_t start = p.blankStartOffsetS * 1000u / header.sampleIntervalMs;
        const std::size_t end = p.blankEndOffsetS * 1000u / header.sampleIntervalMs;
        const ReadBack back = Read(text, processing::RowRule::Ph);
        const std::vector<StateRun> runs = Runs(back.rows);

        std::size_t cycle = 0;
        for (std::size_t j = 0; j + 1 < runs.size(); ++j) {
            if (runs[j].state != p.sampleIntakeState)
                continue;
            const StateRun& measure = runs[j + 1];
            ASSERT_EQ(measure.state, p.sampleMeasureState);
            const RawRecord* rows = &back.rows[measure.first];
            double ref434 = 0;
            double ref578 = 0;
            for (std::size_t i = start; i <= end; ++i) {
                ref434 += rows[i].channel[p.inputChannelBlue] / double(end - start + 1);
                ref578 += rows[i].channel[p.inputChannelYellow] / double(end - start + 1);
            }
            // The part of the washing-out dye between the two bounds: a straight line A578 =
            // R·A434 through the origin, at the cell temperature the thermistors read.
            std::size_t peak = end + 1;
            for (std::size_t i = end + 1; i < measure.count; ++i)
                if (rows[i].channel[p.inputChannelYellow] <
                    rows[peak].channel[p.inputChannelYellow])
                    peak = i;
            EXPECT_GT(Absorbance(rows[peak].channel[p.inputChannelYellow], ref578),
                      p.absorbanceMaxYellow + 0.2);
            double sxx = 0;
            double sxy = 0;
            double sumT = 0;
            std::size_t n = 0;
            for (std::size_t i = peak; i < measure.count; ++i) {
                const double x = Absorbance(rows[i].channel[p.inputChannelBlue], ref434);
                const double y = Absorbance(rows[i].channel[p.inputChannelYellow], ref578);
                if (y > p.absorbanceMaxYellow || x < p.absorbanceMinBlue)
                    continue;
                sxx += x * x;
                sxy += x * y;
                sumT +=
                    p.thermistor1Scale * Cubic(header.thermistor[0],
                                               rows[i].channel[header.thermistor[0].inputChannel]) +
                    p.thermistor2Scale * Cubic(header.thermistor[1],
                                               rows[i].channel[header.thermistor[1].inputChannel]);
                ++n;
            }
            EXPECT_GE(n * header.sampleIntervalMs, 30'000u);  // well over 10 rows to fit
            const double cell = sumT / static_cast<double>(n);
            const RawRecord& intake = back.rows[runs[j].first];
            const double platformT = static_cast<float>(intake.platformTemperature);
            const double salinity = static_cast<float>(intake.platformSalinity);
            const double ph =
                PhFromRatio(sxy / sxx, cell, salinity, p.rAdjustScale, p.rAdjustOffset) +
                (platformT - cell) * static_cast<double>(p.dpHdT);
            ASSERT_LT(cycle, info.truth.size());
            EXPECT_NEAR(ph, info.truth[cycle++].value, c.tolerance);
        }
        EXPECT_EQ(cycle, info.truth.size());
    }
}

TEST(RawGeneratorTruth, TaBlanksAndSamplesGiveTheAlkalinity) {
    for (const auto& [noise, tolerance] : {NoiseCase{0, 0.01}, NoiseCase{0.002, 3.0}}) {
        SCOPED_TRACE(noise);
        Options options = With(Chemistry::Ta, 40);
        options.noise = noise;
        Generated info;
        const std::string text = GenerateString(options, &info);
        const auto header = HeaderOf<processing::TaHeader>(
            text, [](auto& f, auto& h) { return processing::ReadTaHeader(f, h); });
        const protocol::TaProcessing& p = header.params;
        TaSetup setup;
        setup.ct = p.temperatureCoefficient;
        setup.acidMolarity = p.titrantMolarity;
        setup.pKa = p.pKa;
        setup.e1 = p.e1;
        setup.e2 = p.e2;
        setup.e3 = p.e3;
        const ReadBack back = Read(text, processing::RowRule::Ta);
        const std::vector<StateRun> runs = Runs(back.rows);

        std::size_t cycle = 0;
        for (std::size_t j = 0; j < runs.size(); ++j) {
            if (runs[j].state != p.sampleIntakeState)
                continue;
            ASSERT_LT(j + 5, runs.size());
            EXPECT_EQ(runs[j + 1].state, p.blankMeasureStateLed1);
            EXPECT_EQ(runs[j + 2].state, p.blankMeasureStateLed2);
            EXPECT_EQ(runs[j + 4].state, p.sampleMeasureStateLed1);
            EXPECT_EQ(runs[j + 5].state, p.sampleMeasureStateLed2);
            const int m = p.measureChannel;
            const double a1 =
                Absorbance(Mean(back.rows, runs[j + 4], m), Mean(back.rows, runs[j + 1], m));
            const double a2 =
                Absorbance(Mean(back.rows, runs[j + 5], m), Mean(back.rows, runs[j + 2], m));
            const double cell =
                0.5 * Cubic(header.thermistor[0],
                            Mean(back.rows, runs[j + 5], header.thermistor[0].inputChannel)) +
                0.5 * Cubic(header.thermistor[1],
                            Mean(back.rows, runs[j + 5], header.thermistor[1].inputChannel));
            ASSERT_LT(cycle, info.truth.size());
            EXPECT_NEAR(TaFromAbsorbances(a1, a2, cell, setup), info.truth[cycle++].value,
                        tolerance);
        }
        EXPECT_EQ(cycle, info.truth.size());
    }
}

TEST(RawGeneratorTruth, DicStepsScaledByTheLatestCrmGiveTheDic) {
    for (const auto& [noise, tolerance] : {NoiseCase{0, 0.05}, NoiseCase{0.001, 15.0}}) {
        SCOPED_TRACE(noise);
        Options options = With(Chemistry::Dic, 13);
        options.noise = noise;
        Generated info;
        const std::string text = GenerateString(options, &info);
        const auto header = HeaderOf<processing::DicHeader>(
            text, [](auto& f, auto& h) { return processing::ReadDicHeader(f, h); });
        const protocol::DicInlet& crm = header.params.inlet[DIC_SETUP.crmInlet];
        const protocol::DicInlet& sample = header.params.inlet[DIC_SETUP.sampleInlet];
        const ReadBack back = Read(text, processing::RowRule::Dic);

        std::size_t cycle = 0;
        std::size_t sinceCrm = 0;
        double crmStep = std::numeric_limits<double>::quiet_NaN();
        for (const StateRun& run : Runs(back.rows)) {
            if (run.state != crm.measureState && run.state != sample.measureState)
                continue;
            EXPECT_GE(run.count, 40u);
            // The mean of the last 30 rows above the lowest row of the window.
            const double step = Mean(back.rows, run, 0, 30) - Min(back.rows, run, 0);
            if (run.state == crm.measureState) {
                EXPECT_EQ(cycle % DIC_SETUP.samplesPerCrm, 0u);
                crmStep = step;
                sinceCrm = 0;
                continue;
            }
            ASSERT_LT(sinceCrm++, DIC_SETUP.samplesPerCrm);
            ASSERT_LT(cycle, info.truth.size());
            EXPECT_NEAR(step / crmStep * static_cast<double>(crm.crmValue),
                        info.truth[cycle++].value, tolerance);
        }
        EXPECT_EQ(cycle, info.truth.size());
    }
}

}  // namespace
}  // namespace velacor::rawgen
