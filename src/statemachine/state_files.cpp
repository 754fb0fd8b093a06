#include "statemachine/state_files.h"

#include <algorithm>
#include <fstream>
#include <istream>
#include <ostream>
#include <utility>

#include "base/byte_io.h"
#include "base/save_file.h"

namespace velacor::statemachine {
namespace {

using base::GetU16;
using base::GetU32;
using base::PutU16;
using base::PutU32;

// SC1 record offsets.
constexpr std::size_t SC1_DEFAULT_NEXT = 1;
constexpr std::size_t SC1_DELAY = 2;
constexpr std::size_t SC1_TIMED_DELAY = 6;
constexpr std::size_t SC1_MODE = 7;
constexpr std::size_t SC1_VALVES = 8;  // 16 flags, valve 0 first
constexpr std::size_t SC1_HALL_POWER = 24;
constexpr std::size_t SC1_PHOTODIODE_POWER = 25;
constexpr std::size_t SC1_LED = 31;  // 4 x u16
constexpr std::size_t SC1_WITHDRAW = 39;
constexpr std::size_t SC1_PUMP_OPERATE = 40;
constexpr std::size_t SC1_STOP_HALL = 41;
constexpr std::size_t SC1_STOP_STEPS = 42;
constexpr std::size_t SC1_STOP_TIME = 43;
constexpr std::size_t SC1_PUMP_CURRENT = 44;
constexpr std::size_t SC1_STEP_PERIOD = 46;
constexpr std::size_t SC1_STEP_COUNT = 50;
constexpr std::size_t SC1_STOP_TIME_S = 54;
constexpr std::size_t SC1_TIMEOUT_NEXT = 58;
constexpr std::size_t SC1_HALL_STOP = 59;  // 2 x u16
constexpr std::size_t SC1_MICROSTEPS = 63;
constexpr std::size_t SC1_RECORDING_ON = 64;
constexpr std::size_t SC1_RECORDING_OFF = 65;
constexpr std::size_t SC1_TRIGGERS = 69;  // 8 groups of 4 bytes

constexpr std::uint8_t SC1_PUMP_OPERATES = 3;
constexpr std::array<std::uint8_t, 5> SC1_MICROSTEPS_OF_CODE = {16, 8, 4, 2, 1};

// LED drive scales: SC1 full scale 65535 is 49000 here; 65535 means "on" in both.
constexpr double LED_TO_SC1 = 1.3374489795918367;
constexpr double LED_FROM_SC1 = 0.7476920729381247;

// 49000 is the top of the SC1 scale and becomes 65535. Larger values (the editor only sets 0 and
// 65535, but a sensor may hold them) would pass the top of the u16 field and wrap: they stay at
// the top instead.
std::uint16_t LedToSc1(std::uint16_t v) {
    if (v == LED_ON)
        return LED_ON;
    const double scaled = v * LED_TO_SC1;
    return scaled >= 65535.0 ? LED_ON : static_cast<std::uint16_t>(scaled);
}

std::uint16_t LedFromSc1(std::uint16_t v) {
    return v == LED_ON ? LED_ON : static_cast<std::uint16_t>(v * LED_FROM_SC1);
}

// SC1 knows operating, sleeping and idle; any other mode is idle there.
std::uint8_t SimpleMode(std::uint8_t mode) {
    return mode == MODE_OPERATING || mode == MODE_SLEEPING ? mode : std::uint8_t{MODE_IDLE};
}

std::uint8_t Flag(bool on) {
    return on ? 1 : 0;
}

// A trigger group as four bytes in StateRecord order: counter triggers
// [increment, testValue, nextState, counterMode], depth triggers
// [reserved0, level, nextState, reserved3]. SC1 swaps the middle two and keeps only a reset
// flag in the last one.
using TriggerBytes = std::array<std::uint8_t, 4>;

std::array<TriggerBytes, 8> TriggerGroups(const StateRecord& r) {
    std::array<TriggerBytes, 8> g{};
    for (std::size_t k = 0; k < r.counterTrigger.size(); ++k) {
        const CounterTrigger& t = r.counterTrigger[k];
        g[k] = {t.increment, t.testValue, t.nextState, t.counterMode};
    }
    const DepthTrigger& d = r.divingTrigger;
    const DepthTrigger& c = r.climbingTrigger;
    g[6] = {d.reserved0, d.level, d.nextState, d.reserved3};
    g[7] = {c.reserved0, c.level, c.nextState, c.reserved3};
    return g;
}

void SetTriggerGroups(StateRecord& r, const std::array<TriggerBytes, 8>& g) {
    for (std::size_t k = 0; k < r.counterTrigger.size(); ++k)
        r.counterTrigger[k] = {g[k][0], g[k][1], g[k][2], g[k][3]};
    r.divingTrigger = {g[6][0], g[6][1], g[6][2], g[6][3]};
    r.climbingTrigger = {g[7][0], g[7][1], g[7][2], g[7][3]};
}

// Bytes a record takes in the file, by the file's first byte; 0 when nothing can be read.
std::size_t RecordSize(std::uint8_t firstByte, StateFileFormat format) {
    if (firstByte > 2)
        return 0;
    if (format == StateFileFormat::Sc1)
        return SC1_RECORD_SIZE;
    return firstByte == 2 ? StateRecord::SIZE : SC2_OLD_RECORD_SIZE;
}

// Every byte zero, as a cleared slot is (version 0, unlike a default-constructed record).
StateRecord ZeroRecord() {
    return base::Decode<StateRecord>(std::array<std::uint8_t, StateRecord::SIZE>{});
}

StateFileOutcome WithStatus(bool done, std::vector<std::string> statusTexts) {
    StateFileOutcome outcome;
    outcome.done = done;
    outcome.statusTexts = std::move(statusTexts);
    return outcome;
}

StateFileOutcome Failed(const char* title, const char* message) {
    StateFileOutcome outcome;
    outcome.messageTitle = title;
    outcome.message = message;
    return outcome;
}

}  // namespace

StateFileFormat FormatForFileName(std::string_view path) {
    const std::size_t nameStart = path.find_last_of("/\\");
    const std::string_view name =
        nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 >= name.size())
        return StateFileFormat::Sc2;
    const char first = name[dot + 1];
    return first == 'D' || first == 'd' ? StateFileFormat::Sc1 : StateFileFormat::Sc2;
}

