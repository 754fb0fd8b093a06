#include "emulator/virtual_sensor.h"

#include <algorithm>

#include "base/byte_io.h"
#include "protocol/command_codes.h"
#include "protocol/frame.h"

namespace velacor::emulator {

using namespace velacor::protocol;

namespace {

constexpr std::size_t REQUEST_LOG_SIZE = 4096;

template <class R>
std::vector<std::uint8_t> Bytes(const R& record) {
    const auto encoded = base::Encode(record);
    return {encoded.begin(), encoded.end()};
}

}  // namespace

VirtualSensor::VirtualSensor(SensorOptions options) : m_options(std::move(options)) {
    const std::uint8_t chemistry = m_options.chemistry;
    m_bootloader = m_options.bootloader;
    m_blocks[CMD_READ_DEVICE_INFO] = {CMD_WRITE_DEVICE_INFO, Bytes(DefaultDeviceInfo(m_options))};
    m_blocks[CMD_READ_COUNTERS] = {CMD_WRITE_COUNTERS, Bytes(DefaultCounters())};
    m_blocks[CMD_READ_CHEMISTRY] = {CMD_WRITE_CHEMISTRY, Bytes(DefaultChemistryConfig(chemistry))};
    m_blocks[CMD_READ_OPTICS_DEFAULTS] = {CMD_WRITE_OPTICS_DEFAULTS,
                                          Bytes(DefaultOptics(chemistry))};
    m_blocks[CMD_READ_PMT_DEFAULTS] = {CMD_WRITE_PMT_DEFAULTS, Bytes(DefaultPmt())};
    if (chemistry == CHEMISTRY_DIC) {
        m_blocks[CMD_READ_DIC_CONDUCTIVITY] = {CMD_WRITE_DIC_CONDUCTIVITY,
                                               Bytes(DefaultDicConductivity())};
    }
    m_blocks[CMD_READ_PUMP_DEFAULTS] = {CMD_WRITE_PUMP_DEFAULTS, Bytes(DefaultPump())};
    m_blocks[CMD_READ_RS232] = {CMD_WRITE_RS232, Bytes(DefaultRs232())};
    m_blocks[CMD_READ_RS485] = {CMD_WRITE_RS485, Bytes(DefaultRs485())};
    m_blocks[CMD_READ_PLATFORM_DEFAULTS] = {CMD_WRITE_PLATFORM_DEFAULTS, Bytes(DefaultPlatform())};
    m_blocks[CMD_READ_SCHEDULE] = {CMD_WRITE_SCHEDULE, Bytes(DefaultSchedule())};

    m_processing = DefaultProcessing(chemistry);
    if (m_options.legacy && IsNutrient(chemistry)) {
        // Older nutrient firmware keeps the 26-byte record.
        m_processing.resize(LEGACY_NUTRIENT_LENGTH);
        m_processing[0] = 0;
    }
    for (std::uint8_t i = 0; i < m_thermistors.size(); ++i) {
        m_thermistors[i] = base::Encode(DefaultThermistor(i));
    }
    m_states = DefaultStateMachine(chemistry);
}

bool VirtualSensor::Handle(const HidReport& request, HidReport& answer) {
    std::lock_guard lock(m_mutex);
    m_requests.push_back(request);
    if (m_requests.size() > REQUEST_LOG_SIZE)
        m_requests.pop_front();
    if (!m_plugged || Clock::now() < m_offUsbUntil)
        return false;

    const std::uint8_t command = request[COMMAND_OFFSET];
    Advance();
    const std::optional<Fault> fault = TakeFault(command);
    if (fault && fault->kind == FaultKind::NoAnswer)
        return false;
    if (fault && fault->kind == FaultKind::Unplug) {
        m_plugged = false;
        ++m_usbSession;
        return false;
    }

    const std::size_t length = std::min<std::size_t>(request[LENGTH_OFFSET], MAX_PAYLOAD);
    const Request parsed{command, request[FORMAT_OFFSET],
                         std::span(request).subspan(PAYLOAD_OFFSET, length)};
    answer.fill(0);
    std::copy_n(request.begin(), PAYLOAD_OFFSET, answer.begin());
    const auto payload = std::span(answer).subspan(PAYLOAD_OFFSET, MAX_PAYLOAD);
    // An injected status means the sensor refused the request: it does nothing with it.
    int status = 0;
    if (fault && fault->kind == FaultKind::Status)
        status = fault->status;
    else
        status = m_bootloader ? HandleBootloader(parsed, payload) : Dispatch(parsed, payload);
    if (status != STATUS_OK && status != STATUS_NO_NEW_SAMPLE) {
        std::fill(payload.begin(), payload.end(), 0);
    }
    if (fault && fault->kind == FaultKind::StaleSequence) {
        answer[link::SEQUENCE_OFFSET] =
            static_cast<std::uint8_t>(answer[link::SEQUENCE_OFFSET] - 1);
    }
    answer[STATUS_OFFSET] = static_cast<std::uint8_t>(status);
    return true;
}

std::optional<Fault> VirtualSensor::TakeFault(std::uint8_t command) {
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->command && *it->command != command)
            continue;
        if (it->skip > 0) {
            --it->skip;
            return std::nullopt;
        }
        Fault fault = *it;
        if (--it->times <= 0)
            m_faults.erase(it);
        return fault;
    }
    return std::nullopt;
}

