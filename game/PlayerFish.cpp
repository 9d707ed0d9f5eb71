// PlayerFish.cpp -- the player fish: its file, swim, air and drowning physics, eating, the
// camera it leads and its drawing.
#include "game/PlayerFish.h"

#include <algorithm>
#include <cstdlib>

#include "game/DataFiles.h"
#include "game/FishManager.h"
#include "game/InputRecorder.h"
#include "game/WaterDrop.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr char kPlayerFile[] = "GameData/Stage/Game/LoadList/Hopfin.ltd";
constexpr int kMinSprites = 4;       // body, splash, hint, bubble
constexpr int kMinCharas = 2;
constexpr int kMaxSlots = 256;       // larger counts of sprites or definitions are held to this
constexpr int32_t kLeapVoiceHeight = 240 * 1024;
constexpr int32_t kSplashHeight = 22 * 1024;
enum Button { kUp = 1, kDown = 2, kLeft = 3, kRight = 4, kFlap = 5 };
enum SpriteIndex { kBody = 0, kSplash = 1, kHint = 2, kBubble = 3 };

// Water drag: |v| x drag as an unsigned 32-bit product, shifted logically; v moves toward 0
// and stops there.
int32_t WaterDrag(int32_t v, int32_t drag) {
    const uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    const int32_t amount = static_cast<int32_t>((magnitude * static_cast<uint32_t>(drag)) >> 10);
    if (v > 0) return std::max(WrapSub(v, amount), 0);
    if (v < 0) return std::min(WrapAdd(v, amount), 0);
    return v;
}

// Air drag: a fixed amount toward 0, stopping there.
int32_t AirDrag(int32_t v, int32_t drag) {
    if (v > 0) return std::max(WrapSub(v, drag), 0);
    if (v < 0) return std::min(WrapAdd(v, drag), 0);
    return v;
}

int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// Two decimals scaled to 22.10.
void ReadFixedPair(CStringScanner& scanner, int32_t& a, int32_t& b) {
    float fa = 0, fb = 0;
    scanner.GetFloat(fa);
    scanner.GetFloat(fb);
    a = ToFixed(fa);
    b = ToFixed(fb);
}

} // namespace

CPlayerFish::CPlayerFish() : drops_(new CWaterDrop()), sprites_(kMinSprites), charas_(kMinCharas) {
    for (auto& chara : charas_) chara.reset(new CSpriteChara());
}

CPlayerFish::~CPlayerFish() = default;

void CPlayerFish::Create(GameCamera* camera) { CreateFrom(camera, StagePath(kPlayerFile)); }

void CPlayerFish::CreateFrom(GameCamera* camera, const std::string& file) {
    camera_ = camera;
    drops_->Create(camera);
    LoadFile(file);
    sprites_[kSplash].SetChara(charas_[1]);
    sprites_[kSplash].SetSpriteNo(0);
    sprites_[kHint].SetChara(charas_[1]);
    sprites_[kHint].SetSpriteNo(1);
    sprites_[kBubble].SetChara(charas_[0]);
    sprites_[kBubble].SetSpriteNo(kBubbleRising);
    loaded_.follow_x = 1;
    loaded_.follow_y = 1;
    loaded_.leap_voice_armed = 0;
    loaded_.leave_sound_armed = 0;
    loaded_.entered_air = 0;
    loaded_.from_air_or_drowning = 1;
    loaded_.flap_sound_pending = 0;
    loaded_.splash_on = 0;
    loaded_.hint_on = 0;
    Reset();
}

void CPlayerFish::Load() { LoadFile(StagePath(kPlayerFile)); }

