// Saving a file without ever damaging the one it replaces: the content goes to a temporary
// file beside the target, which is flushed and closed and only then renamed over the target.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace velacor::base {

// Calls `write` with a stream on the temporary file; the save succeeds only when `write`
// returns true and every byte was written. On failure the target is untouched and the
// temporary file removed.
bool AtomicSave(const std::string& path, const std::function<bool(std::ostream&)>& write);

}  // namespace velacor::base
