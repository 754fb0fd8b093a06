#include "processing/ui/processing_worker.h"

#include <QMetaObject>

#include <chrono>

namespace velacor::processing::ui {
namespace {

class BoundedLog final : public LogSink {
  public:
    explicit BoundedLog(std::deque<std::string>& lines) : m_lines(lines) {}
    void AddLine(std::string_view line) override {
        if (m_lines.size() >= LOG_LINES_KEPT)
            m_lines.pop_front();
        m_lines.emplace_back(line);
    }

  private:
    std::deque<std::string>& m_lines;
};

}  // namespace

ProcessingWorker::ProcessingWorker(QObject* parent) : QObject(parent) {}

ProcessingWorker::~ProcessingWorker() {
    Stop();
}

void ProcessingWorker::Start(RunJob job, std::uint64_t totalBytes) {
    Join();
    m_cancel = false;
    m_running = true;
    const std::uint64_t run = ++m_run;
    m_thread = std::jthread([this, run, totalBytes, job = std::move(job)] {
        auto report = std::make_shared<RunReport>();
        BoundedLog log(report->log);
        using Clock = std::chrono::steady_clock;
        auto lastPost = Clock::now();
        RunControl control;
        control.keepGoing = [&](std::uint64_t bytes) {
            if (m_cancel)
                return false;
            const auto now = Clock::now();
            if (totalBytes > 0 && now - lastPost >= std::chrono::milliseconds(40)) {
                lastPost = now;
                const int permille =
                    static_cast<int>(std::min<std::uint64_t>(bytes * 1000 / totalBytes, 1000));
                QMetaObject::invokeMethod(
                    this,
                    [this, run, permille] {
                        if (run == m_run && m_running)
                            emit Progress(permille);
                    },
                    Qt::QueuedConnection);
            }
            return true;
        };
        job(*report, log, control);
        std::shared_ptr<const RunReport> done = std::move(report);
        QMetaObject::invokeMethod(
            this,
            [this, run, done] {
                if (run != m_run || !m_running)
                    return;  // a run that was stopped says nothing more
                Join();
                m_running = false;
                emit Finished(done);
            },
            Qt::QueuedConnection);
    });
}

void ProcessingWorker::Cancel() {
    m_cancel = true;
}

void ProcessingWorker::Stop() {
    m_cancel = true;
    Join();
    m_running = false;
}

void ProcessingWorker::Join() {
    if (m_thread.joinable())
        m_thread.join();
}

}  // namespace velacor::processing::ui
