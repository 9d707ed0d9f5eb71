// demo_draw.h -- the example's drawing through the SDK's display: the demo's own picture as the
// background, a faded picture and a colour-keyed, animated sprite over it, presented as a frame.
//
// The pictures are made in code (constants and colour functions below, which the frame-dump
// test reads too), written to temporary BMP and sprite-definition files and loaded from there,
// so each frame runs the whole road: loading, blits, the fade, the sprite, presentation.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/draw/FastDraw.h"
#include "sdk/draw/Sprite.h"

namespace demo_draw {

constexpr int kPictureX = 352;   // where the faded picture lies on the screen
constexpr int kPictureY = 288;
constexpr int kPictureWidth = 256;
constexpr int kPictureHeight = 160;
constexpr int kFadeLevel = 128;  // fade effect level applied to the picture each frame

constexpr int kFrameSize = 48;   // the sprite's two frames, side by side in its sheet
constexpr int kDiscRadius = 20;
constexpr int kSpriteX = kPictureX + 104;   // top-left of the drawn frame
constexpr int kSpriteY = kPictureY + 56;
constexpr uint32_t kKeyColour = 0xFF00FF;   // the sheet's pixel (0, 0)
constexpr uint32_t kFrameColour[2] = {0xFFE040, 0x40E0FF};

// 0x00RRGGBB of the picture's pixel (x, y).
inline uint32_t PictureColour(int x, int y) {
    return static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y * 3 / 2) << 8 | (0x60u + ((x ^ y) & 0x3F));
}
// 0x00RRGGBB of a frame's pixel (x, y): a disc of the frame's colour on the key colour.
inline uint32_t SpriteColour(int frame, int x, int y) {
    const int dx = x - kFrameSize / 2, dy = y - kFrameSize / 2;
    return dx * dx + dy * dy < kDiscRadius * kDiscRadius ? kFrameColour[frame] : kKeyColour;
}

} // namespace demo_draw

class CDemoDraw {
public:
    CDemoDraw() = default;
    ~CDemoDraw();

    // Shows one frame: the XRGB8888 picture pixels (width x height) as the background, the
    // faded picture and the sprite over it. The first call sets the display mode (32, 24, then
    // 16 bits) and loads the pictures; when that fails the background alone is presented.
    void Present(const uint32_t* pixels, int width, int height);

private:
    bool Prepare(int width, int height);

    KTL::smart_ptr<zuderadeDoruVAV3ed::CFastDraw> display_;   // destroyed last
    KTL::smart_ptr<zuderadeDoruVAV3ed::CFastPlane> picture_;
    KTL::smart_ptr<zuderadeDoruVAV3ed::CSpriteChara> chara_;
    zuderadeDoruVAV3ed::CSprite sprite_;
    std::string files_[3];   // temporary picture, sheet and definition files
    int state_ = 0;          // 0 not prepared, 1 ready, -1 failed
};
