#include "emulator/virtual_sensor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/byte_io.h"
#include "protocol/command_codes.h"
#include "protocol/frame.h"
#include "protocol/identity_records.h"
#include "protocol/settings_records.h"
#include "protocol/upgrade_records.h"

namespace velacor::emulator {
namespace {

using namespace velacor::protocol;
using namespace std::chrono_literals;

struct Reply {
    bool answered = false;
    int status = -1;
    HidReport report{};
    std::span<const std::uint8_t> Payload() const {
        return std::span(report).subspan(PAYLOAD_OFFSET);
    }
};

Reply Send(VirtualSensor& sensor, std::uint8_t command, std::vector<std::uint8_t> payload = {},
           std::uint8_t format = FORMAT_1, std::uint8_t sequence = 7) {
    HidReport request{};
    request[1] = command;
    request[2] = format;
    request[3] = sequence;
    request[5] = static_cast<std::uint8_t>(payload.size());
    std::copy(payload.begin(), payload.end(), request.begin() + PAYLOAD_OFFSET);
    Reply reply;
    reply.answered = sensor.Handle(request, reply.report);
    if (reply.answered)
        reply.status = reply.report[STATUS_OFFSET];
    return reply;
}

template <class R>
std::vector<std::uint8_t> Bytes(const R& record) {
    const auto b = base::Encode(record);
    return {b.begin(), b.end()};
}

TEST(VirtualSensor, EveryChemistryServesItsProcessingRecordLength) {
    for (std::uint8_t chemistry = 0; chemistry <= CHEMISTRY_AMMONIA; ++chemistry) {
        SensorOptions options;
        options.chemistry = chemistry;
        VirtualSensor sensor(options);
        const auto length = static_cast<std::uint8_t>(ProcessingRecordLength(chemistry));
        EXPECT_EQ(Send(sensor, CMD_READ_PROCESSING, {length, 0, 0, 0}).status, STATUS_OK)
            << int{chemistry};
        EXPECT_EQ(
            Send(sensor, CMD_READ_PROCESSING, {static_cast<std::uint8_t>(length + 1), 0, 0, 0})
                .status,
            STATUS_WRONG_RECORD_LENGTH);
        // Only DIC sensors have a conductivity cell.
        EXPECT_EQ(Send(sensor, CMD_READ_DIC_CONDUCTIVITY).status == STATUS_OK,
                  chemistry == CHEMISTRY_DIC);
        const auto config =
            base::Decode<ChemistryConfig>(Send(sensor, CMD_READ_CHEMISTRY).Payload());
        EXPECT_EQ(config.chemistryType, chemistry);
    }
}

// The device information, name and identity reach the programs through the command line's
// tests; here the blocks, their length and index checks and unknown commands.
TEST(VirtualSensor, BlocksAreStoredAsWrittenAndWrongLengthsRefused) {
    VirtualSensor sensor;
    Rs232Config rs232;
    rs232.baudRate = 19200;
    EXPECT_EQ(Send(sensor, CMD_WRITE_RS232, Bytes(rs232)).status, STATUS_OK);
    EXPECT_EQ(base::Decode<Rs232Config>(Send(sensor, CMD_READ_RS232).Payload()).baudRate, 19200u);
    EXPECT_EQ(Send(sensor, CMD_WRITE_RS232, {1, 2, 3}).status, SENSOR_STATUS_BAD_LENGTH);
    EXPECT_EQ(Send(sensor, 0x7e).status, STATUS_NOT_SUPPORTED);

    std::vector<std::uint8_t> thermistor = {2};
    const auto t = Bytes(ThermistorConfig{0, 5, 1.0f, 2.0f, 3.0f, 4.0f});
    thermistor.insert(thermistor.end(), t.begin(), t.end());
    EXPECT_EQ(Send(sensor, CMD_WRITE_THERMISTOR, thermistor).status, STATUS_OK);
    EXPECT_EQ(
        base::Decode<ThermistorConfig>(Send(sensor, CMD_READ_THERMISTOR, {2}).Payload()).coeffV0,
        4.0f);
    EXPECT_EQ(Send(sensor, CMD_READ_THERMISTOR, {3}).status, SENSOR_STATUS_BAD_ARGUMENT);
}

TEST(VirtualSensor, StartsOnlyWithEnoughSupplyAndLocksItsSettingsWhileRunning) {
    VirtualSensor sensor;
    sensor.SetSupplyMillivolts(8500);
    EXPECT_EQ(Send(sensor, CMD_START_STATE_MACHINE, {0}).status, STATUS_LOW_VOLTAGE);
    EXPECT_FALSE(sensor.Running());

    sensor.SetSupplyMillivolts(12000);
    EXPECT_EQ(Send(sensor, CMD_START_STATE_MACHINE, {99}).status, SENSOR_STATUS_BAD_ARGUMENT);
    ASSERT_EQ(Send(sensor, CMD_START_STATE_MACHINE, {0}).status, STATUS_OK);
    EXPECT_TRUE(sensor.Running());
    EXPECT_EQ(sensor.Mode(), 0);  // the first state operates
    EXPECT_EQ(Send(sensor, CMD_WRITE_CHEMISTRY, sensor.Block(CMD_READ_CHEMISTRY)).status,
              SENSOR_STATUS_FAILED);

    EXPECT_EQ(Send(sensor, CMD_STOP_STATE_MACHINE).status, STATUS_OK);
    EXPECT_FALSE(sensor.Running());
    EXPECT_EQ(sensor.Mode(), 2);
}

TEST(VirtualSensor, WritingTheLastStateEndsTheMachineThere) {
    VirtualSensor sensor;
    ASSERT_GT(sensor.StateMachine().size(), 2u);
    std::vector<std::uint8_t> write = {1, 1};
    write.resize(2 + STATE_RECORD_SIZE, 0x5A);
    EXPECT_EQ(Send(sensor, CMD_WRITE_STATE, write).status, STATUS_OK);
    ASSERT_EQ(sensor.StateMachine().size(), 2u);
    EXPECT_EQ(sensor.StateMachine()[1][10], 0x5A);
    const Reply count = Send(sensor, CMD_READ_STATE_COUNT, {0});
    EXPECT_EQ(base::GetU16(count.Payload(), 0), 2);
    EXPECT_EQ(Send(sensor, CMD_READ_STATE, {2}).status, SENSOR_STATUS_BAD_ARGUMENT);
}

TEST(VirtualSensor, ClockCanBeSetAndRuns) {
    VirtualSensor sensor;
    ASSERT_EQ(Send(sensor, CMD_SET_CLOCK, Bytes(RtcTime{0, 2030, 6, 15, 12, 30, 0})).status,
              STATUS_OK);
    const auto now = base::Decode<RtcTime>(Send(sensor, CMD_READ_CLOCK).Payload());
    EXPECT_EQ(now.day, 15);
    EXPECT_EQ(now.minute, 30);
    EXPECT_LE(now.second, 2);
    EXPECT_EQ(Send(sensor, CMD_SET_CLOCK, Bytes(RtcTime{0, 2030, 13, 1, 0, 0, 0})).status,
              SENSOR_STATUS_BAD_ARGUMENT);
}

TEST(VirtualSensor, OlderFirmwareAnswersAsOlderFirmwareDoes) {
    SensorOptions options;
    options.legacy = true;
    VirtualSensor sensor(options);
    // Its 0x00 answers to 0x04 and 0x06 are in the command line's legacy trace.
    EXPECT_EQ(
        base::Decode<LegacyDeviceRecord>(Send(sensor, CMD_LEGACY_READ_DEVICE).Payload()).boardIndex,
        1);
    EXPECT_EQ(Send(sensor, CMD_READ_PROCESSING, {32, 0, 0, 0}).status, STATUS_WRONG_RECORD_LENGTH);
    EXPECT_EQ(Send(sensor, CMD_READ_PROCESSING, {26, 0, 0, 0}).status, STATUS_OK);

    std::vector<std::uint8_t> optics(36, 0);
    EXPECT_EQ(Send(sensor, CMD_START_OPTICS, optics, FORMAT_2).status, STATUS_FORMAT_UNSUPPORTED);
    optics.resize(16);
    EXPECT_EQ(Send(sensor, CMD_START_OPTICS, optics, FORMAT_1).status, STATUS_OK);
}

TEST(VirtualSensor, BootloaderStartsItsFirmwareAndComesBackOnUsb) {
    SensorOptions options;
    options.bootloader = true;
    options.restartDelayMs = 100;
    VirtualSensor sensor(options);
    EXPECT_EQ(base::Decode<SensorIdentity>(Send(sensor, CMD_READ_IDENTITY).Payload()).mode,
              IDENTITY_MODE_BOOTLOADER);
    EXPECT_EQ(Send(sensor, CMD_READ_CHEMISTRY).status, STATUS_NOT_SUPPORTED);

    const auto session = sensor.UsbSession();
    ASSERT_EQ(Send(sensor, CMD_START_FIRMWARE).status, STATUS_OK);
    EXPECT_FALSE(sensor.Present());
    EXPECT_NE(sensor.UsbSession(), session);
    EXPECT_FALSE(Send(sensor, CMD_READ_IDENTITY).answered);

    std::this_thread::sleep_for(150ms);
    EXPECT_TRUE(sensor.Present());
    EXPECT_EQ(base::Decode<SensorIdentity>(Send(sensor, CMD_READ_IDENTITY).Payload()).mode,
              IDENTITY_MODE_FIRMWARE);
}

std::vector<std::uint8_t> UpgradePayload(std::uint32_t index, std::uint32_t count,
                                         std::uint32_t imageBase, std::uint8_t fill = 0x5a) {
    UpgradeBlock block;
    block.blockIndex = index;
    block.byteCount = count;
    block.data.fill(fill);
    block.imageBase = imageBase;
    return Bytes(block);
}

int SendBlock(VirtualSensor& sensor, std::vector<std::uint8_t> payload) {
    return Send(sensor, CMD_UPGRADE_BLOCK, std::move(payload)).status;
}

TEST(VirtualSensor, BootloaderChecksEveryUpgradeBlock) {
    SensorOptions options;
    options.bootloader = true;
    VirtualSensor sensor(options);
    const auto base = FIRMWARE_IMAGE_BASE;
    constexpr int BAD = SENSOR_STATUS_BAD_ARGUMENT;
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(0, 64, BOOTLOADER_IMAGE_BASE)), BAD);
    auto marked = UpgradePayload(0, 64, base);
    marked[0] = 2;
    EXPECT_EQ(SendBlock(sensor, marked), BAD);
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(0, 65, base)), BAD);
    auto shortBlock = UpgradePayload(0, 64, base);
    shortBlock.pop_back();
    EXPECT_EQ(SendBlock(sensor, shortBlock), SENSOR_STATUS_BAD_LENGTH);

    // Out of order: refused, and the image starts again from block 0.
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(0, 64, base)), STATUS_OK);
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(2, 64, base)), BAD);
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(1, 64, base)), BAD);

    // An empty image is acknowledged and changes nothing.
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(0, 0, base)), STATUS_OK);
    EXPECT_TRUE(sensor.InBootloader() && sensor.Present());
    EXPECT_TRUE(sensor.Image(base).empty());

    // A chosen block can be made to fail.
    sensor.InjectFault({CMD_UPGRADE_BLOCK, FaultKind::Status, 0x41, 1, 1});
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(0, 64, base)), STATUS_OK);
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(1, 64, base)), 0x41);
}