std::array<std::uint8_t, SC1_RECORD_SIZE> EncodeSc1(const StateRecord& r) {
    std::array<std::uint8_t, SC1_RECORD_SIZE> b{};  // reserved bytes stay 0
    b[SC1_DEFAULT_NEXT] = r.defaultNext;
    PutU32(b, SC1_DELAY, r.delaySeconds);
    b[SC1_TIMED_DELAY] = Flag(r.waitForSchedule == 0);
    b[SC1_MODE] = SimpleMode(r.mode);
    for (std::size_t v = 0; v < 16; ++v)
        b[SC1_VALVES + v] = Flag((r.valvesOpen >> v) & 1U);
    b[SC1_HALL_POWER] = r.hallSensorPower;
    b[SC1_PHOTODIODE_POWER] = r.photodiodePower;
    for (std::size_t i = 0; i < r.ledDrive.size(); ++i)
        PutU16(b, SC1_LED + 2 * i, LedToSc1(r.ledDrive[i]));
    b[SC1_WITHDRAW] = Flag(r.pumpDirection == 1);
    b[SC1_PUMP_OPERATE] = r.pumpOn == 1 ? SC1_PUMP_OPERATES : 0;
    b[SC1_STOP_HALL] = Flag(r.stopCondition == STOP_HALL);
    b[SC1_STOP_STEPS] = Flag(r.stopCondition == STOP_STEP_COUNT);
    b[SC1_STOP_TIME] = Flag(r.stopCondition != STOP_HALL && r.stopCondition != STOP_STEP_COUNT);
    PutU16(b, SC1_PUMP_CURRENT, r.pumpCurrentMa);
    PutU32(b, SC1_STEP_PERIOD, r.stepPeriodUs);
    PutU32(b, SC1_STEP_COUNT, r.stepCount);
    PutU32(b, SC1_STOP_TIME_S, r.stopTimeS);
    b[SC1_TIMEOUT_NEXT] = r.pumpTimeoutNext;
    PutU16(b, SC1_HALL_STOP, r.hallStopValue[0]);
    PutU16(b, SC1_HALL_STOP + 2, r.hallStopValue[1]);
    b[SC1_MICROSTEPS] = r.microstepCode < SC1_MICROSTEPS_OF_CODE.size()
                            ? SC1_MICROSTEPS_OF_CODE[r.microstepCode]
                            : std::uint8_t{1};
    b[SC1_RECORDING_ON] = Flag(r.sdRecording == 1);
    b[SC1_RECORDING_OFF] = Flag(r.sdRecording == 2);
    const auto groups = TriggerGroups(r);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const TriggerBytes& t = groups[g];
        const std::size_t at = SC1_TRIGGERS + 4 * g;
        b[at] = t[0];
        b[at + 1] = t[2];
        b[at + 2] = t[1];
        b[at + 3] = Flag(t[3] == COUNTER_RESET);
    }
    return b;
}

