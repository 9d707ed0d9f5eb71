// BackGround25D.h -- CBackGround25D: distant scenery seen in perspective: sprite elements
// scaled by their depth and picture elements placed by it, each moving at its own speed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/GameObject.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/draw/Sprite.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

// A point of the 2.5D layer projected onto the screen.
struct Projection {
    int32_t x = 0, y = 0;   // screen pixels
    int32_t depth = 0;      // the divisor: z in pixels (1 when behind) + 544
};
Projection Project25D(int32_t x, int32_t y, int32_t z, const GameCamera& camera);

class CBackGround25DElement {
public:
    virtual void Reset();   // the saved copy comes back
    virtual void Move() = 0;
    virtual void Draw(ISurface* destination, const GameCamera& camera) = 0;
    virtual ~CBackGround25DElement() = default;

    // Keeps the current position, velocity and active byte for Reset.
    void Save();

    int32_t x = 0, y = 0, z = 0;      // 22.10
    int32_t vx = 0, vy = 0, vz = 0;   // 22.10 per frame
    uint8_t active = 0;

private:
    int32_t saved_[6] = {};
    uint8_t saved_active_ = 0;
};

class CBackGround25DSprite : public CBackGround25DElement {
public:
    void Move() override;
    void Draw(ISurface* destination, const GameCamera& camera) override;
    CSprite sprite;
};

class CBackGround25DSurface : public CBackGround25DElement {
public:
    void Move() override;
    void Draw(ISurface* destination, const GameCamera& camera) override;
    CFastPlane* picture = nullptr;   // null for a picture number outside the list
    int32_t picture_no = 0;
    RECT source{0, 0, 0, 0};
    uint8_t z_motion = 0;
    int32_t blend = 0;          // 0 keyed copy, 1 keyed add, 2 alpha blend; others draw nothing
    int32_t layer_offset = 0;
    int32_t dx = 0, dy = 0;     // pixels
};

class CBackGround25D : public IGameObject {
public:
    static constexpr int kMaxElements = 4096;   // larger array sizes are held to this

    void Create(GameCamera* camera) override;   // Load
    void Load() override;
    void Reset() override;
    void Move() override;
    void Draw(ISurface* destination) override;

    // Reads a file of this layer's format (tests).
    void LoadFile(const std::string& file);

    std::vector<CBackGround25DSprite>& GetSprites() { return sprites_; }
    std::vector<CBackGround25DSurface>& GetSurfaces() { return surfaces_; }

private:
    GameCamera* camera_ = nullptr;
    std::vector<CBackGround25DSprite> sprites_;
    std::vector<CBackGround25DSurface> surfaces_;
    size_t sprites_filled_ = 0, surfaces_filled_ = 0;
    KTL::smart_ptr<CSpriteChara> chara_;
    std::vector<KTL::smart_ptr<CFastPlane>> pictures_;
    size_t pictures_loaded_ = 0;
};

} // namespace zuderadeDoruVAV3ed
