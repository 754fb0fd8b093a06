// Commands of the live data.
#pragma once

#include <array>

#include "protocol/command_codes.h"
#include "protocol/exchange.h"
#include "protocol/live_records.h"

namespace velacor::protocol {

// 0xa2. Status 0: `status` holds mode and sample; status 6 (no new sample): only the mode is
// valid and the sample keeps its old value; any other result leaves `status` untouched.
int ReadOutputStatus(Transactor& link, OutputStatus& status);

inline int ReadPlatformData(Transactor& link, PlatformData& data) {
    return ReadRecord(link, CMD_READ_PLATFORM_DATA, data);
}

// Output kind of the processed results.
inline constexpr std::uint8_t PROCESSED_OUTPUT_KIND = 2;

// 0xa3: positions the processed output readout at its start.
inline int PositionProcessedOutput(Transactor& link) {
    const std::array<std::uint8_t, 3> payload{PROCESSED_OUTPUT_KIND, 0xff, 0xff};
    return SendCommand(link, CMD_POSITION_PROCESSED, payload);
}
// 0xa4: the next processed record; a non-zero status means there is none.
inline int ReadProcessedRecord(Transactor& link, ProcessedRecord& record) {
    const std::array<std::uint8_t, 1> payload{PROCESSED_OUTPUT_KIND};
    return ReadRecord(link, CMD_READ_PROCESSED, record, payload);
}
// 0xa5: wipes the processed output held by the sensor.
inline int ClearProcessedOutput(Transactor& link) {
    return SendCommand(link, CMD_CLEAR_PROCESSED);
}

}  // namespace velacor::protocol
