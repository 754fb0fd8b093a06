#include "config/ui/chemistry_page_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "config/choice_lists.h"
#include "config/field_rules.h"
#include "widgets/drop_down.h"
#include "widgets/form_fields.h"
#include "widgets/lists.h"
#include "widgets/text.h"

namespace velacor::config::ui {

using widgets::AddEdit;
using widgets::AddList;
using widgets::EditText;
using widgets::EnableRow;
using widgets::SetEditText;

namespace {

const char* PATH_NAMES[] = {"Long", "Medium", "Short"};  // by optical path

// Widths of the pages' fields, in the lists' column units.
constexpr int EDIT_UNITS = 11;
constexpr int LIST_UNITS = 14;
constexpr int CHANNEL_UNITS = 10;
constexpr int COLUMN_GAP_UNITS = 3;

// Every text field and list below `page` gets the width of its kind, so that fields line up.
void FixFieldWidths(QWidget* page) {
    for (QLineEdit* edit : page->findChildren<QLineEdit*>())
        widgets::SetWidthInUnits(edit, EDIT_UNITS);
    for (QComboBox* box : page->findChildren<QComboBox*>()) {
        if (box->minimumWidth() != box->maximumWidth())  // not sized already
            widgets::SetWidthInUnits(box, LIST_UNITS);
    }
}

QComboBox* GridList(QGridLayout* grid, base::ValueTable table, int row, int column) {
    QComboBox* box = widgets::MakeDropDown(table);
    widgets::SetWidthInUnits(box, CHANNEL_UNITS);
    grid->addWidget(box, row, column);
    return box;
}

QLineEdit* GridEdit(QGridLayout* grid, int row, int column) {
    auto* edit = new QLineEdit;
    grid->addWidget(edit, row, column);
    return edit;
}

}  // namespace

// ---- PageBase

PageBase::PageBase(const PageOptions& options, std::size_t columns, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (options.configureBox) {
        m_configure = new QCheckBox(widgets::FromUtf8(ConfigureBoxText(options.chemistryType)));
        m_configure->setChecked(true);
        layout->addWidget(m_configure);
        connect(m_configure, &QCheckBox::clicked, this, [this] { emit rulesInputChanged(); });
    }
    m_body = new QWidget;
    auto* row = new QHBoxLayout(m_body);
    row->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < columns; ++i) {
        if (i > 0)  // a gap, not the row's spacing: the forms would take it for theirs
            row->addSpacing(COLUMN_GAP_UNITS * widgets::DialogBaseUnitWidth(this));
        m_columns[i] = new QFormLayout;
        row->addLayout(m_columns[i]);
    }
    row->addStretch(1);
    layout->addWidget(m_body);
    layout->addStretch(1);
}

void PageBase::EnableBody(bool enabled) {
    m_body->setEnabled(enabled);
}

// ---- Generic

GenericPageWidget::GenericPageWidget(const PageOptions& options, QWidget* parent)
    : PageBase(options, 2, parent) {
    using F = GenericPageForm;
    BindConfigureBox(m_bind, &F::configure);
    m_c.sampleInterval =
        m_bind.Text(AddEdit(Column(0), "Sample Interval (ms)"), &F::sampleInterval);
    m_c.intakeState = m_bind.Text(AddEdit(Column(0), "Sample Intake State"), &F::intakeState);
    m_c.measureState =
        m_bind.Text(AddEdit(Column(0), "Sample Measurement State"), &F::measureState);
    auto* grid = new QGridLayout;
    grid->addWidget(widgets::MakeLabel("Scale"), 0, 1);
    grid->addWidget(widgets::MakeLabel("Offset"), 0, 2);
    for (int ch = 0; ch < 8; ++ch) {
        const auto i = static_cast<std::size_t>(ch);
        grid->addWidget(new QLabel(QStringLiteral("Ch %1").arg(ch)), ch + 1, 0);
        m_c.scale[i] = m_bind.Text(GridEdit(grid, ch + 1, 1), widgets::Element(&F::scale, i));
        m_c.offset[i] = m_bind.Text(GridEdit(grid, ch + 1, 2), widgets::Element(&F::offset, i));
    }
    Column(1)->addRow(grid);
    FixFieldWidths(this);
}

