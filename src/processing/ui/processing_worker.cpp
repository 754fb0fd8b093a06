#include "processing/ui/processing_worker.h"

#include <chrono>
#include <deque>
#include <iterator>

#include "widgets/post.h"
#include "widgets/view_with_worker.h"

namespace velacor::processing::ui {
namespace {

// Collects the lines of a run until they are handed on, keeping the last LOG_LINES_KEPT.
class BoundedLog final : public LogSink {
  public:
    void AddLine(std::string_view line) override {
        if (m_lines.size() >= LOG_LINES_KEPT)
            m_lines.pop_front();
        m_lines.emplace_back(line);
    }
    bool Empty() const { return m_lines.empty(); }
    std::vector<std::string> Take() {
        std::vector<std::string> lines(std::make_move_iterator(m_lines.begin()),
                                       std::make_move_iterator(m_lines.end()));
        m_lines.clear();
        return lines;
    }

  private:
    std::deque<std::string> m_lines;
};

}  // namespace

ProcessingWorker::ProcessingWorker(QObject* parent) : QObject(parent) {}

ProcessingWorker::~ProcessingWorker() {
    Stop();
}

void ProcessingWorker::Start(RunJob job, std::uint64_t totalBytes) {
    m_worker.Stop();
    m_running = true;
    const std::uint64_t run = ++m_run;
    const bool started = m_worker.Start([this, run, totalBytes, job = std::move(job)] {
        auto report = std::make_shared<RunReport>();
        BoundedLog log;
        using Clock = std::chrono::steady_clock;
        auto lastPost = Clock::now();
        RunControl control;
        // Between blocks: stop when asked, and a few times a second hand the log lines so far
        // and the progress to the GUI thread.
        control.keepGoing = [&](std::uint64_t bytes) {
            if (m_worker.StopRequested())
                return false;
            const auto now = Clock::now();
            if (now - lastPost < std::chrono::milliseconds(100))
                return true;
            lastPost = now;
            const int permille =
                totalBytes > 0
                    ? static_cast<int>(std::min<std::uint64_t>(bytes * 1000 / totalBytes, 1000))
                    : -1;
            std::shared_ptr<const std::vector<std::string>> lines;
            if (!log.Empty())
                lines = std::make_shared<const std::vector<std::string>>(log.Take());
            widgets::PostTo(this, [this, run, permille, lines] {
                if (run != m_run || !m_running)
                    return;
                if (lines)
                    emit LogAdded(lines);
                if (permille >= 0)
                    emit Progress(permille);
            });
            return true;
        };
        job(*report, log, control);
        report->log = log.Take();
        std::shared_ptr<const RunReport> done = std::move(report);
        widgets::PostTo(this, [this, run, done] {
            if (run != m_run || !m_running)
                return;  // a run that was stopped says nothing more
            m_worker.Stop();
            m_running = false;
            emit Finished(done);
        });
    });
    if (!started) {
        auto report = std::make_shared<RunReport>();
        report->messages.push_back({"Processing", widgets::WORKER_START_FAILED_TEXT});
        std::shared_ptr<const RunReport> done = std::move(report);
        widgets::PostTo(this, [this, run, done] {
            if (run != m_run || !m_running)
                return;
            m_running = false;
            emit Finished(done);
        });
    }
}

void ProcessingWorker::Cancel() {
    m_worker.RequestStop();
}

void ProcessingWorker::Stop() {
    m_worker.Stop();
    m_running = false;
}

}  // namespace velacor::processing::ui
