// Writing an image into the sensor's flash, one block per exchange. Returns 0, the sensor's
// status, or 14 when the exchange failed.
#pragma once

#include "protocol/command_codes.h"
#include "protocol/exchange.h"
#include "protocol/upgrade_records.h"

namespace velacor::protocol {

// 0x03, format 1, the 77-byte block as the whole payload.
inline int SendUpgradeBlock(Transactor& link, const UpgradeBlock& block) {
    return WriteRecord(link, CMD_UPGRADE_BLOCK, block);
}

}  // namespace velacor::protocol
