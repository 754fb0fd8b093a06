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

void Select(QComboBox* box, int index) {
    box->setCurrentIndex(index < box->count() ? index : 0);
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

bool PageBase::Configured() const {
    return m_configure == nullptr || m_configure->isChecked();
}

void PageBase::SetConfigured(bool on) {
    if (m_configure != nullptr)
        m_configure->setChecked(on);
}

void PageBase::EnableBody(bool enabled) {
    m_body->setEnabled(enabled);
}

// ---- Generic

GenericPageWidget::GenericPageWidget(const PageOptions& options, QWidget* parent)
    : PageBase(options, 2, parent) {
    m_c.sampleInterval = AddEdit(Column(0), "Sample Interval (ms)");
    m_c.intakeState = AddEdit(Column(0), "Sample Intake State");
    m_c.measureState = AddEdit(Column(0), "Sample Measurement State");
    auto* grid = new QGridLayout;
    grid->addWidget(widgets::MakeLabel("Scale"), 0, 1);
    grid->addWidget(widgets::MakeLabel("Offset"), 0, 2);
    for (int ch = 0; ch < 8; ++ch) {
        const auto i = static_cast<std::size_t>(ch);
        grid->addWidget(new QLabel(QStringLiteral("Ch %1").arg(ch)), ch + 1, 0);
        m_c.scale[i] = GridEdit(grid, ch + 1, 1);
        m_c.offset[i] = GridEdit(grid, ch + 1, 2);
    }
    Column(1)->addRow(grid);
    FixFieldWidths(this);
}

void GenericPageWidget::Show(const GenericPageForm& form) {
    const QSignalBlocker quiet(this);  // the rules are applied by whoever shows a form
    SetConfigured(form.configure);
    SetEditText(m_c.sampleInterval, form.sampleInterval);
    SetEditText(m_c.intakeState, form.intakeState);
    SetEditText(m_c.measureState, form.measureState);
    for (std::size_t i = 0; i < 8; ++i) {
        SetEditText(m_c.scale[i], form.scale[i]);
        SetEditText(m_c.offset[i], form.offset[i]);
    }
}

GenericPageForm GenericPageWidget::Form() const {
    GenericPageForm form;
    form.configure = Configured();
    form.sampleInterval = EditText(m_c.sampleInterval);
    form.intakeState = EditText(m_c.intakeState);
    form.measureState = EditText(m_c.measureState);
    for (std::size_t i = 0; i < 8; ++i) {
        form.scale[i] = EditText(m_c.scale[i]);
        form.offset[i] = EditText(m_c.offset[i]);
    }
    return form;
}

// ---- Nutrient

NutrientPageWidget::NutrientPageWidget(const PageOptions& options,
                                       std::array<std::uint8_t, 3> gridPaths, QWidget* parent)
    : PageBase(options, 3, parent) {
    // One grid, so that Sensor Version and Output line up with the channel lists.
    auto* grid = new QGridLayout;
    const auto wideList = [grid](const char* label, base::ValueTable table, int row) {
        grid->addWidget(widgets::MakeLabel(label), row, 0);
        QComboBox* box = widgets::MakeDropDown(table);
        widgets::SetWidthInUnits(box, 2 * CHANNEL_UNITS);
        grid->addWidget(box, row, 1, 1, 2);
        return box;
    };
    m_c.sensorVersion = wideList("Sensor Version", SENSOR_VERSIONS, 0);
    grid->addWidget(widgets::MakeLabel("Channel"), 1, 0);
    grid->addWidget(widgets::MakeLabel("Measure"), 1, 1);
    grid->addWidget(widgets::MakeLabel("Monitor"), 1, 2);
    for (int row = 0; row < 3; ++row) {
        const std::size_t path = gridPaths[static_cast<std::size_t>(row)];
        grid->addWidget(widgets::MakeLabel(PATH_NAMES[path]), row + 2, 0);
        m_c.measure[path] = GridList(grid, INPUT_CHANNELS, row + 2, 1);
        m_c.monitor[path] = GridList(grid, MONITOR_CHANNELS, row + 2, 2);
    }
    m_c.output = wideList("Output", OUTPUTS, 5);
    Column(0)->addRow(grid);

    QFormLayout* states = Column(1);
    m_c.intakeState = AddEdit(states, "Sample Intake State");
    m_c.sampleState = AddEdit(states, "Sample Measurement State");
    m_c.blankState = AddEdit(states, "Blank Measurement State");
    m_c.adjustment = AddList(states, "Standard Adjustment", ADJUSTMENTS);
    m_c.standard1State = AddEdit(states, "Standard 1 Measurement State");
    m_c.standard2State = AddEdit(states, "Standard 2 Measurement State");
    m_c.standard1Conc = AddEdit(states, "Standard 1 Concentration (µM)");
    m_c.standard2Conc = AddEdit(states, "Standard 2 Concentration (µM)");
    m_c.trigger = AddList(states, "Processing Trigger", TRIGGERS);

    QFormLayout* correction = Column(2);
    m_c.opticalCorrection = new QCheckBox(QStringLiteral("Enable Optical Correction"));
    correction->addRow(m_c.opticalCorrection);
    m_c.dilution = AddEdit(correction, "Optical Correction Dilution");
    m_c.dilution->setReadOnly(true);
    SetEditText(m_c.dilution, DilutionText(options.chemistryType));
    m_c.ocSampleState = AddEdit(correction, "Optical Correction State (sample)");
    m_c.ocBlankState = AddEdit(correction, "Optical Correction State (blank)");

    const auto changed = [this] { emit rulesInputChanged(); };
    connect(m_c.adjustment, &QComboBox::currentIndexChanged, this, changed);
    connect(m_c.trigger, &QComboBox::currentIndexChanged, this, changed);
    connect(m_c.opticalCorrection, &QCheckBox::clicked, this, changed);
    FixFieldWidths(this);
}

void NutrientPageWidget::Show(const NutrientPageForm& form) {
    const QSignalBlocker quiet(this);  // the rules are applied by whoever shows a form
    SetConfigured(form.configure);
    Select(m_c.sensorVersion, form.sensorVersion);
    for (std::size_t path = 0; path < 3; ++path) {
        Select(m_c.measure[path], form.measure[path]);
        Select(m_c.monitor[path], form.monitor[path]);
    }
    Select(m_c.output, form.output);
    SetEditText(m_c.intakeState, form.intakeState);
    SetEditText(m_c.sampleState, form.sampleState);
    SetEditText(m_c.blankState, form.blankState);
    Select(m_c.adjustment, form.adjustment);
    SetEditText(m_c.standard1State, form.standard1State);
    SetEditText(m_c.standard2State, form.standard2State);
    SetEditText(m_c.standard1Conc, form.standard1Conc);
    SetEditText(m_c.standard2Conc, form.standard2Conc);
    Select(m_c.trigger, form.trigger);
    m_c.opticalCorrection->setChecked(form.opticalCorrection);
    SetEditText(m_c.dilution, form.dilution);
    SetEditText(m_c.ocSampleState, form.ocSampleState);
    SetEditText(m_c.ocBlankState, form.ocBlankState);
}

NutrientPageForm NutrientPageWidget::Form() const {
    NutrientPageForm form;
    form.configure = Configured();
    form.sensorVersion = m_c.sensorVersion->currentIndex();
    for (std::size_t path = 0; path < 3; ++path) {
        form.measure[path] = m_c.measure[path]->currentIndex();
        form.monitor[path] = m_c.monitor[path]->currentIndex();
    }
    form.output = m_c.output->currentIndex();
    form.intakeState = EditText(m_c.intakeState);
    form.sampleState = EditText(m_c.sampleState);
    form.blankState = EditText(m_c.blankState);
    form.adjustment = m_c.adjustment->currentIndex();
    form.standard1State = EditText(m_c.standard1State);
    form.standard2State = EditText(m_c.standard2State);
    form.standard1Conc = EditText(m_c.standard1Conc);
    form.standard2Conc = EditText(m_c.standard2Conc);
    form.trigger = m_c.trigger->currentIndex();
    form.opticalCorrection = m_c.opticalCorrection->isChecked();
    form.dilution = EditText(m_c.dilution);
    form.ocSampleState = EditText(m_c.ocSampleState);
    form.ocBlankState = EditText(m_c.ocBlankState);
    return form;
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
    QFormLayout* left = Column(0);
    m_c.sampleInterval = AddEdit(left, "Sample Interval (ms)");
    m_c.multiplexer = multiplexer ? AddList(left, "Multiplexer", MULTIPLEXERS) : nullptr;
    m_c.sensorVersion = AddList(left, "Sensor Version", SENSOR_VERSIONS);
    m_c.blueChannel = AddList(left, "Input Channel (Blue)", INPUT_CHANNELS);
    m_c.yellowChannel = AddList(left, "Input Channel (Yellow)", INPUT_CHANNELS);
    m_c.intakeState = AddEdit(left, "Sample Intake State");
    m_c.measureState = AddEdit(left, "Sample Measurement State");
    QFormLayout* middle = Column(1);
    m_c.blankStart = AddEdit(middle, "Blank Start Offset (seconds)");
    m_c.blankEnd = AddEdit(middle, "Blank End Offset (seconds)");
    m_c.absorbanceMinBlue = AddEdit(middle, "Absorbance Min (Blue)");
    m_c.absorbanceMaxYellow = AddEdit(middle, "Absorbance Max (Yellow)");
    m_c.dpHdT = AddEdit(middle, "dpH/dT");
    QFormLayout* right = Column(2);
    m_c.rScale = AddEdit(right, "R-adjustment (scale)");
    m_c.rOffset = AddEdit(right, "R-adjustment (offset)");
    m_c.thermistor1Scale = AddEdit(right, "Thermistor 1 Adjustment (scale)");
    m_c.thermistor2Scale = AddEdit(right, "Thermistor 2 Adjustment (scale)");
    FixFieldWidths(this);
}

void PhPageWidget::Show(const PhPageForm& form) {
    const QSignalBlocker quiet(this);  // the rules are applied by whoever shows a form
    SetConfigured(form.configure);
    SetEditText(m_c.sampleInterval, form.sampleInterval);
    if (m_c.multiplexer != nullptr)
        Select(m_c.multiplexer, form.multiplexer);
    Select(m_c.sensorVersion, form.sensorVersion);
    Select(m_c.blueChannel, form.blueChannel);
    Select(m_c.yellowChannel, form.yellowChannel);
    SetEditText(m_c.intakeState, form.intakeState);
    SetEditText(m_c.measureState, form.measureState);
    SetEditText(m_c.blankStart, form.blankStart);
    SetEditText(m_c.blankEnd, form.blankEnd);
    SetEditText(m_c.absorbanceMinBlue, form.absorbanceMinBlue);
    SetEditText(m_c.absorbanceMaxYellow, form.absorbanceMaxYellow);
    SetEditText(m_c.dpHdT, form.dpHdT);
    SetEditText(m_c.rScale, form.rScale);
    SetEditText(m_c.rOffset, form.rOffset);
    SetEditText(m_c.thermistor1Scale, form.thermistor1Scale);
    SetEditText(m_c.thermistor2Scale, form.thermistor2Scale);
}

PhPageForm PhPageWidget::Form() const {
    PhPageForm form;
    form.configure = Configured();
    form.sampleInterval = EditText(m_c.sampleInterval);
    form.multiplexer = m_c.multiplexer != nullptr ? m_c.multiplexer->currentIndex() : 0;
    form.sensorVersion = m_c.sensorVersion->currentIndex();
    form.blueChannel = m_c.blueChannel->currentIndex();
    form.yellowChannel = m_c.yellowChannel->currentIndex();
    form.intakeState = EditText(m_c.intakeState);
    form.measureState = EditText(m_c.measureState);
    form.blankStart = EditText(m_c.blankStart);
    form.blankEnd = EditText(m_c.blankEnd);
    form.absorbanceMinBlue = EditText(m_c.absorbanceMinBlue);
    form.absorbanceMaxYellow = EditText(m_c.absorbanceMaxYellow);
    form.dpHdT = EditText(m_c.dpHdT);
    form.rScale = EditText(m_c.rScale);
    form.rOffset = EditText(m_c.rOffset);
    form.thermistor1Scale = EditText(m_c.thermistor1Scale);
    form.thermistor2Scale = EditText(m_c.thermistor2Scale);
    return form;
}

}  // namespace velacor::config::ui