void CPlayerFish::LoadFile(const std::string& file) {
    PlayerBlock& b = loaded_;
    ReadKeywordFile(file, "CPlayerFish::Load", [&](CStringScanner& scanner) {
        if (scanner.IsMatch("#SpriteText")) {
            // One name per definition slot; names past the slots are ignored.
            std::string name;
            for (size_t slot = 0; slot < charas_.size() && scanner.GetStr(name) == 0; ++slot)
                if (charas_[slot]->Load(name) != 0) ReportDataFailure("CPlayerFish::Load", name, "読めない");
        } else if (scanner.IsMatch("#InitSpriteNo")) {
            scanner.GetNum(b.init_sprite);
            sprites_[kBody].SetChara(charas_[0]);
            sprites_[kBody].SetSpriteNo(b.init_sprite);
        } else if (scanner.IsMatch("#MaxSprite")) {
            int count = 0;
            scanner.GetNum(count);
            sprites_.resize(static_cast<size_t>(std::clamp(count, kMinSprites, kMaxSlots)));
        } else if (scanner.IsMatch("#LoadSpriteCharFileCount")) {
            int count = 0;
            scanner.GetNum(count);
            const size_t old = charas_.size();
            charas_.resize(static_cast<size_t>(std::clamp(count, kMinCharas, kMaxSlots)));
            for (size_t i = old; i < charas_.size(); ++i) charas_[i].reset(new CSpriteChara());
        } else if (scanner.IsMatch("#InitPos")) {
            ReadFixedPair(scanner, b.x, b.y);
            b.prev_x = b.x;
            b.prev_y = b.y;
        } else if (scanner.IsMatch("#InitMoveVector")) {
            ReadFixedPair(scanner, b.vx, b.vy);
            b.prev_vx = -1;
            b.prev_vy = -1;
        } else if (scanner.IsMatch("#MaxMoveVector")) {
            ReadFixedPair(scanner, b.max_vx, b.max_vy);
            b.file_max_vx = b.max_vx;
            b.file_max_vy = b.max_vy;
        } else if (scanner.IsMatch("#InitAccel")) {
            ReadFixedPair(scanner, b.ax, b.ay);
            b.file_ax = b.ax;
            b.file_ay = b.ay;
        } else if (scanner.IsMatch("#AarResistance")) {
            float r = 0;
            scanner.GetFloat(r);
            b.air_drag = ToFixed(r);
        } else if (scanner.IsMatch("#WaterResistance")) {
            ReadFixedPair(scanner, b.water_drag_x, b.water_drag_y);
        } else if (scanner.IsMatch("#Gravity")) {
            float g = 0;
            scanner.GetFloat(g);
            b.gravity = ToFixed(g);
        } else if (scanner.IsMatch("#Buoyancy")) {
            ReadFixedPair(scanner, b.flap_x, b.flap_y);
        } else if (scanner.IsMatch("#Colijyon")) {
            int v[4] = {};
            for (int& value : v) scanner.GetNum(value);
            b.col_x = PixelsToFixed(v[0]);
            b.col_y = PixelsToFixed(v[1]);
            b.col_w = PixelsToFixed(v[2]);
            b.col_h = PixelsToFixed(v[3]);
        } else if (scanner.IsMatch("#ButtonPushDrawPos")) {
            scanner.GetNum(b.hint_x);
            scanner.GetNum(b.hint_y);
        } else if (scanner.IsMatch("#MaxAir")) {
            int air = 0;
            scanner.GetNum(air);
            b.max_air = b.air = static_cast<uint32_t>(air);
            b.mode = 0;
        } else if (scanner.IsMatch("#AlertAir")) {
            for (uint32_t& t : alert_) {
                int value = 0;
                scanner.GetNum(value);
                t = static_cast<uint32_t>(value);
            }
        } else if (scanner.IsMatch("#DrowningMove")) {
            int dx = 0, dy = 0;
            scanner.GetNum(dx);
            scanner.GetNum(dy);
            bubble_dx_ = PixelsToFixed(dx);
            bubble_dy_ = PixelsToFixed(dy);
        }
    });
}

void CPlayerFish::Reset() {
    live_ = loaded_;
    min_x_ = 0;
    // Every animation starts again at its first frame, so a retry is the fresh start exactly.
    sprites_[kBody].SetChara(charas_[0]);
    sprites_[kBody].SetSpriteNo(live_.init_sprite);
    sprites_[kBody].SetFrameNo(0);
    sprites_[kSplash].SetSpriteNo(0);
    sprites_[kSplash].SetFrameNo(0);
    sprites_[kHint].SetSpriteNo(1);
    sprites_[kHint].SetFrameNo(0);
    sprites_[kBubble].SetSpriteNo(kBubbleRising);
    sprites_[kBubble].SetFrameNo(0);
    if (camera_) {
        camera_->target_x = camera_->x = live_.x;
        camera_->target_y = camera_->y = live_.y;
    }
    drops_->Reset();
}

