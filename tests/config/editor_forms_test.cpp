// The editors' forms and rules without widgets, and their load and save sequences against the
// virtual sensor.
#include <gtest/gtest.h>

#include "base/byte_io.h"
#include "config/chemistry_editor.h"
#include "config/choice_lists.h"
#include "config/start_states.h"
#include "config/telemetry_editor.h"
#include "config/thermistors.h"
#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "protocol/chemistry_commands.h"
#include "protocol/command_codes.h"

namespace velacor::config {
namespace {

using namespace velacor::protocol;

int IndexOf(base::ValueTable table, int code) {
    return base::IndexOfCode(table, code);
}

TEST(ChemistryPages, SampleIntervalsAreClampedExceptOnTheNutrientPage) {
    for (const auto& [typed, stored] : {std::pair{"50", 100u}, {"5000", 1000u}, {"250", 250u}}) {
        ChemistryConfig generic;
        GenericProcessing record;
        GenericPageForm form;
        form.sampleInterval = typed;
        ReadGenericPage(form, generic, record);
        EXPECT_EQ(generic.sampleIntervalMs, stored) << typed;

        ChemistryConfig ph;
        PhPageForm phForm;
        phForm.sampleInterval = typed;
        phForm.multiplexer = 1;
        ReadPhPageConfig(phForm, ph);
        EXPECT_EQ(ph.sampleIntervalMs, stored) << typed;
        EXPECT_EQ(ph.multiplexer, 1);
    }
    ChemistryConfig nutrient;
    nutrient.sampleIntervalMs = 250;
    nutrient.multiplexer = 1;
    ReadNutrientPageConfig(CHEMISTRY_IRON, nutrient);
    EXPECT_EQ(nutrient.sampleIntervalMs, 1000u);
    EXPECT_EQ(nutrient.multiplexer, 0);
    EXPECT_EQ(nutrient.chemistryType, CHEMISTRY_IRON);
}

TEST(ChemistryPages, NutrientFieldsReadWithTheirRulesAndKeepTheTelemetryBytes) {
    NutrientProcessing loaded = DefaultNutrientProcessing();
    loaded.sampleParam = {9, 5, 22};
    NutrientPageForm form = ShowNutrientPage(loaded, CHEMISTRY_NITRATE);
    EXPECT_EQ(form.dilution, "1:1.500");
    form.intakeState = "300";
    form.standard1Conc = "12.3456";
    form.output = IndexOf(OUTPUTS, PATH_MEDIUM);
    form.monitor[PATH_MEDIUM] = IndexOf(MONITOR_CHANNELS, CHANNEL_NONE);
    NutrientProcessing read = loaded;
    ReadNutrientPage(form, read);
    EXPECT_EQ(read.sampleIntakeState, 254);
    EXPECT_EQ(read.standard1Conc, 12345u);
    EXPECT_EQ(ShowNutrientPage(read, CHEMISTRY_NITRATE).standard1Conc, "12.345");
    EXPECT_EQ(read.outputHasMonitor, 0);
    EXPECT_EQ(read.outputMonitorChannel, CHANNEL_NONE);
    EXPECT_EQ(read.recordForm, 2);
    EXPECT_EQ(read.sampleParam, loaded.sampleParam);

    form.monitor[PATH_MEDIUM] = IndexOf(MONITOR_CHANNELS, 5);
    ReadNutrientPage(form, read);
    EXPECT_EQ(read.outputHasMonitor, 1);
    EXPECT_EQ(read.outputMonitorChannel, 5);
    form.output = IndexOf(OUTPUTS, OUTPUT_ADAPTIVE);  // Adaptive has no monitoring channel
    ReadNutrientPage(form, read);
    EXPECT_EQ(read.outputChannel, OUTPUT_ADAPTIVE);
    EXPECT_EQ(read.outputHasMonitor, 0);
    EXPECT_EQ(read.outputMonitorChannel, CHANNEL_NONE);
}

TEST(ChemistryPages, ShowingAndReadingBackChangesNothing) {
    // Thousandths that binary arithmetic cannot hold exactly (1.005 x 1000 is 1004.99...).
    for (const std::uint32_t conc : {1005u, 4095u, 8191u, 12345u, 999999u, 4294967295u}) {
        NutrientProcessing shown = DefaultNutrientProcessing();
        shown.recordForm = 2;
        shown.standard1Conc = conc;
        shown.standard2Conc = conc + 1;
        shown.outputChannel = PATH_SHORT;
        shown.monitorChannel = {4, CHANNEL_NONE, 6};
        shown.outputHasMonitor = 1;
        shown.outputMonitorChannel = 6;
        shown.blankMeasureState = 254;
        shown.sampleParam = {1, 5, 9};
        NutrientProcessing read = shown;
        ReadNutrientPage(ShowNutrientPage(shown, CHEMISTRY_SILICATE), read);
        EXPECT_EQ(base::Encode(read), base::Encode(shown)) << conc;
    }
    PhProcessing ph = DefaultPhProcessing();
    ph.blankStartOffsetS = 65535;
    ph.dpHdT = -0.0158249997f;
    PhProcessing phRead = ph;
    ReadPhPage(ShowPhPage(ph, 500, 1), phRead);
    EXPECT_EQ(base::Encode(phRead), base::Encode(ph));
}

TEST(ChemistryPages, StoredCodesMissingFromAListShowItsFirstItem) {
    NutrientProcessing odd = DefaultNutrientProcessing();
    odd.outputChannel = 3;
    odd.measureChannel[0] = 9;
    odd.standardAdjustment = 7;
    const NutrientPageForm form = ShowNutrientPage(odd, CHEMISTRY_NITRATE);
    EXPECT_EQ(form.output, 0);  // "Medium"
    EXPECT_EQ(form.measure[0], 0);
    EXPECT_EQ(form.adjustment, 0);
    NutrientProcessing read;
    ReadNutrientPage(form, read);
    EXPECT_EQ(read.outputChannel, PATH_MEDIUM);

    TelemetryLoad load;
    load.blocks.nutrient.sampleParam = {0, 22, 200};
    const TelemetryForm telemetry = ShowTelemetry(load);
    EXPECT_EQ(telemetry.parameter, (std::array<int, 3>{0, 9, 0}));
}

TEST(ChemistryPages, NutrientEnablingOverEveryAdjustmentAndTrigger) {
    // adjustment, trigger -> standard 1 state, standard 2 state, standard 1 conc, standard 2 conc
    struct Case {
        int adjustment, trigger;
        bool s1, s2, c1, c2;
    };
    const Case cases[] = {
        {0, 0, true, false, true, false}, {0, 1, true, true, true, false},
        {0, 2, true, false, true, false}, {0, 3, true, false, true, false},
        {1, 0, true, true, false, true},  {1, 1, false, true, false, true},
        {1, 2, false, true, false, true}, {1, 3, false, true, false, true},
        {2, 0, true, true, true, true},   {2, 1, true, true, true, true},
        {2, 2, true, true, true, true},   {2, 3, true, true, true, true},
    };
    for (const Case& c : cases) {
        NutrientPageForm form;
        form.adjustment = IndexOf(ADJUSTMENTS, c.adjustment);
        form.trigger = IndexOf(TRIGGERS, c.trigger);
        const NutrientPageEnabling e = NutrientPageEnablingOf(form);
        EXPECT_EQ(e.standard1State, c.s1) << c.adjustment << "," << c.trigger;
        EXPECT_EQ(e.standard2State, c.s2) << c.adjustment << "," << c.trigger;
        EXPECT_EQ(e.standard1Conc, c.c1) << c.adjustment << "," << c.trigger;
        EXPECT_EQ(e.standard2Conc, c.c2) << c.adjustment << "," << c.trigger;
        EXPECT_FALSE(e.opticalCorrection);
        form.opticalCorrection = true;
        EXPECT_TRUE(NutrientPageEnablingOf(form).opticalCorrection);
        form.configure = false;  // an unticked Configure box greys everything
        const NutrientPageEnabling off = NutrientPageEnablingOf(form);
        EXPECT_FALSE(off.page || off.standard1State || off.standard2State || off.standard1Conc ||
                     off.standard2Conc || off.opticalCorrection);
    }
}

TEST(ChemistryPages, TheGenericRecordIsClearedThenFilled) {
    GenericPageForm generic =
        ShowGenericPage(DefaultPageConfig(GenericPage()), DefaultGenericProcessing());
    generic.scale[3] = "abc";
    generic.offset[7] = "-1.5";
    ChemistryConfig config;
    GenericProcessing record;
    record.recordForm = 5;
    ReadGenericPage(generic, config, record);
    EXPECT_EQ(record.recordForm, 0);  // cleared before it is filled
    EXPECT_EQ(record.scale[3], 0.0f);
    EXPECT_EQ(record.scale[2], 1.0f);
    EXPECT_EQ(record.offset[7], -1.5f);
}

TEST(StartStatesForm, TheAutostartToggleAndTheSaveRules) {
    ChemistryConfig config;
    config.autoDeployStart = 12;
    config.special4To9Start[5] = 3;
    StartStatesForm form = ShowStartStates(config);
    EXPECT_TRUE(form.enabled[0]);
    EXPECT_EQ(form.state[0], "12");
    EXPECT_FALSE(form.enabled[1]);
    EXPECT_EQ(form.state[1], "0");
    EXPECT_EQ(form.state[13], "3");  // Special9, the last row

    form.enabled[1] = true;
    form.state[1] = "300";
    form.enabled[13] = false;
    ChemistryConfig saved = config;
    ReadStartStates(form, saved);
    EXPECT_EQ(saved.manualDeployStart, 254);
    EXPECT_EQ(saved.special4To9Start[5], STATE_NONE);
    EXPECT_EQ(saved.autoDeployStart, 12);

    form.enabled[2] = true;
    form.state[2] = "10";
    form.state[1] = "9";
    const auto marking = StartStatesMarkingOf(form, 9u);  // a ten-state machine
    EXPECT_TRUE(marking.red[2]);
    EXPECT_FALSE(marking.red[1]);
    EXPECT_FALSE(marking.red[13]);
    EXPECT_FALSE(marking.numberEnabled[13]);
    EXPECT_FALSE(StartStatesMarkingOf(form, std::nullopt).red[2]);  // count unknown: no red
}

TEST(ThermistorsForm, TextThatIsNoNumberSavesZero) {
    Thermistors records{};
    records[1].inputChannel = 9;  // not in the list: shows "0"
    records[1].coeffV1 = 1.25f;
    records[2].coeffV0 = 0.000004f;  // shows as "0.00000"
    ThermistorsForm form = ShowThermistors(records);
    EXPECT_EQ(form[1].channel, 0);
    EXPECT_EQ(form[1].coeff[2], "1.25000");
    form[1].coeff[0] = "abc";
    form[2].channel = 7;
    const Thermistors read = ReadThermistors(form, records);
    EXPECT_EQ(read[1].coeffV3, 0.0f);
    EXPECT_EQ(read[1].coeffV1, 1.25f);
    EXPECT_EQ(read[2].inputChannel, 7);
    EXPECT_EQ(read[2].coeffV0, 0.000004f);  // untouched: not rounded to what was shown
}

// ---- Against the virtual sensor

class EditorSequences : public ::testing::Test {
  protected:
    void Plug(std::uint8_t chemistry, bool legacy = false) {
        emulator::SensorOptions options;
        options.chemistry = chemistry;
        options.legacy = legacy;
        m_sensor = std::make_shared<emulator::VirtualSensor>(options);
        ASSERT_EQ(m_link.OpenSensor(m_platform.AddSensor(m_sensor), 500), 0);
    }
    ChemistryConfig Stored() const {
        return base::Decode<ChemistryConfig>(m_sensor->Block(CMD_READ_CHEMISTRY));
    }

