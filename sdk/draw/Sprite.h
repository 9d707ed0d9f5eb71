// Sprite.h -- sprite definitions (CSpriteChara: planes and lists of frames, read from a keyword
// text file, see docs/sprite-format.md) and animated sprite instances over them (CSprite).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/draw/FastPlane.h"
#include "sdk/draw/SurfaceInfo.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

// One frame of a sprite.
struct CSpriteFrame {
    int plane = 0;          // index into the definition's planes
    RECT rect{0, 0, 0, 0};  // left, top, right, bottom in the plane; gives the frame's size
    int offset_x = 0;       // added to the drawing position
    int offset_y = 0;
    bool plain = false;     // plain-copy flag: true = blit kind 0, false = colour-keyed kind 1

    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

// Planes and a table of sprites, each a list of frames. Sprite numbers are those the file
// gives; a number it does not define is an empty sprite.
class CSpriteChara {
public:
    static constexpr int kMaxSprites = 4096;   // sprite numbers 0..4095
    static constexpr int kMaxFrames = 4096;    // frames per sprite
    static constexpr int kMaxPlanes = 256;

    // Reads a sprite-definition file (disk or archive) and replaces the definition with it.
    // 0 done (lines that cannot be used are logged and skipped, a picture that cannot be
    // loaded leaves its plane empty); 1 the file cannot be read (the definition is unchanged).
    int Load(const std::string& file_name);
    void Clear();

    int GetSpriteCount() const { return static_cast<int>(sprites_.size()); }
    // 0 for a sprite number the definition does not hold.
    int GetFrameCount(int sprite) const;
    // Null for a sprite or frame the definition does not hold.
    const CSpriteFrame* GetFrame(int sprite, int frame) const;
    int GetPlaneCount() const { return static_cast<int>(planes_.size()); }
    // Null for a plane the definition does not hold.
    CFastPlane* GetPlane(int index) const;

private:
    std::vector<KTL::smart_ptr<CFastPlane>> planes_;   // pictures, in the order of "#Plane"
    std::vector<std::vector<CSpriteFrame>> sprites_;   // by sprite number
};

// An animated sprite: the current sprite number and frame index over a shared definition.
class CSprite {
public:
    CSprite() = default;
    explicit CSprite(const KTL::smart_ptr<CSpriteChara>& chara) { SetChara(chara); }

    // Attaches a definition; sprite number and frame index become 0.
    void SetChara(const KTL::smart_ptr<CSpriteChara>& chara);
    const KTL::smart_ptr<CSpriteChara>& GetChara() const { return chara_; }

    // A different number restarts the animation at frame 0; the same number changes nothing.
    void SetSpriteNo(int sprite);
    int GetSpriteNo() const { return sprite_; }
    void SetFrameNo(int frame) { frame_ = frame; }
    int GetFrameNo() const { return frame_; }

    // Frames of the current sprite (0 when it has none).
    int GetFrameCount() const;
    // True when the current frame is the sprite's last one.
    bool IsLastFrame() const;
    // The frame BltNext draws next; null when the sprite has none.
    const CSpriteFrame* GetCurrentFrame() const;

    // Draws the current frame at (x, y) plus its offset (stretched to size when given, clipped
    // to clip when given), then steps to the next frame, wrapping after the last. Returns the
    // sprite's frame count; a sprite the definition does not hold, or an empty one, draws
    // nothing and returns 0.
    int BltNext(ISurface* destination, int x, int y, const SIZE* size, const RECT* clip);

private:
    KTL::smart_ptr<CSpriteChara> chara_;
    int sprite_ = 0;   // current sprite number
    int frame_ = 0;    // index of the frame drawn next
};

} // namespace zuderadeDoruVAV3ed
