#include "processing/ui/processing_dialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>
#include <utility>

#include "base/str_printf.h"
#include "widgets/lists.h"
#include "widgets/prompter.h"
#include "widgets/save_flow.h"
#include "widgets/text.h"

namespace velacor::processing::ui {

using widgets::FromUtf8;

ProcessingDialog::ProcessingDialog(widgets::Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_worker(new ProcessingWorker(this)) {
    connect(m_worker, &ProcessingWorker::Progress, this,
            [this](int permille) { m_progress->setValue(permille); });
    connect(m_worker, &ProcessingWorker::LogAdded, this,
            [this](const std::shared_ptr<const std::vector<std::string>>& lines) {
                AppendLog(*lines);
            });
    connect(m_worker, &ProcessingWorker::Finished, this, &ProcessingDialog::OnFinished);
}

ProcessingDialog::~ProcessingDialog() {
    // The worker reads the file this dialog owns: it ends before the file closes.
    m_worker->Stop();
}

QGroupBox* ProcessingDialog::BuildResultsGroup(bool withProcessButton) {
    auto* group = new QGroupBox(QStringLiteral("Processed Results"));
    auto* layout = new QVBoxLayout(group);
    m_list = new QTreeWidget;
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(false);
    layout->addWidget(m_list, 3);
    m_log = new QListWidget;
    m_log->setUniformItemSizes(true);
    layout->addWidget(m_log, 1);

    auto* buttons = new QHBoxLayout;
    if (withProcessButton) {
        m_process = new QPushButton(QStringLiteral("Process"));
        connect(m_process, &QPushButton::clicked, this, [this] { OnProcess(); });
        buttons->addWidget(m_process);
    }
    m_save = new QPushButton(QStringLiteral("Save"));
    m_save->setEnabled(false);
    connect(m_save, &QPushButton::clicked, this, &ProcessingDialog::OnSave);
    buttons->addWidget(m_save);
    m_progress = new QProgressBar;
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    connect(m_cancel, &QPushButton::clicked, m_worker, &ProcessingWorker::Cancel);
    buttons->addWidget(m_progress, 4);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    SetRunning(false);
    return group;
}

void ProcessingDialog::SetHeadings(std::vector<std::string> headings) {
    QStringList labels;
    for (const std::string& heading : headings)
        labels << QString::fromUtf8(heading);
    m_list->setColumnCount(static_cast<int>(labels.size()));
    m_list->setHeaderLabels(labels);
    const int unit = widgets::DialogBaseUnitWidth(m_list);
    for (int c = 0; c < labels.size(); ++c) {
        // Wide enough for the heading, and a time column for a date and time.
        const int cell = labels[c].startsWith(QStringLiteral("Time (")) ? 19 : 9;
        const int chars = std::max<int>(static_cast<int>(labels[c].size()), cell);
        m_list->setColumnWidth(c, (chars + 3) * unit);
    }
    m_results.SetHeadings(std::move(headings));
}

bool ProcessingDialog::ChooseRawFile(const char* title) {
    const QString filter =
        FromUtf8(RAW_FILE_FILTER_NAME) + QStringLiteral(";;") + FromUtf8(ALL_FILES_FILTER_NAME);
    const QString path = m_prompter.ChooseOpenFile(FromUtf8(RAW_FILE_CHOOSER_TITLE), filter);
    if (path.isEmpty())
        return false;
    const std::string name = path.toStdString();
    auto source = std::make_unique<FileSource>(name);
    if (!source->IsOpen()) {
        ShowInform(title, base::StrPrintf("Can't open file %s", name.c_str()));
        return false;
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(name, error);
    m_fileSize = error ? 0 : size;
    m_file = std::make_unique<RawFile>(*source);
    m_source = std::move(source);
    m_inputs = {name};
    return true;
}

void ProcessingDialog::StartRun(RunJob job, std::uint64_t totalBytes) {
    if (Busy())
        return;
    m_log->clear();
    m_list->clear();
    m_results.Clear();
    m_save->setEnabled(false);
    m_progress->setValue(0);
    SetRunning(true);
    m_worker->Start(std::move(job), totalBytes);
}

void ProcessingDialog::RunOverFile(RowRule rule, FileProcess process) {
    RawFile* file = m_file.get();
    StartRun(
        [file, rule, process = std::move(process)](RunReport& report, LogSink& log,
                                                   const RunControl& control) {
            const RunOutcome outcome = process(*file, report.table, &log, control);
            report.complete = outcome.Complete();
            if (outcome.readError)
                report.messages.push_back(ReadErrorMessage(rule));
        },
        m_fileSize);
}

void ProcessingDialog::ScanHeaderOnWorker(HeaderScan scan, std::function<void(bool found)> done) {
    m_headerScanDone = std::move(done);
    RawFile* file = m_file.get();
    StartRun(
        [file, scan = std::move(scan)](RunReport& report, LogSink&, const RunControl& control) {
            bool cancelled = false;
            report.headerFound = scan(*file, control, cancelled);
            report.complete = !cancelled;
        },
        m_fileSize);
}

void ProcessingDialog::SetRunning(bool running) {
    m_progress->setVisible(running);
    m_cancel->setVisible(running);
    m_cancel->setEnabled(running);
    if (m_process)
        m_process->setEnabled(!running);
}

void ProcessingDialog::OnFinished(const std::shared_ptr<const RunReport>& report) {
    SetRunning(false);
    const RunReport& r = *report;
    if (m_headerScanDone) {
        const auto done = std::exchange(m_headerScanDone, {});
        for (const Message& message : r.messages)
            ShowInform(message.title, message.text);
        if (r.complete)
            done(r.headerFound);
        else
            QDialog::reject();  // cancelled, or no thread to read it: nothing to show
        return;
    }
    for (const ResultRow& row : r.table.Rows())
        m_results.AddRow(row);

    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(m_results.Rows().size()));
    for (const ResultRow& row : m_results.Rows()) {
        QStringList cells;
        for (const std::string& cell : row)
            cells << QString::fromUtf8(cell);
        items << new QTreeWidgetItem(cells);
    }
    m_list->addTopLevelItems(items);

    AppendLog(r.log);
    m_save->setEnabled(r.complete);
    for (const Message& message : r.messages)
        ShowInform(message.title, message.text);
}

void ProcessingDialog::AppendLog(const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        texts << QString::fromUtf8(line);
    m_log->addItems(texts);
    const int excess = m_log->count() - static_cast<int>(LOG_LINES_KEPT);
    if (excess > 0)
        m_log->model()->removeRows(0, excess);
    m_log->setCurrentRow(m_log->count() - 1);
    m_log->scrollToBottom();
}

void ProcessingDialog::OnSave() {
    const widgets::SaveChoice choice{SAVE_CHOOSER_TITLE, SAVE_FILTER_NAME, SAVE_EXTENSION,
                                     QString(), SAVE_MESSAGE_TITLE};
    (void)widgets::ChooseAndSave(m_prompter, choice, [this](const std::string& path) {
        return SaveResults(path, m_results, m_inputs);
    });
}

void ProcessingDialog::ShowInform(std::string_view title, std::string_view text) {
    widgets::Inform(m_prompter, title, text);
}

void ProcessingDialog::closeEvent(QCloseEvent* event) {
    m_worker->Stop();
    QDialog::closeEvent(event);
}

void ProcessingDialog::reject() {
    m_worker->Stop();
    QDialog::reject();
}

}  // namespace velacor::processing::ui
