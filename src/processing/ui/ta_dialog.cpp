#include "processing/ui/ta_dialog.h"

#include "base/single_precision.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "base/str_printf.h"
#include "config/choice_lists.h"
#include "config/field_rules.h"
#include "processing/processing_forms.h"
#include "processing/processing_runs.h"
#include "widgets/drop_down.h"
#include "widgets/form_fields.h"

namespace velacor::processing::ui {

using namespace velacor::widgets;  // the field builders
using config::INPUT_CHANNELS;
using config::ReadStateText;
using config::SENSOR_VERSIONS;
namespace {

const char* TITLE = "Process Raw TA Data";

constexpr base::ValueEntry TRIGGERS[] = {
    {0, "Blank (LED1)"}, {1, "Blank (LED2)"}, {2, "Sample (LED1)"}, {3, "Sample (LED2)"}};

}  // namespace

TaDialog::TaDialog(widgets::Prompter& prompter, QWidget* parent)
    : ProcessingDialog(prompter, parent) {
    setWindowTitle(QString::fromUtf8(TITLE));
    auto* params = new QGroupBox(QStringLiteral("Processing Parameters"));
    auto* columns = new QHBoxLayout(params);
    auto* left = new QFormLayout;
    m_c.sensorVersion = AddList(left, "Sensor Version", SENSOR_VERSIONS);
    m_c.measureChannel = AddList(left, "Measurement Channel", INPUT_CHANNELS);
    m_c.intakeState = AddEdit(left, "Sample Intake State");
    m_c.blankStateLed1 = AddEdit(left, "Blank Meas State (LED1)");
    m_c.blankStateLed2 = AddEdit(left, "Blank Meas State (LED2)");
    m_c.sampleStateLed1 = AddEdit(left, "Sample Meas State (LED1)");
    m_c.sampleStateLed2 = AddEdit(left, "Sample Meas State (LED2)");
    columns->addLayout(left);
    auto* middle = new QFormLayout;
    m_c.trigger = AddList(middle, "Processing Trigger", TRIGGERS);
    m_c.ct = AddEdit(middle, "Temperature Coefficient (Ct)");
    m_c.molarity = AddEdit(middle, "Titrant Acid Molarity (M)");
    m_c.monitorLed1 = AddList(middle, "Monitoring Channel (LED1)", INPUT_CHANNELS);
    m_c.monitorLed2 = AddList(middle, "Monitoring Channel (LED2)", INPUT_CHANNELS);
    columns->addLayout(middle);
    auto* right = new QFormLayout;
    m_c.pKa = AddEdit(right, "pKa");
    m_c.e1 = AddEdit(right, "e1");
    m_c.e2 = AddEdit(right, "e2");
    m_c.e3 = AddEdit(right, "e3");
    columns->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(params);
    layout->addWidget(BuildResultsGroup(true), 1);
    SetHeadings(TaHeadings());
    connect(m_c.trigger, &QComboBox::currentIndexChanged, this, [this] {
        ReadControls();
        DisableMonitorLists();
    });
    DisableMonitorLists();
    resize(900, 620);
}

bool TaDialog::Open() {
    // The thermistor entries start cleared; only a header fills them.
    m_settings = TaSettings{};
    if (!ChooseRawFile(TITLE))
        return false;
    TaHeader header = DefaultTaHeader();
    const ProcessingTexts texts = TextsOf(Chemistry::Ta);
    const bool found =
        ReadTaHeader(File(), header) || TakeSensorHeader(ReadSensorTaHeader, header, texts);
    m_settings = {header.params, header.thermistor};
    if (!found)
        return true;
    if (header.chemistryType != protocol::CHEMISTRY_TA) {
        ShowInform(texts.dialogTitle, texts.wrongChemistry);
        return false;
    }
    if (const std::string problem = CheckTaSettings(m_settings); !problem.empty())
        ShowInform(texts.dialogTitle, problem);
    WriteControls();
    DisableMonitorLists();
    return true;
}

void TaDialog::DisableMonitorLists() {
    m_c.monitorLed1->setEnabled(false);
    m_c.monitorLed2->setEnabled(false);
}

void TaDialog::WriteControls() {
    const auto& p = m_settings.params;
    const QSignalBlocker block(m_c.trigger);
    widgets::SelectDropDownCode(m_c.sensorVersion, SENSOR_VERSIONS, p.sensorVersion);
    widgets::SelectDropDownCode(m_c.measureChannel, INPUT_CHANNELS, p.measureChannel);
    m_c.intakeState->setText(QString::number(p.sampleIntakeState));
    m_c.blankStateLed1->setText(QString::number(p.blankMeasureStateLed1));
    m_c.blankStateLed2->setText(QString::number(p.blankMeasureStateLed2));
    m_c.sampleStateLed1->setText(QString::number(p.sampleMeasureStateLed1));
    m_c.sampleStateLed2->setText(QString::number(p.sampleMeasureStateLed2));
    widgets::SelectDropDownCode(m_c.trigger, TRIGGERS, p.processingTrigger);
    SetEditNumber(m_c.ct, "%g", double{p.temperatureCoefficient});
    SetEditNumber(m_c.molarity, "%g", double{p.titrantMolarity});
    widgets::SelectDropDownCode(m_c.monitorLed1, INPUT_CHANNELS, p.monitorChannelLed1);
    widgets::SelectDropDownCode(m_c.monitorLed2, INPUT_CHANNELS, p.monitorChannelLed2);
    SetEditNumber(m_c.pKa, "%g", double{p.pKa});
    SetEditNumber(m_c.e1, "%g", double{p.e1});
    SetEditNumber(m_c.e2, "%g", double{p.e2});
    SetEditNumber(m_c.e3, "%g", double{p.e3});
}

void TaDialog::ReadControls() {
    auto& p = m_settings.params;
    p.sensorVersion = DropDownCode(m_c.sensorVersion, SENSOR_VERSIONS);
    p.measureChannel = DropDownCode(m_c.measureChannel, INPUT_CHANNELS);
    p.sampleIntakeState = ReadStateText(EditText(m_c.intakeState));
    p.blankMeasureStateLed1 = ReadStateText(EditText(m_c.blankStateLed1));
    p.blankMeasureStateLed2 = ReadStateText(EditText(m_c.blankStateLed2));
    p.sampleMeasureStateLed1 = ReadStateText(EditText(m_c.sampleStateLed1));
    p.sampleMeasureStateLed2 = ReadStateText(EditText(m_c.sampleStateLed2));
    p.processingTrigger = DropDownCode(m_c.trigger, TRIGGERS);
    p.temperatureCoefficient = ReadSingle(m_c.ct);
    p.titrantMolarity = ReadSingle(m_c.molarity);
    p.monitorChannelLed1 = DropDownCode(m_c.monitorLed1, INPUT_CHANNELS);
    p.monitorChannelLed2 = DropDownCode(m_c.monitorLed2, INPUT_CHANNELS);
    p.pKa = ReadSingle(m_c.pKa);
    p.e1 = ReadSingle(m_c.e1);
    p.e2 = ReadSingle(m_c.e2);
    p.e3 = ReadSingle(m_c.e3);
}

void TaDialog::OnProcess() {
    m_settings.params = protocol::TaProcessing{};
    ReadControls();
    if (const std::string problem = CheckTaSettings(m_settings); !problem.empty()) {
        ShowInform(TITLE, problem);
        return;
    }
    const TaSettings settings = m_settings;
    RunOverFile(RowRule::Ta, [settings](RawFile& file, ResultsTable& table, LogSink* log,
                                        const RunControl& control) {
        return RunTa(file, settings, table, log, control);
    });
}

}  // namespace velacor::processing::ui
