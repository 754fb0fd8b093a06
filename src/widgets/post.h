// Handing work from a worker thread to the GUI thread.
#pragma once

#include <QMetaObject>
#include <QObject>

#include <utility>

namespace velacor::widgets {

// Runs `task` later on the thread of `receiver` (the GUI thread for every widget). Safe to call
// from any thread; the task is dropped when `receiver` is gone by then. A worker hands over
// copies only: whatever the task captures must not be shared with the worker afterwards.
template <class Task>
void PostTo(QObject* receiver, Task&& task) {
    QMetaObject::invokeMethod(receiver, std::forward<Task>(task), Qt::QueuedConnection);
}

}  // namespace velacor::widgets
