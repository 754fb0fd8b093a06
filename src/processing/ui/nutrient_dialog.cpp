#include "processing/ui/nutrient_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/chemistry_pages.h"
#include "config/field_rules.h"
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

const char* TITLE = "Process Raw Nutrient Data";

// Inserts a labelled list at `row` of a page column.
QComboBox* InsertList(QFormLayout* form, int row, const char* label, base::ValueTable table) {
    QComboBox* box = MakeDropDown(table);
    form->insertRow(row, QString::fromUtf8(label), box);
    return box;
}

}  // namespace

NutrientDialog::NutrientDialog(widgets::Prompter& prompter, QWidget* parent)
    : ProcessingDialog(prompter, parent) {
    setWindowTitle(QString::fromUtf8(TITLE));
    auto* params = new QGroupBox(QStringLiteral("Processing Parameters"));
    m_page = new config::ui::NutrientPageWidget({false, 0}, {PATH_MEDIUM, PATH_SHORT, PATH_LONG});
    auto* inner = new QVBoxLayout(params);
    inner->addWidget(m_page);
    static_cast<config::ui::NutrientPageWidget::Controls&>(m_c) = m_page->Fields();
    m_c.nutrientType = InsertList(m_page->Column(0), 0, "Nutrient Type", NUTRIENT_TYPES);
    for (std::size_t i = 0; i < m_c.mapping.size(); ++i) {
        const std::string label = "P" + std::to_string(i + 1) + " Mapping";
        m_c.mapping[i] =
            InsertList(m_page->Column(2), static_cast<int>(i), label.c_str(), MAPPINGS);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(params);
    layout->addWidget(BuildResultsGroup(true), 1);
    SetHeadings(InitialNutrientHeadings());
    // Tab in reading order: the type and the mappings were added to the page's columns after
    // the page was built.
    const auto& c = m_c;
    SetTabOrder({c.nutrientType,
                 c.sensorVersion,
                 c.measure[PATH_MEDIUM],
                 c.monitor[PATH_MEDIUM],
                 c.measure[PATH_SHORT],
                 c.monitor[PATH_SHORT],
                 c.measure[PATH_LONG],
                 c.monitor[PATH_LONG],
                 c.output,
                 c.intakeState,
                 c.sampleState,
                 c.blankState,
                 c.adjustment,
                 c.standard1State,
                 c.standard2State,
                 c.standard1Conc,
                 c.standard2Conc,
                 c.trigger,
                 c.mapping[0],
                 c.mapping[1],
                 c.mapping[2],
                 c.opticalCorrection,
                 c.dilution,
                 c.ocSampleState,
                 c.ocBlankState,
                 ResultsList(),
                 LogList(),
                 ProcessButton(),
                 SaveButton()});

    const auto reread = [this] {
        ReadControls();
        ApplyEnabling();
    };
    connect(m_page, &config::ui::PageBase::rulesInputChanged, this, reread);
    for (QComboBox* box : {m_c.nutrientType, m_c.mapping[0], m_c.mapping[1], m_c.mapping[2]})
        connect(box, &QComboBox::currentIndexChanged, this, reread);
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
    config::ReadNutrientPage(m_page->Form(), m_params);
    for (std::size_t i = 0; i < m_c.mapping.size(); ++i)
        m_params.sampleParam[i] = DropDownCode(m_c.mapping[i], MAPPINGS);
}

void NutrientDialog::WriteControls(std::uint8_t nutrientType) {
    // Writing the lists would re-read the half-written controls: hold the signals meanwhile.
    const QSignalBlocker blockType(m_c.nutrientType), blockP1(m_c.mapping[0]),
        blockP2(m_c.mapping[1]), blockP3(m_c.mapping[2]);
    widgets::SelectDropDownCode(m_c.nutrientType, NUTRIENT_TYPES, nutrientType);
    m_page->Show(config::ShowNutrientPage(m_params, nutrientType));
    for (std::size_t i = 0; i < m_c.mapping.size(); ++i)
        widgets::SelectDropDownCode(m_c.mapping[i], MAPPINGS, m_params.sampleParam[i]);
}

void NutrientDialog::ApplyEnabling() {
    m_page->ApplyEnabling(config::NutrientPageEnablingOf(m_page->Form()));
}

void NutrientDialog::ShowNutrientType(std::uint8_t nutrientType) {
    if (const NutrientType* type = FindNutrientType(nutrientType))
        setWindowTitle(QString::fromUtf8(type->title));
    std::vector<std::string> headings = Headings();
    ApplyNutrientHeadings(headings, nutrientType, m_params.sampleParam);
    SetHeadings(std::move(headings));
    SetEditText(m_c.dilution, config::DilutionText(nutrientType));
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
