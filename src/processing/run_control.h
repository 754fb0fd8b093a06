// How a caller watches and stops a processing run: a run reads the file in blocks and, between
// them, reports how far it has come and asks whether to go on.
#pragma once

#include <cstdint>
#include <functional>

#include "processing/raw_file.h"

namespace velacor::processing {

struct RunControl {
    // Called now and then with the bytes read so far; returning false stops the run.
    std::function<bool(std::uint64_t bytesRead)> keepGoing;
};

struct RunOutcome {
    std::uint64_t rowsAccepted = 0;
    bool readError = false;
    bool cancelled = false;
    bool Complete() const { return !readError && !cancelled; }
};

// ReadRows with progress and cancel: the end-of-file marker is handed on only when the whole
// file was read.
RunOutcome ReadRowsControlled(RawFile& file, RowRule rule, const RunControl& control,
                              const std::function<void(const RawRecord&)>& onRow);

}  // namespace velacor::processing
