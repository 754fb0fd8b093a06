#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <functional>

namespace velacor::widgets::testing {

// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

// Runs `open`, which shows a modal dialog of type D and waits in it; `act` gets the dialog
// once it is up, and the dialog is closed after `act` unless `act` closed it. Returns whether
// such a dialog came up.
template <class D, class Open, class Act>
bool WithModal(Open open, Act act) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        poll.stop();
        seen = true;
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll.start();
    open();
    poll.stop();
    return seen;
}

}  // namespace velacor::widgets::testing
