#include "connection/compatibility.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace velacor::connection {

void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "Rgb(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

namespace {

struct ParseCase {
    const char* text;
    std::int32_t value;
    std::int32_t testNumber;
};

TEST(ParseFirmwareVersion, EachFormInTurnWithScanfNumberRulesAndNothingElse) {
    const ParseCase cases[] = {
        {"VELACOR_1_4_2_T5", 1004002, 5},
        {"VELACOR_2_8_3", 208003, -1},  // hundreds: below every dotted release from 1.0
        {"1.3.6_T2", 1003006, 2},
        {"1.3.6_T", 1003006, -1},  // no test number: the plain three-number form
        {"1.4.2", 1004002, -1},
        {"1.2", 1002000, 1},  // the one test build without a third number
        {"1.2.x", 1002000, 1},
        // Each number may be led by white space and a sign, as sscanf's %d allows.
        {" 1.4.2", 1004002, -1},
        {"+1.\t4. 2", 1004002, -1},
        {"1.-4.2", 996002, -1},
        // Numbers past 32 bits saturate instead of wrapping into some older version.
        {"99999999999.0.0", std::numeric_limits<std::int32_t>::max(), -1},
    };
    for (const ParseCase& c : cases) {
        std::int32_t value = 0;
        std::int32_t testNumber = 0;
        EXPECT_TRUE(ParseFirmwareVersion(c.text, &value, &testNumber)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(testNumber, c.testNumber) << c.text;
    }
    EXPECT_TRUE(ParseFirmwareVersion("1.4.2", nullptr, nullptr));

    // Unrecognised text leaves the outputs.
    for (const char* text :
         {"", "1", "1.-", "1 .4", "v1.4.2", " VELACOR_2_8_3", "velacor_2_8_3", "VELACOR_2_8"}) {
        std::int32_t value = 77;
        std::int32_t testNumber = 77;
        EXPECT_FALSE(ParseFirmwareVersion(text, &value, &testNumber)) << '"' << text << '"';
        EXPECT_EQ(value, 77);
        EXPECT_EQ(testNumber, 77);
    }
}

struct Row {
    std::string text;
    Rgb colour;
    friend bool operator==(const Row&, const Row&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Row& r) {
        return os << '"' << r.text << "\" " << ::testing::PrintToString(r.colour);
    }
};

const Row BLANK{"", BLACK};
const std::vector<Row> NOT_LATEST = {
    {"The firmware you are running is not the latest supported by this GUI.", BLACK},
    {"Please observe any compatibility warnings listed here:", BLACK},
    BLANK,
};
const Row DO_NOT_DEPLOY{"Please do not deploy this firmware.", RED};
const std::vector<Row> TESTING_ONLY = {{"The firmware you are running is for testing only.", RED},
                                       DO_NOT_DEPLOY};
const std::vector<Row> OTHERS_SAFE = {BLANK, {"All other operations are safe.", BLACK}};
// In red, the warning of every release in the table's rows before `row`.
std::vector<Row> WarningsBefore(std::size_t row) {
    std::vector<Row> rows;
    for (std::size_t i = 0; i < row; ++i) {
        if (!RELEASE_TABLE[i].warning.empty())
            rows.push_back({std::string(RELEASE_TABLE[i].warning), RED});
    }
    return rows;
}

std::vector<Row> Join(std::initializer_list<std::vector<Row>> parts) {
    std::vector<Row> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct VerdictCase {
    const char* sensor;
    std::vector<Row> verdict;
    int blackRelease;  // the lower list's row drawn in black; -1: none
};

TEST(CompatibilityLists, VerdictAndReleaseColoursForEachKindOfVersion) {
    const VerdictCase cases[] = {
        // Older than every release: all of their warnings.
        {"VELACOR_2_8_3", Join({NOT_LATEST, WarningsBefore(RELEASE_TABLE.size()), OTHERS_SAFE}),
         -1},
        {"1.3.6_T2", TESTING_ONLY, 3},
        {"1.1", Join({NOT_LATEST, WarningsBefore(11), OTHERS_SAFE}), 11},
        {"1.4.1", Join({NOT_LATEST, {{"All operations are safe.", GREEN}}}), 1},
        {"1.4.2",
         {{"The firmware you are running is the latest supported by this GUI.", BLACK},
          BLANK,
          {"All operations are safe.", GREEN}},
         0},
        {"2.0.0",
         {{"The firmware you are running is newer than than the latest known to this GUI so "
           "there may be compatbility problems.",
           RED},
          {"Please check your firmware's release notes or upgrade to the latest GUI.", RED},
          BLANK,
          {"Starting & stopping the sensor and downloading data files will be safe.", BLACK}},
         -1},
        {"Z1.4.2", {{"The firmware you are running is unrecognised.", RED}, DO_NOT_DEPLOY}, -1},
    };
    for (const VerdictCase& c : cases) {
        SCOPED_TRACE(c.sensor);
        const CompatibilityLists lists = BuildCompatibilityLists(c.sensor);
        std::vector<Row> expected = {
            {std::string("Sensor's Firmware Version: ") + c.sensor, BLACK},
            {"Latest Firmware Version supported by this GUI: 1.4.2", BLACK},
            {"This GUI Version: 1.1.0", BLACK},
            BLANK,
        };
        expected.insert(expected.end(), c.verdict.begin(), c.verdict.end());
        std::vector<Row> upper;
        for (const auto& row : lists.upper)
            upper.push_back({row.text, row.colour});
        EXPECT_EQ(upper, expected);

        ASSERT_EQ(lists.lower.size(), RELEASE_TABLE.size());
        for (std::size_t i = 0; i < lists.lower.size(); ++i) {
            EXPECT_EQ(lists.lower[i].colour, static_cast<int>(i) == c.blackRelease ? BLACK : GREY)
                << "release row " << i;
        }
    }
}

}  // namespace
}  // namespace velacor::connection
