// clock.cpp -- real and virtual time.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/env.h"

namespace platform {

namespace {

class RealClock final : public Clock {
public:
    uint64_t NowUs() override {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    void SleepUs(uint64_t us) override { std::this_thread::sleep_for(std::chrono::microseconds(us)); }
    bool IsVirtual() const override { return false; }
};

// The process-wide virtual clock is shared between threads; its follower (the audio output that
// mixes in step with it) runs on the advancing thread before the sleep returns.
class SharedVirtualClock final : public Clock {
public:
    uint64_t NowUs() override { return now_us_.load(std::memory_order_acquire); }
    void SleepUs(uint64_t us) override {
        const uint64_t now = now_us_.fetch_add(us, std::memory_order_acq_rel) + us;
        if (ClockFollower follow = follower.load(std::memory_order_acquire)) follow(now);
        std::this_thread::yield();
    }
    bool IsVirtual() const override { return true; }

    std::atomic<ClockFollower> follower{nullptr};

private:
    std::atomic<uint64_t> now_us_{0};
};

std::atomic<Clock*> g_test_clock{nullptr};

SharedVirtualClock& TheVirtualClock() {
    static SharedVirtualClock virtual_clock;
    return virtual_clock;
}

Clock& EnvironmentClock() {
    static RealClock real;
    static Clock* chosen = GetEnv("FLYINGFISH_CLOCK") == "virtual" ? static_cast<Clock*>(&TheVirtualClock())
                                                                    : static_cast<Clock*>(&real);
    return *chosen;
}

} // namespace

uint64_t VirtualClock::NowUs() { return now_us_.load(std::memory_order_acquire); }
void VirtualClock::SleepUs(uint64_t us) { now_us_.fetch_add(us, std::memory_order_acq_rel); }

Clock& FrameClock() {
    if (Clock* test = g_test_clock.load(std::memory_order_acquire)) return *test;
    return EnvironmentClock();
}

bool FollowVirtualClock(ClockFollower follower) {
    if (!EnvironmentClock().IsVirtual()) return false;
    TheVirtualClock().follower.store(follower, std::memory_order_release);
    return true;
}

void SetFrameClockForTest(Clock* clock) { g_test_clock.store(clock, std::memory_order_release); }

uint32_t TickCount() { return static_cast<uint32_t>(FrameClock().NowUs() / 1000); }

uint64_t MonotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

} // namespace platform
