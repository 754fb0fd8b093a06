// Identity and device information, including the older 0x00/0x01 forms that firmware without
// 0x04, 0x05 and 0x06 answers instead (it says status 9 to the newer ones).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_io.h"
#include "link/link_status.h"
#include "protocol/device_type.h"
#include "protocol/identity_commands.h"
#include "protocol/scripted_transactor.h"

namespace velacor::protocol {
namespace {

using testing::Answer;
using testing::LinkFailure;
using testing::PatternBytes;
using testing::ScriptedAnswer;
using testing::ScriptedTransactor;

template <class R>
std::vector<std::uint8_t> Bytes(const R& record) {
    const auto bytes = base::Encode(record);
    return {bytes.begin(), bytes.end()};
}

// The older 0x00 answer, with every byte set to something the conversion must not leak.
LegacyDeviceRecord OldSensor(std::uint8_t flag, std::uint8_t boardIndex) {
    LegacyDeviceRecord legacy;
    legacy.flag = flag;
    legacy.mode = IDENTITY_MODE_FIRMWARE;
    base::SetFieldText(legacy.name, "Old Nitrate");
    legacy.boardIndex = boardIndex;
    legacy.serialNumber = 4321;
    legacy.bootloaderVersion = 7;
    return legacy;
}

DeviceInfo Filled(std::uint32_t seed) {
    return base::Decode<DeviceInfo>(PatternBytes(DeviceInfo::SIZE, seed));
}

void ExpectRequest(const ScriptedTransactor& t, std::size_t i, std::uint8_t command,
                   const std::vector<std::uint8_t>& payload) {
    EXPECT_EQ(t.Command(i), command) << "request " << i;
    EXPECT_EQ(t.Format(i), FORMAT_1) << "request " << i;
    EXPECT_EQ(std::size_t{t.Length(i)}, payload.size()) << "request " << i;
    EXPECT_EQ(t.Payload(i), payload) << "request " << i;
}

TEST(ReadDeviceInfo, NewFirmwareAnswersTheWholeRecord) {
    const auto answer = PatternBytes(DeviceInfo::SIZE, 3);
    ScriptedTransactor t{Answer(0, answer)};
    DeviceInfo info;
    ASSERT_EQ(ReadDeviceInfo(t, info), STATUS_OK);
    ASSERT_EQ(t.Requests().size(), 1u);
    ExpectRequest(t, 0, CMD_READ_DEVICE_INFO, {});
    EXPECT_EQ(Bytes(info), answer);
}

TEST(ReadDeviceInfo, FailuresOtherThanNineAreReturnedWithoutFallback) {
    for (const ScriptedAnswer& first : {Answer(3), Answer(8), Answer(255), LinkFailure()}) {
        ScriptedTransactor t{first, Answer(0, Bytes(OldSensor(1, 1)))};
        DeviceInfo info = Filled(5);
        const auto before = Bytes(info);
        const int expected =
            first.linkStatus != link::LINK_OK ? RESULT_TRANSPORT_FAILURE : first.status;
        EXPECT_EQ(ReadDeviceInfo(t, info), expected);
        EXPECT_EQ(t.Requests().size(), 1u) << "status " << expected;
        EXPECT_EQ(Bytes(info), before) << "status " << expected;
    }
}

TEST(ReadDeviceInfo, StatusNineFallsBackToTheOlderCommandOnce) {
    ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED), Answer(0, Bytes(OldSensor(1, 3)))};
    DeviceInfo info = Filled(9);  // nothing of the caller's record survives the conversion
    ASSERT_EQ(ReadDeviceInfo(t, info), STATUS_OK);

    ASSERT_EQ(t.Requests().size(), 2u);
    ExpectRequest(t, 1, CMD_LEGACY_READ_DEVICE, {});
    DeviceInfo expected;
    expected.recordVersion = DEVICE_INFO_RECORD_VERSION;
    expected.SetName("Old Nitrate");
    expected.serialNumber = 4321;
    EXPECT_EQ(Bytes(info), Bytes(expected));
}

TEST(ReadDeviceInfo, OlderAnswerWithFlagZeroHasNoSerialNumber) {
    ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED), Answer(0, Bytes(OldSensor(0, 3)))};
    DeviceInfo info;
    ASSERT_EQ(ReadDeviceInfo(t, info), STATUS_OK);
    EXPECT_EQ(info.serialNumber, 0);
    EXPECT_EQ(info.Name(), "Old Nitrate");
}

