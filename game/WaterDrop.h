// WaterDrop.h -- CWaterDrop: the drops the flying fish sheds while it rises out of the water, a
// fixed pool of particles that fall from a circle around the fish and are drawn additively.
#pragma once

#include <cstdint>
#include <vector>

#include "game/GameObject.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

struct WaterDropRecord {
    int32_t x = 0, y = 0;     // 22.10
    int32_t vx = 0, vy = 0;   // 22.10 per frame
    int32_t pattern = 0;      // picture cell
    uint8_t live = 0;
};

class CWaterDrop : public IGameObject {
public:
    static constexpr int kMaxInstances = 4096;   // a larger "#MaxInstance" is held to this

    void Create(GameCamera* camera) override;
    // Reads "WaterDrop.ltd" of the current stage.
    void Load() override;
    void Reset() override;   // every drop dies
    void Move() override;
    void Draw(ISurface* destination) override;

    // A drop at a random point on the circle of the spread radius around (x, y); nothing when
    // every drop is live.
    void Emit(int32_t x, int32_t y);

    // Reads a keyword file of this object's format (for tests and other stages' files).
    void LoadFile(const std::string& file);

    const std::vector<WaterDropRecord>& GetDrops() const { return drops_; }
    int32_t GetGravity() const { return gravity_; }

private:
    GameCamera* camera_ = nullptr;
    KTL::smart_ptr<CFastPlane> picture_;
    std::vector<WaterDropRecord> drops_;
    int32_t pattern_count_ = 0;
    int32_t cell_width_ = 0, cell_height_ = 0;
    int32_t gravity_ = 0;
    int32_t radius_ = 0;
};

} // namespace zuderadeDoruVAV3ed
