// Every engine over generated raw files: the results must give back the true values the files
// were built from, exactly (to the printed digits) without noise and closely with it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "processing/processing_runs.h"
#include "rawgen/raw_generator.h"
#include "temp_dir.h"

namespace velacor::processing {
namespace {

struct Processed {
    ResultsTable table;
    rawgen::Generated generated;
};

// A generated file processed as the dialogs and the command line do, by its header.
Processed ProcessGenerated(const rawgen::Options& options) {
    const velacor::testing::TempDir dir;
    const std::string path = dir / "raw.csv";
    Processed p;
    p.generated = rawgen::GenerateFile(options, path);
    // The two enumerations name the chemistries in the same order.
    const HeaderRun run =
        ProcessWithHeader(static_cast<Chemistry>(options.chemistry), path, p.table, nullptr);
    EXPECT_TRUE(run.ok) << run.error;
    EXPECT_EQ(run.outcome.rowsAccepted, p.generated.rows);
    return p;
}

double Number(const std::string& cell) {
    return std::strtod(cell.c_str(), nullptr);
}

enum class TimeCell { Platform, Sensor, SensorInSecondColumn };

// Each result row against its cycle's truth: the value in `column` and the cycle's time.
void ExpectTruth(const Processed& p, std::size_t column, double tolerance, TimeCell time) {
    const auto& rows = p.table.Rows();
    ASSERT_EQ(rows.size(), p.generated.truth.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const rawgen::CycleTruth& truth = p.generated.truth[i];
        EXPECT_NEAR(Number(rows[i][column]), truth.value, tolerance) << "cycle " << i;
        if (time == TimeCell::Platform)
            EXPECT_EQ(rows[i][0], FormatTimeCell(truth.platformTime));
        else
            EXPECT_EQ(rows[i][time == TimeCell::Sensor ? 0 : 1], FormatTimeCell(truth.sensorTime));
    }
}

TEST(ProcessingTruth, EveryNutrientOnEveryPath) {
    for (const int type : {1, 2, 3, 5, 6}) {
        SCOPED_TRACE(type);
        rawgen::Options options;
        options.nutrientType = static_cast<std::uint8_t>(type);
        options.cycles = 30;
        const Processed p = ProcessGenerated(options);
        ExpectTruth(p, 2, 6e-4, TimeCell::Platform);
        // P1..P3 report the Medium, Short and Long concentrations (in single precision): all
        // three paths agree with the truth.
        for (std::size_t i = 0; i < p.table.Rows().size(); ++i)
            for (std::size_t column : {3u, 4u, 5u})
                EXPECT_NEAR(Number(p.table.Rows()[i][column]), p.generated.truth[i].value, 2e-3);
    }
}

TEST(ProcessingTruth, NutrientWithNoiseAndOlderRows) {
    rawgen::Options options;
    options.cycles = 40;
    options.noise = 0.002;
    options.shortRows = true;
    const Processed p = ProcessGenerated(options);
    const double standard2 = rawgen::NutrientSetupFor(1).standard2 / 1000.0;
    // 15-field rows carry no platform readings: platform time and depth are 0.
    ExpectTruth(p, 2, 0.015 * standard2, TimeCell::SensorInSecondColumn);
    EXPECT_EQ(p.table.Rows()[0][0], "01/01/1970 00:00:00");
    EXPECT_EQ(p.table.Rows()[0][6], "0.00");
}

TEST(ProcessingTruth, PhAtBothSampleIntervals) {
    for (const std::uint32_t interval : {1000u, 100u}) {
        SCOPED_TRACE(interval);
        rawgen::Options options;
        options.chemistry = rawgen::Chemistry::Ph;
        options.cycles = 12;
        options.sampleIntervalMs = interval;
        ExpectTruth(ProcessGenerated(options), 1, 6e-4, TimeCell::Sensor);
    }
    rawgen::Options noisy;
    noisy.chemistry = rawgen::Chemistry::Ph;
    noisy.cycles = 12;
    noisy.noise = 0.002;
    ExpectTruth(ProcessGenerated(noisy), 1, 0.01, TimeCell::Sensor);
}

TEST(ProcessingTruth, TaAndDic) {
    rawgen::Options ta;
    ta.chemistry = rawgen::Chemistry::Ta;
    ta.cycles = 20;
    ExpectTruth(ProcessGenerated(ta), 1, 6e-4, TimeCell::Sensor);
    ta.noise = 0.002;
    ExpectTruth(ProcessGenerated(ta), 1, 5.0, TimeCell::Sensor);

    rawgen::Options dic;
    dic.chemistry = rawgen::Chemistry::Dic;
    dic.cycles = 20;
    const Processed p = ProcessGenerated(dic);
    ExpectTruth(p, 2, 0.05, TimeCell::Sensor);
    for (const ResultRow& row : p.table.Rows())
        EXPECT_EQ(row[6], "good");
    dic.noise = 0.001;
    ExpectTruth(ProcessGenerated(dic), 2, 40.0, TimeCell::Sensor);
}

}  // namespace
}  // namespace velacor::processing
