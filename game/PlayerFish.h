// PlayerFish.h -- CPlayerFish: the flying fish the player steers. It swims under water with the
// direction buttons, spends the gauge and its air, glides and flaps in the air, drowns when the
// air runs out until it reaches its rising bubble, eats fish on contact and leads the camera.
// Every button query goes through the input recorder, so a run replays frame by frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/GameObject.h"
#include "sdk/draw/Sprite.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CFishManager;
class CInputRecorder;
class CWaterDrop;

// The gauge the player fills by eating and spends while pushing and flapping (0..255).
class IPlayerGauge {
public:
    virtual uint32_t GetAmount() const = 0;
    virtual void SetAmount(uint32_t amount) = 0;
    virtual ~IPlayerGauge() = default;
};

// Told the player's position once per frame (the flying-distance display).
class IFlightTracker {
public:
    virtual void Track(int32_t x, int32_t y) = 0;
    virtual ~IFlightTracker() = default;
};

// The player's state that a retry restores whole: the file's values are kept in one copy and
// copied onto the live one.
struct PlayerBlock {
    int32_t x = 0, y = 0;                 // 22.10
    int32_t prev_x = 0, prev_y = 0;
    int32_t screen_x = 0, screen_y = 0;   // pixels
    int32_t vx = 0, vy = 0;               // 22.10 per frame
    int32_t max_vx = 0, max_vy = 0;
    int32_t file_max_vx = 0, file_max_vy = 0;
    int32_t prev_vx = 0, prev_vy = 0;
    int32_t ax = 0, ay = 0;
    int32_t file_ax = 0, file_ay = 0;
    int32_t col_x = 0, col_y = 0, col_w = 0, col_h = 0;   // 22.10
    int32_t init_sprite = 0;
    int32_t water_drag_x = 0, water_drag_y = 0;           // 1/1024 of the speed per frame
    int32_t air_drag = 0;
    int32_t gravity = 0;
    int32_t flap_x = 0, flap_y = 0;
    int32_t splash_x = 0, splash_y = 0;
    int32_t splash_screen_x = 0, splash_screen_y = 0;
    uint8_t splash_on = 0;
    int32_t hint_x = 0, hint_y = 0;       // screen pixels
    uint8_t hint_on = 0;
    uint32_t air = 0, max_air = 0;        // frames
    uint32_t mode = 0;                    // 0..3 air alert level, 4 drowning
    uint8_t follow_x = 0, follow_y = 0;   // the camera follows
    uint8_t leap_voice_armed = 0;
    uint8_t leave_sound_armed = 0;
    uint8_t entered_air = 0;
    uint8_t from_air_or_drowning = 0;
    uint8_t flap_sound_pending = 0;
};

class CPlayerFish : public IGameObject {
public:
    // Body sprite numbers; the low bit is the facing (0 right, 1 left).
    static constexpr int kDrownSprite = 16;
    static constexpr int kGlideSprite = 20;
    static constexpr int kFlapSprite = 22;
    static constexpr int kEatSprite = 24;
    static constexpr int kBubbleRising = 26;
    static constexpr int kBubbleFloating = 28;
    static constexpr int kDrowningMode = 4;
    static constexpr int32_t kSeaFloor = -480 * 1024;
    static constexpr int32_t kCameraLowest = -240 * 1024;

    CPlayerFish();
    ~CPlayerFish() override;

    void Create(GameCamera* camera) override;
    // Reads "Hopfin.ltd" of the current stage into the loaded block.
    void Load() override;
    void Reset() override;
    void Move() override;
    void Draw(ISurface* destination) override;
    // Eats the live fish it touches.
    void HitCheckFish();

    // Create with a given player file (tests, other stages' files).
    void CreateFrom(GameCamera* camera, const std::string& file);
    void LoadFile(const std::string& file);

    void SetGauge(IPlayerGauge* gauge) { gauge_ = gauge; }
    void SetFlightTracker(IFlightTracker* tracker) { tracker_ = tracker; }
    void SetFishManager(CFishManager* fish) { fish_ = fish; }
    void SetRecorder(CInputRecorder* recorder) { recorder_ = recorder; }
    // A drowning fish stays left of this x (the goal line of the stage end).
    void SetGoalLine(int32_t x) { goal_line_ = x; }
    // Plays sound effect (number, channel); without it the fish is silent.
    void SetSoundPlayer(std::function<void(int, int)> play) { play_se_ = std::move(play); }

    const PlayerBlock& GetLive() const { return live_; }
    PlayerBlock& GetLive() { return live_; }
    const PlayerBlock& GetLoaded() const { return loaded_; }
    const CSprite& GetBodySprite() const { return sprites_[0]; }
    CSprite& GetSprite(int index) { return sprites_[index]; }
    int GetSpriteCount() const { return static_cast<int>(sprites_.size()); }
    int32_t GetBubbleX() const { return bubble_x_; }
    int32_t GetBubbleY() const { return bubble_y_; }
    CWaterDrop& GetWaterDrop() { return *drops_; }
    const uint32_t* GetAlertAir() const { return alert_; }

private:
    void SwimPhase();
    void DrowningPhase();
    void AirPhase();
    void VelocityStep();
    void FacingAndTurn(int last_turn_sprite);
    void SplashStep();
    void AirStep();
    void FollowCamera();

    bool Press(int button);
    bool Push(int button);
    uint32_t Gauge() const;
    void SetGaugeAmount(uint32_t amount);
    void PlaySE(int number, int channel);
    // The body's sprite number, and setting it (the same number does not restart it).
    int Body() const { return sprites_[0].GetSpriteNo(); }
    void SetBody(int sprite) { sprites_[0].SetSpriteNo(sprite); }
    // The sprite shows its last frame; a sprite with no frames always does.
    bool LastFrame(int index) const;

    GameCamera* camera_ = nullptr;
    IPlayerGauge* gauge_ = nullptr;
    IFlightTracker* tracker_ = nullptr;
    CFishManager* fish_ = nullptr;
    CInputRecorder* recorder_ = nullptr;
    int32_t goal_line_ = INT32_MAX;
    std::function<void(int, int)> play_se_;

    KTL::smart_ptr<CWaterDrop> drops_;
    std::vector<CSprite> sprites_;                       // [0] body [1] splash [2] hint [3] bubble, and more
    std::vector<KTL::smart_ptr<CSpriteChara>> charas_;   // at least two definitions
    int32_t min_x_ = 0;
    int32_t bubble_x_ = 0, bubble_y_ = 0;
    int32_t bubble_dx_ = 0, bubble_dy_ = 0;
    uint32_t alert_[3] = {};
    PlayerBlock live_;
    PlayerBlock loaded_;
};

} // namespace zuderadeDoruVAV3ed
