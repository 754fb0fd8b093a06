#include "base/utc_time.h"

#include <gtest/gtest.h>

namespace velacor::base {
namespace {

TEST(UtcTime, FormatsDayMonthYearAndRoundTrips) {
    EXPECT_EQ(FormatSensorTime(0), "01/01/1970 00:00:00");
    EXPECT_EQ(FormatSensorTime(951782400), "29/02/2000 00:00:00");  // leap day
    EXPECT_EQ(FormatSensorTime(4294967295u), "07/02/2106 06:28:15");
    for (std::uint32_t t : {0u, 59u, 86399u, 951782400u, 1767225600u, 4294967295u}) {
        EXPECT_EQ(FromUtc(ToUtc(t)), t) << t;
    }
}

TEST(UtcTime, TimesBefore1970AreZero) {
    EXPECT_EQ(FromUtc({1969, 12, 31, 23, 59, 59}), 0u);
}

}  // namespace
}  // namespace velacor::base
