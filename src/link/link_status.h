#pragma once

namespace velacor::link {

// Results of Transact.
inline constexpr int LINK_OK = 0;         // the answer with the matching sequence number arrived
inline constexpr int LINK_BUSY = 1;       // mutex not obtained in time, or another sequence woke us
inline constexpr int LINK_TIMEOUT = 5;    // no answer in time; I/O cancelled, input flushed
inline constexpr int LINK_NOT_OPEN = 15;  // no device open

}  // namespace velacor::link
