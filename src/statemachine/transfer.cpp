#include "statemachine/transfer.h"

#include <array>

#include "base/byte_io.h"
#include "base/str_printf.h"
#include "protocol/command_codes.h"
#include "protocol/exchange.h"
#include "protocol/identity_commands.h"
#include "protocol/optics_commands.h"

namespace velacor::statemachine {

static_assert(base::WireRecord<StateRecord>);

namespace {

int ReadState(link::Transactor& link, std::uint8_t index, StateRecord& record) {
    const std::array<std::uint8_t, 1> payload{index};
    return protocol::ReadRecord(link, protocol::CMD_READ_STATE, record, payload);
}

int WriteState(link::Transactor& link, std::uint8_t index, bool last, const StateRecord& record) {
    std::array<std::uint8_t, 2 + StateRecord::SIZE> payload{
        index, static_cast<std::uint8_t>(last ? 1 : 0)};
    base::EncodeInto(record, std::span(payload).subspan(2));
    return protocol::SendCommand(link, protocol::CMD_WRITE_STATE, payload);
}

void ResetToOneDefault(StateMachine& machine) {
    machine.states.fill(StateRecord{});
    machine.currentIndex = 0;
    machine.lastIndex = 0;
    machine.InitState(0);
}

}  // namespace

LoadResult LoadFromSensor(link::Transactor& link, StateMachine& machine) {
    LoadResult result;
    machine.states.fill(StateRecord{});
    machine.currentIndex = 0;
    machine.lastIndex = 0;

    protocol::StateCount count;
    if (protocol::ReadStateCount(link, count) != protocol::STATUS_OK) {
        ResetToOneDefault(machine);
        return result;
    }
    result.sensorStates = count.count;
    if (count.count == 0) {
        machine.InitState(0);
        machine.NormaliseRecords();
        result.ok = true;
        return result;
    }
    // The index travels as one byte and the machine holds 255 states: a longer machine in the
    // sensor is read up to its 255th state.
    const std::size_t toRead = std::min<std::size_t>(count.count, STATE_SLOTS);
    for (std::size_t i = 0; i < toRead; ++i) {
        if (ReadState(link, static_cast<std::uint8_t>(i), machine.states[i]) !=
            protocol::STATUS_OK) {
            ResetToOneDefault(machine);
            return result;
        }
    }
    machine.lastIndex = static_cast<std::uint16_t>(toRead - 1);
    machine.NormaliseRecords();
    result.ok = true;
    return result;
}

bool SaveToSensor(link::Transactor& link, const StateMachine& machine) {
    for (std::size_t i = 0; i <= machine.lastIndex; ++i) {
        if (WriteState(link, static_cast<std::uint8_t>(i), i == machine.lastIndex,
                       machine.states[i]) != protocol::STATUS_OK) {
            return false;
        }
    }
    return true;
}

StateDefaults ReadStateDefaults(link::Transactor& link) {
    std::optional<protocol::OpticsDefaults> optics{protocol::OpticsDefaults{}};
    if (protocol::ReadOpticsDefaults(link, *optics) != protocol::STATUS_OK)
        optics.reset();
    std::optional<protocol::PumpDefaults> pump{protocol::PumpDefaults{}};
    if (protocol::ReadPumpDefaults(link, *pump) != protocol::STATUS_OK)
        pump.reset();
    return StateDefaults::From(pump, optics);
}

std::string LoadStatusText(const LoadResult& result) {
    if (!result.ok)
        return "Failed to load state machine from sensor";
    if (result.truncated()) {
        return base::StrPrintf(
            "Loaded state machine successfully from sensor (first 255 of its %u states)",
            unsigned{result.sensorStates});
    }
    return "Loaded state machine successfully from sensor";
}

}  // namespace velacor::statemachine