int VirtualSensor::HandleBootloader(const Request& request, std::span<std::uint8_t> out) {
    switch (request.command) {
        case CMD_READ_DEVICE_INFO:
        case CMD_READ_IDENTITY:
        case CMD_LEGACY_READ_DEVICE:
            return HandleIdentity(request, out);
        case CMD_START_FIRMWARE:
            m_bootloader = false;
            LeaveUsb(std::chrono::milliseconds(m_options.restartDelayMs));
            return STATUS_OK;
        case CMD_UPGRADE_BLOCK:
            return HandleUpgrade(request);
        default:
            return STATUS_NOT_SUPPORTED;
    }
}

int VirtualSensor::Dispatch(const Request& request, std::span<std::uint8_t> out) {
    int status = STATUS_OK;
    switch (request.command) {
        case CMD_LEGACY_READ_DEVICE:
        case CMD_LEGACY_WRITE_DEVICE:
        case CMD_READ_DEVICE_INFO:
        case CMD_WRITE_DEVICE_INFO:
        case CMD_READ_IDENTITY:
        case CMD_READ_FIRMWARE_VERSION:
        case CMD_READ_POWER_STATUS:
        case CMD_READ_OUTPUT_FILE_NAME:
            return HandleIdentity(request, out);
        case CMD_START_FIRMWARE:
            return STATUS_OK;  // already running its firmware
        case CMD_UPGRADE_BLOCK:
            return HandleUpgrade(request);
        case CMD_READ_PROCESSING:
        case CMD_WRITE_PROCESSING:
        case CMD_READ_THERMISTOR:
        case CMD_WRITE_THERMISTOR:
            return HandleProcessing(request, out);
        case CMD_READ_STATE_COUNT:
        case CMD_READ_STATE:
        case CMD_WRITE_STATE:
        case CMD_START_STATE_MACHINE:
        case CMD_STOP_STATE_MACHINE:
        case CMD_MOUNT_AS_DRIVE:
            return HandleStateMachine(request, out);
        case CMD_READ_CLOCK:
        case CMD_SET_CLOCK:
        case CMD_READ_SCHEDULE_STATUS:
            return HandleClock(request, out);
        case CMD_READ_OUTPUT_STATUS:
        case CMD_READ_PLATFORM_DATA:
        case CMD_POSITION_PROCESSED:
        case CMD_READ_PROCESSED:
        case CMD_CLEAR_PROCESSED:
            return HandleLiveData(request, out);
        case CMD_START_PUMP:
        case CMD_STOP_PUMP:
        case CMD_READ_PUMP_STATUS:
        case CMD_START_VALVE_TEST:
        case CMD_STOP_VALVES:
        case CMD_START_OPTICS:
        case CMD_STOP_OPTICS:
            return HandleLiveTest(request, out);
        default:
            if (HandleBlock(request, out, status))
                return status;
            return STATUS_NOT_SUPPORTED;
    }
}

