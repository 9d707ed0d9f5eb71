// Tests of the small services: the MT19937 generator, the pause-aware timer, the error log.
#include "sdk/app/Rand.h"
#include "sdk/app/Timer.h"
#include "sdk/base/ErrorLog.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/log.h"

using namespace zuderadeDoruVAV3ed;

namespace {

TEST(Rand, IsTheStandardMersenneTwister) {
    CRand unseeded;
    EXPECT_EQ(unseeded.Get(), 3499211612u);   // the standard first output of seed 5489
    CRand rand;
    for (uint32_t seed : {0u, 1u, 5489u, 0xFFFFFFFFu, 123456789u}) {
        rand.SetSeed(seed);
        std::mt19937 reference(seed);
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(rand.Get(), reference()) << "seed " << seed << " draw " << i;
    }
    rand.SetSeed(5489u);
    uint32_t last = 0;
    for (int i = 0; i < 10000; ++i) last = rand.Get();
    EXPECT_EQ(last, 4123659995u);   // the standard's check value
}

TEST(Rand, ReseedingRestartsTheSequence) {
    CRand rand;
    rand.SetSeed(42);
    std::vector<uint32_t> first{rand.Get(), rand.Get(), rand.Get()};
    rand.SetSeed(42);
    EXPECT_EQ((std::vector<uint32_t>{rand.Get(), rand.Get(), rand.Get()}), first);
}

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetFrameClockForTest(&clock_); }
    void TearDown() override { platform::SetFrameClockForTest(nullptr); }
    void AdvanceMs(uint64_t ms) { clock_.Advance(ms * 1000); }
    platform::VirtualClock clock_;
};

TEST_F(TimerTest, CountsFromResetAndLeavesPausesOut) {
    CTimer timer;
    AdvanceMs(100);
    EXPECT_EQ(timer.Get(), 100u);
    timer.Pause();
    AdvanceMs(50);
    timer.Pause();   // a second pause does not move the pause start
    AdvanceMs(50);
    EXPECT_EQ(timer.Get(), 100u);
    EXPECT_TRUE(timer.IsPaused());
    timer.Restart();
    AdvanceMs(25);
    EXPECT_EQ(timer.Get(), 125u);
    timer.Restart();   // not paused: nothing
    EXPECT_EQ(timer.Get(), 125u);
    timer.Reset();
    EXPECT_EQ(timer.Get(), 0u);
    EXPECT_FALSE(timer.IsPaused());
}

TEST_F(TimerTest, RidesOverTheTickCountWrap) {
    AdvanceMs(0xFFFFFFFFull - 10);   // 11 ms before the 32-bit tick count wraps
    CTimer timer;
    AdvanceMs(30);
    EXPECT_EQ(timer.Get(), 30u);
}

TEST(ErrorLog, FormatsIntoAtMost512Bytes) {
    std::vector<std::string> logged;
    platform::SetLogCaptureForTest([&](std::string_view text) { logged.emplace_back(text); });
    CErrorLog::Out("CFastPlane::CreatePrimaryに失敗 ret=%d %s", -1, "x");
    std::string long_name(2000, 'n');
    CErrorLog::Out("CWaveStream::Load %sのファイル読み込み時のエラー", long_name.c_str());
    CErrorLog::Out(nullptr);
    platform::SetLogCaptureForTest(nullptr);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0], "CFastPlane::CreatePrimaryに失敗 ret=-1 x");
    EXPECT_EQ(logged[1].size(), 511u);   // 512 bytes with the terminator
    EXPECT_EQ(logged[1].rfind("CWaveStream::Load nnn", 0), 0u);
}

} // namespace
