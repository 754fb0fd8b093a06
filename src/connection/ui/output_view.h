// What the four output views share: a header, the Sensor Control panel, a content area, and a
// worker thread the view starts when it opens and stops before it goes.
//
// A view that starts the worker stops it first thing in its own destructor, while the members
// the worker uses still exist; ~OutputView stops it again, which is then a no-op.
#pragma once

#include <QWidget>

#include <chrono>
#include <functional>

#include "base/worker.h"
#include "connection/ui/sensor_control_panel.h"
#include "widgets/post.h"
#include "widgets/view_with_worker.h"

class QBoxLayout;

namespace velacor::connection::ui {

class OutputView : public QWidget, public widgets::ViewWithWorker {
    Q_OBJECT
  public:
    OutputView(const char* header, link::Transactor& link, widgets::Prompter& prompter,
               QWidget* parent = nullptr);
    ~OutputView() override;

    void StopWorker() override { m_worker.Stop(); }
    bool WorkerRunning() const { return m_worker.Running(); }
    // The main window's ConnectionChanged and RefreshView.
    void SetConnectionFlags(std::uint32_t flags) { m_panel->SetConnectionFlags(flags); }
    virtual void Refresh() { m_panel->Refresh(); }
    SensorControlPanel* Panel() const { return m_panel; }

  signals:
    void startRequested(std::uint8_t startState);
    void stopRequested();
    void autostartRequested();

  protected:
    // The column beside the content, under the panel, for a view's own controls.
    QBoxLayout* SideColumn() const { return m_side; }
    void SetContent(QWidget* content);
    // Starts `body` on the worker thread; it should return soon after StopRequested(). A thread
    // that can't be started is reported, and the view then shows nothing new.
    void StartWorker(std::function<void()> body);
    // Sleeps up to `ms` on the worker; true when the worker is to stop.
    bool WaitOrStop(int ms) { return m_worker.Sleep(std::chrono::milliseconds(ms)); }
    bool StopRequested() const { return m_worker.StopRequested(); }
    // Runs `task` on the GUI thread later; dropped if the view is gone by then.
    template <class Task>
    void Post(Task&& task) {
        widgets::PostTo(this, std::forward<Task>(task));
    }

    link::Transactor& m_link;
    widgets::Prompter& m_prompter;

  private:
    const char* m_header;
    SensorControlPanel* m_panel = nullptr;
    QBoxLayout* m_side = nullptr;
    QBoxLayout* m_layout = nullptr;
    base::Worker m_worker;
};

}  // namespace velacor::connection::ui
