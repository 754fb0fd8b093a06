#include "connection/ui/table_views.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "app/prompter.h"
#include "app/ui_helpers.h"
#include "connection/raw_table_feed.h"
#include "protocol/live_commands.h"

namespace velacor::connection::ui {

QTreeWidget* MakeOutputList(const std::vector<OutputColumn>& columns) {
    auto* list = new QTreeWidget;
    std::vector<app::ListColumn> appColumns;
    for (const OutputColumn& c : columns)
        appColumns.push_back({c.title.c_str(), c.widthDbu});
    app::AddListColumns(list, appColumns);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

void AppendCappedRow(QTreeWidget* list, const std::vector<std::string>& cells, bool scroll) {
    if (static_cast<std::size_t>(list->topLevelItemCount()) > MAX_TABLE_ROWS)
        delete list->takeTopLevelItem(0);
    const int row = list->topLevelItemCount();
    for (std::size_t c = 0; c < cells.size(); ++c)
        app::SetListCell(list, row, static_cast<int>(c), app::FromUtf8(cells[c]));
    if (scroll)
        list->scrollToItem(list->topLevelItem(row));
}

RawTableView::RawTableView(link::Transactor& link, app::Prompter& prompter,
                           const SampleHistory& history, QWidget* parent)
    : OutputView("RAW OUTPUT", link, prompter, parent), m_history(history) {
    m_list = MakeOutputList(RawColumns());
    SetContent(m_list);
    StartWorker([this] {
        RawTableFeed feed;
        feed.Begin(m_history);
        while (!StopRequested()) {
            const RawTableFeed::Step step = feed.Next(m_history, Panel()->Paused());
            if (step.add) {
                Post([this, row = RawRow(*step.add), scroll = step.scrollToEnd] {
                    AppendCappedRow(m_list, row, scroll);
                });
            } else if (step.clear) {
                Post([this] { m_list->clear(); });
            }
            if (step.waitAfter && WaitOrStop(1000))
                break;
        }
    });
}

ProcessedTableView::ProcessedTableView(link::Transactor& link, app::Prompter& prompter,
                                       QWidget* parent)
    : OutputView("PROCESSED OUTPUT", link, prompter, parent) {
    m_list = MakeOutputList(ProcessedColumns(Panel()->Chemistry().chemistryType));
    SetContent(m_list);
    m_save = new QPushButton(QStringLiteral("Save"));
    m_save->setToolTip(QStringLiteral("Save sensor processed output from list to file on PC"));
    m_clear = new QPushButton(QStringLiteral("Clear"));
    m_clear->setToolTip(QStringLiteral("Clear all processed output from sensor"));
    SideColumn()->addWidget(m_save);
    SideColumn()->addWidget(m_clear);
    connect(m_save, &QPushButton::clicked, this, &ProcessedTableView::Save);
    connect(m_clear, &QPushButton::clicked, this, &ProcessedTableView::Clear);
    StartReading();
}

void ProcessedTableView::Refresh() {
    OutputView::Refresh();
    SetColumnTitles();
}

void ProcessedTableView::SetColumnTitles() {
    const auto columns = ProcessedColumns(Panel()->Chemistry().chemistryType);
    QStringList titles;
    for (const OutputColumn& c : columns)
        titles << app::FromUtf8(c.title);
    m_list->setHeaderLabels(titles);
}

void ProcessedTableView::StartReading() {
    StartWorker([this] {
        if (protocol::PositionProcessedOutput(m_link) != protocol::STATUS_OK)
            return;  // the sensor keeps no processed output: the list stays empty
        do {
            protocol::ProcessedRecord record;
            while (!StopRequested() && !Panel()->Paused() &&
                   protocol::ReadProcessedRecord(m_link, record) == protocol::STATUS_OK) {
                Post([this, row = ProcessedRow(record)] { AppendCappedRow(m_list, row, true); });
            }
        } while (!WaitOrStop(500));
    });
}

void ProcessedTableView::Save() {
    const QString path = m_prompter.ChooseSaveFile(QStringLiteral("Processed Results Output File"),
                                                   QStringLiteral("CSV Files (*.csv)"),
                                                   QStringLiteral("csv"), QString());
    if (path.isEmpty())
        return;
    const std::string name = path.toStdString();
    if (!app::SaveListToFile(m_list, name)) {
        app::ShowMessage(m_prompter, "Save Processed Output", "Unable to open %s for write",
                         name.c_str());
        return;
    }
    if (m_list->topLevelItemCount() > 0)
        app::ShowMessage(m_prompter, "Save Processed Output", "Processed Output saved to %s",
                         name.c_str());
}

void ProcessedTableView::Clear() {
    if (!m_prompter.AskYesNo(
            QStringLiteral("Clear"),
            QStringLiteral("This will permanently wipe the processed output data "
                           "from the sensor. Are you sure you want to do this?"))) {
        return;
    }
    StopWorker();
    if (protocol::ClearProcessedOutput(m_link) == protocol::STATUS_OK)
        m_list->clear();
    else
        m_prompter.Inform(QStringLiteral("Clear"), QStringLiteral("Unable to clear outputs"));
    StartReading();
}

}  // namespace velacor::connection::ui
