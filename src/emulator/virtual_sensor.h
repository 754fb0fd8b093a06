// The virtual sensor: a small model of the firmware that answers every command with the exact
// records a real sensor sends. It holds each configuration block, a state machine, clock,
// power and counters, and can be told to misbehave for tests.
//
// Thread-safe: the link's I/O thread calls Handle while tests and the GUI inspect or inject.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "emulator/running_simulation.h"
#include "emulator/sensor_defaults.h"
#include "emulator/sensor_options.h"
#include "link/hid_report.h"

namespace velacor::emulator {

using link::HidReport;

enum class FaultKind {
    NoAnswer,       // the request is swallowed
    StaleSequence,  // the answer carries the previous sequence number
    Status,         // the request is refused with `status` and has no effect
    Unplug,         // the sensor leaves USB instead of answering
};

struct Fault {
    std::optional<std::uint8_t> command;  // nullopt: the next request, whatever it is
    FaultKind kind = FaultKind::NoAnswer;
    std::uint8_t status = 0;
    int times = 1;  // how many matching requests it hits
    int skip = 0;   // how many matching requests it lets through first
};

// Statuses of the virtual firmware beyond those the program acts on.
inline constexpr std::uint8_t SENSOR_STATUS_FAILED = 1;
inline constexpr std::uint8_t SENSOR_STATUS_BAD_LENGTH = 2;
inline constexpr std::uint8_t SENSOR_STATUS_BAD_ARGUMENT = 3;

// The supply below which the state machine refuses to start.
inline constexpr std::int32_t MIN_RUN_SUPPLY_MV = 9000;

class VirtualSensor {
  public:
    explicit VirtualSensor(SensorOptions options = {});

    // Answers one request (report byte 0 onward); false when no answer comes.
    bool Handle(const HidReport& request, HidReport& answer);

    // --- USB presence ---
    // Absent while unplugged and while restarting out of the bootloader.
    bool Present() const;
    // Changes whenever the sensor leaves USB; an open handle of an older session is dead.
    std::uint64_t UsbSession() const;
    void Unplug();
    void Replug();

    // --- for tests and the demo ---
    void InjectFault(const Fault& fault);
    void ClearFaults();
    void SetSupplyMillivolts(std::int32_t millivolts);
    bool InBootloader() const;
    bool Running() const;
    std::uint8_t Mode() const;  // 0 operating, 1 sleeping, 2 idle, 3 hibernating
    // The requests received, oldest first (the most recent 4096).
    std::vector<HidReport> Requests() const;
    void ClearRequests();
    // The stored bytes of the block read by `readCommand` (0x90, 0x70, ...); empty if none.
    std::vector<std::uint8_t> Block(std::uint8_t readCommand) const;
    std::vector<std::uint8_t> Processing() const;
    // The stored record of thermistor 0..2.
    protocol::ThermistorConfig Thermistor(std::uint8_t index) const;
    std::vector<StateBytes> StateMachine() const;
    // The last complete image written through 0x03 at `imageBase`; empty if none.
    std::vector<std::uint8_t> Image(std::uint32_t imageBase) const;
    const SensorOptions& Options() const { return m_options; }

  private:
    using Clock = std::chrono::steady_clock;
    struct StoredBlock {
        std::uint8_t writeCommand;
        std::vector<std::uint8_t> bytes;
    };
    struct Request {
        std::uint8_t command;
        std::uint8_t format;
        std::span<const std::uint8_t> payload;
    };
    // Writes the answer's payload into `out` and returns the status.
    int Dispatch(const Request& request, std::span<std::uint8_t> out);
    int HandleBootloader(const Request& request, std::span<std::uint8_t> out);
    bool HandleBlock(const Request& request, std::span<std::uint8_t> out, int& status);
    int HandleIdentity(const Request& request, std::span<std::uint8_t> out);
    int HandleProcessing(const Request& request, std::span<std::uint8_t> out);
    int HandleStateMachine(const Request& request, std::span<std::uint8_t> out);
    int HandleClock(const Request& request, std::span<std::uint8_t> out);
    int HandleLiveTest(const Request& request, std::span<std::uint8_t> out);
    int HandleLiveData(const Request& request, std::span<std::uint8_t> out);
    // Runs the state machine up to now: one step per elapsed second.
    void Advance();
    int HandleUpgrade(const Request& request);
    std::optional<Fault> TakeFault(std::uint8_t command);
    std::uint32_t SensorTimeNow() const;
    bool PumpRunning() const;
    void LeaveUsb(Clock::duration away);

    SensorOptions m_options;
    mutable std::mutex m_mutex;

    bool m_plugged = true;
    Clock::time_point m_offUsbUntil{};
    std::uint64_t m_usbSession = 1;
    bool m_bootloader = false;

    std::map<std::uint8_t, StoredBlock> m_blocks;  // keyed by read command
    std::vector<std::uint8_t> m_processing;
    std::array<std::array<std::uint8_t, protocol::ThermistorConfig::SIZE>, 3> m_thermistors{};
    std::vector<StateBytes> m_states;

    std::int32_t m_supplyMillivolts = 12100;
    std::int32_t m_temperatureMilli = 21500;
    bool m_running = false;
    std::uint8_t m_mode = 2;          // idle
    std::int64_t m_clockOffsetS = 0;  // sensor clock minus the PC's clock
    Clock::time_point m_pumpStopsAt{};
    bool m_opticsOn = false;
    bool m_valvesOn = false;

    // The image being received through 0x03 and the block expected next.
    std::vector<std::uint8_t> m_upgradeImage;
    std::uint32_t m_upgradeNextBlock = 0;
    std::map<std::uint32_t, std::vector<std::uint8_t>> m_images;  // keyed by image base

    std::optional<RunningSimulation> m_simulation;
    Clock::time_point m_nextSampleAt{};
    protocol::SampleRecord m_lastSample;
    bool m_newSample = false;
    std::deque<protocol::ProcessedRecord> m_processed;  // results held by the sensor
    std::size_t m_processedCursor = 0;                  // the next one 0xa4 answers

    std::deque<Fault> m_faults;
    std::deque<HidReport> m_requests;
};

}  // namespace velacor::emulator
