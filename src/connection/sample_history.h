// The last hour of raw samples: a ring of 3600 records, allocated once per connection.
//
// Threads: the poller appends; views and graphs read from any thread. Every access holds a
// short lock, so a reader never sees a sample half written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "protocol/live_records.h"

namespace velacor::connection {

inline constexpr std::size_t HISTORY_SLOTS = 3600;

class SampleHistory {
public:
    // Allocates the slots (false when that fails) and empties the ring.
    bool Allocate();
    // Empties the ring and gives the slots back.
    void Release();
    bool Allocated() const;

    // Adds the newest sample; once full, it overwrites the oldest. Never allocates.
    void Append(const protocol::SampleRecord& sample);
    void Clear();
    std::size_t Count() const;
    // The sample of `age` (0 the newest), if there is one.
    std::optional<protocol::SampleRecord> AtAge(std::size_t age) const;
    // The newest `n` samples (fewer if the ring holds fewer), oldest first, into `out`.
    void CopyNewest(std::size_t n, std::vector<protocol::SampleRecord>& out) const;

private:
    mutable std::mutex m_mutex;
    std::vector<protocol::SampleRecord> m_slots;
    std::size_t m_count = 0;
    std::size_t m_start = 0;
};

}  // namespace velacor::connection