bool VirtualSensor::HandleBlock(const Request& request, std::span<std::uint8_t> out, int& status) {
    if (const auto it = m_blocks.find(request.command); it != m_blocks.end()) {
        std::copy(it->second.bytes.begin(), it->second.bytes.end(), out.begin());
        status = STATUS_OK;
        return true;
    }
    for (auto& [readCommand, block] : m_blocks) {
        if (block.writeCommand != request.command)
            continue;
        if (m_running && readCommand != CMD_READ_COUNTERS) {
            status = SENSOR_STATUS_FAILED;  // configuration is locked while measuring
        } else if (request.payload.size() != block.bytes.size()) {
            status = SENSOR_STATUS_BAD_LENGTH;
        } else {
            std::copy(request.payload.begin(), request.payload.end(), block.bytes.begin());
            status = STATUS_OK;
        }
        return true;
    }
    return false;
}

void VirtualSensor::LeaveUsb(Clock::duration away) {
    m_offUsbUntil = Clock::now() + away;
    ++m_usbSession;
}

bool VirtualSensor::Present() const {
    std::lock_guard lock(m_mutex);
    return m_plugged && Clock::now() >= m_offUsbUntil;
}

std::uint64_t VirtualSensor::UsbSession() const {
    std::lock_guard lock(m_mutex);
    return m_usbSession;
}

void VirtualSensor::Unplug() {
    std::lock_guard lock(m_mutex);
    if (!m_plugged)
        return;
    m_plugged = false;
    ++m_usbSession;
}

void VirtualSensor::Replug() {
    std::lock_guard lock(m_mutex);
    m_plugged = true;
    // Power returns on plugging in: the sensor boots idle, its memory kept.
    m_running = false;
    m_simulation.reset();
    m_mode = 2;
}

void VirtualSensor::InjectFault(const Fault& fault) {
    std::lock_guard lock(m_mutex);
    m_faults.push_back(fault);
}

void VirtualSensor::ClearFaults() {
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

void VirtualSensor::SetSupplyMillivolts(std::int32_t millivolts) {
    std::lock_guard lock(m_mutex);
    m_supplyMillivolts = millivolts;
}

bool VirtualSensor::InBootloader() const {
    std::lock_guard lock(m_mutex);
    return m_bootloader;
}

bool VirtualSensor::Running() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

std::uint8_t VirtualSensor::Mode() const {
    std::lock_guard lock(m_mutex);
    return m_mode;
}

std::vector<HidReport> VirtualSensor::Requests() const {
    std::lock_guard lock(m_mutex);
    return {m_requests.begin(), m_requests.end()};
}

void VirtualSensor::ClearRequests() {
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

std::vector<std::uint8_t> VirtualSensor::Block(std::uint8_t readCommand) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_blocks.find(readCommand);
    return it == m_blocks.end() ? std::vector<std::uint8_t>{} : it->second.bytes;
}

std::vector<std::uint8_t> VirtualSensor::Processing() const {
    std::lock_guard lock(m_mutex);
    return m_processing;
}

protocol::ThermistorConfig VirtualSensor::Thermistor(std::uint8_t index) const {
    std::lock_guard lock(m_mutex);
    return base::Decode<protocol::ThermistorConfig>(m_thermistors.at(index));
}

std::vector<StateBytes> VirtualSensor::StateMachine() const {
    std::lock_guard lock(m_mutex);
    return m_states;
}

std::vector<std::uint8_t> VirtualSensor::Image(std::uint32_t imageBase) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_images.find(imageBase);
    return it == m_images.end() ? std::vector<std::uint8_t>{} : it->second;
}

}  // namespace velacor::emulator
