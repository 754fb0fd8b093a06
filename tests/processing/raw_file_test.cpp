#include "processing/raw_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/record_fields.h"

namespace velacor::processing {
namespace {

// Bit-for-bit equality, so that NaN, -0 and the last bit of a rounding all count.
bool Same(const RawRecord& a, const RawRecord& b) {
    const auto bits = [](const RawRecord& r) {
        std::vector<std::uint64_t> v;
        for (double d : r.channel)
            v.push_back(std::bit_cast<std::uint64_t>(d));
        for (double d :
             {r.platformSalinity, r.platformTemperature, r.platformOxygen, r.platformDepth})
            v.push_back(std::bit_cast<std::uint64_t>(d));
        v.insert(v.end(), {r.counter, r.state, r.sensorTime, r.platformTime});
        return v;
    };
    return bits(a) == bits(b);
}

void ExpectSameAsSscanf(const std::string& row) {
    for (const int fields : {ROW_FIELDS_SHORT, ROW_FIELDS_LONG}) {
        RawRecord fast;
        RawRecord reference;
        const int n = ScanRawRow(row, fields, fast);
        const int m = ScanRawRowReference(row, fields, reference);
        ASSERT_EQ(n, m) << "row [" << row << "], " << fields << " fields";
        ASSERT_TRUE(Same(fast, reference)) << "row [" << row << "], " << fields << " fields";
        // As the reader hands rows on: a view into a block whose bytes go on past the row.
        if (row.find('\0') == std::string::npos) {
            const std::string block = row + "123456789.5e7";
            RawRecord inBlock;
            ASSERT_EQ(ScanRawRowWithoutNul(std::string_view(block).substr(0, row.size()), fields,
                                           inBlock),
                      m)
                << "row [" << row << "] in a block";
            ASSERT_TRUE(Same(inBlock, reference)) << "row [" << row << "] in a block";
        }
    }
}

// ---- Row parser against sscanf -----------------------------------------------------------

const char* const TRICKY_NUMBERS[] = {
    "0", "-0", "+0", "00012", "1.", ".5", ".", "-.", "+", "-", "1.2.3", "1e", "1e+", "1e-", "1E5",
    "1e5.3", "1.e5", ".e5", "e5", "1e400", "-1e400", "1e-400", "4.9e-324", "2.4e-324", "2.5e-324",
    "1.7976931348623157e308", "1.7976931348623159e308", "0x", "0X1P-2", "0x1.8p3", "0x.p1", "0xp3",
    "0x1p", "0xg", "0x1p99999", "0x1p-1080", "0x.00000001p-1040", "inf", "-INF", "infinity", "infi",
    "infx", "nan", "-nan", "NaN(12)", "na", "  7", "\t-3.25", "1e99999999999999999999",
    "1e-99999999999999999999", "4294967295", "4294967296", "-4294967296", "18446744073709551615",
    "18446744073709551616", "-18446744073709551615", "99999999999999999999999999",
    "0.000000000000000000000000000000000000001e39",
    "123456789012345678901234567890123456789012345678901234567890", "2.2250738585072011e-308",
    "2.2250738585072014e-308", "9007199254740993",
    // Around the limits of the decimal fast path: 19 and 20 digits, 2^53 and 2^53 + 1 as
    // digits, fractions of 22 and 23 digits, points and exponents after a plain number.
    "1234567890123456789", "12345678901234567890", "0.1234567890123456789", "1.234567890123456789",
    "9007199254740992", "900719925474099.3", "0.9007199254740993", "0.0000000000000000000001",
    "0.00000000000000000000001", "1.5e3", "12.5.5", "12x", "00000000000000000001.5", "-0.000000",
    "+0.5", "12345678.12345678", "3.14159265358979323846"};

std::string Row(const std::vector<std::string>& fields) {
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i)
        row += (i ? "," : "") + fields[i];
    return row;
}

std::string RandomNumber(std::mt19937& rng) {
    char b[64];
    switch (rng() % 8) {
        case 0:
            return std::to_string(rng());
        case 1:  // each of them in every field, many times over
            return TRICKY_NUMBERS[rng() % std::size(TRICKY_NUMBERS)];
        case 2:
            std::snprintf(
                b, sizeof b, "%.17g",
                std::ldexp(static_cast<double>(rng()), static_cast<int>(rng() % 2100) - 1100));
            return b;
        case 3:
            std::snprintf(
                b, sizeof b, "%a",
                std::ldexp(static_cast<double>(rng()), static_cast<int>(rng() % 200) - 100));
            return b;
        default:
            std::snprintf(b, sizeof b, "%.*f", static_cast<int>(rng() % 10),
                          (static_cast<double>(rng()) - 2e9) / 1e5);
            return b;
    }
}

// One edit: a digit changed, the row cut, a field added, or a sign, blank, exponent, run of
// digits or odd byte put in.
void Mutate(std::string& row, std::mt19937& rng) {
    static const char ALPHABET[] = "0123456789+-., eExXpPiInNaA\t\n\x01\x7f\x80\xb9\xba\xff";
    const std::size_t at = row.empty() ? 0 : rng() % row.size();
    const unsigned kind = rng() % 8;
    if (kind == 0 && !row.empty()) {
        row[at] = static_cast<char>('0' + rng() % 10);
    } else if (kind == 1) {
        row.resize(at);
    } else if (kind == 2) {
        row += "," + std::to_string(rng());
    } else if (kind > 2) {
        const std::string inserts[] = {
            (rng() & 1) ? "-" : "+", " ", (rng() & 1) ? "e" : "e-3",
            std::string(1 + rng() % 60, static_cast<char>('0' + rng() % 10)),
            std::string(1, ALPHABET[rng() % (sizeof ALPHABET - 1)])};
        row.insert(at, inserts[kind - 3]);
    }
}

TEST(RawRowParser, GeneratedAndMutatedRowsMatchSscanf) {
    std::mt19937 rng(20261206);
    for (int i = 0; i < 20000; ++i) {
        std::vector<std::string> f;
        const int count = (i % 3 == 0) ? ROW_FIELDS_SHORT : ROW_FIELDS_LONG;
        for (int k = 0; k < count; ++k)
            f.push_back(RandomNumber(rng));
        std::string row = Row(f);
        ExpectSameAsSscanf(row);
        for (int m = 0; m < 1 + i % 4; ++m)
            Mutate(row, rng);
        ExpectSameAsSscanf(row);
    }
}

// ---- Row rules ---------------------------------------------------------------------------

TEST(RawRowRules, FieldCountsAcceptedPerChemistry) {
    const std::string twenty =
        "7,300,1,2,3,4,5,6,7,8,20.5,12.1,10,11,1700000000,35.1,4.5,6.25,100,1700000001";
    const std::string fifteen = "7,3,1,2,3,4,5,6,7,8,20.5,12.1,10,11,1700000000";
    const std::string nineteen = twenty.substr(0, twenty.rfind(','));
    using enum RowRule;
    // Accepted by Nutrient, Ph, Ta, Dic.
    for (const auto& [row, accepted] : {std::pair{&twenty, std::array{true, true, true, true}},
                                        {&fifteen, {true, false, true, true}},
                                        {&nineteen, {false, false, true, true}}}) {
        for (const RowRule rule : {Nutrient, Ph, Ta, Dic}) {
            RawRecord r;
            EXPECT_EQ(AcceptRow(*row, rule, r), accepted[static_cast<std::size_t>(rule)])
                << *row << " rule " << static_cast<int>(rule);
        }
    }
    RawRecord r;
    ASSERT_TRUE(AcceptRow(twenty, Nutrient, r));
    EXPECT_EQ(r.state, 44);  // 300 keeps its low 8 bits
    // A short row after a long one: the platform fields are zero, not the last row's.
    ASSERT_TRUE(AcceptRow(fifteen, Nutrient, r));
    EXPECT_EQ(r.platformSalinity, 0.0);
    EXPECT_EQ(r.platformTime, 0u);
}

// ---- Header ------------------------------------------------------------------------------

template <class H>
bool Read(bool (*reader)(RawFile&, H&), std::string_view text, H& header) {
    MemorySource source(text);
    RawFile file(source);
    return reader(file, header);
}

using Fields = std::map<std::string, double>;

// The record fields, by name, that `lines` change against a header without keys.
template <class H>
Fields Changed(bool (*reader)(RawFile&, H&), const std::string& lines) {
    H plain;
    H header;
    Read(reader, "%VELACOR.HEADER_START\n", plain);
    Read(reader, "%VELACOR.HEADER_START\n" + lines + "\n", header);
    Fields before;
    Fields changed;
    base::VisitFields(plain.params, [&](const base::FieldInfo& f, auto v) {
        before[f.name] = static_cast<double>(v);
    });
    base::VisitFields(header.params, [&](const base::FieldInfo& f, auto v) {
        if (static_cast<double>(v) != before[f.name])
            changed[f.name] = static_cast<double>(v);
    });
    return changed;
}

// `table` holds pairs of words, a key and the field it sets ("-" for none): the key at 7 sets
// that field to 7 and no other.
template <class H>
void ExpectKeyFields(bool (*reader)(RawFile&, H&), const std::string& table) {
    std::istringstream words(table);
    std::string key;
    std::string field;
    while (words >> key >> field) {
        const std::string line = "%VELACOR.CHEMISTRY." + key + "=7";
        EXPECT_EQ(Changed(reader, line), (field == "-" ? Fields{} : Fields{{field, 7}})) << line;
    }
}

TEST(RawHeader, EachKeySetsItsField) {
    ExpectKeyFields(ReadNutrientHeader, R"(
        SENSOR_VERSION sensorVersion                    OUTPUT_CHANNEL_SELECTION outputChannel
        MEASUREMENT_CHANNEL_LONG measureChannel[0]      MONITORING_CHANNEL_LONG monitorChannel[0]
        MEASUREMENT_CHANNEL_MEDIUM measureChannel[1]    MONITORING_CHANNEL_MEDIUM monitorChannel[1]
        MEASUREMENT_CHANNEL_SHORT measureChannel[2]     MONITORING_CHANNEL_SHORT monitorChannel[2]
        SAMPLE_INTAKE_STATE sampleIntakeState           SAMPLE_MEASUREMENT_STATE sampleMeasureState
        BLANK_MEASUREMENT_STATE blankMeasureState       STANDARD_ADJUSTMENT standardAdjustment
        STANDARD1_MEASUREMENT_STATE standard1State      STANDARD2_MEASUREMENT_STATE standard2State
        PROCESSING_TRIGGER processingTrigger            ENABLE_OPTICAL_CORRECTION opticalCorrection
        OC_SAMPLE_MEASUREMENT_STATE opticalCorrSampleState
        OC_BLANK_MEASUREMENT_STATE opticalCorrBlankState
        SAMPLE_PARAM_P1 sampleParam[0]  SAMPLE_PARAM_P2 sampleParam[1]
        SAMPLE_PARAM_P3 sampleParam[2]  INPUT_CHANNEL -  DRIFT_MONITORING_CHANNEL -)");
    // Of the other chemistries, the keys whose swap processing generated files cannot show:
    // those files hold the same value for both, or processing never reads them.
    ExpectKeyFields(ReadPhHeader, R"(SENSOR_VERSION sensorVersion
        T1_ADJUSTMENT_SCALE thermistor1Scale  T2_ADJUSTMENT_SCALE thermistor2Scale)");
    ExpectKeyFields(ReadTaHeader, R"(SENSOR_VERSION sensorVersion
        MONITORING_CHANNEL_LED1 monitorChannelLed1  MONITORING_CHANNEL_LED2 monitorChannelLed2
        pKa pKa  PKA -  SAMPLE_MEASUREMENT_STATE -)");  // the last a nutrient key
    // Only three inlets; the index is read as %u.
    ExpectKeyFields(ReadDicHeader, R"(SENSOR_VERSION sensorVersion  INLET.0.TYPE inlet[0].type
        INLET.2.INTAKE_STATE inlet[2].intakeState  INLET.1.CRM_VALUE inlet[1].crmValue
        INLET.4294967296.TYPE inlet[0].type  INLET.3.TYPE -  INLET.-1.CRM_VALUE -)");
    EXPECT_EQ(Changed(ReadDicHeader, "%VELACOR.CHEMISTRY.INLET. 1.MEASUREMENT_STATE=7"),
              (Fields{{"inlet[1].measureState", 7}}));

    // Values as sscanf reads them and the record keeps them; a later line wins.
    const std::pair<const char*, Fields> values[] = {
        {"SAMPLE_INTAKE_STATE=300", {{"sampleIntakeState", 44}}},
        {"STANDARD1_CONCENTRATION=1.2349", {{"standard1Conc", 1234}}},
        {"STANDARD2_CONCENTRATION=20", {{"standard2Conc", 20000}}},
        {"STANDARD2_CONCENTRATION=1e30", {{"standard2Conc", 4294967295.0}}},
        {"STANDARD2_CONCENTRATION=20\n%VELACOR.CHEMISTRY.STANDARD2_CONCENTRATION=-5", {}},
        {"STANDARD2_CONCENTRATION=20\n%VELACOR.CHEMISTRY.STANDARD2_CONCENTRATION=nan", {}},
    };
    for (const auto& [line, fields] : values)
        EXPECT_EQ(Changed(ReadNutrientHeader, std::string("%VELACOR.CHEMISTRY.") + line), fields)
            << line;
    EXPECT_EQ(Changed(ReadPhHeader, "%VELACOR.CHEMISTRY.BLANK_START_OFFSET=65537"),
              (Fields{{"blankStartOffsetS", 1}}));
}

TEST(RawHeader, KeysOutsideTheRecord) {
    // As sscanf matches "%%VELACOR.CHEMISTRY.TYPE=%u": blanks before the '%' and the number.
    for (const auto& [line, type] : {std::pair{"  %VELACOR.CHEMISTRY.TYPE= 5", 5},
                                     {"%VELACOR.CHEMISTRY.TYPE=x5", 0},
                                     {"%velacor.chemistry.type=5", 0}}) {
        NutrientHeader n;
        Read(ReadNutrientHeader, std::string(line) + "\n", n);
        EXPECT_EQ(n.chemistryType, type) << line;
    }
    PhHeader p;
    Read(ReadPhHeader, "%VELACOR.CHEMISTRY.SAMPLE_INTERVAL=4294967295\n", p);
    EXPECT_EQ(p.sampleIntervalMs, 4294967295u);
    DicHeader d;  // one thermistor: the keys of a second are not its
    Read(ReadDicHeader,
         "%VELACOR.CHEMISTRY.THERMISTOR_CAL_B.0=2\n%VELACOR.CHEMISTRY.THERMISTOR_CAL_B.1=3\n", d);
    EXPECT_EQ(d.thermistor.calB, 2.0f);
}

TEST(RawHeader, DefaultsAndResult) {
    NutrientHeader n;
    n.chemistryType = 9;
    n.sensorName = "old";
    EXPECT_FALSE(Read(ReadNutrientHeader, "1,2,3\n%VELACOR.CHEMISTRY.TYPE=1\n", n));
    EXPECT_EQ(n.chemistryType, 1);  // keys count without a start line
    EXPECT_TRUE(n.sensorName.empty());

    EXPECT_TRUE(Read(ReadNutrientHeader, "%VELACOR.HEADER_START\n%Counter,State\n", n));
    EXPECT_EQ(n.chemistryType, 0);
    EXPECT_EQ(n.params.recordForm, 0);
    EXPECT_EQ(n.params.outputChannel, 0);
    EXPECT_EQ(n.params.measureChannel, (std::array<std::uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(n.params.monitorChannel, (std::array<std::uint8_t, 3>{255, 255, 255}));

    PhHeader p;
    EXPECT_TRUE(Read(ReadPhHeader, "%VELACOR.HEADER_START\n%Counter\n", p));
    EXPECT_EQ(p.chemistryType, 4);
    EXPECT_EQ(p.sampleIntervalMs, 100u);
    EXPECT_EQ(p.params.thermistor1Scale, 0.5f);
    EXPECT_EQ(p.params.thermistor2Scale, 0.5f);
    EXPECT_EQ(p.params.recordForm, 0);
    DicHeader d;
    EXPECT_FALSE(Read(ReadDicHeader, "", d));

    // The sensor name: the rest of the line without its carriage return, cut to 20 characters.
    Read(ReadNutrientHeader, "%VELACOR.CORE.SENSOR_NAME=Reef 7, north=2\r\n", n);
    EXPECT_EQ(n.sensorName, "Reef 7, north=2");
    Read(ReadNutrientHeader, "%VELACOR.CORE.SENSOR_NAME=" + std::string(30, 'x') + "\n", n);
    EXPECT_EQ(n.sensorName, std::string(20, 'x'));
}

TEST(RawHeader, StopRulesAndRepeats) {
    const std::string text =
        "%VELACOR.CHEMISTRY.TYPE=1\n%VELACOR.HEADER_START\n"
        "%VELACOR.CHEMISTRY.TYPE=2\n%VELACOR.HEADER_END\n"
        "%VELACOR.CHEMISTRY.TYPE=3\n%Counter\n%VELACOR.CHEMISTRY.TYPE=4\n";
    NutrientHeader n;
    TaHeader t;
    DicHeader d;
    PhHeader p;
    EXPECT_TRUE(Read(ReadNutrientHeader, text, n));
    EXPECT_TRUE(Read(ReadTaHeader, text, t));
    EXPECT_TRUE(Read(ReadDicHeader, text, d));
    EXPECT_TRUE(Read(ReadPhHeader, text, p));
    EXPECT_EQ(n.chemistryType, 2);
    EXPECT_EQ(t.chemistryType, 2);
    EXPECT_EQ(d.chemistryType, 2);
    EXPECT_EQ(p.chemistryType, 4);  // pH reads on to the end; the last value wins

    // "%Counter" alone stops too, and a start line after the stop is never seen.
    EXPECT_FALSE(Read(ReadNutrientHeader, "%Counter,State\n%VELACOR.HEADER_START\n", n));
    EXPECT_TRUE(Read(ReadPhHeader, "%Counter,State\n%VELACOR.HEADER_START\n", p));
}

// ---- Lines, rows and the end of the file -------------------------------------------------

std::vector<std::string> Pieces(const std::string& text) {
    MemorySource source(text);
    RawFile file(source);
    std::vector<std::string> out;
    std::string_view line;
    while (file.NextLine(line) == LineResult::Line)
        out.emplace_back(line);
    return out;
}

TEST(RawFileLines, LongLinesAreReadInPiecesOf199Bytes) {
    EXPECT_EQ(Pieces(std::string(250, 'a') + "\nb"),
              (std::vector<std::string>{std::string(199, 'a'), std::string(51, 'a'), "b"}));
    EXPECT_EQ(Pieces(std::string(198, 'a') + "\n"),
              (std::vector<std::string>{std::string(198, 'a')}));
    EXPECT_EQ(Pieces(std::string(199, 'a') + "\n"),
              (std::vector<std::string>{std::string(199, 'a'), ""}));
    EXPECT_EQ(Pieces(std::string("a\0b\n\nc", 7)), (std::vector<std::string>{"a", "", "c"}));
}

std::vector<RawRecord> Rows(const std::string& text, RowRule rule, RowsResult* result = nullptr) {
    MemorySource source(text);
    RawFile file(source);
    std::vector<RawRecord> rows;
    const RowsResult r = ReadRows(file, rule, [&](const RawRecord& rec) { rows.push_back(rec); });
    if (result)
        *result = r;
    return rows;
}

TEST(RawFileRows, RowsAcrossBlocksThenEndOfFileMarker) {
    std::string text = "%VELACOR.HEADER_START\n%VELACOR.HEADER_END\n%Counter,State\n";
    const int count = 3000;  // well beyond one 64 KiB block
    for (int i = 0; i < count; ++i)
        text += std::to_string(i) +
                ",5,0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,21.5,12.25,1,2,1700000000,"
                "35.0,4.0,6.0,10.0,1700000000\n";
    ASSERT_GT(text.size(), 2 * RawFile::BLOCK_SIZE);
    text += "%comment between rows\n" + std::string(250, '1') + "\n1,2,3\n";
    const std::vector<RawRecord> rows = Rows(text, RowRule::Nutrient);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(count + 1));
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(rows[static_cast<std::size_t>(i)].counter, static_cast<std::uint32_t>(i));
    EXPECT_EQ(rows.back().state, END_OF_FILE_STATE);
    EXPECT_TRUE(Same(rows.back(), EndOfFileRecord()));
}

TEST(RawFileRows, TruncatedFileKeepsCompleteRowsAndEnds) {
    const std::string full =
        "1,5,1,2,3,4,5,6,7,8,9,10,11,12,13\n2,5,1,2,3,4,5,6,7,8,9,10,11,12,13\n";
    RowsResult result;
    // Cut inside the second row: its remains fail to match, the marker still closes the file.
    std::vector<RawRecord> rows = Rows(full.substr(0, full.size() - 8), RowRule::Ta, &result);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].counter, 1u);
    EXPECT_EQ(rows[1].state, END_OF_FILE_STATE);
    EXPECT_FALSE(result.readError);
    EXPECT_EQ(result.rowsAccepted, 1u);
    // Cut just before the last line feed: the last row is complete and counts.
    EXPECT_EQ(Rows(full.substr(0, full.size() - 1), RowRule::Ta).size(), 3u);
    // A file cut inside its header has no rows, only the marker.
    rows = Rows("%VELACOR.HEADER_START\n%VELACOR.CHEM", RowRule::Dic);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].state, END_OF_FILE_STATE);
}

