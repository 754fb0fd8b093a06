#include "rawgen/raw_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "processing/raw_file.h"
#include "rawgen/rawgen_test_support.h"
#include "temp_dir.h"

namespace velacor::rawgen {
namespace {

using namespace readback;  // NOLINT(google-build-using-namespace): the test helpers
using processing::RawRecord;
using processing::RowRule;

// ---- Headers -----------------------------------------------------------------------------------

// The rows and the truth tests read the setup back from the header; what they cannot see is
// checked here: the sensor name line, standards kept to the last thousandth, no monitoring
// channels, and states that never coincide.
TEST(RawGeneratorHeader, CarriesWhatTheRowsCannotShow) {
    for (const std::uint8_t type :
         {std::uint8_t{1}, std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{5}, std::uint8_t{6}}) {
        SCOPED_TRACE(static_cast<int>(type));
        Options options = With(Chemistry::Nutrient, 1);
        options.nutrientType = type;
        options.sensorName = "Mooring 7 North";
        const std::string text = GenerateString(options);
        processing::MemorySource source(text);
        processing::RawFile file(source);
        processing::NutrientHeader header;
        ASSERT_TRUE(processing::ReadNutrientHeader(file, header));

        const NutrientSetup s = NutrientSetupFor(type);
        EXPECT_EQ(header.chemistryType, type);
        EXPECT_EQ(header.sensorName, "Mooring 7 North");
        EXPECT_EQ(header.params.standard1Conc, s.standard1);
        EXPECT_EQ(header.params.standard2Conc, s.standard2);
        EXPECT_EQ(header.params.monitorChannel, (std::array<std::uint8_t, 3>{255, 255, 255}));
        EXPECT_EQ(header.params.opticalCorrection, 0);
        const std::uint8_t states[] = {FLUSH_STATE,      s.intakeState, s.blankState,
                                       s.standard1State, s.sampleState, s.standard2State};
        for (std::size_t i = 0; i < std::size(states); ++i)
            for (std::size_t j = i + 1; j < std::size(states); ++j)
                EXPECT_NE(states[i], states[j]);
    }
}

// ---- Rows --------------------------------------------------------------------------------------

std::uint8_t IntakeState(Chemistry chemistry) {
    switch (chemistry) {
        case Chemistry::Nutrient:
            return NutrientSetupFor(1).intakeState;
        case Chemistry::Ph:
            return PH_SETUP.intakeState;
        case Chemistry::Ta:
            return TA_SETUP.intakeState;
        case Chemistry::Dic:
            return DIC_SETUP.sampleIntakeState;
    }
    return 0;
}

struct RowCase {
    Chemistry chemistry;
    bool shortRows;
    std::uint32_t intervalMs;
};

TEST(RawGeneratorRows, EveryRowIsAcceptedAndTheClocksAdvance) {
    const RowCase cases[] = {
        {Chemistry::Nutrient, false, 1000}, {Chemistry::Nutrient, true, 1000},
        {Chemistry::Ph, false, 1000},       {Chemistry::Ph, false, 100},
        {Chemistry::Ta, false, 1000},       {Chemistry::Ta, true, 500},
        {Chemistry::Dic, false, 1000},      {Chemistry::Dic, true, 1000},
    };
    for (const RowCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.chemistry) * 10000 + c.shortRows * 1000 +
                     static_cast<int>(c.intervalMs));
        Options options = With(c.chemistry, 5);
        options.shortRows = c.shortRows;
        options.sampleIntervalMs = c.intervalMs;
        Generated info;
        const std::string text = GenerateString(options, &info);
        EXPECT_EQ(info.bytes, text.size());
        EXPECT_EQ(info.truth.size(), 5u);

        // Whole lines under the reader's 199 characters: no row is ever cut in two.
        std::istringstream lines(text);
        std::uint64_t dataLines = 0;
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LT(line.size(), 199u) << line;
            dataLines += !line.starts_with('%');
        }
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(dataLines, info.rows);

        const ReadBack own = Read(text, RuleFor(c.chemistry));
        EXPECT_FALSE(own.result.readError);
        EXPECT_EQ(own.result.rowsAccepted, info.rows);
        // The nutrient rule keeps the platform fields of 20-field rows, whatever the chemistry.
        const ReadBack back = Read(text, RowRule::Nutrient);
        ASSERT_EQ(back.rows.size(), info.rows);
        for (std::size_t i = 0; i < back.rows.size(); ++i) {
            const RawRecord& r = back.rows[i];
            ASSERT_EQ(r.counter, i + 1);
            ASSERT_EQ(r.sensorTime, START_TIME + i * c.intervalMs / 1000);
            if (c.shortRows) {
                ASSERT_EQ(r.platformTime, 0u);
                ASSERT_EQ(r.platformSalinity, 0.0);
            } else {
                ASSERT_EQ(r.platformTime, r.sensorTime + PLATFORM_CLOCK_AHEAD);
                ASSERT_GT(r.platformSalinity, 34.0);
                ASSERT_GT(r.platformDepth, 0.0);
            }
        }
        // Each truth carries the times of its cycle's first intake row.
        const std::uint8_t intake = IntakeState(c.chemistry);
        std::vector<std::uint32_t> intakeTimes;
        for (const StateRun& run : Runs(back.rows))
            if (run.state == intake)
                intakeTimes.push_back(back.rows[run.first].sensorTime);
        ASSERT_EQ(intakeTimes.size(), info.truth.size());
        for (std::size_t k = 0; k < info.truth.size(); ++k) {
            EXPECT_EQ(info.truth[k].sensorTime, intakeTimes[k]);
            EXPECT_EQ(info.truth[k].platformTime, intakeTimes[k] + PLATFORM_CLOCK_AHEAD);
        }
    }
}

