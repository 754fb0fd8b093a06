// Identity and device information, including the older 0x00/0x01 forms that firmware without
// 0x04, 0x05 and 0x06 answers instead (it says status 9 to the newer ones).
#include <gtest/gtest.h>

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
using testing::Encoded;
using testing::ExpectRequest;
using testing::LinkFailure;
using testing::PatternBytes;
using testing::ScriptedAnswer;
using testing::ScriptedTransactor;

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

// Only status 9 means older firmware; any other failure is the result, with no fallback.
TEST(IdentityCommands, FailuresOtherThanNineAreReturnedWithoutFallback) {
    for (const ScriptedAnswer& first : {Answer(3), Answer(4), Answer(8), LinkFailure()}) {
        const int expected =
            first.linkStatus != link::LINK_OK ? RESULT_TRANSPORT_FAILURE : first.status;
        SCOPED_TRACE(expected);
        const auto older = Encoded(OldSensor(1, 1));
        ScriptedTransactor t{first, first, first, Answer(0, older), Answer(0, older), Answer(0)};
        DeviceInfo info = Filled(5);
        EXPECT_EQ(ReadDeviceInfo(t, info), expected);
        EXPECT_EQ(Encoded(info), Encoded(Filled(5)));
        SensorIdentity identity = base::Decode<SensorIdentity>(PatternBytes(5, 2));
        EXPECT_EQ(ReadIdentity(t, identity), expected);
        EXPECT_EQ(Encoded(identity), PatternBytes(5, 2));
        EXPECT_EQ(WriteDeviceInfo(t, Filled(1)), expected);
        EXPECT_EQ(t.Requests().size(), 3u);
    }
}

TEST(ReadDeviceInfo, StatusNineFallsBackToTheOlderCommandOnce) {
    ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED), Answer(0, Encoded(OldSensor(1, 3)))};
    DeviceInfo info = Filled(9);  // nothing of the caller's record survives the conversion
    ASSERT_EQ(ReadDeviceInfo(t, info), STATUS_OK);

    ASSERT_EQ(t.Requests().size(), 2u);
    ExpectRequest(t, 1, CMD_LEGACY_READ_DEVICE, {});
    DeviceInfo expected;
    expected.recordVersion = DEVICE_INFO_RECORD_VERSION;
    expected.SetName("Old Nitrate");
    expected.serialNumber = 4321;
    EXPECT_EQ(Encoded(info), Encoded(expected));

    // Flag 0: the older record holds no serial number.
    ScriptedTransactor noSerial{Answer(STATUS_NOT_SUPPORTED), Answer(0, Encoded(OldSensor(0, 3)))};
    ASSERT_EQ(ReadDeviceInfo(noSerial, info), STATUS_OK);
    EXPECT_EQ(info.serialNumber, 0);
    EXPECT_EQ(info.Name(), "Old Nitrate");
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
        {1, 0, 0, 7},      {0, 4, 0x0014, 0},  // flag 0: no bootloader version
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "flag " << int{c.flag} << " board " << int{c.boardIndex});
        ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED),
                             Answer(0, Encoded(OldSensor(c.flag, c.boardIndex)))};
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

// A failed fallback leaves the record. The device information then reports the 9; the
// identity reports a refusal of the older command as its own status.
TEST(IdentityCommands, FailedFallbackLeavesTheRecord) {
    struct Case {
        ScriptedAnswer second;
        int identityResult;
    };
    for (const Case& c : {Case{LinkFailure(), STATUS_NOT_SUPPORTED}, Case{Answer(3), 3},
                          Case{Answer(STATUS_NOT_SUPPORTED), STATUS_NOT_SUPPORTED}}) {
        SCOPED_TRACE(c.identityResult);
        ScriptedTransactor t{Answer(STATUS_NOT_SUPPORTED), c.second, Answer(STATUS_NOT_SUPPORTED),
                             c.second};
        DeviceInfo info = Filled(11);
        EXPECT_EQ(ReadDeviceInfo(t, info), STATUS_NOT_SUPPORTED);
        EXPECT_EQ(Encoded(info), Encoded(Filled(11)));
        SensorIdentity identity = base::Decode<SensorIdentity>(PatternBytes(5, 2));
        EXPECT_EQ(ReadIdentity(t, identity), c.identityResult);
        EXPECT_EQ(Encoded(identity), PatternBytes(5, 2));
        EXPECT_EQ(t.Requests().size(), 4u);
    }
}

TEST(WriteDeviceInfo, StatusNineWritesTheOlder27ByteLayout) {
    DeviceInfo info = Filled(23);
    info.serialNumber = 0x1234;
    const auto record = Encoded(info);

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

TEST(DeviceTypeName, KnownUnknownAndOlderBoardCodes) {
    EXPECT_EQ(DeviceTypeName(DEVICE_TYPE_NITRATE), "Brenmoor Velacor Nitrate Sensor");
    EXPECT_EQ(DeviceTypeName(DEVICE_TYPE_TA), "Brenmoor Velacor TA Sensor");
    EXPECT_EQ(DeviceTypeName(0xbeef), "Brenmoor Unknown Device");
    for (std::uint32_t code = 0; code <= 0xffff; ++code) {
        const std::string name = DeviceTypeName(static_cast<std::uint16_t>(code));
        ASSERT_LE(name.size(), 39u) << "code " << code;
        ASSERT_EQ(name.rfind("Brenmoor ", 0), 0u) << "code " << code;
    }
    // Every board index of older firmware stands for a model the table can name.
    for (std::uint8_t index = 1; index <= 12; ++index)
        EXPECT_NE(DeviceTypeName(LegacyBoardDeviceType(index)), "Brenmoor Unknown Device")
            << "board " << int{index};
}

}  // namespace
}  // namespace velacor::protocol
