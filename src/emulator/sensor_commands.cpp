// The virtual firmware's command handlers beyond the plain configuration blocks.
#include <algorithm>
#include <chrono>

#include "base/byte_io.h"
#include "base/utc_time.h"
#include "emulator/virtual_sensor.h"
#include "protocol/chemistry_records.h"
#include "protocol/command_codes.h"
#include "protocol/frame.h"
#include "protocol/live_commands.h"
#include "protocol/upgrade_records.h"

namespace velacor::emulator {

using namespace velacor::protocol;

namespace {

constexpr std::uint8_t BOOTLOADER_VERSION = 3;
constexpr std::uint8_t LEGACY_BOARD_INDEX = 1;
constexpr std::uint32_t HARDWARE_VARIANT = 3;
constexpr const char* FIRMWARE_VERSION = "1.4.2";
constexpr const char* LEGACY_FIRMWARE_VERSION = "VELACOR_2_8_3";
constexpr std::size_t STATE_MODE_OFFSET = 76;
constexpr std::uint8_t MODE_IDLE = 2;
constexpr auto LONGEST_PUMP_TEST = std::chrono::seconds(5);
constexpr std::size_t MAX_PROCESSED = 2000;

template <class R>
int Answer(const R& record, std::span<std::uint8_t> out) {
    base::EncodeInto(record, out);
    return STATUS_OK;
}

// Copies a request payload of exactly R::SIZE bytes into `record`.
template <class R>
bool Parse(std::span<const std::uint8_t> payload, R& record) {
    if (payload.size() != R::SIZE)
        return false;
    record = base::Decode<R>(payload);
    return true;
}

std::uint32_t NextScheduled(const MeasurementSchedule& s, std::uint32_t now) {
    std::uint32_t step = 0;
    if (s.intervalMode == INTERVAL_HOURS)
        step = s.intervalValue * 3600u;
    if (s.intervalMode == INTERVAL_MINUTES)
        step = s.intervalValue * 60u;
    if (s.intervalMode == INTERVAL_EVERY_30_MINUTES)
        step = 1800;
    if (now <= s.startTime)
        return s.startTime;
    if (step == 0)
        return now;
    const std::uint32_t periods = (now - s.startTime + step - 1) / step;
    return s.startTime + periods * step;
}

}  // namespace

std::uint32_t VirtualSensor::SensorTimeNow() const {
    const auto pcNow = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    const std::int64_t now = pcNow + m_clockOffsetS;
    return now < 0 ? 0 : static_cast<std::uint32_t>(now);
}

bool VirtualSensor::PumpRunning() const {
    return Clock::now() < m_pumpStopsAt;
}

int VirtualSensor::HandleIdentity(const Request& request, std::span<std::uint8_t> out) {
    const bool legacy = m_options.legacy;
    auto& deviceInfo = m_blocks[CMD_READ_DEVICE_INFO].bytes;
    const auto info = base::Decode<DeviceInfo>(deviceInfo);
    const std::uint8_t mode = m_bootloader ? IDENTITY_MODE_BOOTLOADER : IDENTITY_MODE_FIRMWARE;
    switch (request.command) {
        case CMD_READ_DEVICE_INFO:
            if (legacy)
                return STATUS_NOT_SUPPORTED;
            std::copy(deviceInfo.begin(), deviceInfo.end(), out.begin());
            return STATUS_OK;
        case CMD_WRITE_DEVICE_INFO: {
            if (legacy)
                return STATUS_NOT_SUPPORTED;
            DeviceInfo written;
            if (!Parse(request.payload, written))
                return SENSOR_STATUS_BAD_LENGTH;
            if (written.recordVersion != DEVICE_INFO_RECORD_VERSION)
                return STATUS_FORMAT_UNSUPPORTED;
            written.name.back() = 0;
            const auto bytes = base::Encode(written);
            deviceInfo.assign(bytes.begin(), bytes.end());
            return STATUS_OK;
        }
        case CMD_READ_IDENTITY:
            if (legacy)
                return STATUS_NOT_SUPPORTED;
            return Answer(
                SensorIdentity{0, mode, DeviceTypeOf(m_options.chemistry), BOOTLOADER_VERSION},
                out);
        case CMD_LEGACY_READ_DEVICE: {
            if (!legacy)
                return STATUS_NOT_SUPPORTED;
            LegacyDeviceRecord record;
            record.flag = 1;
            record.mode = mode;
            record.name = info.name;
            record.boardIndex = LEGACY_BOARD_INDEX;
            record.serialNumber = info.serialNumber;
            record.bootloaderVersion = BOOTLOADER_VERSION;
            return Answer(record, out);
        }
        case CMD_LEGACY_WRITE_DEVICE: {
            if (!legacy)
                return STATUS_NOT_SUPPORTED;
            LegacyDeviceRecord record;
            if (!Parse(request.payload, record))
                return SENSOR_STATUS_BAD_LENGTH;
            DeviceInfo updated = info;
            updated.name = record.name;
            updated.name.back() = 0;
            updated.serialNumber = record.serialNumber;
            const auto bytes = base::Encode(updated);
            deviceInfo.assign(bytes.begin(), bytes.end());
            return STATUS_OK;
        }
        case CMD_READ_FIRMWARE_VERSION: {
            FirmwareVersionText version;
            base::SetFieldText(version.text, legacy ? LEGACY_FIRMWARE_VERSION : FIRMWARE_VERSION);
            return Answer(version, out);
        }
        case CMD_READ_POWER_STATUS: {
            PowerStatus power;
            power.supplyMillivolts = m_supplyMillivolts;
            power.temperatureMilli = m_temperatureMilli;
            power.hardwareVariant = HARDWARE_VARIANT;
            return Answer(power, out);
        }
        case CMD_READ_OUTPUT_FILE_NAME: {
            OutputFileName name;
            base::SetFieldText(name.name, "LOC00001.CSV");
            return Answer(name, out);
        }
        default:
            return STATUS_NOT_SUPPORTED;
    }
}

int VirtualSensor::HandleProcessing(const Request& request, std::span<std::uint8_t> out) {
    const auto& payload = request.payload;
    switch (request.command) {
        case CMD_READ_PROCESSING:
        case CMD_WRITE_PROCESSING: {
            if (payload.size() < 4)
                return SENSOR_STATUS_BAD_LENGTH;
            const std::uint32_t length = base::GetU32(payload, 0);
            // After its chemistry changed, the sensor takes a record of the new chemistry's
            // length (older firmware keeps to the 26-byte nutrient form).
            const auto config = base::Decode<ChemistryConfig>(m_blocks[CMD_READ_CHEMISTRY].bytes);
            const bool newLength = request.command == CMD_WRITE_PROCESSING && !m_options.legacy &&
                                   length == ProcessingRecordLength(config.chemistryType);
            if (length != m_processing.size() && !newLength)
                return STATUS_WRONG_RECORD_LENGTH;
            if (request.command == CMD_READ_PROCESSING) {
                std::copy(m_processing.begin(), m_processing.end(), out.begin());
                return STATUS_OK;
            }
            if (payload.size() != length + 4)
                return SENSOR_STATUS_BAD_LENGTH;
            if (m_running)
                return SENSOR_STATUS_FAILED;
            m_processing.assign(payload.begin() + 4, payload.end());
            return STATUS_OK;
        }
        case CMD_READ_THERMISTOR:
            if (payload.size() != 1)
                return SENSOR_STATUS_BAD_LENGTH;
            if (payload[0] >= m_thermistors.size())
                return SENSOR_STATUS_BAD_ARGUMENT;
            std::copy(m_thermistors[payload[0]].begin(), m_thermistors[payload[0]].end(),
                      out.begin());
            return STATUS_OK;
        case CMD_WRITE_THERMISTOR:
            if (payload.size() != 1 + ThermistorConfig::SIZE)
                return SENSOR_STATUS_BAD_LENGTH;
            if (payload[0] >= m_thermistors.size())
                return SENSOR_STATUS_BAD_ARGUMENT;
            if (m_running)
                return SENSOR_STATUS_FAILED;
            std::copy(payload.begin() + 1, payload.end(), m_thermistors[payload[0]].begin());
            return STATUS_OK;
        default:
            return STATUS_NOT_SUPPORTED;
    }
}

int VirtualSensor::HandleStateMachine(const Request& request, std::span<std::uint8_t> out) {
    const auto& payload = request.payload;
    switch (request.command) {
        case CMD_READ_STATE_COUNT:
            return Answer(StateCount{static_cast<std::uint16_t>(m_states.size())}, out);
        case CMD_READ_STATE:
            if (payload.size() != 1)
                return SENSOR_STATUS_BAD_LENGTH;
            if (payload[0] >= m_states.size())
                return SENSOR_STATUS_BAD_ARGUMENT;
            std::copy(m_states[payload[0]].begin(), m_states[payload[0]].end(), out.begin());
            return STATUS_OK;
        case CMD_WRITE_STATE: {
            if (payload.size() != 2 + STATE_RECORD_SIZE)
                return SENSOR_STATUS_BAD_LENGTH;
            if (m_running)
                return SENSOR_STATUS_FAILED;
            const std::size_t index = payload[0];
            if (index > m_states.size())
                return SENSOR_STATUS_BAD_ARGUMENT;
            if (index == m_states.size())
                m_states.emplace_back();
            std::copy(payload.begin() + 2, payload.end(), m_states[index].begin());
            if (payload[1] != 0)
                m_states.resize(index + 1);
            return STATUS_OK;
        }
        case CMD_START_STATE_MACHINE: {
            if (payload.size() != 1)
                return SENSOR_STATUS_BAD_LENGTH;
            if (m_states.empty())
                return SENSOR_STATUS_FAILED;
            if (payload[0] >= m_states.size())
                return SENSOR_STATUS_BAD_ARGUMENT;
            if (m_supplyMillivolts < MIN_RUN_SUPPLY_MV)
                return STATUS_LOW_VOLTAGE;
            m_running = true;
            m_mode = m_states[payload[0]][STATE_MODE_OFFSET];
            m_simulation.emplace(payload[0], m_options.chemistry, SensorTimeNow());
            m_nextSampleAt = Clock::now() + std::chrono::seconds(1);
            m_newSample = false;
            return STATUS_OK;
        }
        case CMD_STOP_STATE_MACHINE:
            m_running = false;
            m_simulation.reset();
            m_mode = MODE_IDLE;
            return STATUS_OK;
        case CMD_MOUNT_AS_DRIVE:
            return m_running ? SENSOR_STATUS_FAILED : STATUS_OK;
        default:
            return STATUS_NOT_SUPPORTED;
    }
}

int VirtualSensor::HandleClock(const Request& request, std::span<std::uint8_t> out) {
    switch (request.command) {
        case CMD_READ_CLOCK: {
            const base::UtcDateTime t = base::ToUtc(SensorTimeNow());
            RtcTime rtc;
            rtc.year = static_cast<std::uint16_t>(t.year);
            rtc.month = static_cast<std::uint8_t>(t.month);
            rtc.day = static_cast<std::uint8_t>(t.day);
            rtc.hour = static_cast<std::uint8_t>(t.hour);
            rtc.minute = static_cast<std::uint8_t>(t.minute);
            rtc.second = static_cast<std::uint8_t>(t.second);
            return Answer(rtc, out);
        }
        case CMD_SET_CLOCK: {
            RtcTime rtc;
            if (!Parse(request.payload, rtc))
                return SENSOR_STATUS_BAD_LENGTH;
            if (rtc.year < 1970 || rtc.month < 1 || rtc.month > 12 || rtc.day < 1 || rtc.day > 31 ||
                rtc.hour > 23 || rtc.minute > 59 || rtc.second > 59) {
                return SENSOR_STATUS_BAD_ARGUMENT;
            }
            const std::uint32_t wanted =
                base::FromUtc({rtc.year, rtc.month, rtc.day, rtc.hour, rtc.minute, rtc.second});
            m_clockOffsetS += static_cast<std::int64_t>(wanted) - SensorTimeNow();
            return STATUS_OK;
        }
        case CMD_READ_SCHEDULE_STATUS: {
            const auto schedule =
                base::Decode<MeasurementSchedule>(m_blocks[CMD_READ_SCHEDULE].bytes);
            ScheduleStatus status;
            status.timeNow = SensorTimeNow();
            status.nextMeasurement = NextScheduled(schedule, status.timeNow);
            status.stopReached =
                schedule.stopEnabled != 0 && status.nextMeasurement > schedule.stopTime ? 1 : 0;
            return Answer(status, out);
        }
        default:
            return STATUS_NOT_SUPPORTED;
    }
}

int VirtualSensor::HandleLiveTest(const Request& request, std::span<std::uint8_t> out) {
    const auto& payload = request.payload;
    switch (request.command) {
        case CMD_START_VALVE_TEST: {
            ValveTest test;
            if (!Parse(payload, test))
                return SENSOR_STATUS_BAD_LENGTH;
            m_valvesOn = test.valveTestMask != 0;
            return STATUS_OK;
        }
        case CMD_STOP_VALVES:
            m_valvesOn = false;
            return STATUS_OK;
        case CMD_START_PUMP: {
            PumpStart start;
            if (!Parse(payload, start))
                return SENSOR_STATUS_BAD_LENGTH;
            const auto stroke =
                std::chrono::seconds(std::max<std::uint32_t>(1, start.pump.timeoutS));
            m_pumpStopsAt = Clock::now() + std::min<Clock::duration>(stroke, LONGEST_PUMP_TEST);
            return STATUS_OK;
        }
        case CMD_STOP_PUMP:
            m_pumpStopsAt = {};
            return STATUS_OK;
        case CMD_READ_PUMP_STATUS: {
            PumpStatus status;
            status.bytes[1] = PumpRunning() ? 1 : 0;
            return Answer(status, out);
        }
        case CMD_START_OPTICS: {
            if (request.format == FORMAT_2 && m_options.legacy)
                return STATUS_FORMAT_UNSUPPORTED;
            const std::size_t expected =
                request.format == FORMAT_2 ? OpticsStart::SIZE : OpticsStart::FORMAT_1_SIZE;
            if (request.format != FORMAT_1 && request.format != FORMAT_2) {
                return STATUS_FORMAT_UNSUPPORTED;
            }
            if (payload.size() != expected)
                return SENSOR_STATUS_BAD_LENGTH;
            m_opticsOn = true;
            return STATUS_OK;
        }
        case CMD_STOP_OPTICS:
            m_opticsOn = false;
            return STATUS_OK;
        default:
            return STATUS_NOT_SUPPORTED;
    }
}

int VirtualSensor::HandleUpgrade(const Request& request) {
    UpgradeBlock block;
    const bool parsed = Parse(request.payload, block);
    // Block 0 always begins a new image, so an interrupted upgrade can simply be run again.
    if (!parsed || block.blockIndex == 0) {
        m_upgradeImage.clear();
        m_upgradeNextBlock = 0;
    }
    if (!parsed)
        return SENSOR_STATUS_BAD_LENGTH;
    // The bootloader writes the firmware, the firmware writes the bootloader.
    const std::uint32_t writableBase = m_bootloader ? FIRMWARE_IMAGE_BASE : BOOTLOADER_IMAGE_BASE;
    if (block.marker != UPGRADE_BLOCK_MARKER || block.imageBase != writableBase ||
        block.byteCount > UPGRADE_BLOCK_DATA_SIZE || block.blockIndex != m_upgradeNextBlock) {
        m_upgradeImage.clear();
        m_upgradeNextBlock = 0;
        return SENSOR_STATUS_BAD_ARGUMENT;
    }
    if (block.byteCount > 0) {
        m_upgradeImage.insert(m_upgradeImage.end(), block.data.begin(),
                              block.data.begin() + block.byteCount);
        ++m_upgradeNextBlock;
        return STATUS_OK;
    }

    // The final block. An empty image changes nothing.
    const bool empty = m_upgradeNextBlock == 0;
    m_upgradeNextBlock = 0;
    if (empty)
        return STATUS_OK;
    m_images[block.imageBase] = std::move(m_upgradeImage);
    m_upgradeImage.clear();
    if (m_bootloader) {
        // The new firmware starts as after 0x02; the answer still goes out first.
        m_bootloader = false;
        LeaveUsb(std::chrono::milliseconds(m_options.restartDelayMs));
    }
    return STATUS_OK;
}

void VirtualSensor::Advance() {
    if (!m_simulation)
        return;
    constexpr int MOST_STEPS = 3600;  // after a long silence, only the last hour is replayed
    const auto now = Clock::now();
    auto counters = base::Decode<MeasurementCounters>(m_blocks[CMD_READ_COUNTERS].bytes);
    for (int step = 0; step < MOST_STEPS && m_nextSampleAt <= now; ++step) {
        m_lastSample =
            m_simulation->Step(m_states, SensorTimeNow(), m_supplyMillivolts, m_temperatureMilli);
        m_newSample = true;
        m_nextSampleAt += std::chrono::seconds(1);
        const int measured = m_simulation->TakeMeasurements();
        counters.measurementCounter += static_cast<std::uint32_t>(measured);
        counters.measurementTripCounter += measured;
        for (const ProcessedRecord& result : m_simulation->TakeResults()) {
            m_processed.push_back(result);
            if (m_processed.size() > MAX_PROCESSED) {
                m_processed.pop_front();
                m_processedCursor -= m_processedCursor > 0 ? 1 : 0;
            }
        }
    }
    if (m_nextSampleAt <= now)
        m_nextSampleAt = now + std::chrono::seconds(1);
    const auto bytes = base::Encode(counters);
    m_blocks[CMD_READ_COUNTERS].bytes.assign(bytes.begin(), bytes.end());
    m_mode = m_simulation->Mode(m_states);
}

int VirtualSensor::HandleLiveData(const Request& request, std::span<std::uint8_t> out) {
    switch (request.command) {
        case CMD_READ_OUTPUT_STATUS: {
            OutputStatus status;
            status.mode = m_mode;
            status.sample = m_lastSample;
            Answer(status, out);
            if (!m_newSample)
                return STATUS_NO_NEW_SAMPLE;
            m_newSample = false;
            return STATUS_OK;
        }
        case CMD_READ_PLATFORM_DATA: {
            const auto defaults =
                base::Decode<PlatformDefaults>(m_blocks[CMD_READ_PLATFORM_DEFAULTS].bytes);
            PlatformData data;
            data.salinity = defaults.salinityPsu;
            data.temperature = defaults.temperatureC;
            data.oxygen = defaults.dissolvedOxygenMlL;
            data.depth = defaults.depthM;
            data.direction = defaults.travelDirection;
            data.param = defaults.platformParam;
            return Answer(data, out);
        }
        case CMD_POSITION_PROCESSED:
            if (request.payload.size() != 3 || request.payload[0] != PROCESSED_OUTPUT_KIND)
                return SENSOR_STATUS_BAD_ARGUMENT;
            m_processedCursor = 0;
            return STATUS_OK;
        case CMD_READ_PROCESSED:
            if (request.payload.size() != 1 || request.payload[0] != PROCESSED_OUTPUT_KIND)
                return SENSOR_STATUS_BAD_ARGUMENT;
            if (m_processedCursor >= m_processed.size())
                return SENSOR_STATUS_FAILED;  // nothing further
            return Answer(m_processed[m_processedCursor++], out);
        case CMD_CLEAR_PROCESSED:
            m_processed.clear();
            m_processedCursor = 0;
            return STATUS_OK;
        default:
            return STATUS_NOT_SUPPORTED;
    }
}

}  // namespace velacor::emulator