TEST(RawGeneratorRows, ShortRowsAreTheOlderFifteenFieldForm) {
    Options options = With(Chemistry::Nutrient, 2);
    options.shortRows = true;
    const std::string text = GenerateString(options);
    // The pH rule wants all twenty fields, so a genuine 15-field row is refused by it.
    EXPECT_EQ(Read(text, RowRule::Ph).result.rowsAccepted, 0u);
    const std::string firstRow = text.substr(text.find("\n1,") + 1);
    EXPECT_EQ(std::count(firstRow.begin(), firstRow.begin() + firstRow.find('\n'), ','), 14);
}

// ---- Size, blocks, determinism, files ----------------------------------------------------------

TEST(RawGeneratorOutput, MinBytesAddsCyclesUntilReachedAndBlocksAreOneMegabyte) {
    Options options = With(Chemistry::Nutrient);
    options.minBytes = 2'500'000;
    std::vector<std::size_t> blocks;
    std::uint64_t total = 0;
    const Generated info = Generate(options, [&](std::string_view block) {
        blocks.push_back(block.size());
        total += block.size();
    });
    EXPECT_GE(info.bytes, options.minBytes);
    EXPECT_EQ(total, info.bytes);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0], std::size_t{1} << 20);
    EXPECT_EQ(blocks[1], std::size_t{1} << 20);
    // One cycle fewer would not have been enough.
    Options fewer = With(Chemistry::Nutrient, static_cast<unsigned>(info.truth.size() - 1));
    EXPECT_LT(GenerateString(fewer).size(), options.minBytes);
}

TEST(RawGeneratorOutput, SameSeedSameBytesAndNoiseLeavesTheTruth) {
    for (const Chemistry chemistry :
         {Chemistry::Nutrient, Chemistry::Ph, Chemistry::Ta, Chemistry::Dic}) {
        SCOPED_TRACE(static_cast<int>(chemistry));
        Options options = With(chemistry, 20);
        options.noise = 0.002;
        Generated a;
        Generated b;
        EXPECT_EQ(GenerateString(options, &a), GenerateString(options, &b));

        Options exact = options;
        exact.noise = 0;
        Generated c;
        EXPECT_NE(GenerateString(exact, &c), GenerateString(options));
        ASSERT_EQ(a.truth.size(), c.truth.size());
        for (std::size_t k = 0; k < a.truth.size(); ++k)
            EXPECT_EQ(a.truth[k].value, c.truth[k].value);

        Options other = options;
        other.seed = 2;
        Generated d;
        GenerateString(other, &d);
        EXPECT_NE(d.truth.back().value, a.truth.back().value);
    }
}

TEST(RawGeneratorOutput, FileHoldsTheSameBytesAndReplacesOnlyWhenComplete) {
    const velacor::testing::TempDir folder;
    const std::string path = folder.Write("QXT0001.CSV", "an earlier deployment\n");

    Options bad = With(Chemistry::Ph, 3);
    bad.shortRows = true;
    EXPECT_THROW(GenerateFile(bad, path), std::invalid_argument);
    EXPECT_EQ(velacor::testing::ReadWholeFile(path), "an earlier deployment\n");

    Options options = With(Chemistry::Ta, 3);
    options.noise = 0.001;
    const Generated info = GenerateFile(options, path);
    const std::string bytes = velacor::testing::ReadWholeFile(path);
    EXPECT_EQ(bytes, GenerateString(options));
    EXPECT_EQ(info.bytes, bytes.size());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);  // nothing left beside it

    EXPECT_THROW(GenerateFile(options, "/nonexistent-folder/x.csv"), std::runtime_error);
}

TEST(RawGeneratorOutput, OptionsThatCannotMakeAValidFileAreRefused) {
    Options notNutrient = With(Chemistry::Nutrient);
    notNutrient.nutrientType = 4;
    Options shortPh = With(Chemistry::Ph);
    shortPh.shortRows = true;
    Options noInterval = With(Chemistry::Ph);
    noInterval.sampleIntervalMs = 0;
    Options longInterval = With(Chemistry::Dic);
    longInterval.sampleIntervalMs = 1001;
    Options negativeNoise = With(Chemistry::Ta);
    negativeNoise.noise = -0.1;
    Options twoLineName = With(Chemistry::Nutrient);
    twoLineName.sensorName = "A\nB";
    for (const Options& o :
         {notNutrient, shortPh, noInterval, longInterval, negativeNoise, twoLineName})
        EXPECT_THROW(GenerateString(o), std::invalid_argument);
}

TEST(RawGeneratorOutput, ByteSizes) {
    EXPECT_EQ(ParseByteSize("1048576"), 1048576u);
    EXPECT_EQ(ParseByteSize("64K"), 65536u);
    EXPECT_EQ(ParseByteSize("100M"), 104857600u);
    EXPECT_EQ(ParseByteSize("1G"), 1073741824u);
    for (const char* bad : {"", "G", "1.5G", "1T", "-1", "1GB", "99999999999999999999G"})
        EXPECT_FALSE(ParseByteSize(bad).has_value()) << bad;
}

}  // namespace
}  // namespace velacor::rawgen
