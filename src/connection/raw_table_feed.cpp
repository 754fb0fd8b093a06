#include "connection/raw_table_feed.h"

#include <algorithm>

#include "connection/output_rows.h"

namespace velacor::connection {

void RawTableFeed::Begin(const SampleHistory& history) {
    const std::size_t count = history.Count();
    m_age = count == 0 ? 0 : std::min(count - 1, MAX_TABLE_ROWS - 1);
    m_haveCounter = false;
}

RawTableFeed::Step RawTableFeed::Next(const SampleHistory& history, bool paused) {
    Step step;
    const std::optional<protocol::SampleRecord> sample =
        history.Allocated() ? history.AtAge(m_age) : std::nullopt;
    if (!sample) {
        step.clear = history.Count() == 0;
    } else if (!m_haveCounter || sample->counter != m_lastCounter) {
        // Remembered even while paused, so a paused sample never shows later.
        m_haveCounter = true;
        m_lastCounter = sample->counter;
        if (!paused) {
            step.add = sample;
            step.scrollToEnd = m_age == 0;
        }
    }
    if (m_age > 0) {
        --m_age;
        step.waitAfter = false;
    }
    return step;
}

}  // namespace velacor::connection
