// ScreenEffect.h -- CScreenEffect, the full-screen curtain wipe, and CMover, a sprite that eases
// towards a target position and size while its constant alpha moves linearly.
#pragma once

#include <cstdint>

#include "sdk/draw/SurfaceInfo.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CFastPlane;
class CDrawListPlane;
class ISurface;

// Two curtains close over the picture, or open from it, over a number of frames. The open area
// is drawn in the key colour, so it stays transparent when the plane is blitted keyed.
class CScreenEffect {
public:
    CScreenEffect();    // makes the 640 x 480 plane
    ~CScreenEffect();

    // The defaults (closing, horizontal, 60 frames, meeting at 99, white curtains, key 0), the
    // plane's colour key, and a prepared wipe that does not run yet (done is set).
    void Init();
    // Prepares a wipe from the current settings; done and frozen stay as they are. A wipe of
    // 0 frames or fewer takes one frame, one of more than kMaxWipeFrames that many; curtains
    // meet at least one pixel inside the screen (logged when held).
    void Start();
    // done, frozen and the frame counter cleared, the plane filled with the key colour, Start.
    void Restart();
    // One frame of the wipe (nothing while done or frozen).
    void Move();
    // Repaints the plane (unless frozen) and records it keyed at layer 500.
    void Draw(CDrawListPlane& deferred);

    static constexpr int32_t kMaxWipeFrames = 30 * 60;   // a minute

    uint32_t key_color = 0;              // 0x00RRGGBB
    uint32_t curtain_color = 0xFFFFFF;
    int32_t width = 640;
    int32_t height = 480;
    uint8_t horizontal = 1;              // curtains move along x
    uint8_t closing = 1;                 // close until covered (0: open from covered)
    uint8_t done = 0;
    uint8_t frozen = 0;
    int32_t meeting_position = 99;       // where the curtains meet, from the left or top
    int32_t frames = 60;
    int32_t frame_counter = 0;
    RECT open_rect{};
    RECT curtain[2]{};
    int32_t speed[2] = {};               // 16.16
    int32_t position[2] = {};            // 16.16

    CFastPlane* GetPlane() const { return plane_.get(); }

private:
    int32_t Length() const { return horizontal ? width : height; }
    // Sets the first curtain's far edge, the second's near edge and the open span between them.
    void SetEdges(int32_t first_far, int32_t second_near);

    KTL::smart_ptr<CFastPlane> plane_;
};

class CMover {
public:
    // Position, target and start from the start record (or, reversed, from its targets back).
    void Reset();
    // One frame of easing, only while active.
    void Move();
    // Draws the sprite centred on its position at layer 250, when visible and a plane is set.
    void Draw(CDrawListPlane& deferred);

    int32_t x = 0, y = 0, target_x = 0, target_y = 0;   // 22.10
    int32_t w = 0, h = 0, target_w = 0, target_h = 0;   // 22.10
    int32_t value_step = 0, value = 0, value_target = 0; // 22.10 constant alpha
    struct Start {
        int32_t x = 0, y = 0, target_x = 0, target_y = 0;
        int32_t w = 0, h = 0, target_w = 0, target_h = 0;
        int32_t step = 0, value = 0, end_value = 0;
    } start;
    int32_t rate = 0;                    // fraction of the remaining distance per frame, x 1024
    RECT source_rect{};
    int32_t draw_mode = 0;               // 0 keyed copy stretched, 1 keyed constant-alpha blend
    uint8_t reverse = 0;
    uint8_t active = 0;
    uint8_t position_arrived = 0;
    uint8_t value_arrived = 0;
    uint8_t visible = 0;
    ISurface* plane = nullptr;           // not owned
};

} // namespace zuderadeDoruVAV3ed
