// What the four output views share: a header, the Sensor Control panel, a content area, and a
// worker thread the view starts when it opens and stops before it goes.
#pragma once

#include <QWidget>

#include <functional>
#include <thread>

#include "app/view_with_worker.h"
#include "base/stop_signal.h"
#include "connection/ui/sensor_control_panel.h"

class QBoxLayout;

namespace velacor::connection::ui {

class OutputView : public QWidget, public app::ViewWithWorker {
    Q_OBJECT
  public:
    OutputView(const char* header, link::Transactor& link, app::Prompter& prompter,
               QWidget* parent = nullptr);
    ~OutputView() override;

    void StopWorker() override;
    // The main window's ConnectionChanged and RefreshView.
    void SetConnectionFlags(std::uint32_t flags) { m_panel->SetConnectionFlags(flags); }
    virtual void Refresh() { m_panel->Refresh(); }
    SensorControlPanel* Panel() const { return m_panel; }

  signals:
    void startRequested(std::uint8_t startState);
    void stopRequested();

  protected:
    // The column beside the content, under the panel, for a view's own controls.
    QBoxLayout* SideColumn() const { return m_side; }
    void SetContent(QWidget* content);
    // Starts `body` on the worker thread; it should return soon after StopRequested().
    void StartWorker(std::function<void()> body);
    // Sleeps up to `ms` on the worker; true when the worker is to stop.
    bool WaitOrStop(int ms) { return m_stop.WaitFor(std::chrono::milliseconds(ms)); }
    bool StopRequested() const { return m_stop.Stopped(); }
    // Runs `task` on the GUI thread later; dropped if the view is gone by then.
    void Post(std::function<void()> task);

    link::Transactor& m_link;
    app::Prompter& m_prompter;

  private:
    SensorControlPanel* m_panel = nullptr;
    QBoxLayout* m_side = nullptr;
    QBoxLayout* m_layout = nullptr;
    base::StopSignal m_stop;
    std::thread m_worker;
};

}  // namespace velacor::connection::ui
