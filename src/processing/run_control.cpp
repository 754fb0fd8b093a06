#include "processing/run_control.h"

namespace velacor::processing {

RunOutcome ReadRowsControlled(RawFile& file, RowRule rule, const RunControl& control,
                              const std::function<void(const RawRecord&)>& onRow) {
    RunOutcome outcome;
    if (!file.Rewind()) {
        outcome.readError = true;
        return outcome;
    }
    // Asking every few thousand lines keeps the question off the hot path.
    constexpr std::uint32_t ASK_EVERY = 4096;
    std::uint32_t untilAsk = ASK_EVERY;
    std::string_view line;
    RawRecord record;
    for (;;) {
        switch (file.NextLine(line)) {
            case LineResult::Line:
                if (--untilAsk == 0) {
                    untilAsk = ASK_EVERY;
                    if (control.keepGoing && !control.keepGoing(file.BytesRead())) {
                        outcome.cancelled = true;
                        return outcome;
                    }
                }
                if (!line.empty() && line.front() == '%')
                    continue;
                if (AcceptRow(line, rule, record)) {
                    ++outcome.rowsAccepted;
                    onRow(record);
                }
                continue;
            case LineResult::End:
                onRow(EndOfFileRecord());
                if (control.keepGoing)
                    control.keepGoing(file.BytesRead());
                return outcome;
            case LineResult::ReadError:
                outcome.readError = true;
                return outcome;
        }
    }
}

}  // namespace velacor::processing
