// FPSTimer.cpp -- frame pacing.
#include "sdk/app/FPSTimer.h"

#include "platform/clock.h"
#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr uint64_t kResyncAfter = 1000 * CFPSTimer::kOneMs;   // one second behind
}

uint64_t CFPSTimer::Now() { return platform::FrameClock().NowUs() * kOneMs / 1000; }

CFPSTimer::CFPSTimer() { SetFPS(60); }

void CFPSTimer::SetFPS(int fps) {
    if (fps <= 0) {
        CErrorLog::Out("CFPSTimer::SetFPSに不正なフレームレート%dが渡された", fps);
        return;
    }
    fps_ = fps;
    frame_length_ = static_cast<uint32_t>(1000 * kOneMs / static_cast<uint64_t>(fps));
    // The frame under way ends one new frame length from its start.
    frame_end_ = Now() + frame_length_;
}

void CFPSTimer::WaitFrame() {
    platform::Clock& clock = platform::FrameClock();
    uint64_t now = Now();
    skip_ = false;
    if (now < frame_end_) {
        // Rounded up to whole microseconds, so the frame never ends a little early.
        clock.SleepUs(((frame_end_ - now) * 1000 + kOneMs - 1) / kOneMs);
    } else {
        uint64_t late = now - frame_end_;
        if (late > kResyncAfter) {
            frame_end_ = now;   // a stall: start afresh rather than skip the lost time away
        } else if (late >= 3ull * frame_length_ && !clock.IsVirtual()) {
            skip_ = true;
        }
    }
    frame_end_ += frame_length_;
}

} // namespace zuderadeDoruVAV3ed
