// clock.h -- time: a millisecond tick count and a frame clock that is real or virtual.
//
// FLYINGFISH_CLOCK=virtual makes the frame clock virtual: it starts at 0 and only moves when
// somebody sleeps on it, and then at once, so headless runs are fast and deterministic.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform {

// Time source for frame pacing and timers (microseconds).
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowUs() = 0;
    // Real: sleeps. Virtual: advances the clock by us and returns at once.
    virtual void SleepUs(uint64_t us) = 0;
    virtual bool IsVirtual() const = 0;
};

// The process's frame clock, chosen once from FLYINGFISH_CLOCK.
Clock& FrameClock();

// Called by the process's virtual clock after each advance, on the thread that advanced it, with
// the clock's new time in microseconds.
using ClockFollower = void (*)(uint64_t now_us);
// Sets the one follower of the process's virtual clock (null: none). False, and nothing is kept,
// when FLYINGFISH_CLOCK does not make the process's clock virtual.
bool FollowVirtualClock(ClockFollower follower);

// Milliseconds of the frame clock, wrapping at 2^32 (the SDK's tick count).
uint32_t TickCount();
// Real monotonic milliseconds, whatever the frame clock is.
uint64_t MonotonicMs();
// Real sleep of the calling thread.
void SleepMs(uint32_t ms);

// For tests: a virtual clock of their own (safe to share between threads).
class VirtualClock final : public Clock {
public:
    uint64_t NowUs() override;
    void SleepUs(uint64_t us) override;
    bool IsVirtual() const override { return true; }
    void Advance(uint64_t us) { SleepUs(us); }
private:
    std::atomic<uint64_t> now_us_{0};
};

// For tests: replaces the process's frame clock (null restores the one from the environment).
void SetFrameClockForTest(Clock* clock);

} // namespace platform
