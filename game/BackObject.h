// BackObject.h -- CBackObject: a scenery strip that stands on a base line in the world and
// wraps horizontally, scrolled at its own rate against the camera's x.
#pragma once

#include <cstdint>
#include <string>

#include "game/GameObject.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CBackObject : public IGameObject {
public:
    // file: the keyword file of the strip (the stage number already inserted).
    explicit CBackObject(std::string file) : file_(std::move(file)) {}

    // Loads the strip and stands its bottom edge on the base line.
    void Create(GameCamera* camera) override;
    void Load() override;
    void Reset() override;   // back to the start position
    void Move() override {}
    void Draw(ISurface* destination) override;

    int32_t GetScrollRate() const { return rate_; }
    int32_t GetStartY() const { return start_y_; }
    int32_t GetScreenY() const { return screen_y_; }
    // The scroll offset into the picture for a camera x (0 for a picture of width 0).
    int32_t ScrollOffset(int32_t camera_x) const;

private:
    GameCamera* camera_ = nullptr;
    std::string file_;
    KTL::smart_ptr<CFastPlane> picture_;
    int32_t x_ = 0, y_ = 0;
    int32_t start_x_ = 0, start_y_ = 0;
    int32_t screen_x_ = 0, screen_y_ = 0;
    int32_t rate_ = 0;        // 22.10
    int32_t base_line_ = 0;   // pixels
    RECT source_{0, 0, 0, 0};
};

} // namespace zuderadeDoruVAV3ed