    emulator::VirtualHidPlatform m_platform;
    link::SensorLink m_link{m_platform};
    std::shared_ptr<emulator::VirtualSensor> m_sensor;
};

TEST_F(EditorSequences, TelemetrySaveRewritesTheChemistryWithItsStartStatesAndOneSecond) {
    Plug(CHEMISTRY_PHOSPHATE);
    ChemistryConfig odd = Stored();
    odd.configByte0 = 7;
    odd.sampleIntervalMs = 250;
    odd.special4To9Start[2] = 17;
    odd.configBytes14 = {1, 2, 3, 4};
    ASSERT_EQ(WriteChemistryConfig(m_link, odd), STATUS_OK);

    TelemetryLoad load = LoadTelemetry(m_link);
    ASSERT_TRUE(load.open);
    EXPECT_FALSE(load.message);
    TelemetryForm form = ShowTelemetry(load);
    ASSERT_TRUE(form.available);
    form.parameter = {IndexOf(TELEMETRY_PARAMETERS, 4), IndexOf(TELEMETRY_PARAMETERS, 8),
                      IndexOf(TELEMETRY_PARAMETERS, 12)};
    ChemistryBlocks blocks = load.blocks;
    ReadTelemetry(form, blocks);
    const EditorSave save = SaveTelemetry(m_link, form, blocks);
    EXPECT_TRUE(save.saved);
    EXPECT_EQ(save.message, (EditorMessage{"Save", "Phosphate Processing configuration saved"}));

    ChemistryConfig expected = odd;
    expected.sampleIntervalMs = 1000;
    EXPECT_EQ(base::Encode(Stored()), base::Encode(expected));
    const auto p = base::Decode<NutrientProcessing>(m_sensor->Processing());
    EXPECT_EQ(p.sampleParam, (std::array<std::uint8_t, 3>{4, 8, 12}));
}

TEST_F(EditorSequences, ChemistriesWithoutAPageAndUnreadableSensors) {
    Plug(CHEMISTRY_TA);
    const TelemetryLoad telemetry = LoadTelemetry(m_link);
    ASSERT_TRUE(telemetry.open);
    EXPECT_EQ(telemetry.message->text,
              "Failed to load telemetry config: please see View/Compatibility");
    const TelemetryForm form = ShowTelemetry(telemetry);
    EXPECT_EQ(form.tabName, "TA");
    EXPECT_FALSE(TelemetrySaveEnabled(form));

    // A chemistry with a page whose record can't be read, and a sensor that can't be read.
    const EditorMessage failed{"Configure Chemistry", "Failed to load chemistry config"};
    ASSERT_EQ(WriteChemistryConfig(m_link, DefaultPageConfig(GenericPage())), STATUS_OK);
    m_sensor->InjectFault({CMD_READ_PROCESSING, emulator::FaultKind::Status, 1, 1});
    EXPECT_EQ(LoadChemistry(m_link).message, failed);
    m_sensor->InjectFault({CMD_READ_CHEMISTRY, emulator::FaultKind::Status, 1, 1});
    const ChemistryLoad unreadable = LoadChemistry(m_link);
    EXPECT_FALSE(unreadable.open);
    EXPECT_EQ(unreadable.message, failed);
}

TEST_F(EditorSequences, ChemistrySaveCarriesWhatThePageDoesNotShowAndFailsWhole) {
    Plug(CHEMISTRY_PH);
    ChemistryConfig odd = Stored();
    odd.configByte0 = 9;
    odd.configBytes14 = {5, 6, 7, 8};
    odd.special1To3Start = {3, STATE_NONE, 1};
    odd.loopedFlushStart = 2;
    ASSERT_EQ(WriteChemistryConfig(m_link, odd), STATUS_OK);
    ChemistryLoad load = LoadChemistry(m_link);
    ASSERT_TRUE(load.open);
    ChemistryForm form = ShowChemistry(*load.page, load.blocks);
    form.ph.sampleInterval = "400";
    ChemistryBlocks edited = load.blocks;
    ReadChemistry(form, edited);

    // A refused ChemistryConfig write leaves the processing record unwritten; a failed read
    // back fails the save too.
    const auto processing = m_sensor->Processing();
    m_sensor->InjectFault({CMD_WRITE_CHEMISTRY, emulator::FaultKind::Status, 1, 1});
    ChemistryBlocks attempt = edited;
    EXPECT_EQ(SaveChemistry(m_link, *load.page, attempt).message, SAVE_FAILED);
    EXPECT_EQ(m_sensor->Processing(), processing);
    m_sensor->InjectFault({CMD_READ_PROCESSING, emulator::FaultKind::Status, 1, 1});
    EXPECT_FALSE(SaveChemistry(m_link, *load.page, attempt).saved);

    const EditorSave save = SaveChemistry(m_link, *load.page, edited);
    EXPECT_EQ(save.message, (EditorMessage{"Save", "pH Processing configuration saved"}));
    ChemistryConfig expected = odd;
    expected.sampleIntervalMs = 400;
    EXPECT_EQ(base::Encode(Stored()), base::Encode(expected));
}

TEST_F(EditorSequences, TelemetryOnTheOlderNutrientFormWritesNothing) {
    Plug(CHEMISTRY_NITRATE, true);  // the 26-byte record: no room for P1..P3
    TelemetryLoad telemetry = LoadTelemetry(m_link);
    TelemetryForm telemetryForm = ShowTelemetry(telemetry);
    ASSERT_TRUE(telemetryForm.available);
    telemetryForm.parameter[0] = 9;
    ReadTelemetry(telemetryForm, telemetry.blocks);
    m_sensor->ClearRequests();
    EXPECT_EQ(SaveTelemetry(m_link, telemetryForm, telemetry.blocks).message, SAVE_FAILED);
    EXPECT_TRUE(m_sensor->Requests().empty());
}

TEST_F(EditorSequences, StartStatesCountTheSensorsProgramAndToggleAutostart) {
    Plug(CHEMISTRY_NITRATE);
    ChemistryConfig config = Stored();
    config.autoDeployStart = 12;
    ASSERT_EQ(WriteChemistryConfig(m_link, config), STATUS_OK);
    StartStatesLoad load = LoadStartStates(m_link, true);
    ASSERT_TRUE(load.open);
    EXPECT_EQ(load.lastState, m_sensor->StateMachine().size() - 1);
    EXPECT_FALSE(ShowStartStates(load.config).enabled[0]);
    ReadStartStates(ShowStartStates(load.config), load.config);
    EXPECT_FALSE(SaveStartStates(m_link, load.config));
    EXPECT_EQ(Stored().autoDeployStart, STATE_NONE);

    load = LoadStartStates(m_link, true);  // from 255: on at state 0
    EXPECT_TRUE(AutoDeployOn(load.config));
    const StartStatesForm form = ShowStartStates(load.config);
    EXPECT_TRUE(form.enabled[0]);
    EXPECT_EQ(form.state[0], "0");

    m_sensor->InjectFault({CMD_READ_CHEMISTRY, emulator::FaultKind::Status, 1, 1});
    EXPECT_EQ(LoadStartStates(m_link, false).message->text,
              "Unable to read State Machine Control States from sensor.");
    m_sensor->InjectFault({CMD_WRITE_CHEMISTRY, emulator::FaultKind::Status, 1, 1});
    EXPECT_EQ(SaveStartStates(m_link, load.config)->text,
              "Failed to write State Machine Control States from sensor.");
}

}  // namespace
}  // namespace velacor::config
