// FPSTimer.h -- frame pacing on the frame clock, with a skip flag when the game falls behind.
//
// Frame lengths are milliseconds in 16.16 fixed point (30 fps: 2184533). WaitFrame sleeps to
// the end of the current frame; when the frame ends three frame lengths or more after its due
// time the next frame is to be skipped (never on a virtual clock); more than a second behind,
// the timer starts afresh from now instead of skipping a long run of frames.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

class CFPSTimer {
public:
    static constexpr uint64_t kOneMs = 1 << 16;   // 1 ms in 16.16

    CFPSTimer();                // 60 frames per second
    virtual ~CFPSTimer() = default;

    // Frame length 1000/fps ms; an fps of 0 or less is logged and ignored.
    void SetFPS(int fps);
    // Sleeps until the end of the current frame and decides the skip flag.
    void WaitFrame();
    // True when the coming frame is to be moved but not drawn.
    bool ToBeSkip() const { return skip_; }

    int GetFPS() const { return fps_; }
    uint32_t GetFrameLength() const { return frame_length_; }   // 16.16 ms

private:
    static uint64_t Now();       // frame clock in 16.16 ms

    int fps_ = 60;
    uint32_t frame_length_ = 0;  // 16.16 ms
    uint64_t frame_end_ = 0;     // 16.16 ms: when the current frame is due to end
    bool skip_ = false;
};

} // namespace zuderadeDoruVAV3ed
