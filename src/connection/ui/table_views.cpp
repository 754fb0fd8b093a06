#include "connection/ui/table_views.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "connection/raw_table_feed.h"
#include "protocol/live_commands.h"
#include "widgets/lists.h"
#include "widgets/prompter.h"
#include "widgets/save_flow.h"
#include "widgets/text.h"

namespace velacor::connection::ui {

QTreeWidget* MakeOutputList(const std::vector<OutputColumn>& columns) {
    auto* list = new QTreeWidget;
    widgets::AddListColumns(list, columns);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

void AppendCappedRow(QTreeWidget* list, const std::vector<std::string>& cells, bool scroll) {
    if (static_cast<std::size_t>(list->topLevelItemCount()) > MAX_TABLE_ROWS)
        delete list->takeTopLevelItem(0);
    const int row = list->topLevelItemCount();
    for (std::size_t c = 0; c < cells.size(); ++c)
        widgets::SetListCell(list, row, static_cast<int>(c), widgets::FromUtf8(cells[c]));
    if (scroll)
        list->scrollToItem(list->topLevelItem(row));
}

RawTableView::RawTableView(link::Transactor& link, widgets::Prompter& prompter,
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

ProcessedTableView::ProcessedTableView(link::Transactor& link, widgets::Prompter& prompter,
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
        titles << widgets::FromUtf8(c.title);
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
    const widgets::SaveChoice choice{"Processed Results Output File", "CSV Files (*.csv)", "csv",
                                     QString(), "Save Processed Output"};
    base::SaveMessages messages;
    if (m_list->topLevelItemCount() > 0)
        messages.saved = "Processed Output saved to %s";
    (void)widgets::ChooseAndSave(m_prompter, choice, [&](const std::string& path) {
        return widgets::SaveListToFile(m_list, path, messages);
    });
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
