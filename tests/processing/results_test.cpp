#include "processing/results.h"

#include "base/str_printf.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <random>

namespace velacor::processing {
namespace {

TEST(ResultsTable, KeepsTheLast5001Rows) {
    ResultsTable table({"n", "square"});
    std::size_t count = 0;
    for (int i = 1; i <= 6000; ++i)
        count = table.AddRow({std::to_string(i), std::to_string(i * i)});
    EXPECT_EQ(count, 5001u);
    EXPECT_EQ(table.Rows().front()[0], "1000");
    EXPECT_EQ(table.Rows().back()[0], "6000");
    const std::string text = ResultsText(table);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5002);
    EXPECT_TRUE(text.starts_with("n,square\n1000,1000000\n"));
    table.Clear();
    EXPECT_EQ(table.AddRow({"a", "b"}), 1u);
}

TEST(ResultsTable, TimeCells) {
    EXPECT_EQ(FormatTimeCell(0), "01/01/1970 00:00:00");
    EXPECT_EQ(FormatTimeCell(1767225600 + 3661), "01/01/2026 01:01:01");
    EXPECT_EQ(FormatTimeCell(0x7fffffff), "19/01/2038 03:14:07");
    EXPECT_EQ(FormatTimeCell(0x80000000u), "2147483648");
    EXPECT_EQ(FormatTimeCell(3000000000u), "3000000000");
}

TEST(ResultsTable, FixedCellsReadAsPrintfWritesThem) {
    std::mt19937_64 random(7);
    constexpr double INF = std::numeric_limits<double>::infinity();
    constexpr double QNAN = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> values = {
        0.0,     -0.0,     0.125,  0.375,  2.5, 1e300, -1e-300, 1e22,  0.0005,
        -0.0005, 123.4565, 5e-324, 2100.0, INF, -INF,  QNAN,    -QNAN,
    };
    std::uniform_real_distribution<double> uniform(-5000, 5000);
    for (int i = 0; i < 20000; ++i)
        values.push_back(uniform(random));
    for (int i = 0; i < 2000; ++i)  // any bit pattern at all
        values.push_back(std::bit_cast<double>(random()));
    for (const double v : values)
        for (const int decimals : {2, 3, 4, 6})
            ASSERT_EQ(FixedCell(v, decimals), base::StrPrintf("%.*f", decimals, v)) << v;
}

TEST(ResultsLog, LinesAreCutTo255AndLoseTheirLineFeed) {
    LogLines log;
    Log(&log, "Reading file %s\n", "/data/QXT0001.CSV");
    Log(&log, "%s", std::string(300, 'x').c_str());
    Log(nullptr, "%d", 1);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "Reading file /data/QXT0001.CSV");
    EXPECT_EQ(log.lines[1], std::string(255, 'x'));
}

// Cells as shown, without quoting, cut to 255; the message says where, and stays empty for a
// table without rows.
TEST(SaveResults, WritesCellsAsShownAndSaysWhere) {
    const velacor::testing::TempDir dir;
    ResultsTable table({"Time (platform)", "DIC (umol/kg)"});
    table.AddRow({"01/01/2026 00:00:00", "2100.000"});
    table.AddRow({"a,b", std::string(300, 'y')});
    const std::string path = dir / "out.csv";
    base::SaveOutcome outcome = SaveResults(path, table);
    EXPECT_TRUE(outcome.Saved());
    EXPECT_EQ(outcome.message, "Processed Output saved to " + path);
    EXPECT_EQ(velacor::testing::ReadWholeFile(path),
              "Time (platform),DIC (umol/kg)\n01/01/2026 00:00:00,2100.000\na,b," +
                  std::string(255, 'y') + "\n");

    outcome = SaveResults(path, ResultsTable({"pH", "R_meas"}));
    EXPECT_TRUE(outcome.Saved());
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(velacor::testing::ReadWholeFile(path), "pH,R_meas\n");
}

}  // namespace
}  // namespace velacor::processing
