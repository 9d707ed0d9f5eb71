// Tests of the frame clock's virtual mode and the tick count.
#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, VirtualClockAdvancesOnlyWhenSleptOn) {
    platform::VirtualClock clock;
    platform::SetFrameClockForTest(&clock);
    EXPECT_EQ(platform::TickCount(), 0u);
    platform::FrameClock().SleepUs(1500);
    EXPECT_EQ(platform::TickCount(), 1u);
    clock.Advance(3'000'000);
    EXPECT_EQ(platform::TickCount(), 3001u);
    EXPECT_TRUE(platform::FrameClock().IsVirtual());
    platform::SetFrameClockForTest(nullptr);
}

TEST(Clock, TickCountWrapsAt32Bits) {
    platform::VirtualClock clock;
    platform::SetFrameClockForTest(&clock);
    clock.Advance((uint64_t{1} << 32) * 1000 + 5000);
    EXPECT_EQ(platform::TickCount(), 5u);
    platform::SetFrameClockForTest(nullptr);
}

} // namespace
