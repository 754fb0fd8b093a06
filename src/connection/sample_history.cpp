#include "connection/sample_history.h"

#include <new>

namespace velacor::connection {

bool SampleHistory::Allocate() {
    std::lock_guard lock(m_mutex);
    try {
        m_slots.assign(HISTORY_SLOTS, protocol::SampleRecord{});
    } catch (const std::bad_alloc&) {
        m_slots.clear();
        return false;
    }
    m_count = 0;
    m_start = 0;
    return true;
}

void SampleHistory::Release() {
    std::lock_guard lock(m_mutex);
    m_count = 0;
    m_start = 0;
    std::vector<protocol::SampleRecord>().swap(m_slots);
}

bool SampleHistory::Allocated() const {
    std::lock_guard lock(m_mutex);
    return !m_slots.empty();
}

void SampleHistory::Append(const protocol::SampleRecord& sample) {
    std::lock_guard lock(m_mutex);
    if (m_slots.empty())
        return;
    if (m_count < HISTORY_SLOTS) {
        ++m_count;
    } else {
        m_start = (m_start + 1) % HISTORY_SLOTS;
    }
    m_slots[(m_count - 1 + m_start) % HISTORY_SLOTS] = sample;
}

void SampleHistory::Clear() {
    std::lock_guard lock(m_mutex);
    m_count = 0;
    m_start = 0;
}

std::size_t SampleHistory::Count() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

std::optional<protocol::SampleRecord> SampleHistory::AtAge(std::size_t age) const {
    std::lock_guard lock(m_mutex);
    if (age >= m_count)
        return std::nullopt;
    return m_slots[(m_start + m_count - 1 - age) % HISTORY_SLOTS];
}

void SampleHistory::CopyNewest(std::size_t n, std::vector<protocol::SampleRecord>& out) const {
    std::lock_guard lock(m_mutex);
    const std::size_t take = std::min(n, m_count);
    out.resize(take);
    for (std::size_t i = 0; i < take; ++i)
        out[i] = m_slots[(m_start + m_count - take + i) % HISTORY_SLOTS];
}

}  // namespace velacor::connection
