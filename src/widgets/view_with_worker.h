// A view that runs a worker thread of its own (a probe, a table refresh, a graph refresh). The
// main window stops the worker before it replaces the view, so no old worker still talks to
// the sensor while the next view starts.
#pragma once

namespace velacor::widgets {

// What a window says when its worker thread can't be started.
inline constexpr const char* WORKER_START_FAILED_TEXT =
    "Unable to start a worker thread: this window shows no new data";

class ViewWithWorker {
  public:
    virtual ~ViewWithWorker() = default;
    // Ends the worker and waits for it; the view shows what it has and does nothing more.
    virtual void StopWorker() = 0;
};

}  // namespace velacor::widgets