StateRecord DecodeSc1(std::span<const std::uint8_t, SC1_RECORD_SIZE> b) {
    StateRecord r = ZeroRecord();
    r.defaultNext = b[SC1_DEFAULT_NEXT];
    r.delaySeconds = GetU32(b, SC1_DELAY);
    r.waitForSchedule = Flag(b[SC1_TIMED_DELAY] != 1);
    r.mode = SimpleMode(b[SC1_MODE]);
    for (std::size_t v = 0; v < 16; ++v) {
        if (b[SC1_VALVES + v] != 0)
            r.valvesOpen = static_cast<std::uint16_t>(r.valvesOpen | (1U << v));
    }
    r.hallSensorPower = b[SC1_HALL_POWER];
    r.photodiodePower = b[SC1_PHOTODIODE_POWER];
    for (std::size_t i = 0; i < r.ledDrive.size(); ++i)
        r.ledDrive[i] = LedFromSc1(GetU16(b, SC1_LED + 2 * i));
    r.pumpDirection = Flag(b[SC1_WITHDRAW] == 1);
    r.pumpOn = Flag(b[SC1_PUMP_OPERATE] == SC1_PUMP_OPERATES);
    r.stopCondition = b[SC1_STOP_HALL] == 1    ? STOP_HALL
                      : b[SC1_STOP_STEPS] == 1 ? STOP_STEP_COUNT
                                               : STOP_TIME;
    r.pumpCurrentMa = GetU16(b, SC1_PUMP_CURRENT);
    r.stepPeriodUs = GetU32(b, SC1_STEP_PERIOD);
    r.stepCount = GetU32(b, SC1_STEP_COUNT);
    r.stopTimeS = GetU32(b, SC1_STOP_TIME_S);
    r.pumpTimeoutNext = b[SC1_TIMEOUT_NEXT];
    r.hallStopValue = {GetU16(b, SC1_HALL_STOP), GetU16(b, SC1_HALL_STOP + 2)};
    const auto code = std::find(SC1_MICROSTEPS_OF_CODE.begin(), SC1_MICROSTEPS_OF_CODE.end() - 1,
                                b[SC1_MICROSTEPS]);
    r.microstepCode = static_cast<std::uint8_t>(code - SC1_MICROSTEPS_OF_CODE.begin());
    r.sdRecording = b[SC1_RECORDING_ON] == 1 ? 1 : b[SC1_RECORDING_OFF] == 1 ? 2 : 0;
    std::array<TriggerBytes, 8> groups{};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::size_t at = SC1_TRIGGERS + 4 * g;
        const std::uint8_t mode3 = b[at + 3] != 0   ? COUNTER_RESET
                                   : b[at + 2] != 0 ? COUNTER_INC_AND_TEST
                                                    : COUNTER_INC_ONLY;
        groups[g] = {b[at], b[at + 2], b[at + 1], mode3};
    }
    SetTriggerGroups(r, groups);
    return r;
}