bool CPlayerFish::Press(int button) { return recorder_ && recorder_->IsPress(button); }
bool CPlayerFish::Push(int button) { return recorder_ && recorder_->IsPush(button); }
uint32_t CPlayerFish::Gauge() const { return gauge_ ? gauge_->GetAmount() : 0; }
void CPlayerFish::SetGaugeAmount(uint32_t amount) {
    if (gauge_) gauge_->SetAmount(amount);
}
void CPlayerFish::PlaySE(int number, int channel) {
    if (play_se_) play_se_(number, channel);
}

bool CPlayerFish::LastFrame(int index) const {
    const CSprite& sprite = sprites_[index];
    return sprite.GetFrameCount() == 0 || sprite.IsLastFrame();
}

void CPlayerFish::Move() {
    PlayerBlock& b = live_;
    if (b.y < 0 && b.mode < kDrowningMode) {
        SwimPhase();
        b.leap_voice_armed = 1;
        b.leave_sound_armed = 1;
    } else if (b.y < 0) {
        DrowningPhase();
        b.from_air_or_drowning = 1;
    } else {
        AirPhase();
        b.entered_air = 1;
        b.from_air_or_drowning = 1;
    }
    b.prev_vx = b.vx;
    b.prev_vy = b.vy;
    b.prev_x = b.x;
    b.prev_y = b.y;
    b.x = WrapAdd(b.x, b.vx);
    b.y = WrapAdd(b.y, b.vy);
    if (b.x < min_x_) {
        b.x = min_x_;
        b.vx = 0;
    }
    if (b.y < kSeaFloor) {
        b.y = kSeaFloor;
        b.vy = 0;
    } else if (b.mode == kDrowningMode && b.y >= 0) {
        b.y = -1024;   // a drowning fish cannot leave the water
        b.vy = 0;
    }
    if (b.mode >= kDrowningMode && b.x >= goal_line_) b.x = goal_line_ - 1;
    FollowCamera();
    if (tracker_) tracker_->Track(b.x, b.y);
    drops_->Move();
    if (recorder_ && recorder_->GetFrameIndex() < recorder_->GetFrameCount()) recorder_->Advance();
}

void CPlayerFish::FollowCamera() {
    if (!camera_) return;
    GameCamera& c = *camera_;
    c.target_x = live_.follow_x ? live_.x : c.x;
    c.target_y = live_.follow_y ? std::max(live_.y, kCameraLowest) : c.y;
    c.prev_x = c.x;
    c.prev_y = c.y;
    c.x = WrapAdd(c.x, WrapMul(WrapSub(c.target_x, c.x) >> 10, c.follow));
    c.y = WrapAdd(c.y, WrapMul(WrapSub(c.target_y, c.y) >> 10, c.follow));
}

void CPlayerFish::VelocityStep() {
    PlayerBlock& b = live_;
    if (Gauge() == 0) {
        b.ax = b.file_ax;
        b.ay = b.file_ay;
        b.max_vx = b.file_max_vx;
        b.max_vy = b.file_max_vy;
    }
    // The limits are tested before the step, so a speed can pass its limit by one step.
    if (Press(kUp) && b.vy <= b.max_vy) b.vy = WrapAdd(b.vy, b.ay);
    else if (Press(kDown) && b.vy >= WrapSub(0, b.max_vy)) b.vy = WrapSub(b.vy, b.ay);
    if (Press(kLeft) && b.vx >= WrapSub(0, b.max_vx)) b.vx = WrapSub(b.vx, b.ax);
    else if (Press(kRight) && b.vx <= b.max_vx) b.vx = WrapAdd(b.vx, b.ax);
    b.vx = WaterDrag(b.vx, b.water_drag_x);
    // A fish that stops moving vertically sinks.
    b.vy = b.vy == 0 ? WrapMul(-2, b.water_drag_y) : WaterDrag(b.vy, b.water_drag_y);
    if ((Press(kRight) || Press(kDown)) && Gauge() > 0) SetGaugeAmount(Gauge() - 1);
}

