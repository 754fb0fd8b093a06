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
#include <string>
#include <vector>

#include "base/record_fields.h"

namespace velacor::processing {
namespace {

// Bit-for-bit equality, so that NaN, -0 and the last bit of a rounding all count.
bool Same(const RawRecord& a, const RawRecord& b) {
    for (int c = 0; c < 8; ++c)
        if (std::bit_cast<std::uint64_t>(a.channel[c]) !=
            std::bit_cast<std::uint64_t>(b.channel[c]))
            return false;
    const double da[] = {a.platformSalinity, a.platformTemperature, a.platformOxygen,
                         a.platformDepth};
    const double db[] = {b.platformSalinity, b.platformTemperature, b.platformOxygen,
                         b.platformDepth};
    for (int i = 0; i < 4; ++i)
        if (std::bit_cast<std::uint64_t>(da[i]) != std::bit_cast<std::uint64_t>(db[i]))
            return false;
    return a.counter == b.counter && a.state == b.state && a.sensorTime == b.sensorTime &&
           a.platformTime == b.platformTime;
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

std::vector<std::string> PlainFields(int count) {
    std::vector<std::string> f;
    for (int i = 0; i < count; ++i)
        f.push_back(std::to_string(i * 7 + 1) + (i >= 2 && i < 12 ? ".25" : ""));
    return f;
}

TEST(RawRowParser, TrickyNumbersInEveryFieldMatchSscanf) {
    for (const char* number : TRICKY_NUMBERS)
        for (int field = 0; field < ROW_FIELDS_LONG; ++field) {
            std::vector<std::string> f = PlainFields(ROW_FIELDS_LONG);
            f[static_cast<std::size_t>(field)] = number;
            ExpectSameAsSscanf(Row(f));
        }
}

std::string RandomNumber(std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(0, 9);
    std::string s;
    switch (pick(rng)) {
        case 0:
            return std::to_string(rng());
        case 1:
            return std::to_string(static_cast<int>(rng()) % 1000);
        case 2:
            return TRICKY_NUMBERS[rng() % std::size(TRICKY_NUMBERS)];
        case 3: {
            char b[64];
            std::snprintf(
                b, sizeof b, "%.17g",
                std::ldexp(static_cast<double>(rng()), static_cast<int>(rng() % 2100) - 1100));
            return b;
        }
        case 4: {
            char b[64];
            std::snprintf(
                b, sizeof b, "%a",
                std::ldexp(static_cast<double>(rng()), static_cast<int>(rng() % 200) - 100));
            return b;
        }
        default: {
            char b[64];
            std::snprintf(b, sizeof b, "%.*f", pick(rng), (static_cast<double>(rng()) - 2e9) / 1e5);
            return b;
        }
    }
}

void Mutate(std::string& row, std::mt19937& rng) {
    static const char ALPHABET[] = "0123456789+-., eExXpPiInNaA\t\n\x01\x7f\x80\xb9\xba\xff";
    const std::size_t at = row.empty() ? 0 : rng() % row.size();
    switch (rng() % 8) {
        case 0:
            if (!row.empty())
                row[at] = static_cast<char>('0' + rng() % 10);
            break;
        case 1:
            row.insert(at, 1, (rng() & 1) ? '-' : '+');
            break;
        case 2:
            row.insert(at, 1, ' ');
            break;
        case 3:
            row.resize(at);
            break;
        case 4:
            row += "," + std::to_string(rng());
            break;
        case 5:
            row.insert(at, (rng() & 1) ? "e" : "e-3");
            break;
        case 6:
            row.insert(at, std::string(1 + rng() % 60, static_cast<char>('0' + rng() % 10)));
            break;
        default:
            row.insert(at, 1, ALPHABET[rng() % (sizeof ALPHABET - 1)]);
            break;
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

TEST(RawRowParser, ScannersConsumeWhatScanfWouldLeave) {
    std::string_view t = " 1e+,x";
    EXPECT_EQ(ScanDouble(t), 1.0);
    EXPECT_EQ(t, ",x");
    t = "-1";
    EXPECT_EQ(ScanUnsigned(t), 4294967295u);
    t = "+";
    EXPECT_FALSE(ScanUnsigned(t));
    t = "infi";
    EXPECT_FALSE(ScanDouble(t));
}

// ---- Row rules ---------------------------------------------------------------------------

TEST(RawRowRules, FieldCountsAcceptedPerChemistry) {
    const std::string twenty =
        "7,300,1,2,3,4,5,6,7,8,20.5,12.1,10,11,1700000000,35.1,4.5,6.25,100,1700000001";
    const std::string fifteen = "7,3,1,2,3,4,5,6,7,8,20.5,12.1,10,11,1700000000";
    const std::string nineteen = twenty.substr(0, twenty.rfind(','));
    struct Case {
        const std::string* row;
        RowRule rule;
        bool accepted;
    };
    const Case cases[] = {
        {&twenty, RowRule::Nutrient, true},    {&twenty, RowRule::Ph, true},
        {&twenty, RowRule::Ta, true},          {&twenty, RowRule::Dic, true},
        {&fifteen, RowRule::Nutrient, true},   {&fifteen, RowRule::Ph, false},
        {&fifteen, RowRule::Ta, true},         {&fifteen, RowRule::Dic, true},
        {&nineteen, RowRule::Nutrient, false}, {&nineteen, RowRule::Ph, false},
        {&nineteen, RowRule::Ta, true},
    };
    for (const Case& c : cases) {
        RawRecord r;
        EXPECT_EQ(AcceptRow(*c.row, c.rule, r), c.accepted)
            << *c.row << " rule " << static_cast<int>(c.rule);
    }
    RawRecord r;
    ASSERT_TRUE(AcceptRow(twenty, RowRule::Nutrient, r));
    EXPECT_EQ(r.state, 44);  // 300 keeps its low 8 bits
    EXPECT_EQ(r.channel[7], 8.0);
    EXPECT_EQ(r.sensorTime, 1700000000u);
    EXPECT_EQ(r.platformOxygen, 6.25);
    EXPECT_EQ(r.platformTime, 1700000001u);
    ASSERT_TRUE(AcceptRow(fifteen, RowRule::Nutrient, r));
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

using Changes = std::map<std::string, double>;

// The record fields, by name, that one key line changes against a header without keys.
template <class H>
Changes Changed(bool (*reader)(RawFile&, H&), const std::string& line) {
    H plain;
    H header;
    Read(reader, "%VELACOR.HEADER_START\n", plain);
    Read(reader, "%VELACOR.HEADER_START\n" + line + "\n", header);
    Changes before;
    Changes changed;
    base::VisitFields(plain.params, [&](const base::FieldInfo& f, auto v) {
        before[f.name] = static_cast<double>(v);
    });
    base::VisitFields(header.params, [&](const base::FieldInfo& f, auto v) {
        if (static_cast<double>(v) != before[f.name])
            changed[f.name] = static_cast<double>(v);
    });
    return changed;
}

struct KeyField {
    const char* key;    // with "=value", or alone for 7 (2.5 for a real field)
    const char* field;  // nullptr: the key changes nothing
    double value = 0;   // with "=value" in the key
};

// Each key sets its own field and no other.
template <class H>
void ExpectKeyFields(bool (*reader)(RawFile&, H&), std::initializer_list<KeyField> keys) {
    const auto fields = base::FieldList<decltype(H{}.params)>();
    for (const KeyField& k : keys) {
        const bool real = std::any_of(fields.begin(), fields.end(), [&](const base::FieldInfo& f) {
            return k.field && f.name == k.field && f.kind == base::FieldKind::Float;
        });
        const bool valued = std::string_view(k.key).find('=') != std::string_view::npos;
        const std::string line = std::string("%VELACOR.CHEMISTRY.") + k.key +
                                 (valued ? ""
                                  : real ? "=2.5"
                                         : "=7");
        const double value = valued ? k.value : real ? 2.5 : 7;
        EXPECT_EQ(Changed(reader, line), (k.field ? Changes{{k.field, value}} : Changes{})) << line;
    }
}

TEST(RawHeader, EachKeySetsItsField) {
    ExpectKeyFields(
        ReadNutrientHeader,
        {{"SENSOR_VERSION", "sensorVersion"},
         {"MEASUREMENT_CHANNEL_LONG", "measureChannel[0]"},
         {"MEASUREMENT_CHANNEL_MEDIUM", "measureChannel[1]"},
         {"MEASUREMENT_CHANNEL_SHORT", "measureChannel[2]"},
         {"MONITORING_CHANNEL_LONG", "monitorChannel[0]"},
         {"MONITORING_CHANNEL_MEDIUM", "monitorChannel[1]"},
         {"MONITORING_CHANNEL_SHORT", "monitorChannel[2]"},
         {"OUTPUT_CHANNEL_SELECTION", "outputChannel"},
         {"SAMPLE_INTAKE_STATE", "sampleIntakeState"},
         {"SAMPLE_MEASUREMENT_STATE", "sampleMeasureState"},
         {"BLANK_MEASUREMENT_STATE", "blankMeasureState"},
         {"STANDARD1_MEASUREMENT_STATE", "standard1State"},
         {"STANDARD2_MEASUREMENT_STATE", "standard2State"},
         {"STANDARD_ADJUSTMENT", "standardAdjustment"},
         {"PROCESSING_TRIGGER", "processingTrigger"},
         {"ENABLE_OPTICAL_CORRECTION", "opticalCorrection"},
         {"OC_SAMPLE_MEASUREMENT_STATE", "opticalCorrSampleState"},
         {"OC_BLANK_MEASUREMENT_STATE", "opticalCorrBlankState"},
         {"SAMPLE_PARAM_P1", "sampleParam[0]"},
         {"SAMPLE_PARAM_P2", "sampleParam[1]"},
         {"SAMPLE_PARAM_P3", "sampleParam[2]"},
         {"INPUT_CHANNEL", nullptr},
         {"DRIFT_MONITORING_CHANNEL", nullptr},
         // Values as sscanf reads them and the record keeps them; a later line wins.
         {"SAMPLE_INTAKE_STATE=300", "sampleIntakeState", 44},
         {"STANDARD1_CONCENTRATION=1.2349", "standard1Conc", 1234},
         {"STANDARD2_CONCENTRATION=20", "standard2Conc", 20000},
         {"STANDARD2_CONCENTRATION=1e30", "standard2Conc", 4294967295.0},
         {"STANDARD2_CONCENTRATION=20\n%VELACOR.CHEMISTRY.STANDARD2_CONCENTRATION=-5", nullptr},
         {"STANDARD2_CONCENTRATION=20\n%VELACOR.CHEMISTRY.STANDARD2_CONCENTRATION=nan", nullptr}});
    ExpectKeyFields(ReadPhHeader, {{"SENSOR_VERSION", "sensorVersion"},
                                   {"SAMPLE_INTAKE_STATE", "sampleIntakeState"},
                                   {"SAMPLE_MEASUREMENT_STATE", "sampleMeasureState"},
                                   {"INPUT_CHANNEL_434", "inputChannelBlue"},
                                   {"INPUT_CHANNEL_578", "inputChannelYellow"},
                                   {"BLANK_START_OFFSET", "blankStartOffsetS"},
                                   {"BLANK_END_OFFSET", "blankEndOffsetS"},
                                   {"ABSORBANCE_MIN_434", "absorbanceMinBlue"},
                                   {"ABSORBANCE_MAX_578", "absorbanceMaxYellow"},
                                   {"DPH_BY_DT", "dpHdT"},
                                   {"R_ADJUSTMENT_SCALE", "rAdjustScale"},
                                   {"R_ADJUSTMENT_OFFSET", "rAdjustOffset"},
                                   {"T1_ADJUSTMENT_SCALE", "thermistor1Scale"},
                                   {"T2_ADJUSTMENT_SCALE", "thermistor2Scale"},
                                   {"BLANK_START_OFFSET=65537", "blankStartOffsetS", 1}});
    ExpectKeyFields(ReadTaHeader, {{"SENSOR_VERSION", "sensorVersion"},
                                   {"SAMPLE_INTAKE_STATE", "sampleIntakeState"},
                                   {"PROCESSING_TRIGGER", "processingTrigger"},
                                   {"MEASUREMENT_CHANNEL", "measureChannel"},
                                   {"MONITORING_CHANNEL_LED1", "monitorChannelLed1"},
                                   {"MONITORING_CHANNEL_LED2", "monitorChannelLed2"},
                                   {"BLANK_MEASUREMENT_STATE_LED1", "blankMeasureStateLed1"},
                                   {"BLANK_MEASUREMENT_STATE_LED2", "blankMeasureStateLed2"},
                                   {"SAMPLE_MEASUREMENT_STATE_LED1", "sampleMeasureStateLed1"},
                                   {"SAMPLE_MEASUREMENT_STATE_LED2", "sampleMeasureStateLed2"},
                                   {"CT", "temperatureCoefficient"},
                                   {"ACID_MOLARITY", "titrantMolarity"},
                                   {"pKa", "pKa"},
                                   {"PKA", nullptr},
                                   {"e1", "e1"},
                                   {"e2", "e2"},
                                   {"e3", "e3"},
                                   {"SAMPLE_MEASUREMENT_STATE", nullptr}});  // a nutrient key
    ExpectKeyFields(ReadDicHeader, {{"SENSOR_VERSION", "sensorVersion"},
                                    {"INLET.0.TYPE", "inlet[0].type"},
                                    {"INLET.2.INTAKE_STATE", "inlet[2].intakeState"},
                                    {"INLET. 1.MEASUREMENT_STATE", "inlet[1].measureState"},
                                    {"INLET.1.CRM_VALUE", "inlet[1].crmValue"},
                                    {"INLET.4294967296.TYPE", "inlet[0].type"},
                                    // Recognised and dropped: nothing outside the three inlets.
                                    {"INLET.3.TYPE", nullptr},
                                    {"INLET.-1.CRM_VALUE", nullptr}});
}

template <class H>
struct KeyCase {
    const char* line;
    double expected;
    double (*get)(const H&);
};

template <class H>
void ExpectKeys(bool (*reader)(RawFile&, H&), std::initializer_list<KeyCase<H>> cases) {
    for (const KeyCase<H>& c : cases) {
        H header;
        Read(reader, "%VELACOR.HEADER_START\n" + std::string(c.line) + "\n", header);
        EXPECT_EQ(c.get(header), c.expected) << c.line;
    }
}

#define GET(H, expr) [](const H& h) -> double { return static_cast<double>(h.expr); }

TEST(RawHeader, ValuesAsTheKeysConvertThem) {
    using N = NutrientHeader;
    ExpectKeys<N>(ReadNutrientHeader,
                  {
                      {"%VELACOR.CHEMISTRY.TYPE=3", 3, GET(N, chemistryType)},
                      {"  %VELACOR.CHEMISTRY.TYPE= 5", 5, GET(N, chemistryType)},  // as sscanf
                      {"%VELACOR.CHEMISTRY.TYPE=x5", 0, GET(N, chemistryType)},
                      {"%velacor.chemistry.type=5", 0, GET(N, chemistryType)},
                  });
    using P = PhHeader;
    ExpectKeys<P>(
        ReadPhHeader,
        {
            {"%VELACOR.CHEMISTRY.TYPE=6", 6, GET(P, chemistryType)},
            {"%VELACOR.CHEMISTRY.SAMPLE_INTERVAL=4294967295", 4294967295.0,
             GET(P, sampleIntervalMs)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_INPUT_CHANNEL.0=6", 6,
             GET(P, thermistor[0].inputChannel)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_A.0=1.5", 1.5, GET(P, thermistor[0].calA)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_B.0=2.5", 2.5, GET(P, thermistor[0].calB)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_C.0=3.5", 3.5, GET(P, thermistor[0].calC)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_D.0=4.5", 4.5, GET(P, thermistor[0].calD)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_INPUT_CHANNEL.1=7", 7,
             GET(P, thermistor[1].inputChannel)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_A.1=-1.5", -1.5, GET(P, thermistor[1].calA)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_D.1=8", 8, GET(P, thermistor[1].calD)},
        });
    using T = TaHeader;
    ExpectKeys<T>(ReadTaHeader, {
                                    {"%VELACOR.CHEMISTRY.TYPE=7", 7, GET(T, chemistryType)},
                                    {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_C.1=0.5", 0.5,
                                     GET(T, thermistor[1].calC)},
                                });
    using D = DicHeader;
    ExpectKeys<D>(
        ReadDicHeader,
        {
            {"%VELACOR.CHEMISTRY.TYPE=8", 8, GET(D, chemistryType)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_INPUT_CHANNEL.0=3", 3, GET(D, thermistor.inputChannel)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_B.0=2", 2, GET(D, thermistor.calB)},
            {"%VELACOR.CHEMISTRY.THERMISTOR_CAL_B.1=2", 0, GET(D, thermistor.calB)},
        });
}

#undef GET

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

    TaHeader t;
    EXPECT_TRUE(Read(ReadTaHeader, "%VELACOR.HEADER_START\n", t));
    EXPECT_EQ(t.chemistryType, 0);
    DicHeader d;
    EXPECT_FALSE(Read(ReadDicHeader, "", d));
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

TEST(RawHeader, SensorName) {
    NutrientHeader n;
    Read(ReadNutrientHeader, "%VELACOR.HEADER_START\n%VELACOR.CORE.SENSOR_NAME=Reef 7, north=2\r\n",
         n);
    EXPECT_EQ(n.sensorName, "Reef 7, north=2");
    Read(ReadNutrientHeader, "%VELACOR.CORE.SENSOR_NAME=\n", n);
    EXPECT_EQ(n.sensorName, "");
    // A name is cut to 20 characters.
    Read(ReadNutrientHeader, "%VELACOR.CORE.SENSOR_NAME=" + std::string(30, 'x') + "\n", n);
    EXPECT_EQ(n.sensorName, std::string(20, 'x'));
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
    EXPECT_EQ(EndOfFileRecord().counter, 0u);
    EXPECT_EQ(EndOfFileRecord().channel[0], 0.0);
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
    rows = Rows(full.substr(0, full.size() - 1), RowRule::Ta);
    EXPECT_EQ(rows.size(), 3u);
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
    EXPECT_EQ(ReadErrorMessage(RowRule::Ta).title, "Process Raw TA Output");
    EXPECT_EQ(ReadErrorMessage(RowRule::Dic).title, "Process Raw DIC Output");
    EXPECT_EQ(ReadErrorMessage(RowRule::Dic).text, "I/O error reading input file");
}

}  // namespace
}  // namespace velacor::processing
