#include "config/chemistry_pages.h"

#include "base/number_text.h"
#include "config/choice_lists.h"
#include "config/field_rules.h"

namespace velacor::config {

namespace {

using namespace velacor::protocol;

constexpr ChemistryPage PAGES[] = {
    {CHEMISTRY_GENERIC, "Generic", PageKind::Generic},
    {CHEMISTRY_NITRATE, "Nitrate", PageKind::Nutrient},
    {CHEMISTRY_PHOSPHATE, "Phosphate", PageKind::Nutrient},
    {CHEMISTRY_SILICATE, "Silicate", PageKind::Nutrient},
    {CHEMISTRY_IRON, "Iron", PageKind::Nutrient},
    {CHEMISTRY_PH, "pH", PageKind::Ph},
};

std::uint8_t Code(base::ValueTable table, int index) {
    return static_cast<std::uint8_t>(base::CodeAtIndex(table, index));
}

}  // namespace

const ChemistryPage* FindChemistryPage(std::uint8_t chemistryType) {
    for (const ChemistryPage& page : PAGES) {
        if (page.code == chemistryType)
            return &page;
    }
    return nullptr;
}

const ChemistryPage& GenericPage() {
    return PAGES[0];
}

std::string ConfigureBoxText(std::uint8_t chemistryType) {
    const ChemistryPage* page = FindChemistryPage(chemistryType);
    const char* name = chemistryType == CHEMISTRY_NITRITE ? "Nitrite"
                       : page != nullptr                  ? page->tabName
                                                          : "Generic";
    return std::string("Configure Sensor For ") + name;
}

GenericPageForm ShowGenericPage(const ChemistryConfig& config, const GenericProcessing& record) {
    GenericPageForm form;
    form.sampleInterval = NumberText(config.sampleIntervalMs);
    form.intakeState = NumberText(record.sampleIntakeState);
    form.measureState = NumberText(record.sampleMeasureState);
    for (std::size_t i = 0; i < record.scale.size(); ++i) {
        form.scale[i] = SingleText(record.scale[i]);
        form.offset[i] = SingleText(record.offset[i]);
    }
    return form;
}

NutrientPageForm ShowNutrientPage(const NutrientProcessing& r, std::uint8_t chemistryType) {
    NutrientPageForm form;
    form.sensorVersion = base::IndexOfCode(SENSOR_VERSIONS, r.sensorVersion);
    for (std::size_t path = 0; path < 3; ++path) {
        form.measure[path] = base::IndexOfCode(INPUT_CHANNELS, r.measureChannel[path]);
        form.monitor[path] = base::IndexOfCode(MONITOR_CHANNELS, r.monitorChannel[path]);
    }
    form.output = base::IndexOfCode(OUTPUTS, r.outputChannel);
    form.intakeState = NumberText(r.sampleIntakeState);
    form.sampleState = NumberText(r.sampleMeasureState);
    form.blankState = NumberText(r.blankMeasureState);
    form.adjustment = base::IndexOfCode(ADJUSTMENTS, r.standardAdjustment);
    form.standard1State = NumberText(r.standard1State);
    form.standard2State = NumberText(r.standard2State);
    form.standard1Conc = ConcentrationText(r.standard1Conc);
    form.standard2Conc = ConcentrationText(r.standard2Conc);
    form.trigger = base::IndexOfCode(TRIGGERS, r.processingTrigger);
    form.opticalCorrection = r.opticalCorrection != 0;
    form.dilution = DilutionText(chemistryType);
    form.ocSampleState = NumberText(r.opticalCorrSampleState);
    form.ocBlankState = NumberText(r.opticalCorrBlankState);
    return form;
}

PhPageForm ShowPhPage(const PhProcessing& r, std::uint32_t sampleIntervalMs,
                      std::uint8_t multiplexer) {
    PhPageForm form;
    form.sampleInterval = NumberText(sampleIntervalMs);
    form.multiplexer = base::IndexOfCode(MULTIPLEXERS, multiplexer);
    form.sensorVersion = base::IndexOfCode(SENSOR_VERSIONS, r.sensorVersion);
    form.blueChannel = base::IndexOfCode(INPUT_CHANNELS, r.inputChannelBlue);
    form.yellowChannel = base::IndexOfCode(INPUT_CHANNELS, r.inputChannelYellow);
    form.intakeState = NumberText(r.sampleIntakeState);
    form.measureState = NumberText(r.sampleMeasureState);
    form.blankStart = NumberText(r.blankStartOffsetS);
    form.blankEnd = NumberText(r.blankEndOffsetS);
    form.absorbanceMinBlue = SingleText(r.absorbanceMinBlue);
    form.absorbanceMaxYellow = SingleText(r.absorbanceMaxYellow);
    form.dpHdT = SingleText(r.dpHdT);
    form.rScale = SingleText(r.rAdjustScale);
    form.rOffset = SingleText(r.rAdjustOffset);
    form.thermistor1Scale = SingleText(r.thermistor1Scale);
    form.thermistor2Scale = SingleText(r.thermistor2Scale);
    return form;
}

void ReadGenericPage(const GenericPageForm& form, ChemistryConfig& config,
                     GenericProcessing& record) {
    config.chemistryType = CHEMISTRY_GENERIC;
    config.sampleIntervalMs =
        ReadClampedText(form.sampleInterval, SAMPLE_INTERVAL_MIN_MS, SAMPLE_INTERVAL_MAX_MS);
    config.multiplexer = 0;
    const GenericProcessing shown = record;
    record = GenericProcessing{};
    record.sampleIntakeState = ReadStateText(form.intakeState);
    record.sampleMeasureState = ReadStateText(form.measureState);
    for (std::size_t i = 0; i < record.scale.size(); ++i) {
        record.scale[i] = ReadSingleText(form.scale[i], shown.scale[i]);
        record.offset[i] = ReadSingleText(form.offset[i], shown.offset[i]);
    }
}

void ReadNutrientPage(const NutrientPageForm& form, NutrientProcessing& r) {
    r.recordForm = 2;
    r.sensorVersion = Code(SENSOR_VERSIONS, form.sensorVersion);
    for (std::size_t path = 0; path < 3; ++path) {
        r.measureChannel[path] = Code(INPUT_CHANNELS, form.measure[path]);
        r.monitorChannel[path] = Code(MONITOR_CHANNELS, form.monitor[path]);
    }
    r.outputChannel = Code(OUTPUTS, form.output);
    r.sampleIntakeState = ReadStateText(form.intakeState);
    r.sampleMeasureState = ReadStateText(form.sampleState);
    r.blankMeasureState = ReadStateText(form.blankState);
    r.standardAdjustment = Code(ADJUSTMENTS, form.adjustment);
    r.standard1State = ReadStateText(form.standard1State);
    r.standard2State = ReadStateText(form.standard2State);
    r.standard1Conc = ReadConcentrationText(form.standard1Conc, r.standard1Conc);
    r.standard2Conc = ReadConcentrationText(form.standard2Conc, r.standard2Conc);
    r.processingTrigger = Code(TRIGGERS, form.trigger);
    r.opticalCorrection = form.opticalCorrection ? 1 : 0;
    r.opticalCorrSampleState = ReadStateText(form.ocSampleState);
    r.opticalCorrBlankState = ReadStateText(form.ocBlankState);
    // The output path's monitoring channel goes with it; Adaptive has none.
    r.outputMonitorChannel = r.outputChannel < r.monitorChannel.size()
                                 ? r.monitorChannel[r.outputChannel]
                                 : CHANNEL_NONE;
    r.outputHasMonitor = r.outputMonitorChannel != CHANNEL_NONE ? 1 : 0;
}

void ReadNutrientPageConfig(std::uint8_t chemistryType, ChemistryConfig& config) {
    config.chemistryType = chemistryType;
    config.sampleIntervalMs = NUTRIENT_SAMPLE_INTERVAL_MS;
    config.multiplexer = 0;
}

void ReadPhPage(const PhPageForm& form, PhProcessing& r) {
    r.recordForm = 1;
    r.sensorVersion = Code(SENSOR_VERSIONS, form.sensorVersion);
    r.inputChannelBlue = Code(INPUT_CHANNELS, form.blueChannel);
    r.inputChannelYellow = Code(INPUT_CHANNELS, form.yellowChannel);
    r.sampleIntakeState = ReadStateText(form.intakeState);
    r.sampleMeasureState = ReadStateText(form.measureState);
    r.blankStartOffsetS = static_cast<std::uint16_t>(base::ReadUnsignedText(form.blankStart));
    r.blankEndOffsetS = static_cast<std::uint16_t>(base::ReadUnsignedText(form.blankEnd));
    r.absorbanceMinBlue = ReadSingleText(form.absorbanceMinBlue, r.absorbanceMinBlue);
    r.absorbanceMaxYellow = ReadSingleText(form.absorbanceMaxYellow, r.absorbanceMaxYellow);
    r.dpHdT = ReadSingleText(form.dpHdT, r.dpHdT);
    r.rAdjustScale = ReadSingleText(form.rScale, r.rAdjustScale);
    r.rAdjustOffset = ReadSingleText(form.rOffset, r.rAdjustOffset);
    r.thermistor1Scale = ReadSingleText(form.thermistor1Scale, r.thermistor1Scale);
    r.thermistor2Scale = ReadSingleText(form.thermistor2Scale, r.thermistor2Scale);
}

void ReadPhPageConfig(const PhPageForm& form, ChemistryConfig& config) {
    config.chemistryType = CHEMISTRY_PH;
    config.sampleIntervalMs =
        ReadClampedText(form.sampleInterval, SAMPLE_INTERVAL_MIN_MS, SAMPLE_INTERVAL_MAX_MS);
    config.multiplexer = Code(MULTIPLEXERS, form.multiplexer);
}

NutrientPageEnabling NutrientPageEnablingOf(const NutrientPageForm& form) {
    const int adjustment = base::CodeAtIndex(ADJUSTMENTS, form.adjustment);
    const int trigger = base::CodeAtIndex(TRIGGERS, form.trigger);
    constexpr int STANDARD_1 = 0;
    constexpr int STANDARD_2 = 1;
    NutrientPageEnabling e;
    e.page = form.configure;
    e.standard1State = e.page && !(adjustment == STANDARD_2 && trigger != STANDARD_1);
    e.standard2State = e.page && !(adjustment == STANDARD_1 && trigger != STANDARD_2);
    e.standard1Conc = e.page && adjustment != STANDARD_2;
    e.standard2Conc = e.page && adjustment != STANDARD_1;
    e.opticalCorrection = e.page && form.opticalCorrection;
    return e;
}

ChemistryConfig DefaultPageConfig(const ChemistryPage& page) {
    ChemistryConfig c;
    c.configByte0 = 0;
    c.chemistryType = page.code;
    c.sampleIntervalMs = page.kind == PageKind::Ph ? 100 : 1000;
    c.multiplexer = page.kind == PageKind::Ph ? 1 : 0;
    c.autoDeployStart = c.manualFlushStart = c.manualPrimeStart = STATE_NONE;
    c.manualDeployStart = 0;
    c.special1To3Start.fill(STATE_NONE);
    c.configBytes14.fill(0);
    c.special4To9Start.fill(STATE_NONE);
    c.loopedFlushStart = STATE_NONE;
    return c;
}

GenericProcessing DefaultGenericProcessing() {
    GenericProcessing r;
    r.scale.fill(1.0f);
    r.offset.fill(0.0f);
    return r;
}

NutrientProcessing DefaultNutrientProcessing() {
    NutrientProcessing r;
    r.recordForm = 0;
    r.outputChannel = PATH_LONG;
    r.measureChannel = {0, 1, 2};
    r.monitorChannel = {CHANNEL_NONE, CHANNEL_NONE, CHANNEL_NONE};
    return r;
}

PhProcessing DefaultPhProcessing() {
    PhProcessing r;
    r.inputChannelBlue = 0;
    r.inputChannelYellow = 1;
    r.blankStartOffsetS = 50;
    r.blankEndOffsetS = 70;
    r.absorbanceMinBlue = 0.1f;
    r.absorbanceMaxYellow = 0.6f;
    r.dpHdT = -0.01582f;
    r.rAdjustScale = 1.0f;
    r.rAdjustOffset = 0.0f;
    r.thermistor1Scale = 0.5f;
    r.thermistor2Scale = 0.5f;
    return r;
}

}  // namespace velacor::config