void CPlayerFish::FacingAndTurn(int last_turn_sprite) {
    const int mode = static_cast<int>(live_.mode);
    if (live_.vx >= 0 && (Body() & 1)) SetBody(4 * mode + 3);
    else if (live_.vx < 0 && !(Body() & 1)) SetBody(4 * mode + 2);
    const int s = Body();
    if (((s <= last_turn_sprite && (s & 3) == 2) || (s & 3) == 3) && LastFrame(kBody))
        SetBody(4 * mode + ((s - 1) & 1));
}

void CPlayerFish::SplashStep() {
    PlayerBlock& b = live_;
    if (b.splash_on && LastFrame(kSplash)) b.splash_on = 0;
    if ((b.prev_y < 0) != (b.y < 0)) {   // crossed the surface this frame
        b.splash_on = 1;
        sprites_[kSplash].SetFrameNo(0);
        b.splash_x = b.x;
    }
}

void CPlayerFish::AirStep() {
    PlayerBlock& b = live_;
    if ((Body() & 3) > 1 || b.mode == kDrowningMode) return;   // turning or drowning
    b.mode = 0;
    for (int i = 2; i >= 0; --i) {
        if (alert_[i] >= b.air) {
            b.mode = static_cast<uint32_t>(i + 1);
            break;
        }
    }
    if (b.air > 0) --b.air;
    if (b.air == 0) {
        b.mode = kDrowningMode;
        bubble_x_ = b.x;
        bubble_y_ = b.y;
    }
}

void CPlayerFish::SwimPhase() {
    PlayerBlock& b = live_;
    VelocityStep();
    if (b.entered_air && b.vy < 0) {
        PlaySE(3, 0);
        b.entered_air = 0;
    }
    if (Body() >= kGlideSprite && Body() < kEatSprite) {   // back from the air
        SetBody(4 * static_cast<int>(b.mode) + (Body() & 1));
        b.air = b.max_air;
        b.mode = 0;
        PlaySE(18, 2);
    }
    FacingAndTurn(15);
    if (Body() <= 15) {
        SetBody(4 * static_cast<int>(b.mode) + (Body() & 3));
        if (b.from_air_or_drowning && Body() >= 8 && Body() <= 11) {
            PlaySE(5, 0);
            b.from_air_or_drowning = 0;
        }
    }
    SplashStep();
    if (b.hint_on && b.y <= 0) b.hint_on = 0;
    AirStep();
}

void CPlayerFish::DrowningPhase() {
    PlayerBlock& b = live_;
    VelocityStep();
    FacingAndTurn(19);
    if (Body() <= 15 || Body() == kEatSprite || Body() == kEatSprite + 1) {
        SetBody(kDrownSprite + (Body() & 3));
        sprites_[kBubble].SetSpriteNo(kBubbleRising + (Body() & 1));
        PlaySE(4, 0);
    }
    const int bubble = sprites_[kBubble].GetSpriteNo();
    if ((bubble == kBubbleRising || bubble == kBubbleRising + 1) && LastFrame(kBubble))
        sprites_[kBubble].SetSpriteNo(bubble + 2);
    if (bubble_y_ < 0) {
        bubble_y_ = WrapAdd(bubble_y_, bubble_dy_);
    } else if (bubble_x_ >= 0) {
        bubble_x_ = std::max(WrapAdd(bubble_x_, bubble_dx_), 0);
        const CSpriteFrame* frame = sprites_[kBubble].GetCurrentFrame();
        const int64_t w = frame ? frame->Width() : 0, h = frame ? frame->Height() : 0;
        const int64_t half_w = b.col_w >> 1, half_h = b.col_h >> 1;
        if (Abs64(int64_t{b.x} - bubble_x_) < half_w + (w << 9) &&
            Abs64(int64_t{b.y} - half_h - bubble_y_) < half_h + (h << 9)) {
            b.air = b.max_air;   // rescued
            b.mode = 0;
            SetBody(Body() & 3);
        }
    }
    AirStep();
}

