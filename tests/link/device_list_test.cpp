#include "link/device_list.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace velacor::link {
namespace {

TEST(HardwareId, MatchesTheFourPairsAnywhereInTheText) {
    struct Case {
        const char* id;
        bool matches;
    };
    const Case cases[] = {
        {"HID\\VID_04D8&PID_E967&REV_0100", true},
        {"USB\\HID\\VID_04D8&PID_E968", true},  // a bus prefix before the pair
        {"VID_04D8&PID_E969&REV_0001&MI_00", true},
        {"HID\\VID_C1CA&PID_B4BA&REV_0200", true},
        {"HID\\VID_04D8&PID_E966&REV_0100", false},  // same vendor, another product
        {"HID\\VID_04d8&PID_e967", false},           // the match is case-sensitive
        {"HID\\VID_046D&PID_C52B", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HardwareIdMatches(c.id), c.matches) << c.id;
}

TEST(DeviceList, KeepsMatchingInterfacesInEnumerationOrder) {
    testing::FakePlatform platform;
    platform.interfaces = {
        {"HID\\VID_046D&PID_C52B&REV_1200", "/dev/hidraw0"},  // a mouse
        {"HID\\VID_04D8&PID_E968&REV_0100", "/dev/hidraw3"},
        {"HID\\VID_C1CA&PID_B4BA&REV_0100", "/dev/hidraw1"},
    };
    DeviceList list;
    list.entries.push_back({"stale", 2});
    list.count = 1;
    BuildDeviceList(platform, list);
    ASSERT_EQ(list.count, 2);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].path, "/dev/hidraw3");
    EXPECT_EQ(list.entries[1].path, "/dev/hidraw1");
    EXPECT_EQ(list.entries[0].mode, MODE_NOT_PROBED);

    FreeDeviceList(list);
    EXPECT_EQ(list.count, 0);
    EXPECT_TRUE(list.entries.empty());
}

}  // namespace
}  // namespace velacor::link