TEST(ReadDeviceInfo, FailedFallbackReportsNineAndLeavesTheRecord) {
    for (const ScriptedAnswer& second : {Answer(3), Answer(STATUS_NOT_SUPPORTED), LinkFailure()}) {
        ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED), second};
        DeviceInfo info = Filled(11);
        const auto before = Bytes(info);
        EXPECT_EQ(ReadDeviceInfo(t, info), STATUS_NOT_SUPPORTED);
        EXPECT_EQ(t.Requests().size(), 2u);
        EXPECT_EQ(Bytes(info), before);
    }
}

TEST(ReadIdentity, NewFirmwareAnswersFiveBytes) {
    ScriptedTransactor t{Answer(0, {0x5a, IDENTITY_MODE_BOOTLOADER, 0x04, 0x01, 12, 0xee})};
    SensorIdentity identity;
    ASSERT_EQ(ReadIdentity(t, identity), STATUS_OK);
    ASSERT_EQ(t.Requests().size(), 1u);
    ExpectRequest(t, 0, CMD_READ_IDENTITY, {});
    EXPECT_EQ(identity.byte0, 0x5a);
    EXPECT_EQ(identity.mode, IDENTITY_MODE_BOOTLOADER);
    EXPECT_EQ(identity.deviceType, DEVICE_TYPE_PH);
    EXPECT_EQ(identity.bootloaderVersion, 12);
}

TEST(ReadIdentity, OlderFirmwareIsConvertedFromItsBoardIndex) {
    struct Case {
        std::uint8_t flag;
        std::uint8_t boardIndex;
        std::uint16_t deviceType;
        std::uint8_t bootloaderVersion;
    };
    const Case cases[] = {
        {1, 1, 0x0011, 7}, {2, 12, 0x00F0, 7}, {1, 13, 0, 7},
        {1, 0, 0, 7},      {1, 255, 0, 7},     {0, 4, 0x0014, 0},  // flag 0: no bootloader version
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "flag " << int{c.flag} << " board " << int{c.boardIndex});
        ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED),
                             Answer(0, Bytes(OldSensor(c.flag, c.boardIndex)))};
        SensorIdentity identity = base::Decode<SensorIdentity>(PatternBytes(5, 1));
        ASSERT_EQ(ReadIdentity(t, identity), STATUS_OK);
        ASSERT_EQ(t.Requests().size(), 2u);
        ExpectRequest(t, 1, CMD_LEGACY_READ_DEVICE, {});
        EXPECT_EQ(identity.byte0, 0);
        EXPECT_EQ(identity.mode, IDENTITY_MODE_FIRMWARE);
        EXPECT_EQ(identity.deviceType, c.deviceType);
        EXPECT_EQ(identity.bootloaderVersion, c.bootloaderVersion);
    }
}

TEST(ReadIdentity, BoardIndexBeyondTheListIsAnUnknownDevice) {
    ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED), Answer(0, Bytes(OldSensor(1, 13)))};
    SensorIdentity identity;
    ASSERT_EQ(ReadIdentity(t, identity), STATUS_OK);
    EXPECT_EQ(identity.deviceType, 0);
    EXPECT_EQ(DeviceTypeName(identity.deviceType), "Brenmoor Unknown Device");
}

TEST(ReadIdentity, FallbackResults) {
    struct Case {
        ScriptedAnswer first;
        ScriptedAnswer second;
        int result;
        std::size_t requests;
    };
    const Case cases[] = {
        {LinkFailure(), Answer(0), RESULT_TRANSPORT_FAILURE, 1},
        {Answer(4), Answer(0), 4, 1},
        {Answer(STATUS_NOT_SUPPORTED), LinkFailure(), STATUS_NOT_SUPPORTED, 2},
        {Answer(STATUS_NOT_SUPPORTED), Answer(3), 3, 2},
    };
    for (const Case& c : cases) {
        ScriptedTransactor t{c.first, c.second};
        SensorIdentity identity = base::Decode<SensorIdentity>(PatternBytes(5, 2));
        const auto before = Bytes(identity);
        EXPECT_EQ(ReadIdentity(t, identity), c.result);
        EXPECT_EQ(t.Requests().size(), c.requests) << "result " << c.result;
        EXPECT_EQ(Bytes(identity), before) << "result " << c.result;
    }
}

TEST(WriteDeviceInfo, SendsTheWholeRecord) {
    for (const int status : {0, 8, 3}) {
        ScriptedTransactor t{Answer(static_cast<std::uint8_t>(status))};
        const DeviceInfo info = Filled(21);
        EXPECT_EQ(WriteDeviceInfo(t, info), status);
        ASSERT_EQ(t.Requests().size(), 1u) << "status 8 is not a reason for the older form";
        ExpectRequest(t, 0, CMD_WRITE_DEVICE_INFO, Bytes(info));
    }
}

