#include "protocol/identity_commands.h"

#include <algorithm>
#include <array>

#include "protocol/device_type.h"

namespace velacor::protocol {
namespace {

// The older 0x00 answer, when the exchange succeeds with status 0.
int ReadLegacyDevice(Transactor& link, LegacyDeviceRecord& legacy) {
    return ReadRecord(link, CMD_LEGACY_READ_DEVICE, legacy);
}

}  // namespace

int ReadDeviceInfo(Transactor& link, DeviceInfo& info) {
    const int status = ReadRecord(link, CMD_READ_DEVICE_INFO, info);
    if (status != STATUS_NOT_SUPPORTED)
        return status;

    LegacyDeviceRecord legacy;
    if (ReadLegacyDevice(link, legacy) != STATUS_OK)
        return status;
    DeviceInfo converted;
    converted.recordVersion = DEVICE_INFO_RECORD_VERSION;
    converted.name = legacy.name;
    converted.serialNumber = legacy.flag == 0 ? 0 : legacy.serialNumber;
    info = converted;
    return STATUS_OK;
}

int WriteDeviceInfo(Transactor& link, const DeviceInfo& info) {
    const int status = WriteRecord(link, CMD_WRITE_DEVICE_INFO, info);
    if (status != STATUS_NOT_SUPPORTED)
        return status;

    LegacyDeviceRecord legacy;
    legacy.flag = 1;
    legacy.mode = info.byte1;
    legacy.name = info.name;
    legacy.boardIndex = info.byte23;
    legacy.serialNumber = info.serialNumber;
    legacy.bootloaderVersion = info.byte26;
    const int legacyStatus = WriteRecord(link, CMD_LEGACY_WRITE_DEVICE, legacy);
    return legacyStatus == RESULT_TRANSPORT_FAILURE ? status : legacyStatus;
}

int ReadIdentity(Transactor& link, SensorIdentity& identity) {
    const int status = ReadRecord(link, CMD_READ_IDENTITY, identity);
    if (status != STATUS_NOT_SUPPORTED)
        return status;

    LegacyDeviceRecord legacy;
    const int legacyStatus = ReadLegacyDevice(link, legacy);
    if (legacyStatus == RESULT_TRANSPORT_FAILURE)
        return status;
    if (legacyStatus != STATUS_OK)
        return legacyStatus;
    SensorIdentity converted;
    converted.mode = legacy.mode;
    converted.deviceType = LegacyBoardDeviceType(legacy.boardIndex);
    converted.bootloaderVersion = legacy.flag >= 1 ? legacy.bootloaderVersion : 0;
    identity = converted;
    return STATUS_OK;
}

int ReadStateCount(Transactor& link, StateCount& count) {
    const std::array<std::uint8_t, 1> payload{0};
    return ReadRecord(link, CMD_READ_STATE_COUNT, count, payload);
}

int StartStateMachine(Transactor& link, std::uint8_t startState) {
    const std::array<std::uint8_t, 1> payload{startState};
    return SendCommand(link, CMD_START_STATE_MACHINE, payload);
}

}  // namespace velacor::protocol