void GenericPageWidget::Show(const GenericPageForm& form) {
    const QSignalBlocker quiet(this);  // the rules are applied by whoever shows a form
    m_bind.Show(form);
}

// ---- Nutrient

NutrientPageWidget::NutrientPageWidget(const PageOptions& options,
                                       std::array<std::uint8_t, 3> gridPaths, QWidget* parent)
    : PageBase(options, 3, parent) {
    using F = NutrientPageForm;
    BindConfigureBox(m_bind, &F::configure);
    // One grid, so that Sensor Version and Output line up with the channel lists.
    auto* grid = new QGridLayout;
    const auto wideList = [grid](const char* label, base::ValueTable table, int row) {
        grid->addWidget(widgets::MakeLabel(label), row, 0);
        QComboBox* box = widgets::MakeDropDown(table);
        widgets::SetWidthInUnits(box, 2 * CHANNEL_UNITS);
        grid->addWidget(box, row, 1, 1, 2);
        return box;
    };
    m_c.sensorVersion =
        m_bind.Index(wideList("Sensor Version", SENSOR_VERSIONS, 0), &F::sensorVersion);
    grid->addWidget(widgets::MakeLabel("Channel"), 1, 0);
    grid->addWidget(widgets::MakeLabel("Measure"), 1, 1);
    grid->addWidget(widgets::MakeLabel("Monitor"), 1, 2);
    for (int row = 0; row < 3; ++row) {
        const std::size_t path = gridPaths[static_cast<std::size_t>(row)];
        grid->addWidget(widgets::MakeLabel(PATH_NAMES[path]), row + 2, 0);
        m_c.measure[path] = m_bind.Index(GridList(grid, INPUT_CHANNELS, row + 2, 1),
                                         widgets::Element(&F::measure, path));
        m_c.monitor[path] = m_bind.Index(GridList(grid, MONITOR_CHANNELS, row + 2, 2),
                                         widgets::Element(&F::monitor, path));
    }
    m_c.output = m_bind.Index(wideList("Output", OUTPUTS, 5), &F::output);
    Column(0)->addRow(grid);

    QFormLayout* states = Column(1);
    m_c.intakeState = m_bind.Text(AddEdit(states, "Sample Intake State"), &F::intakeState);
    m_c.sampleState = m_bind.Text(AddEdit(states, "Sample Measurement State"), &F::sampleState);
    m_c.blankState = m_bind.Text(AddEdit(states, "Blank Measurement State"), &F::blankState);
    m_c.adjustment =
        m_bind.Index(AddList(states, "Standard Adjustment", ADJUSTMENTS), &F::adjustment);
    m_c.standard1State =
        m_bind.Text(AddEdit(states, "Standard 1 Measurement State"), &F::standard1State);
    m_c.standard2State =
        m_bind.Text(AddEdit(states, "Standard 2 Measurement State"), &F::standard2State);
    m_c.standard1Conc =
        m_bind.Text(AddEdit(states, "Standard 1 Concentration (µM)"), &F::standard1Conc);
    m_c.standard2Conc =
        m_bind.Text(AddEdit(states, "Standard 2 Concentration (µM)"), &F::standard2Conc);
    m_c.trigger = m_bind.Index(AddList(states, "Processing Trigger", TRIGGERS), &F::trigger);

    QFormLayout* correction = Column(2);
    m_c.opticalCorrection = m_bind.Tick(new QCheckBox(QStringLiteral("Enable Optical Correction")),
                                        &F::opticalCorrection);
    correction->addRow(m_c.opticalCorrection);
    m_c.dilution = m_bind.Text(AddEdit(correction, "Optical Correction Dilution"), &F::dilution);
    m_c.dilution->setReadOnly(true);
    SetEditText(m_c.dilution, DilutionText(options.chemistryType));
    m_c.ocSampleState =
        m_bind.Text(AddEdit(correction, "Optical Correction State (sample)"), &F::ocSampleState);
    m_c.ocBlankState =
        m_bind.Text(AddEdit(correction, "Optical Correction State (blank)"), &F::ocBlankState);

    const auto changed = [this] { emit rulesInputChanged(); };
    connect(m_c.adjustment, &QComboBox::currentIndexChanged, this, changed);
    connect(m_c.trigger, &QComboBox::currentIndexChanged, this, changed);
    connect(m_c.opticalCorrection, &QCheckBox::clicked, this, changed);
    FixFieldWidths(this);
}

