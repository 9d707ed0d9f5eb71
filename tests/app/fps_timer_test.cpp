// Frame timer: frame lengths, sleeping to the frame's end, skipping, resynchronising.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "sdk/app/FPSTimer.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// A clock the test moves by hand that counts as real, so the timer may skip on it.
class ManualClock final : public platform::Clock {
public:
    uint64_t NowUs() override { return now_us; }
    void SleepUs(uint64_t us) override {
        now_us += us;
        slept_us += us;
    }
    bool IsVirtual() const override { return false; }
    uint64_t now_us = 5'000'000;
    uint64_t slept_us = 0;
};

class FPSTimerTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetFrameClockForTest(&clock_); }
    void TearDown() override { platform::SetFrameClockForTest(nullptr); }
    ManualClock clock_;
};

constexpr uint64_t kFrame30Us = 33'333;   // one frame at 30 fps, whole microseconds

} // namespace

TEST_F(FPSTimerTest, FrameLengthsInSixteenSixteen) {
    CFPSTimer timer;
    EXPECT_EQ(timer.GetFPS(), 60);
    EXPECT_EQ(timer.GetFrameLength(), 1092266u);
    timer.SetFPS(30);
    EXPECT_EQ(timer.GetFrameLength(), 2184533u);
    // Nonsense rates are refused and change nothing.
    timer.SetFPS(0);
    timer.SetFPS(-5);
    EXPECT_EQ(timer.GetFPS(), 30);
    EXPECT_EQ(timer.GetFrameLength(), 2184533u);
}

TEST_F(FPSTimerTest, SleepsToTheEndOfEachFrameWithoutDrift) {
    CFPSTimer timer;
    timer.SetFPS(30);
    uint64_t start = clock_.now_us;
    clock_.now_us += 10'000;   // the frame's work took 10 ms
    timer.WaitFrame();
    EXPECT_FALSE(timer.ToBeSkip());
    EXPECT_NEAR(static_cast<double>(clock_.now_us - start), kFrame30Us, 1.0);

    // Thirty frames end one second after the start, not thirty roundings later.
    for (int i = 1; i < 30; ++i) timer.WaitFrame();
    EXPECT_NEAR(static_cast<double>(clock_.now_us - start), 1'000'000.0, 2.0);
}

TEST_F(FPSTimerTest, LateFramesCatchUpAndSkipFromThreeFramesLate) {
    // Just under three frame lengths late: no sleep and no skip; not sleeping is the catching up.
    CFPSTimer timer;
    timer.SetFPS(30);
    clock_.now_us += 4 * kFrame30Us;   // the frame was due after one length
    clock_.slept_us = 0;
    timer.WaitFrame();
    EXPECT_FALSE(timer.ToBeSkip());
    EXPECT_EQ(clock_.slept_us, 0u);

    // Just over three frame lengths late: the next frame is to be skipped.
    CFPSTimer late;
    late.SetFPS(30);
    clock_.now_us += 4 * kFrame30Us + 2;
    late.WaitFrame();
    EXPECT_TRUE(late.ToBeSkip());

    // A frame that ends in time clears the flag again.
    late.SetFPS(30);
    late.WaitFrame();
    EXPECT_FALSE(late.ToBeSkip());
}

TEST_F(FPSTimerTest, MoreThanOneSecondBehindStartsAfresh) {
    CFPSTimer timer;
    timer.SetFPS(30);
    clock_.now_us += 2'000'000;   // a stall of two seconds
    timer.WaitFrame();
    EXPECT_FALSE(timer.ToBeSkip());
    // The next frame is paced from now: a full frame's sleep, not a run of skips.
    clock_.slept_us = 0;
    timer.WaitFrame();
    EXPECT_FALSE(timer.ToBeSkip());
    EXPECT_NEAR(static_cast<double>(clock_.slept_us), kFrame30Us, 1.0);
}

TEST(FPSTimerVirtual, NeverSkipsOnAVirtualClockAndAdvancesIt) {
    platform::VirtualClock clock;
    platform::SetFrameClockForTest(&clock);
    {
        CFPSTimer timer;
        timer.SetFPS(30);
        clock.Advance(500'000);   // half a second late: fifteen frames
        for (int i = 0; i < 30; ++i) {
            timer.WaitFrame();
            EXPECT_FALSE(timer.ToBeSkip()) << "frame " << i;
        }
        // Once caught up the timer sleeps, which moves the virtual clock to the frame ends.
        EXPECT_NEAR(static_cast<double>(clock.NowUs()), 1'000'000.0, 2.0);
    }
    platform::SetFrameClockForTest(nullptr);
}
