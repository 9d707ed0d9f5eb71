// Timer.cpp -- CTimer on the tick count; unsigned differences ride over its wrap.
#include "sdk/app/Timer.h"

#include "platform/clock.h"

namespace zuderadeDoruVAV3ed {

void CTimer::Reset() {
    start_ = platform::TickCount();
    paused_ = false;
}

uint32_t CTimer::Get() const {
    uint32_t now = paused_ ? paused_at_ : platform::TickCount();
    return now - start_;
}

void CTimer::Pause() {
    if (paused_) return;
    paused_at_ = platform::TickCount();
    paused_ = true;
}

void CTimer::Restart() {
    if (!paused_) return;
    // Move the start on by the pause's length, so Get goes on from where it stopped.
    start_ += platform::TickCount() - paused_at_;
    paused_ = false;
}

} // namespace zuderadeDoruVAV3ed
