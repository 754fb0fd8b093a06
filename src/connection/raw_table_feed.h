// Which samples the raw output table adds, in order: at first at most the last 1000 of the
// history, oldest first; then each new one once. Samples that arrive while the display is
// paused are skipped for good.
#pragma once

#include <cstdint>
#include <optional>

#include "connection/sample_history.h"

namespace velacor::connection {

class RawTableFeed {
  public:
    struct Step {
        std::optional<protocol::SampleRecord> add;  // the row to add, if any
        bool clear = false;                         // the history is gone or empty: empty the table
        bool scrollToEnd = false;                   // the newest sample was reached
        bool waitAfter = true;                      // false while catching up on older samples
    };

    // Starts a new fill from `history`.
    void Begin(const SampleHistory& history);
    // One cycle of the table's thread.
    Step Next(const SampleHistory& history, bool paused);

  private:
    std::size_t m_age = 0;
    bool m_haveCounter = false;
    std::uint32_t m_lastCounter = 0;
};

}  // namespace velacor::connection
