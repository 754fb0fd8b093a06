// Commands of the optics, valves and pump defaults and their live test.
#pragma once

#include "protocol/command_codes.h"
#include "protocol/exchange.h"
#include "protocol/optics_records.h"

namespace velacor::protocol {

inline int ReadOpticsDefaults(Transactor& link, OpticsDefaults& r) {
    return ReadRecord(link, CMD_READ_OPTICS_DEFAULTS, r);
}
inline int WriteOpticsDefaults(Transactor& link, const OpticsDefaults& r) {
    return WriteRecord(link, CMD_WRITE_OPTICS_DEFAULTS, r);
}
inline int ReadPmtDefaults(Transactor& link, PmtDefaults& r) {
    return ReadRecord(link, CMD_READ_PMT_DEFAULTS, r);
}
inline int WritePmtDefaults(Transactor& link, const PmtDefaults& r) {
    return WriteRecord(link, CMD_WRITE_PMT_DEFAULTS, r);
}
inline int ReadDicConductivity(Transactor& link, DicConductivity& r) {
    return ReadRecord(link, CMD_READ_DIC_CONDUCTIVITY, r);
}
inline int WriteDicConductivity(Transactor& link, const DicConductivity& r) {
    return WriteRecord(link, CMD_WRITE_DIC_CONDUCTIVITY, r);
}
inline int ReadPumpDefaults(Transactor& link, PumpDefaults& r) {
    return ReadRecord(link, CMD_READ_PUMP_DEFAULTS, r);
}
inline int WritePumpDefaults(Transactor& link, const PumpDefaults& r) {
    return WriteRecord(link, CMD_WRITE_PUMP_DEFAULTS, r);
}
inline int StartValveTest(Transactor& link, const ValveTest& r) {
    return WriteRecord(link, CMD_START_VALVE_TEST, r);
}
inline int StartPump(Transactor& link, const PumpStart& r) {
    return WriteRecord(link, CMD_START_PUMP, r);
}
inline int StopOptics(Transactor& link) {
    return SendCommand(link, CMD_STOP_OPTICS);
}
inline int StopPump(Transactor& link) {
    return SendCommand(link, CMD_STOP_PUMP);
}
inline int StopValves(Transactor& link) {
    return SendCommand(link, CMD_STOP_VALVES);
}
inline int ReadPumpStatus(Transactor& link, PumpStatus& r) {
    return ReadRecord(link, CMD_READ_PUMP_STATUS, r);
}
inline int ReadAnalogueInputs(Transactor& link, AnalogueInputs& r) {
    return ReadRecord(link, CMD_READ_OUTPUT_STATUS, r);
}

// 0x72 in format 2 with all 36 bytes; a sensor that answers status 8 gets the same command once
// more in format 1 with the first 16 bytes, and that answer's status is the result.
int StartOptics(Transactor& link, const OpticsStart& request);

}  // namespace velacor::protocol