std::size_t ReadStateBytes(std::span<const std::uint8_t> bytes, StateFileFormat format,
                           std::span<StateRecord> slots) {
    if (bytes.empty())
        return 0;
    const std::size_t size = RecordSize(bytes[0], format);
    if (size == 0)
        return 0;
    const std::size_t limit = std::min({slots.size(), STATE_SLOTS, bytes.size() / size});
    for (std::size_t i = 0; i < limit; ++i) {
        const auto record = bytes.subspan(i * size, size);
        if (format == StateFileFormat::Sc1) {
            slots[i] = DecodeSc1(record.first<SC1_RECORD_SIZE>());
        } else {
            // A 77-byte record lacks incrementMeasureCounter, which Decode reads as 0.
            slots[i] = base::Decode<StateRecord>(record);
        }
    }
    return limit;
}

std::vector<std::uint8_t> WriteStateBytes(std::span<const StateRecord> states,
                                          StateFileFormat format) {
    std::vector<std::uint8_t> bytes;
    const std::size_t size =
        format == StateFileFormat::Sc1 ? SC1_RECORD_SIZE : std::size_t{StateRecord::SIZE};
    bytes.reserve(states.size() * size);
    for (const StateRecord& r : states) {
        if (format == StateFileFormat::Sc1) {
            const auto record = EncodeSc1(r);
            bytes.insert(bytes.end(), record.begin(), record.end());
        } else {
            const auto record = base::Encode(r);
            bytes.insert(bytes.end(), record.begin(), record.end());
        }
    }
    return bytes;
}

StateFileRead ReadStateFile(std::istream& in, StateFileFormat format,
                            std::span<StateRecord> slots) {
    // 255 records of the largest layout are all a file can contribute; a huge file picked by
    // mistake is not read to its end.
    std::vector<char> buffer(STATE_SLOTS * SC1_RECORD_SIZE);
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    StateFileRead result;
    result.ok = !in.bad();
    if (!result.ok)
        return result;
    const auto got = static_cast<std::size_t>(in.gcount());
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(buffer.data()),
                                              got);
    result.count = ReadStateBytes(bytes, format, slots);
    return result;
}

bool WriteStateFile(std::ostream& out, StateFileFormat format,
                    std::span<const StateRecord> states) {
    for (const StateRecord& r : states) {
        const auto bytes = WriteStateBytes({&r, 1}, format);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return false;
    }
    return true;
}

StateFileOutcome LoadStateMachineFile(StateMachine& machine, const std::string& path) {
    if (path.empty())
        return WithStatus(false, {"Load cancelled"});
    // Read into scratch slots first: a file that fails to load must not cost the user the
    // machine in memory.
    std::vector<StateRecord> slots(STATE_SLOTS);
    StateFileRead read;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return Failed("Load From File", "Failed to load file");
        read = ReadStateFile(in, FormatForFileName(path), slots);
    }
    // A file without one complete state (empty, cut short, or not a state machine file) is a
    // failed load, not a machine of one blank state.
    if (!read.ok || read.count == 0)
        return Failed("Load From File", "Failed to load file");

    machine.states.fill(ZeroRecord());
    std::copy_n(slots.begin(), read.count, machine.states.begin());
    machine.lastIndex = static_cast<std::uint16_t>(read.count - 1);
    machine.currentIndex = 0;
    machine.NormaliseRecords();
    machine.TakeSavedCopy();
    return WithStatus(true, {"File loaded", "Loaded state machine successfully from file"});
}

StateFileOutcome SaveStateMachineFile(StateMachine& machine, const std::string& path) {
    if (path.empty())
        return WithStatus(false, {"Save cancelled"});
    const std::size_t count = std::min(machine.StateCount(), STATE_SLOTS);
    const StateFileFormat format = FormatForFileName(path);
    const std::span<const StateRecord> states(machine.states.data(), count);
    const bool saved = base::AtomicSave(
        path, [&](std::ostream& out) { return WriteStateFile(out, format, states); });
    if (!saved)
        return Failed("Save To File", "Failed to save file");
    machine.TakeSavedCopy();
    return WithStatus(true, {"File saved", "Saved"});
}

}  // namespace velacor::statemachine
