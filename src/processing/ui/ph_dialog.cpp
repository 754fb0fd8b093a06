#include "processing/ui/ph_dialog.h"

#include "base/single_precision.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "base/str_printf.h"
#include "processing/processing_forms.h"
#include "processing/processing_runs.h"
#include "widgets/drop_down.h"
#include "widgets/form_fields.h"

namespace velacor::processing::ui {

using namespace velacor::widgets;  // the field builders
namespace {

const char* TITLE = "Process Raw pH Data";

}  // namespace

PhDialog::PhDialog(widgets::Prompter& prompter, QWidget* parent)
    : ProcessingDialog(prompter, parent) {
    setWindowTitle(QString::fromUtf8(TITLE));
    auto* params = new QGroupBox(QStringLiteral("Processing Parameters"));
    auto* columns = new QHBoxLayout(params);
    auto* left = new QFormLayout;
    m_c.sampleInterval = AddEdit(left, "Sample Interval (ms)");
    m_c.sensorVersion = AddList(left, "Sensor Version", SENSOR_VERSIONS);
    m_c.blueChannel = AddList(left, "Input Channel (Blue)", INPUT_CHANNELS);
    m_c.yellowChannel = AddList(left, "Input Channel (Yellow)", INPUT_CHANNELS);
    m_c.intakeState = AddEdit(left, "Sample Intake State");
    m_c.measureState = AddEdit(left, "Sample Measurement State");
    columns->addLayout(left);
    auto* middle = new QFormLayout;
    m_c.blankStart = AddEdit(middle, "Blank Start Offset (seconds)");
    m_c.blankEnd = AddEdit(middle, "Blank End Offset (seconds)");
    m_c.absorbanceMinBlue = AddEdit(middle, "Absorbance Min (Blue)");
    m_c.absorbanceMaxYellow = AddEdit(middle, "Absorbance Max (Yellow)");
    m_c.dpHdT = AddEdit(middle, "dpH/dT");
    columns->addLayout(middle);
    auto* right = new QFormLayout;
    m_c.rScale = AddEdit(right, "R-adjustment (scale)");
    m_c.rOffset = AddEdit(right, "R-adjustment (offset)");
    m_c.thermistor1Scale = AddEdit(right, "Thermistor 1 Adjustment (scale)");
    m_c.thermistor2Scale = AddEdit(right, "Thermistor 2 Adjustment (scale)");
    columns->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(params);
    layout->addWidget(BuildResultsGroup(true), 1);
    SetHeadings(PhHeadings());
    resize(980, 640);
}

bool PhDialog::Open() {
    if (!ChooseRawFile(TITLE))
        return false;
    // The pH header may stand anywhere: the whole file is read for it, on the worker.
    auto header = std::make_shared<PhHeader>(DefaultPhHeader());
    ScanHeaderOnWorker(
        [header](RawFile& file, const RunControl& control, bool& cancelled) {
            return ReadPhHeader(file, *header, control, cancelled);
        },
        [this, header](bool found) { TakeHeader(found, *header); });
    return true;
}

void PhDialog::TakeHeader(bool found, PhHeader header) {
    const ProcessingTexts texts = TextsOf(Chemistry::Ph);
    found = found || TakeSensorHeader(ReadSensorPhHeader, header, texts);
    m_settings = {header.params, header.sampleIntervalMs, header.thermistor};
    if (!found)
        return;
    if (header.chemistryType != protocol::CHEMISTRY_PH) {
        ShowInform(texts.dialogTitle, texts.wrongChemistry);
        reject();
        return;
    }
    if (const std::string problem = CheckPhSettings(m_settings); !problem.empty())
        ShowInform(texts.dialogTitle, problem);
    WriteControls();
}

void PhDialog::WriteControls() {
    const auto& p = m_settings.params;
    m_c.sampleInterval->setText(QString::number(m_settings.sampleIntervalMs));
    widgets::SelectDropDownCode(m_c.sensorVersion, SENSOR_VERSIONS, p.sensorVersion);
    widgets::SelectDropDownCode(m_c.blueChannel, INPUT_CHANNELS, p.inputChannelBlue);
    widgets::SelectDropDownCode(m_c.yellowChannel, INPUT_CHANNELS, p.inputChannelYellow);
    m_c.intakeState->setText(QString::number(p.sampleIntakeState));
    m_c.measureState->setText(QString::number(p.sampleMeasureState));
    m_c.blankStart->setText(QString::number(p.blankStartOffsetS));
    m_c.blankEnd->setText(QString::number(p.blankEndOffsetS));
    SetEditNumber(m_c.absorbanceMinBlue, "%.5f", double{p.absorbanceMinBlue});
    SetEditNumber(m_c.absorbanceMaxYellow, "%.5f", double{p.absorbanceMaxYellow});
    SetEditNumber(m_c.dpHdT, "%.5f", double{p.dpHdT});
    SetEditNumber(m_c.rScale, "%.5f", double{p.rAdjustScale});
    SetEditNumber(m_c.rOffset, "%.5f", double{p.rAdjustOffset});
    SetEditNumber(m_c.thermistor1Scale, "%.5f", double{p.thermistor1Scale});
    SetEditNumber(m_c.thermistor2Scale, "%.5f", double{p.thermistor2Scale});
}

void PhDialog::ReadControls() {
    auto& p = m_settings.params;
    m_settings.sampleIntervalMs = ReadUnsigned(m_c.sampleInterval);
    p.sensorVersion = DropDownCode(m_c.sensorVersion, SENSOR_VERSIONS);
    p.inputChannelBlue = DropDownCode(m_c.blueChannel, INPUT_CHANNELS);
    p.inputChannelYellow = DropDownCode(m_c.yellowChannel, INPUT_CHANNELS);
    p.sampleIntakeState = ReadStateText(EditText(m_c.intakeState));
    p.sampleMeasureState = ReadStateText(EditText(m_c.measureState));
    p.blankStartOffsetS = static_cast<std::uint16_t>(ReadUnsigned(m_c.blankStart));
    p.blankEndOffsetS = static_cast<std::uint16_t>(ReadUnsigned(m_c.blankEnd));
    p.absorbanceMinBlue = ReadSingle(m_c.absorbanceMinBlue);
    p.absorbanceMaxYellow = ReadSingle(m_c.absorbanceMaxYellow);
    p.dpHdT = ReadSingle(m_c.dpHdT);
    p.rAdjustScale = ReadSingle(m_c.rScale);
    p.rAdjustOffset = ReadSingle(m_c.rOffset);
    p.thermistor1Scale = ReadSingle(m_c.thermistor1Scale);
    p.thermistor2Scale = ReadSingle(m_c.thermistor2Scale);
}

void PhDialog::OnProcess() {
    ReadControls();
    if (const std::string problem = CheckPhSettings(m_settings); !problem.empty()) {
        ShowInform(TITLE, problem);
        return;
    }
    const PhSettings settings = m_settings;
    RunOverFile(RowRule::Ph, [settings](RawFile& file, ResultsTable& table, LogSink* log,
                                        const RunControl& control) {
        return RunPh(file, settings, table, log, control);
    });
}

}  // namespace velacor::processing::ui
