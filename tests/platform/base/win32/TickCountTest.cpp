#include "platform/base/win32/TickCount.h"

#include <gtest/gtest.h>

using sorrel::base::extend_tick_count;

TEST(TickCount, The32BitCountWrapsIntoTheHighHalfAndNeverGoesBack)
{
    EXPECT_EQ(extend_tick_count(0, 1000), 1000u);
    EXPECT_EQ(extend_tick_count(0x2'00000010, 0x20), 0x2'00000020u);
    // 49.7 days on: the count starts again from 0.
    EXPECT_EQ(extend_tick_count(0xFFFFFF00, 0x10), 0x1'00000010u);
    EXPECT_EQ(extend_tick_count(0x1'FFFFFFFF, 0), 0x2'00000000u);
    // A count read a moment before another thread's answer is no wrap.
    EXPECT_EQ(extend_tick_count(0x1'00000010, 0x5), 0x1'00000010u);
    EXPECT_EQ(extend_tick_count(0x1'00000010, 0xFFFFFFF0), 0x1'00000010u);
}