TEST(WriteDeviceInfo, StatusNineWritesTheOlder27ByteLayout) {
    DeviceInfo info = Filled(23);
    info.serialNumber = 0x1234;
    const auto record = Bytes(info);

    // payload byte 0 is 1, 1..23 are the record's, then the serial number and record byte 26
    std::vector<std::uint8_t> expected(record.begin(), record.begin() + 27);
    expected[0] = 1;
    expected[24] = 0x34;
    expected[25] = 0x12;

    struct Case {
        ScriptedAnswer second;
        int result;
    };
    for (const Case& c :
         {Case{Answer(0), 0}, Case{Answer(7), 7}, Case{LinkFailure(), STATUS_NOT_SUPPORTED}}) {
        ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED), c.second};
        EXPECT_EQ(WriteDeviceInfo(t, info), c.result);
        ASSERT_EQ(t.Requests().size(), 2u);
        ExpectRequest(t, 1, CMD_LEGACY_WRITE_DEVICE, expected);
    }
}

TEST(WriteDeviceInfo, TransportFailureIsNotFollowedByTheOlderForm) {
    ScriptedTransactor t{LinkFailure(), Answer(0)};
    EXPECT_EQ(WriteDeviceInfo(t, Filled(1)), RESULT_TRANSPORT_FAILURE);
    EXPECT_EQ(t.Requests().size(), 1u);
}

// The identification editor reads the record, changes the name, serial number and record
// version and writes it back: every other byte must reach the sensor as it was read.
TEST(DeviceInfoEdit, TwentyCharacterNameSurvivesReadEditWrite) {
    const std::string name = "Mooring 12 Nitrate A";  // 20 characters
    ASSERT_EQ(name.size(), SENSOR_NAME_MAX);
    auto read = PatternBytes(DeviceInfo::SIZE, 31);
    read[0] = 1;
    std::fill(read.begin() + 2, read.begin() + 23, std::uint8_t{'z'});  // no terminator at all

    ScriptedTransactor t{Answer(0, read), Answer(0)};
    DeviceInfo info;
    ASSERT_EQ(ReadDeviceInfo(t, info), STATUS_OK);
    info.recordVersion = DEVICE_INFO_RECORD_VERSION;
    info.SetName(name);
    info.serialNumber = 65535;
    ASSERT_EQ(WriteDeviceInfo(t, info), STATUS_OK);

    const auto written = t.Payload(1);
    ASSERT_EQ(written.size(), DeviceInfo::SIZE);
    EXPECT_EQ(written[0], DEVICE_INFO_RECORD_VERSION);
    EXPECT_EQ(written[1], read[1]);
    EXPECT_EQ(std::string(written.begin() + 2, written.begin() + 22), name);
    EXPECT_EQ(written[22], 0);
    EXPECT_EQ(written[23], read[23]);
    EXPECT_EQ(base::GetU16(written, 24), 65535);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin() + 26, written.end()),
              std::vector<std::uint8_t>(read.begin() + 26, read.end()));

    // What the sensor now holds reads back as the same name.
    ScriptedTransactor again{Answer(0, written)};
    DeviceInfo reread;
    ASSERT_EQ(ReadDeviceInfo(again, reread), STATUS_OK);
    EXPECT_EQ(reread.Name(), name);
}

TEST(DeviceTypeName, KnownAndUnknownCodes) {
    EXPECT_EQ(DeviceTypeName(DEVICE_TYPE_NITRATE), "Brenmoor Velacor Nitrate Sensor");
    EXPECT_EQ(DeviceTypeName(DEVICE_TYPE_TA), "Brenmoor Velacor TA Sensor");
    EXPECT_EQ(DeviceTypeName(0), "Brenmoor Unknown Device");
    EXPECT_EQ(DeviceTypeName(0xbeef), "Brenmoor Unknown Device");
}

TEST(DeviceTypeName, EveryCodeFitsThirtyNineCharacters) {
    for (std::uint32_t code = 0; code <= 0xffff; ++code) {
        const std::string name = DeviceTypeName(static_cast<std::uint16_t>(code));
        ASSERT_LE(name.size(), 39u) << "code " << code;
        ASSERT_EQ(name.rfind("Brenmoor ", 0), 0u) << "code " << code;
    }
}

// Every board index of older firmware stands for a model the table can name.
TEST(DeviceTypeName, EveryOlderBoardIndexNamesAKnownModel) {
    for (std::uint8_t index = 1; index <= 12; ++index) {
        const std::uint16_t code = LegacyBoardDeviceType(index);
        EXPECT_NE(code, 0) << "board " << int{index};
        EXPECT_NE(DeviceTypeName(code), "Brenmoor Unknown Device") << "board " << int{index};
    }
}

}  // namespace
}  // namespace velacor::protocol
