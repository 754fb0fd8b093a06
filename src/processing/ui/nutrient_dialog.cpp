#include "processing/ui/nutrient_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "processing/processing_forms.h"
#include "processing/processing_runs.h"
#include "widgets/drop_down.h"
#include "widgets/form_fields.h"

namespace velacor::processing::ui {

using namespace velacor::widgets;  // the field builders
namespace {

using protocol::PATH_LONG;
using protocol::PATH_MEDIUM;
using protocol::PATH_SHORT;

constexpr base::ValueEntry NUTRIENT_TYPES[] = {
    {1, "Nitrate"}, {2, "Phosphate"}, {3, "Silicate"}, {5, "Nitrite"}, {6, "Iron"}};
constexpr base::ValueEntry MONITOR_CHANNELS[] = {
    {255, "None"}, {0, "0"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4"}, {5, "5"}, {6, "6"}, {7, "7"}};
constexpr base::ValueEntry OUTPUTS[] = {
    {1, "Medium"}, {2, "Short"}, {0, "Long"}, {254, "Adaptive"}};
constexpr base::ValueEntry ADJUSTMENTS[] = {
    {0, "Standard 1"}, {1, "Standard 2"}, {2, "Linear Fit"}};
constexpr base::ValueEntry TRIGGERS[] = {
    {0, "Standard 1"}, {1, "Standard 2"}, {2, "Sample"}, {3, "Blank"}};
constexpr base::ValueEntry MAPPINGS[] = {
    {0, "None"},
    {1, "Medium Ch Concentration"},
    {4, "Medium Ch Absorbance"},
    {5, "Short Ch Concentration"},
    {8, "Short Ch Absorbance"},
    {9, "Long Ch Concentration"},
    {12, "Long Ch Absorbance"},
    {13, "Medium Ch Blank Intensity"},
    {14, "Short Ch Blank Intensity"},
    {15, "Long Ch Blank Intensity"},
    {17, "Medium Ch Std1 Absorbance"},
    {19, "Short Ch Std1 Absorbance"},
    {21, "Long Ch Std1 Absorbance"},
};

// The rows of the channel grid, top to bottom.
constexpr int GRID_PATHS[] = {PATH_MEDIUM, PATH_SHORT, PATH_LONG};
constexpr const char* GRID_NAMES[] = {"Medium", "Short", "Long"};

const char* TITLE = "Process Raw Nutrient Data";

}  // namespace

NutrientDialog::NutrientDialog(widgets::Prompter& prompter, QWidget* parent)
    : ProcessingDialog(prompter, parent) {
    setWindowTitle(QString::fromUtf8(TITLE));
    auto* params = new QGroupBox(QStringLiteral("Processing Parameters"));
    auto* columns = new QHBoxLayout(params);

    auto* left = new QFormLayout;
    m_c.nutrientType = AddList(left, "Nutrient Type", NUTRIENT_TYPES);
    m_c.sensorVersion = AddList(left, "Sensor Version", SENSOR_VERSIONS);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Channel")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Measure")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Monitor")), 0, 2);
    for (int row = 0; row < 3; ++row) {
        const auto path = static_cast<std::size_t>(GRID_PATHS[row]);
        grid->addWidget(new QLabel(QString::fromUtf8(GRID_NAMES[row])), row + 1, 0);
        m_c.measure[path] = new QComboBox;
        widgets::FillDropDown(m_c.measure[path], INPUT_CHANNELS);
        m_c.monitor[path] = new QComboBox;
        widgets::FillDropDown(m_c.monitor[path], MONITOR_CHANNELS);
        grid->addWidget(m_c.measure[path], row + 1, 1);
        grid->addWidget(m_c.monitor[path], row + 1, 2);
    }
    left->addRow(grid);
    m_c.output = AddList(left, "Output", OUTPUTS);
    columns->addLayout(left);

    m_stateForm = new QFormLayout;
    m_c.intakeState = AddEdit(m_stateForm, "Sample Intake State");
    m_c.sampleState = AddEdit(m_stateForm, "Sample Measurement State");
    m_c.blankState = AddEdit(m_stateForm, "Blank Measurement State");
    m_c.standard1State = AddEdit(m_stateForm, "Standard 1 Measurement State");
    m_c.standard2State = AddEdit(m_stateForm, "Standard 2 Measurement State");
    m_c.standard1Conc = AddEdit(m_stateForm, "Standard 1 Concentration (µM)");
    m_c.standard2Conc = AddEdit(m_stateForm, "Standard 2 Concentration (µM)");
    m_c.adjustment = AddList(m_stateForm, "Standard Adjustment", ADJUSTMENTS);
    m_c.trigger = AddList(m_stateForm, "Processing Trigger", TRIGGERS);
    columns->addLayout(m_stateForm);

    m_correctionForm = new QFormLayout;
    m_c.mapping[0] = AddList(m_correctionForm, "P1 Mapping", MAPPINGS);
    m_c.mapping[1] = AddList(m_correctionForm, "P2 Mapping", MAPPINGS);
    m_c.mapping[2] = AddList(m_correctionForm, "P3 Mapping", MAPPINGS);
    m_c.opticalCorrection = new QCheckBox(QStringLiteral("Enable Optical Correction"));
    m_correctionForm->addRow(m_c.opticalCorrection);
    m_c.dilution = AddEdit(m_correctionForm, "Optical Correction Dilution");
    m_c.dilution->setReadOnly(true);
    m_c.ocSampleState = AddEdit(m_correctionForm, "Optical Correction State (sample)");
    m_c.ocBlankState = AddEdit(m_correctionForm, "Optical Correction State (blank)");
    columns->addLayout(m_correctionForm);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(params);
    layout->addWidget(BuildResultsGroup(true), 1);
    SetHeadings(InitialNutrientHeadings());
    m_c.dilution->setText(QString::fromStdString(DilutionText(0)));

    const auto reread = [this] {
        ReadControls();
        ApplyEnabling();
    };
    for (QComboBox* box : {m_c.trigger, m_c.adjustment, m_c.nutrientType, m_c.mapping[0],
                           m_c.mapping[1], m_c.mapping[2]})
        connect(box, &QComboBox::currentIndexChanged, this, reread);
    connect(m_c.opticalCorrection, &QCheckBox::clicked, this, reread);
    ReadControls();
    ApplyEnabling();
    resize(1100, 720);
}

bool NutrientDialog::Open() {
    if (!ChooseRawFile(TITLE))
        return false;
    NutrientHeader header = DefaultNutrientHeader();
    const ProcessingTexts texts = TextsOf(Chemistry::Nutrient);
    if (!ReadNutrientHeader(File(), header) &&
        !TakeSensorHeader(ReadSensorNutrientHeader, header, texts)) {
        m_params = header.params;
        return true;
    }
    if (!IsNutrientCode(header.chemistryType)) {
        ShowInform(texts.dialogTitle, texts.wrongChemistry);
        return false;
    }
    m_params = header.params;
    if (const std::string problem = CheckNutrientParameters(m_params); !problem.empty())
        ShowInform(texts.dialogTitle, problem);
    WriteControls(header.chemistryType);
    ShowNutrientType(header.chemistryType);
    ApplyEnabling();
    return true;
}

void NutrientDialog::ReadControls() {
    auto& p = m_params;
    p.sensorVersion = DropDownCode(m_c.sensorVersion, SENSOR_VERSIONS);
    for (std::size_t path = 0; path < 3; ++path) {
        p.measureChannel[path] = DropDownCode(m_c.measure[path], INPUT_CHANNELS);
        p.monitorChannel[path] = DropDownCode(m_c.monitor[path], MONITOR_CHANNELS);
        p.sampleParam[path] = DropDownCode(m_c.mapping[path], MAPPINGS);
    }
    p.outputChannel = DropDownCode(m_c.output, OUTPUTS);
    p.sampleIntakeState = ReadStateText(EditText(m_c.intakeState));
    p.sampleMeasureState = ReadStateText(EditText(m_c.sampleState));
    p.blankMeasureState = ReadStateText(EditText(m_c.blankState));
    p.standard1State = ReadStateText(EditText(m_c.standard1State));
    p.standard2State = ReadStateText(EditText(m_c.standard2State));
    p.standard1Conc = ConcentrationToStored(ReadDecimal(m_c.standard1Conc));
    p.standard2Conc = ConcentrationToStored(ReadDecimal(m_c.standard2Conc));
    p.standardAdjustment = DropDownCode(m_c.adjustment, ADJUSTMENTS);
    p.processingTrigger = DropDownCode(m_c.trigger, TRIGGERS);
    p.opticalCorrection = m_c.opticalCorrection->isChecked() ? 1 : 0;
    p.opticalCorrSampleState = ReadStateText(EditText(m_c.ocSampleState));
    p.opticalCorrBlankState = ReadStateText(EditText(m_c.ocBlankState));
}

void NutrientDialog::WriteControls(std::uint8_t nutrientType) {
    const auto& p = m_params;
    // Writing the lists would re-read the half-written controls: hold the signals meanwhile.
    const QSignalBlocker blockType(m_c.nutrientType), blockAdjustment(m_c.adjustment),
        blockTrigger(m_c.trigger), blockP1(m_c.mapping[0]), blockP2(m_c.mapping[1]),
        blockP3(m_c.mapping[2]);
    widgets::SelectDropDownCode(m_c.nutrientType, NUTRIENT_TYPES, nutrientType);
    widgets::SelectDropDownCode(m_c.sensorVersion, SENSOR_VERSIONS, p.sensorVersion);
    for (std::size_t path = 0; path < 3; ++path) {
        widgets::SelectDropDownCode(m_c.measure[path], INPUT_CHANNELS, p.measureChannel[path]);
        widgets::SelectDropDownCode(m_c.monitor[path], MONITOR_CHANNELS, p.monitorChannel[path]);
        widgets::SelectDropDownCode(m_c.mapping[path], MAPPINGS, p.sampleParam[path]);
    }
    widgets::SelectDropDownCode(m_c.output, OUTPUTS, p.outputChannel);
    m_c.intakeState->setText(QString::number(p.sampleIntakeState));
    m_c.sampleState->setText(QString::number(p.sampleMeasureState));
    m_c.blankState->setText(QString::number(p.blankMeasureState));
    m_c.standard1State->setText(QString::number(p.standard1State));
    m_c.standard2State->setText(QString::number(p.standard2State));
    SetEditText(m_c.standard1Conc, ConcentrationText(p.standard1Conc));
    SetEditText(m_c.standard2Conc, ConcentrationText(p.standard2Conc));
    widgets::SelectDropDownCode(m_c.adjustment, ADJUSTMENTS, p.standardAdjustment);
    widgets::SelectDropDownCode(m_c.trigger, TRIGGERS, p.processingTrigger);
    m_c.opticalCorrection->setChecked(p.opticalCorrection != 0);
    m_c.ocSampleState->setText(QString::number(p.opticalCorrSampleState));
    m_c.ocBlankState->setText(QString::number(p.opticalCorrBlankState));
}

void NutrientDialog::ApplyEnabling() {
    const NutrientEnabling e = NutrientEnablingOf(m_params);
    EnableRow(m_stateForm, m_c.standard1State, e.standard1State);
    EnableRow(m_stateForm, m_c.standard2State, e.standard2State);
    EnableRow(m_stateForm, m_c.standard1Conc, e.standard1Conc);
    EnableRow(m_stateForm, m_c.standard2Conc, e.standard2Conc);
    EnableRow(m_correctionForm, m_c.dilution, e.opticalCorrection);
    EnableRow(m_correctionForm, m_c.ocSampleState, e.opticalCorrection);
    EnableRow(m_correctionForm, m_c.ocBlankState, e.opticalCorrection);
}

void NutrientDialog::ShowNutrientType(std::uint8_t nutrientType) {
    if (const NutrientType* type = FindNutrientType(nutrientType))
        setWindowTitle(QString::fromUtf8(type->title));
    std::vector<std::string> headings = Headings();
    ApplyNutrientHeadings(headings, nutrientType, m_params.sampleParam);
    SetHeadings(std::move(headings));
    SetEditText(m_c.dilution, DilutionText(nutrientType));
}

void NutrientDialog::OnProcess() {
    ReadControls();
    const std::uint8_t nutrientType = DropDownCode(m_c.nutrientType, NUTRIENT_TYPES);
    ShowNutrientType(nutrientType);
    ApplyEnabling();
    if (const std::string problem = CheckNutrientParameters(m_params); !problem.empty()) {
        ShowInform(TITLE, problem);
        return;
    }
    const protocol::NutrientProcessing params = m_params;
    RunOverFile(RowRule::Nutrient, [params, nutrientType](RawFile& file, ResultsTable& table,
                                                          LogSink* log, const RunControl& control) {
        return RunNutrient(file, params, nutrientType, table, log, control);
    });
}

}  // namespace velacor::processing::ui
