// Commands of the chemistry blocks.
#pragma once

#include <cstdint>
#include <span>

#include "protocol/chemistry_records.h"
#include "protocol/command_codes.h"
#include "protocol/exchange.h"

namespace velacor::protocol {

inline int ReadChemistryConfig(Transactor& link, ChemistryConfig& config) {
    return ReadRecord(link, CMD_READ_CHEMISTRY, config);
}
inline int WriteChemistryConfig(Transactor& link, const ChemistryConfig& config) {
    return WriteRecord(link, CMD_WRITE_CHEMISTRY, config);
}

// 0x92 with the record's length (record.size()). A nutrient sensor that answers status 4 has
// older firmware with the 26-byte layout: the request is repeated with length 26 and the answer
// converted into the 32-byte record; bytes 29..31 keep what `record` held. `record` changes
// only on success.
int ReadProcessingBytes(Transactor& link, std::uint8_t chemistryType,
                        std::span<std::uint8_t> record);
// 0x93 with the record's length and the record. Status 4 from a nutrient sensor repeats the
// write once in the 26-byte layout.
int WriteProcessingBytes(Transactor& link, std::uint8_t chemistryType,
                         std::span<const std::uint8_t> record);

template <base::WireRecord R>
int ReadProcessing(Transactor& link, std::uint8_t chemistryType, R& record) {
    auto bytes = base::Encode(record);
    const int status = ReadProcessingBytes(link, chemistryType, bytes);
    if (status == STATUS_OK)
        record = base::Decode<R>(bytes);
    return status;
}

template <base::WireRecord R>
int WriteProcessing(Transactor& link, std::uint8_t chemistryType, const R& record) {
    const auto bytes = base::Encode(record);
    return WriteProcessingBytes(link, chemistryType, bytes);
}

}  // namespace velacor::protocol
