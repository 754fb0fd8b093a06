// Runs one processing job at a time on a thread of its own, so the dialog stays responsive over
// files of gigabytes. The job writes into a report the worker owns; when it ends, the report is
// handed to the GUI thread whole. Progress and Finished arrive on the GUI thread.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/worker.h"
#include "processing/raw_file.h"
#include "processing/results.h"
#include "processing/run_control.h"

namespace velacor::processing::ui {

// The log of a run keeps its last lines only, so that a run over a file of millions of cycles
// holds a bounded amount of text, on the worker as in the dialog.
inline constexpr std::size_t LOG_LINES_KEPT = 100'000;

struct RunReport {
    ResultsTable table;
    std::vector<std::string> log;   // the lines not yet handed on by LogAdded
    bool complete = false;          // the whole input was read without a read error
    std::vector<Message> messages;  // to show when the run has ended (read errors)
    bool headerFound = false;       // a header scan's result
};

// The job: fills `report.table` and `report.complete`, logs to `log`, asks `control` between
// blocks. Runs on the worker thread and must touch nothing the GUI thread uses meanwhile.
using RunJob = std::function<void(RunReport& report, LogSink& log, const RunControl& control)>;

class ProcessingWorker final : public QObject {
    Q_OBJECT
  public:
    explicit ProcessingWorker(QObject* parent = nullptr);
    ~ProcessingWorker() override;

    // Starts `job`; `totalBytes` scales the progress (0: unknown). Only when not Running(). A
    // thread that can't be started finishes the run at once with a message and nothing done.
    void Start(RunJob job, std::uint64_t totalBytes);
    // Asks the job to stop at its next block; Finished still arrives.
    void Cancel();
    // Cancels and waits for the thread; no signal arrives afterwards from this run.
    void Stop();
    bool Running() const { return m_running; }

  signals:
    void Progress(int permille);
    // The log lines of the run since the last batch, a few times a second while it goes on.
    void LogAdded(std::shared_ptr<const std::vector<std::string>> lines);
    void Finished(std::shared_ptr<const RunReport> report);

  private:
    bool m_running = false;  // GUI thread only
    // Each run gets a number, so that a Finished posted by a stopped run is recognised.
    std::uint64_t m_run = 0;
    base::Worker m_worker;
};

}  // namespace velacor::processing::ui