void NutrientPageWidget::Show(const NutrientPageForm& form) {
    const QSignalBlocker quiet(this);  // the rules are applied by whoever shows a form
    m_bind.Show(form);
}

void NutrientPageWidget::ApplyEnabling(const NutrientPageEnabling& e) {
    EnableBody(e.page);
    EnableRow(Column(1), m_c.standard1State, e.standard1State);
    EnableRow(Column(1), m_c.standard2State, e.standard2State);
    EnableRow(Column(1), m_c.standard1Conc, e.standard1Conc);
    EnableRow(Column(1), m_c.standard2Conc, e.standard2Conc);
    EnableRow(Column(2), m_c.dilution, e.opticalCorrection);
    EnableRow(Column(2), m_c.ocSampleState, e.opticalCorrection);
    EnableRow(Column(2), m_c.ocBlankState, e.opticalCorrection);
}

// ---- pH

PhPageWidget::PhPageWidget(const PageOptions& options, bool multiplexer, QWidget* parent)
    : PageBase(options, 3, parent) {
    using F = PhPageForm;
    BindConfigureBox(m_bind, &F::configure);
    QFormLayout* left = Column(0);
    m_c.sampleInterval = m_bind.Text(AddEdit(left, "Sample Interval (ms)"), &F::sampleInterval);
    m_c.multiplexer =
        multiplexer ? m_bind.Index(AddList(left, "Multiplexer", MULTIPLEXERS), &F::multiplexer)
                    : nullptr;
    m_c.sensorVersion =
        m_bind.Index(AddList(left, "Sensor Version", SENSOR_VERSIONS), &F::sensorVersion);
    m_c.blueChannel =
        m_bind.Index(AddList(left, "Input Channel (Blue)", INPUT_CHANNELS), &F::blueChannel);
    m_c.yellowChannel =
        m_bind.Index(AddList(left, "Input Channel (Yellow)", INPUT_CHANNELS), &F::yellowChannel);
    m_c.intakeState = m_bind.Text(AddEdit(left, "Sample Intake State"), &F::intakeState);
    m_c.measureState = m_bind.Text(AddEdit(left, "Sample Measurement State"), &F::measureState);
    QFormLayout* middle = Column(1);
    m_c.blankStart = m_bind.Text(AddEdit(middle, "Blank Start Offset (seconds)"), &F::blankStart);
    m_c.blankEnd = m_bind.Text(AddEdit(middle, "Blank End Offset (seconds)"), &F::blankEnd);
    m_c.absorbanceMinBlue =
        m_bind.Text(AddEdit(middle, "Absorbance Min (Blue)"), &F::absorbanceMinBlue);
    m_c.absorbanceMaxYellow =
        m_bind.Text(AddEdit(middle, "Absorbance Max (Yellow)"), &F::absorbanceMaxYellow);
    m_c.dpHdT = m_bind.Text(AddEdit(middle, "dpH/dT"), &F::dpHdT);
    QFormLayout* right = Column(2);
    m_c.rScale = m_bind.Text(AddEdit(right, "R-adjustment (scale)"), &F::rScale);
    m_c.rOffset = m_bind.Text(AddEdit(right, "R-adjustment (offset)"), &F::rOffset);
    m_c.thermistor1Scale =
        m_bind.Text(AddEdit(right, "Thermistor 1 Adjustment (scale)"), &F::thermistor1Scale);
    m_c.thermistor2Scale =
        m_bind.Text(AddEdit(right, "Thermistor 2 Adjustment (scale)"), &F::thermistor2Scale);
    FixFieldWidths(this);
}

void PhPageWidget::Show(const PhPageForm& form) {
    const QSignalBlocker quiet(this);  // the rules are applied by whoever shows a form
    m_bind.Show(form);
}

}  // namespace velacor::config::ui
