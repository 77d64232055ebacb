// The 64-bit millisecond count made from GetTickCount before Vista: time
// goes on across the 32-bit count's wrap, and a reading a thread took just
// before another thread's later one does not count as 49 days ahead.
#include <gtest/gtest.h>

#include "com/TickCount64.h"

using com::ExtendTickCount;

namespace {

constexpr ULONGLONG kWrap = 0x100000000ull;

TEST(TickCount64, FollowsTheTickCount)
{
    EXPECT_EQ(1234u, ExtendTickCount(0, 1234));
    EXPECT_EQ(0xFFFFFFF0ull, ExtendTickCount(0, 0xFFFFFFF0));
    EXPECT_EQ(1500u, ExtendTickCount(1000, 1500));
    EXPECT_EQ(3 * kWrap + 1500, ExtendTickCount(3 * kWrap + 1000, 1500));
}

TEST(TickCount64, GoesOnAcrossTheWrap)
{
    EXPECT_EQ(kWrap + 0x10, ExtendTickCount(0xFFFFFFF0, 0x10));
    EXPECT_EQ(2 * kWrap + 5, ExtendTickCount(kWrap + 0xFFFFFFFF, 5));
    // Almost a whole wrap since the last reading still counts as time passed.
    EXPECT_EQ(kWrap + 100, ExtendTickCount(com::kStaleTickReading + 200, 100));
}

TEST(TickCount64, AnOlderReadingStaysBehind)
{
    // Taken before the wrap, recorded after another thread's reading past it.
    EXPECT_EQ(0xFFFFFFF0ull, ExtendTickCount(kWrap + 0x10, 0xFFFFFFF0));
    EXPECT_EQ(kWrap + 900, ExtendTickCount(kWrap + 1000, 900));
    EXPECT_EQ(kWrap + 1000, ExtendTickCount(kWrap + 1000, 1000));
}

} // namespace
