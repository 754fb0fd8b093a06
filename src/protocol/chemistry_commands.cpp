#include "protocol/chemistry_commands.h"

#include <algorithm>
#include <array>

#include "base/byte_io.h"

namespace velacor::protocol {
namespace {

// Byte offsets of NutrientProcessing used by the 26-byte conversion.
constexpr std::size_t NUTRIENT_OUTPUT_CHANNEL = 2;
constexpr std::size_t NUTRIENT_OUTPUT_HAS_MONITOR = 21;
constexpr std::size_t NUTRIENT_OUTPUT_MONITOR = 22;
constexpr std::size_t NUTRIENT_MEASURE_CHANNELS = 23;
constexpr std::size_t NUTRIENT_MONITOR_CHANNELS = 26;

// Length prefix (u32) and record, as 0x92 and 0x93 carry them.
std::size_t LengthPrefixed(std::span<const std::uint8_t> record, std::size_t length,
                           std::array<std::uint8_t, MAX_PAYLOAD>& payload) {
    base::PutU32(payload, 0, static_cast<std::uint32_t>(length));
    const std::size_t count = std::min(record.size(), payload.size() - 4);
    std::copy_n(record.begin(), count, payload.begin() + 4);
    return 4 + count;
}

int ReadProcessingOfLength(Transactor& link, std::size_t length, HidReport& answer) {
    std::array<std::uint8_t, 4> payload{};
    base::PutU32(payload, 0, static_cast<std::uint32_t>(length));
    return Exchange(link, CMD_READ_PROCESSING, FORMAT_1, payload, answer);
}

// Turns a 26-byte answer into the 32-byte record held in `record`.
void ConvertLegacyNutrient(std::span<const std::uint8_t> legacy, std::span<std::uint8_t> record) {
    std::fill_n(record.begin(), LEGACY_NUTRIENT_LENGTH, 0);
    std::copy_n(legacy.begin(), LEGACY_NUTRIENT_LENGTH, record.begin());
    record[0] = NUTRIENT_FORM_CONVERTED;
    if (record[NUTRIENT_OUTPUT_CHANNEL] > 3)
        record[NUTRIENT_OUTPUT_CHANNEL] = PATH_MEDIUM;
    for (std::uint8_t path = 0; path < 3; ++path) {
        record[NUTRIENT_MEASURE_CHANNELS + path] = path;
        record[NUTRIENT_MONITOR_CHANNELS + path] = CHANNEL_NONE;
    }
    // The output path's monitoring channel; an output channel of 3 names no path, and must not
    // reach into the telemetry bytes behind the monitoring channels.
    const std::size_t output = record[NUTRIENT_OUTPUT_CHANNEL];
    if (record[NUTRIENT_OUTPUT_HAS_MONITOR] != 0 && output <= PATH_SHORT) {
        record[NUTRIENT_MONITOR_CHANNELS + output] = record[NUTRIENT_OUTPUT_MONITOR];
    }
}

}  // namespace

int ReadProcessingBytes(Transactor& link, std::uint8_t chemistryType,
                        std::span<std::uint8_t> record) {
    HidReport answer{};
    const int status = ReadProcessingOfLength(link, record.size(), answer);
    if (status == STATUS_OK) {
        const auto payload = AnswerPayload(answer);
        std::copy_n(payload.begin(), std::min(record.size(), payload.size()), record.begin());
        return STATUS_OK;
    }
    if (status != STATUS_WRONG_RECORD_LENGTH || !IsNutrient(chemistryType) ||
        record.size() != NutrientProcessing::SIZE) {
        return status;
    }
    const int legacyStatus = ReadProcessingOfLength(link, LEGACY_NUTRIENT_LENGTH, answer);
    if (legacyStatus != STATUS_OK)
        return legacyStatus;
    ConvertLegacyNutrient(AnswerPayload(answer), record);
    return STATUS_OK;
}

int WriteProcessingBytes(Transactor& link, std::uint8_t chemistryType,
                         std::span<const std::uint8_t> record) {
    std::array<std::uint8_t, MAX_PAYLOAD> payload{};
    std::size_t length = LengthPrefixed(record, record.size(), payload);
    HidReport answer{};
    const int status =
        Exchange(link, CMD_WRITE_PROCESSING, FORMAT_1, std::span(payload).first(length), answer);
    if (status != STATUS_WRONG_RECORD_LENGTH || !IsNutrient(chemistryType) ||
        record.size() < LEGACY_NUTRIENT_LENGTH) {
        return status;
    }
    length = LengthPrefixed(record.first(LEGACY_NUTRIENT_LENGTH), LEGACY_NUTRIENT_LENGTH, payload);
    payload[4] = 0;  // the 26-byte form's record form
    const int legacyStatus =
        Exchange(link, CMD_WRITE_PROCESSING, FORMAT_1, std::span(payload).first(length), answer);
    return legacyStatus == RESULT_TRANSPORT_FAILURE ? status : legacyStatus;
}

}  // namespace velacor::protocol
