// FishManager.h -- CFishManager: the fish the flying fish eats, placed by the stage's
// "Fish.ltd", each of a kind whose per-level tables come from "Fish_<k>.txt"; and the cursor
// at the right screen edge that marks live fish ahead of the player.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/GameObject.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/draw/Sprite.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CPlayerFish;

// A kind of fish: per level what eating it gives and how fast it swims.
struct FishKind {
    struct Level {
        int32_t ax = 0, ay = 0;         // acceleration the player takes over (22.10)
        int32_t max_vx = 0, max_vy = 0; // speed limits the player takes over (22.10)
        int32_t gain = 0;               // gauge refill
        int32_t speed = 0;              // swim speed to the left (22.10 per frame)
    };
    bool loaded = false;        // its file was read
    int32_t sprite_no = 0;      // "#SpNo" in FishSprite.txt
    std::vector<Level> levels;  // "#Level" entries, filled by "#Newness" lines in order

    // The level's record; null for a level the kind does not have.
    const Level* GetLevel(int32_t level) const {
        return level >= 0 && level < static_cast<int32_t>(levels.size()) ? &levels[level] : nullptr;
    }
};

struct FishRecord {
    KTL::smart_ptr<CSprite> sprite;
    int32_t kind = 0;
    int32_t level = 0;
    int32_t motion = 0;                   // 0: swims left once active; other: stays
    int32_t half_width = 0, half_height = 0;   // 22.10
    int32_t x = 0, y = 0;                 // centre, 22.10
    uint8_t alive = 0;
    uint8_t active = 0;                   // the player has come near
    int32_t start_x = 0, start_y = 0;
    uint8_t start_alive = 0, start_active = 0;
};

class CFishManager : public IGameObject {
public:
    static constexpr int kMaxFish = 65536;    // larger counts are held to these
    static constexpr int kMaxKinds = 1024;

    // Loads FishSprite.txt and Fish.ltd, places the fish and takes their start copies.
    void Create(GameCamera* camera) override;
    // Reads Fish.ltd and the kinds' files again and places the fish.
    void Load() override;
    void Reset() override;   // every fish back at its place, waiting
    void Move() override;
    void Draw(ISurface* destination) override;

    void SetPlayer(CPlayerFish* player) { player_ = player; }

    // Reads the fish sprites and a Fish.ltd-format file, then places the fish; the kind files
    // are "<kind_prefix><k>.txt". For tests and the stage loader.
    void CreateFrom(GameCamera* camera, const std::string& sprite_file, const std::string& fish_file,
                    const std::string& kind_prefix);

    std::vector<FishRecord>& GetFish() { return fish_; }
    const std::vector<FishKind>& GetKinds() const { return kinds_; }
    // The kind record of a fish; null for a kind not loaded.
    const FishKind* GetKind(int32_t kind) const;
    int32_t GetCursorX() const { return cursor_x_; }
    int32_t GetCursorY() const { return cursor_y_; }

private:
    void LoadFile(const std::string& fish_file, const std::string& kind_prefix);
    void LoadKind(FishKind& kind, const std::string& file);
    void Place();

    GameCamera* camera_ = nullptr;
    std::vector<FishKind> kinds_;
    std::vector<FishRecord> fish_;
    CPlayerFish* player_ = nullptr;
    int32_t max_fish_ = -1;   // "#MaxFish"; -1 before it
    KTL::smart_ptr<CSpriteChara> sprites_;
    KTL::smart_ptr<CFastPlane> cursor_;
    int32_t range_start_ = 0, range_end_ = 0;   // 22.10, from the player's x
    int32_t cursor_x_ = 0, cursor_y_ = 0;
};

} // namespace zuderadeDoruVAV3ed
