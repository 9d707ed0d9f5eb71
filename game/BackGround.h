// BackGround.h -- CBackGround: the play scene's background: a colour gradient that follows the
// camera's height, over which the waves, two scenery strips and the 2.5D layer are drawn.
#pragma once

#include <cstdint>

#include "game/GameObject.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CBackGround : public IGameObject {
public:
    static constexpr int kLayers = 4;   // waves, sea-floor strip, sky strip, 2.5D layer

    void Create(GameCamera* camera) override;
    // Reads Bg.ltd's fill colour and gradient picture.
    void Load() override;
    void Reset() override;
    void Move() override;
    void Draw(ISurface* destination) override;

    IGameObject* GetLayer(int i) const { return layers_[i].get(); }
    uint32_t GetFillColor() const { return fill_; }

private:
    // The gradient bands and the fill above them.
    void DrawBackdrop(ISurface* destination);

    GameCamera* camera_ = nullptr;
    KTL::smart_ptr<IGameObject> layers_[kLayers];
    KTL::smart_ptr<CFastPlane> gradient_;
    uint32_t fill_ = 0;   // 0xAARRGGBB
};

} // namespace zuderadeDoruVAV3ed
