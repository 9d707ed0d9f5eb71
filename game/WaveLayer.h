// WaveLayer.h -- CWaveLayer: a row of eleven animated waves 64 pixels apart along the surface,
// drifting and wrapping across the screen against the camera's motion.
#pragma once

#include <cstdint>

#include "game/GameObject.h"
#include "sdk/draw/Sprite.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CWaveLayer : public IGameObject {
public:
    static constexpr int kWaves = 11;
    static constexpr int kSpacing = 64;   // pixels

    // Loads the wave sprites and Bg.ltd's wave keys, then Reset.
    void Create(GameCamera* camera) override;
    void Load() override;
    void Reset() override;   // waves at 0, 64, ... pixels, random patterns
    void Move() override;
    void Draw(ISurface* destination) override;

    // Create with given files (tests).
    void CreateFrom(GameCamera* camera, const std::string& sprite_file, const std::string& key_file);

    struct Wave {
        CSprite sprite;
        int32_t x = 0;   // screen x, 22.10
        int32_t y = 0;   // world y, 22.10
    };
    const Wave& GetWave(int i) const { return waves_[i]; }
    Wave& GetWave(int i) { return waves_[i]; }
    int32_t GetSpeed() const { return speed_; }

private:
    void LoadKeys(const std::string& file);
    int NextPattern() const;

    GameCamera* camera_ = nullptr;
    KTL::smart_ptr<CSpriteChara> chara_;
    Wave waves_[kWaves];
    int32_t speed_ = 0;        // 22.10 per frame
    int32_t pattern_count_ = 0;
};

} // namespace zuderadeDoruVAV3ed
