// What every processing dialog shares: the raw file it owns from opening to closing, the
// "Processed Results" group (results table, message log, Process and Save, a progress bar with
// Cancel while a run goes on), the worker that runs the processing, and Save.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "processing/raw_file.h"
#include "processing/results.h"
#include "processing/run_control.h"
#include "processing/ui/processing_worker.h"

class QGroupBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace velacor::app {
class Prompter;
}

namespace velacor::processing::ui {

class ProcessingDialog : public QDialog {
    Q_OBJECT
  public:
    ~ProcessingDialog() override;

    QTreeWidget* ResultsList() const { return m_list; }
    QListWidget* LogList() const { return m_log; }
    QPushButton* ProcessButton() const { return m_process; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* CancelButton() const { return m_cancel; }
    QProgressBar* ProgressBar() const { return m_progress; }
    // The rows the table shows, as Save writes them.
    const ResultsTable& Results() const { return m_results; }
    bool Busy() const { return m_worker->Running(); }

  protected:
    ProcessingDialog(app::Prompter& prompter, QWidget* parent);

    // The "Processed Results" group; without a Process button for the multi-file dialog.
    QGroupBox* BuildResultsGroup(bool withProcessButton);
    void SetHeadings(std::vector<std::string> headings);
    const std::vector<std::string>& Headings() const { return m_results.Headings(); }

    // Asks for the raw file and opens it; false when the chooser is cancelled or the file can't
    // be opened (the message is shown under `title`).
    bool ChooseRawFile(const char* title);
    RawFile& File() { return *m_file; }
    std::uint64_t FileSize() const { return m_fileSize; }

    // Clears the log and the table, disables Save and runs `job` on the worker.
    void StartRun(RunJob job, std::uint64_t totalBytes);
    // StartRun for a run over the dialog's raw file; a read error is reported as the rows'
    // processing reports it.
    using FileProcess = std::function<RunOutcome(RawFile& file, ResultsTable& table, LogSink* log,
                                                 const RunControl& control)>;
    void RunOverFile(RowRule rule, FileProcess process);
    void ShowInform(std::string_view title, std::string_view text);
    app::Prompter& Prompter() { return m_prompter; }

    // Called when the Process button is clicked.
    virtual void OnProcess() {}

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void OnFinished(const std::shared_ptr<const RunReport>& report);
    // Adds lines to the log, keeping its last LOG_LINES_KEPT, the newest selected and in view.
    void AppendLog(const std::vector<std::string>& lines);
    void OnSave();
    void SetRunning(bool running);

    app::Prompter& m_prompter;
    std::unique_ptr<FileSource> m_source;
    std::unique_ptr<RawFile> m_file;
    std::uint64_t m_fileSize = 0;
    ResultsTable m_results;
    ProcessingWorker* m_worker = nullptr;

    QTreeWidget* m_list = nullptr;
    QListWidget* m_log = nullptr;
    QPushButton* m_process = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
};

}  // namespace velacor::processing::ui
