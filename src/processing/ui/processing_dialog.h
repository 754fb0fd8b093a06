// What every processing dialog shares: the raw file it owns from opening to closing, the
// "Processed Results" group (results table, message log, Process and Save, a progress bar with
// Cancel while a run goes on), the worker that runs the processing, and Save.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/transactor.h"
#include "processing/processing_runs.h"
#include "processing/raw_file.h"
#include "processing/results.h"
#include "processing/run_control.h"
#include "processing/sensor_parameters.h"
#include "processing/ui/processing_worker.h"

class QGroupBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace velacor::widgets {
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
    // The connected sensor, whose parameters stand in for those of a file without header;
    // nullptr (the default) when none is connected. Set before Open.
    void SetSensor(link::Transactor* sensor) { m_sensor = sensor; }

  protected:
    ProcessingDialog(widgets::Prompter& prompter, QWidget* parent);

    // The "Processed Results" group; without a Process button for the multi-file dialog.
    QGroupBox* BuildResultsGroup(bool withProcessButton);
    void SetHeadings(std::vector<std::string> headings);
    const std::vector<std::string>& Headings() const { return m_results.Headings(); }

    // Asks for the raw file and opens it; false when the chooser is cancelled or the file can't
    // be opened (the message is shown under `title`).
    bool ChooseRawFile(const char* title);
    RawFile& File() { return *m_file; }
    // The raw files a run reads; Save refuses to write over them.
    void SetInputs(std::vector<std::string> paths) { m_inputs = std::move(paths); }
    std::uint64_t FileSize() const { return m_fileSize; }

    // Clears the log and the table, disables Save and runs `job` on the worker.
    void StartRun(RunJob job, std::uint64_t totalBytes);
    // StartRun for a run over the dialog's raw file; a read error is reported as the rows'
    // processing reports it.
    using FileProcess = std::function<RunOutcome(RawFile& file, ResultsTable& table, LogSink* log,
                                                 const RunControl& control)>;
    void RunOverFile(RowRule rule, FileProcess process);
    void ShowInform(std::string_view title, std::string_view text);
    void AddLogLine(const std::string& line) { AppendLog({line}); }

    // For a file without header: the connected sensor's parameters into `header`, said in the
    // log; with no sensor to give them, the message asking for them by hand. True when taken.
    template <class Header>
    bool TakeSensorHeader(std::optional<Header> (*read)(link::Transactor&), Header& header,
                          const ProcessingTexts& texts) {
        std::optional<Header> fromSensor;
        if (m_sensor != nullptr)
            fromSensor = read(*m_sensor);
        if (!fromSensor) {
            ShowInform(texts.dialogTitle, texts.noHeader);
            return false;
        }
        header = *fromSensor;
        AddLogLine(SENSOR_PARAMETERS_LOG_LINE);
        return true;
    }

    // Reads the header of the dialog's raw file on the worker (a header that may stand
    // anywhere in a file of gigabytes), with the progress bar and Cancel; then `done` runs on
    // the GUI thread with whether a header was found. A cancelled scan closes the dialog.
    using HeaderScan =
        std::function<bool(RawFile& file, const RunControl& control, bool& cancelled)>;
    void ScanHeaderOnWorker(HeaderScan scan, std::function<void(bool found)> done);
    widgets::Prompter& Prompter() { return m_prompter; }

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

    widgets::Prompter& m_prompter;
    std::unique_ptr<FileSource> m_source;
    std::unique_ptr<RawFile> m_file;
    std::uint64_t m_fileSize = 0;
    std::vector<std::string> m_inputs;  // the raw files read, which Save never overwrites
    ResultsTable m_results;
    ProcessingWorker* m_worker = nullptr;
    link::Transactor* m_sensor = nullptr;
    std::function<void(bool found)> m_headerScanDone;  // set while a header scan runs

    QTreeWidget* m_list = nullptr;
    QListWidget* m_log = nullptr;
    QPushButton* m_process = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
};

}  // namespace velacor::processing::ui