void CPlayerFish::AirPhase() {
    PlayerBlock& b = live_;
    b.vx = AirDrag(b.vx, b.air_drag);
    b.vy = WrapSub(AirDrag(b.vy, b.air_drag), b.gravity);
    if (Gauge() > 0 && Push(kFlap)) {
        b.vx = WrapAdd(b.vx, b.flap_x);
        b.vy = WrapAdd(b.vy, b.flap_y);
        b.flap_sound_pending = 1;
        SetGaugeAmount(Gauge() - 1);
        if (b.vx > 0) SetBody(kFlapSprite);
        else if (b.vx < 0) SetBody(kFlapSprite + 1);
    } else if (Body() >= kFlapSprite) {
        if (LastFrame(kBody)) SetBody(Body() - 2);
    } else {
        SetBody(b.vx > 0 ? kGlideSprite : b.vx < 0 ? kGlideSprite + 1 : kGlideSprite + (Body() & 1));
    }
    if (b.leap_voice_armed && b.prev_vy >= 0 && b.vy < 0 && b.y > kLeapVoiceHeight) {
        PlaySE(6 + static_cast<int>(NextRandom() % 3), 0);
        b.leap_voice_armed = 0;
    }
    if (b.leave_sound_armed && b.vy > 0) {
        PlaySE(2, 0);
        b.leave_sound_armed = 0;
    }
    if (b.flap_sound_pending && sprites_[kBody].GetFrameNo() == 4) {
        PlaySE(15, 2);
        b.flap_sound_pending = 0;
    }
    SplashStep();
    b.hint_on = Gauge() > 0 && b.y > 0 && b.vx != 0;
    if (b.vy > 0) drops_->Emit(b.x, b.y);
}

void CPlayerFish::HitCheckFish() {
    PlayerBlock& b = live_;
    const int mode = static_cast<int>(b.mode);
    if (b.mode == kDrowningMode || Body() == 4 * mode + 2 || Body() == 4 * mode + 3) return;
    if ((Body() == kEatSprite || Body() == kEatSprite + 1) && LastFrame(kBody)) SetBody(4 * mode + (Body() & 1));
    if (!fish_) return;
    const int64_t offset_x = b.vx < 0 ? -int64_t{b.col_x} : int64_t{b.col_x};
    for (FishRecord& fish : fish_->GetFish()) {
        if (!fish.alive) continue;
        if (Abs64(b.x + offset_x - fish.x) >= int64_t{b.col_w} + fish.half_width ||
            Abs64(int64_t{b.y} + b.col_y - fish.y) >= int64_t{b.col_h} + fish.half_height)
            continue;
        // A fish of a kind or level without tables gives nothing and stays.
        const FishKind* kind = fish_->GetKind(fish.kind);
        const FishKind::Level* level = kind ? kind->GetLevel(fish.level) : nullptr;
        if (!level) continue;
        fish.alive = 0;
        SetGaugeAmount(static_cast<uint32_t>(std::clamp<int64_t>(int64_t{Gauge()} + level->gain, 0, 255)));
        b.ax = level->ax;
        b.ay = level->ay;
        b.max_vx = level->max_vx;
        b.max_vy = level->max_vy;
        SetBody(kEatSprite + (Body() & 1));
        PlaySE(23, 2);
    }
}

void CPlayerFish::Draw(ISurface* destination) {
    if (!camera_) return;
    PlayerBlock& b = live_;
    b.screen_x = ScreenX(b.x, *camera_);
    b.screen_y = ScreenY(b.y, *camera_);
    sprites_[kBody].BltNext(DrawListAt(destination, 5000), b.screen_x, b.screen_y, nullptr, nullptr);
    if (b.splash_on) {
        b.splash_y = kSplashHeight;
        b.splash_screen_x = ScreenX(b.splash_x, *camera_);
        b.splash_screen_y = ScreenY(b.splash_y, *camera_);
        sprites_[kSplash].BltNext(DrawListAt(destination, 3000), b.splash_screen_x, b.splash_screen_y, nullptr,
                                  nullptr);
    }
    if (b.hint_on) sprites_[kHint].BltNext(DrawListAt(destination, 3000), b.hint_x, b.hint_y, nullptr, nullptr);
    if (Body() >= kDrownSprite && Body() < kGlideSprite && SpriteInView(sprites_[kBubble], bubble_x_, bubble_y_, *camera_))
        sprites_[kBubble].BltNext(DrawListAt(destination, 5000), ScreenX(bubble_x_, *camera_),
                                  ScreenY(bubble_y_, *camera_), nullptr, nullptr);
    drops_->Draw(destination);
}

} // namespace zuderadeDoruVAV3ed
