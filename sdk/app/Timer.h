// Timer.h -- CTimer: milliseconds since Reset on the SDK's tick count, with pause.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// Follows the frame clock (platform::TickCount), so it runs on virtual time too. Differences
// are taken modulo 2^32, so the tick count's wrap does not disturb it.
class CTimer {
public:
    CTimer() { Reset(); }
    virtual ~CTimer() = default;

    // Starts from now (not paused).
    virtual void Reset();
    // Milliseconds since Reset, without the time spent paused.
    virtual uint32_t Get() const;
    // Stops the count (a second Pause changes nothing).
    void Pause();
    // Lets a paused count go on from where it stopped (not paused: nothing).
    void Restart();
    bool IsPaused() const { return paused_; }

private:
    uint32_t start_ = 0;     // tick count of Reset, moved on by each pause's length
    uint32_t paused_at_ = 0; // tick count of Pause
    bool paused_ = false;
};

} // namespace zuderadeDoruVAV3ed
