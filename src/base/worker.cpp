#include "base/worker.h"

#include <system_error>

namespace velacor::base {

std::thread Worker::SpawnThread(std::function<void()> body) {
    return std::thread(std::move(body));
}

bool Worker::Start(std::function<void()> body, std::function<void()> wake) {
    Stop();
    m_stop.Reset();
    m_wake = std::move(wake);
    m_running = true;
    try {
        m_thread = m_spawn([this, body = std::move(body)] {
            body();
            m_running = false;
        });
    } catch (const std::system_error&) {
        m_running = false;
        m_wake = {};
        return false;
    }
    return true;
}

void Worker::RequestStop() {
    m_stop.Stop();
    if (m_wake)
        m_wake();
}

void Worker::Stop() {
    if (!m_thread.joinable())
        return;
    RequestStop();
    if (m_thread.get_id() == std::this_thread::get_id())
        return;  // the body itself asked: the owner joins later
    m_thread.join();
    m_wake = {};
}

}  // namespace velacor::base