// Without a restart, unlike the bootloader's firmware upgrade (the upgrade dialog's test).
TEST(VirtualSensor, FirmwareTakesABootloaderImageAndKeepsRunning) {
    VirtualSensor sensor;
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(0, 64, FIRMWARE_IMAGE_BASE)),
              SENSOR_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(0, 64, BOOTLOADER_IMAGE_BASE, 1)), STATUS_OK);
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(1, 3, BOOTLOADER_IMAGE_BASE, 2)), STATUS_OK);
    const auto session = sensor.UsbSession();
    EXPECT_EQ(SendBlock(sensor, UpgradePayload(2, 0, BOOTLOADER_IMAGE_BASE)), STATUS_OK);
    std::vector<std::uint8_t> image(64, 1);
    image.insert(image.end(), 3, 2);
    EXPECT_EQ(sensor.Image(BOOTLOADER_IMAGE_BASE), image);
    EXPECT_FALSE(sensor.InBootloader());
    EXPECT_EQ(sensor.UsbSession(), session);
}

TEST(VirtualSensor, InjectedFaultsHitTheChosenRequestOnly) {
    VirtualSensor sensor;
    sensor.InjectFault({CMD_READ_POWER_STATUS, FaultKind::NoAnswer, 0, 1});
    sensor.InjectFault({CMD_READ_COUNTERS, FaultKind::Status, 0x33, 2});
    sensor.InjectFault({CMD_READ_IDENTITY, FaultKind::StaleSequence, 0, 1});

    EXPECT_FALSE(Send(sensor, CMD_READ_POWER_STATUS).answered);
    EXPECT_TRUE(Send(sensor, CMD_READ_POWER_STATUS).answered);
    EXPECT_EQ(Send(sensor, CMD_READ_COUNTERS).status, 0x33);
    EXPECT_EQ(Send(sensor, CMD_READ_COUNTERS).status, 0x33);
    EXPECT_EQ(Send(sensor, CMD_READ_COUNTERS).status, STATUS_OK);
    EXPECT_EQ(Send(sensor, CMD_READ_IDENTITY, {}, FORMAT_1, 9).report[3], 8);

    sensor.InjectFault({std::nullopt, FaultKind::Unplug, 0, 1});
    EXPECT_FALSE(Send(sensor, CMD_READ_DEVICE_INFO).answered);
    EXPECT_FALSE(sensor.Present());
}

}  // namespace
}  // namespace velacor::emulator
