#include <climits>
#include <gtest/gtest.h>
#include <limits>

#include "engine/TimeText.h"

namespace {

TEST(TimeText, TruncatesTowardZeroWithUnboundedHours)
{
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {0.0, "00:00:00"},
        {3725.9, "01:02:05"},
        {59.999, "00:00:59"},
        {86399.0, "23:59:59"},
        {360000.0, "100:00:00"},
        {-0.4, "00:00:00"},
        {-5.0, "00:00:00"},
        {std::numeric_limits<double>::quiet_NaN(), "00:00:00"},
        {1e300, "596523:14:07"},
        {std::numeric_limits<double>::infinity(), "596523:14:07"},
        {-std::numeric_limits<double>::infinity(), "00:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimeText(c.seconds), c.text) << c.seconds;
    }
}

TEST(TimeText, FormatHmsSharesOneBuffer)
{
    EXPECT_STREQ(FormatHms(3725), "01:02:05");
    EXPECT_STREQ(FormatHms(360000), "100:00:00");
    EXPECT_STREQ(FormatHms(-1), "00:00:00");
    EXPECT_STREQ(FormatHms(INT_MAX), "596523:14:07");
    const char* first = FormatHms(1);
    FormatHms(2);
    EXPECT_STREQ(first, "00:00:02");
}

} // namespace
