#include "processing/ui/dic_dialog.h"

#include "base/single_precision.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "config/choice_lists.h"
#include "config/field_rules.h"
#include "processing/processing_forms.h"
#include "processing/processing_runs.h"
#include "widgets/drop_down.h"
#include "widgets/form_fields.h"

namespace velacor::processing::ui {

using namespace velacor::widgets;  // the field builders
using config::ReadStateText;
using config::SENSOR_VERSIONS;
namespace {

const char* TITLE = "Process Raw DIC Data";

constexpr base::ValueEntry INLET_TYPES[] = {{0, "Unused"}, {1, "Sample"}, {2, "CRM"}};

}  // namespace

DicDialog::DicDialog(widgets::Prompter& prompter, QWidget* parent)
    : ProcessingDialog(prompter, parent) {
    setWindowTitle(QString::fromUtf8(TITLE));
    auto* params = new QHBoxLayout;
    auto* common = new QGroupBox(QStringLiteral("Common Processing Parameters"));
    auto* commonForm = new QFormLayout(common);
    m_sensorVersion = AddList(commonForm, "Sensor Version", SENSOR_VERSIONS);
    params->addWidget(common);
    for (std::size_t i = 0; i < m_inlet.size(); ++i) {
        auto* group = new QGroupBox(
            QStringLiteral("Inlet %1 Processing Parameters").arg(static_cast<int>(i) + 1));
        InletControls& c = m_inlet[i];
        c.form = new QFormLayout(group);
        c.type = AddList(c.form, "Inlet Type", INLET_TYPES);
        c.intakeState = AddEdit(c.form, "Intake State");
        c.measureState = AddEdit(c.form, "Measurement State");
        c.crmValue = AddEdit(c.form, "CRM Value (µmol/kg)");
        connect(c.type, &QComboBox::currentIndexChanged, this, [this, i] { ApplyEnabling(i); });
        params->addWidget(group);
        ApplyEnabling(i);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(params);
    layout->addWidget(BuildResultsGroup(true), 1);
    SetHeadings(DicHeadings());
    resize(1000, 620);
}

bool DicDialog::Open() {
    if (!ChooseRawFile(TITLE))
        return false;
    DicHeader header = DefaultDicHeader();
    const ProcessingTexts texts = TextsOf(Chemistry::Dic);
    const bool found =
        ReadDicHeader(File(), header) || TakeSensorHeader(ReadSensorDicHeader, header, texts);
    m_settings = {header.params, header.thermistor};
    if (!found)
        return true;
    if (header.chemistryType != protocol::CHEMISTRY_DIC) {
        ShowInform(texts.dialogTitle, texts.wrongChemistry);
        return false;
    }
    if (const std::string problem = CheckDicSettings(m_settings); !problem.empty())
        ShowInform(texts.dialogTitle, problem);
    WriteControls();
    return true;
}

void DicDialog::ApplyEnabling(std::size_t inlet) {
    const InletControls& c = m_inlet[inlet];
    const InletEnabling e = InletEnablingOf(DropDownCode(c.type, INLET_TYPES));
    EnableRow(c.form, c.intakeState, e.intakeState);
    EnableRow(c.form, c.measureState, e.measureState);
    EnableRow(c.form, c.crmValue, e.crmValue);
}

void DicDialog::WriteControls() {
    const auto& p = m_settings.params;
    widgets::SelectDropDownCode(m_sensorVersion, SENSOR_VERSIONS, p.sensorVersion);
    for (std::size_t i = 0; i < m_inlet.size(); ++i) {
        const InletControls& c = m_inlet[i];
        widgets::SelectDropDownCode(c.type, INLET_TYPES, p.inlet[i].type);
        c.intakeState->setText(QString::number(p.inlet[i].intakeState));
        c.measureState->setText(QString::number(p.inlet[i].measureState));
        SetEditText(c.crmValue, CrmValueText(p.inlet[i].crmValue));
        ApplyEnabling(i);
    }
}

void DicDialog::ReadControls() {
    auto& p = m_settings.params;
    p = protocol::DicProcessing{};
    p.sensorVersion = DropDownCode(m_sensorVersion, SENSOR_VERSIONS);
    for (std::size_t i = 0; i < m_inlet.size(); ++i) {
        const InletControls& c = m_inlet[i];
        p.inlet[i].type = DropDownCode(c.type, INLET_TYPES);
        p.inlet[i].intakeState = ReadStateText(EditText(c.intakeState));
        p.inlet[i].measureState = ReadStateText(EditText(c.measureState));
        p.inlet[i].crmValue = ReadSingle(c.crmValue);
    }
}

void DicDialog::OnProcess() {
    ReadControls();
    if (const std::string problem = CheckDicSettings(m_settings); !problem.empty()) {
        ShowInform(TITLE, problem);
        return;
    }
    const DicSettings settings = m_settings;
    RunOverFile(RowRule::Dic, [settings](RawFile& file, ResultsTable& table, LogSink* log,
                                         const RunControl& control) {
        return RunDic(file, settings, table, log, control);
    });
}

}  // namespace velacor::processing::ui
