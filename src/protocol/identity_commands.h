// Identity, status and control commands. Each returns 0, the sensor's status, or 14 when the
// exchange failed, and fills the caller's record only on 0.
#pragma once

#include <cstdint>

#include "protocol/command_codes.h"
#include "protocol/exchange.h"
#include "protocol/identity_records.h"

namespace velacor::protocol {

// 0x04; on status 9 the older 0x00, converted.
int ReadDeviceInfo(Transactor& link, DeviceInfo& info);
// 0x05; on status 9 the older 0x01 in its 27-byte layout.
int WriteDeviceInfo(Transactor& link, const DeviceInfo& info);
// 0x06; on status 9 the older 0x00, converted.
int ReadIdentity(Transactor& link, SensorIdentity& identity);

inline int ReadFirmwareVersion(Transactor& link, FirmwareVersionText& version) {
    return ReadRecord(link, CMD_READ_FIRMWARE_VERSION, version);
}
inline int ReadPowerStatus(Transactor& link, PowerStatus& power) {
    return ReadRecord(link, CMD_READ_POWER_STATUS, power);
}
inline int ReadMeasurementCounters(Transactor& link, MeasurementCounters& counters) {
    return ReadRecord(link, CMD_READ_COUNTERS, counters);
}
inline int WriteMeasurementCounters(Transactor& link, const MeasurementCounters& counters) {
    return WriteRecord(link, CMD_WRITE_COUNTERS, counters);
}
inline int ReadOutputFileName(Transactor& link, OutputFileName& name) {
    return ReadRecord(link, CMD_READ_OUTPUT_FILE_NAME, name);
}
// The device leaves its bootloader, leaves USB and comes back running its firmware.
inline int StartFirmware(Transactor& link) {
    return SendCommand(link, CMD_START_FIRMWARE);
}

// 0xb2 with its one zero payload byte.
int ReadStateCount(Transactor& link, StateCount& count);
int StartStateMachine(Transactor& link, std::uint8_t startState);
inline int StopStateMachine(Transactor& link) {
    return SendCommand(link, CMD_STOP_STATE_MACHINE);
}
inline int MountAsDrive(Transactor& link) {
    return SendCommand(link, CMD_MOUNT_AS_DRIVE);
}

}  // namespace velacor::protocol
