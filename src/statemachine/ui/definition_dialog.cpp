#include "statemachine/ui/definition_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "statemachine/dry_run.h"
#include "widgets/colours.h"
#include "widgets/form_fields.h"
#include "widgets/lists.h"
#include "widgets/prompter.h"
#include "widgets/save_flow.h"
#include "widgets/text.h"

namespace velacor::statemachine::ui {

using widgets::FromUtf8;
using widgets::ReadUnsigned;

DefinitionDialog::DefinitionDialog(widgets::Prompter& prompter, const StateMachine& machine,
                                   QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_machine(machine) {
    setModal(true);
    m_table = new QTreeWidget;
    m_table->setRootIsDecorated(false);
    m_table->setUniformRowHeights(true);
    m_table->header()->setMinimumSectionSize(0);  // shrunk columns vanish
    // The widths are the table's own and cut long texts short: the operator may widen a
    // column, and every cell and title shows its whole text as its tool tip.
    m_table->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->setColumnCount(static_cast<int>(TABLE_COLUMNS));
    QStringList titles;
    for (const base::ListColumn& column : TableColumns())
        titles << FromUtf8(column.title);
    m_table->setHeaderLabels(titles);
    for (int c = 0; c < titles.size(); ++c)
        m_table->headerItem()->setToolTip(c, titles[c]);

    m_mode = new QComboBox;
    m_mode->addItem(QString::fromUtf8(TableModeName(TableMode::DEFINITION)));
    m_mode->addItem(QString::fromUtf8(TableModeName(TableMode::DRY_RUN)));
    m_start = new QLineEdit(QStringLiteral("0"));
    m_timeoutBox = new QCheckBox(QStringLiteral("Simulate Pump Timeout On State:"));
    m_timeoutState = new QLineEdit(QStringLiteral("0"));
    m_depthBox = new QCheckBox(QStringLiteral("Simulate Depth Triggers"));
    m_depthBox->setEnabled(false);  // depth triggers are never simulated
    m_shrink = new QCheckBox(QStringLiteral("Shrink Counter && Trigger Columns"));
    m_go = new QPushButton(QStringLiteral("Go"));
    m_save = new QPushButton(QStringLiteral("Save..."));
    for (QLineEdit* field : {m_start, m_timeoutState})
        field->setMaximumWidth(60);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Mode")));
    controls->addWidget(m_mode);
    controls->addWidget(new QLabel(QStringLiteral("Start Dry Run At State:")));
    controls->addWidget(m_start);
    controls->addWidget(m_timeoutBox);
    controls->addWidget(m_timeoutState);
    controls->addWidget(m_depthBox);
    controls->addWidget(m_shrink);
    controls->addStretch();
    controls->addWidget(m_go);
    controls->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(controls);
    resize(1000, 500);

    ApplyColumnWidths();
    connect(m_mode, &QComboBox::currentIndexChanged, this, &DefinitionDialog::OnModeChanged);
    connect(m_start, &QLineEdit::textChanged, this, &DefinitionDialog::UpdateDryRunControls);
    connect(m_timeoutState, &QLineEdit::textChanged, this, &DefinitionDialog::UpdateDryRunControls);
    connect(m_timeoutBox, &QCheckBox::toggled, this, &DefinitionDialog::UpdateDryRunControls);
    connect(m_shrink, &QCheckBox::toggled, this, &DefinitionDialog::ApplyColumnWidths);
    connect(m_go, &QPushButton::clicked, this, &DefinitionDialog::OnGo);
    connect(m_save, &QPushButton::clicked, this, &DefinitionDialog::OnSave);
    OnModeChanged();
}

void DefinitionDialog::ApplyColumnWidths() {
    for (std::size_t column = 0; column < TABLE_COLUMNS; ++column) {
        const int width = ColumnWidth(column, m_shrink->isChecked());
        m_table->setColumnWidth(
            static_cast<int>(column),
            widgets::ColumnPixels(m_table, width, widgets::ColumnUnit::AverageChar));
    }
}

void DefinitionDialog::ShowRows(std::vector<TableRow> rows, TableMode mode) {
    m_table->clear();
    if (rows.size() > MAX_TABLE_ROWS)
        rows.resize(MAX_TABLE_ROWS);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const TableRow& row : rows) {
        QStringList texts;
        for (const std::string& cell : row.cells)
            texts << FromUtf8(Cp1252ToUtf8(cell));
        auto* item = new QTreeWidgetItem(texts);
        for (int c = 0; c < texts.size(); ++c)
            item->setToolTip(c, texts[c]);
        items << item;
    }
    m_table->addTopLevelItems(items);
    m_rows = std::move(rows);
    setWindowTitle(FromUtf8(TableTitle(mode, m_machine)));
}

void DefinitionDialog::OnModeChanged() {
    m_table->clear();
    m_rows.clear();
    const bool dryRun = m_mode->currentIndex() == static_cast<int>(TableMode::DRY_RUN);
    if (!dryRun)
        ShowRows(DefinitionListing(m_machine), TableMode::DEFINITION);
    else
        setWindowTitle(FromUtf8(TableTitle(TableMode::DRY_RUN, m_machine)));
    UpdateDryRunControls();
}

void DefinitionDialog::UpdateDryRunControls() {
    const bool dryRun = m_mode->currentIndex() == static_cast<int>(TableMode::DRY_RUN);
    m_start->setEnabled(dryRun);
    m_timeoutBox->setEnabled(dryRun);
    m_timeoutState->setEnabled(dryRun && m_timeoutBox->isChecked());
    bool goAllowed = dryRun;
    for (QLineEdit* field : {m_start, m_timeoutState}) {
        const bool inRange =
            !field->isEnabled() || DryRunStateInRange(ReadUnsigned(field), m_machine.lastIndex);
        widgets::SetFieldColour(field, inRange);
        goAllowed = goAllowed && inRange;
    }
    m_go->setEnabled(goAllowed);
}

void DefinitionDialog::OnGo() {
    DryRunOptions options;
    options.startState = ClampDryRunState(ReadUnsigned(m_start), m_machine.lastIndex);
    if (m_timeoutBox->isChecked()) {
        options.timeoutState = ClampDryRunState(ReadUnsigned(m_timeoutState), m_machine.lastIndex);
    }
    DryRunResult result = DryRun(m_machine, options);
    ShowRows(std::move(result.rows), TableMode::DRY_RUN);
    m_prompter.Inform(QString::fromUtf8(DRY_RUN_CAPTION), FromUtf8(result.message));
}

void DefinitionDialog::OnSave() {
    const widgets::SaveChoice choice{SUMMARY_FILE_DIALOG_TITLE, SUMMARY_FILE_FILTER,
                                     SUMMARY_FILE_EXTENSION, QString(), SUMMARY_CAPTION};
    (void)widgets::ChooseAndSave(m_prompter, choice, [this](const std::string& path) {
        return SaveSummaryFile(path, m_rows);
    });
}

}  // namespace velacor::statemachine::ui