// Hands out `good` bytes, then fails.
class FailingSource final : public ByteSource {
  public:
    explicit FailingSource(std::string good) : m_good(std::move(good)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, m_good.size() - m_pos);
        std::memcpy(buffer, m_good.data() + m_pos, n);
        m_pos += n;
        m_failed = n == 0;
        return n;
    }
    bool Failed() const override { return m_failed; }
    bool Rewind() override {
        m_pos = 0;
        m_failed = false;
        return true;
    }

  private:
    std::string m_good;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

TEST(RawFileRows, ReadErrorKeepsEarlierRowsAndSendsNoMarker) {
    FailingSource source("1,5,1,2,3,4,5,6,7,8,9,10,11,12,13\n2,5,1,2,3");
    RawFile file(source);
    std::vector<RawRecord> rows;
    const RowsResult result =
        ReadRows(file, RowRule::Dic, [&](const RawRecord& r) { rows.push_back(r); });
    EXPECT_TRUE(result.readError);
    ASSERT_EQ(rows.size(), 1u);  // the partial piece before the error is dropped, no marker
    EXPECT_EQ(rows[0].counter, 1u);

    // A folder is not a raw file: it does not open (it would read as a file without header).
    EXPECT_FALSE(FileSource(std::filesystem::temp_directory_path().string()).IsOpen());

    EXPECT_EQ(ReadErrorMessage(RowRule::Nutrient).title, "Process Raw Nutrient Output");
    EXPECT_EQ(ReadErrorMessage(RowRule::Dic).title, "Process Raw DIC Output");
    EXPECT_EQ(ReadErrorMessage(RowRule::Dic).text, "I/O error reading input file");
}

}  // namespace
}  // namespace velacor::processing
