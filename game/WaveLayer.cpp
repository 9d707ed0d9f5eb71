// WaveLayer.cpp -- the surface waves: drift, wrap, re-spacing and drawing.
#include "game/WaveLayer.h"

#include "game/DataFiles.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr char kWaveSpriteFile[] = "GameData/Stage/Game/SpriteDefinition/WaveSprite.txt";
constexpr char kBgFile[] = "GameData/Stage/Game/LoadList/Bg.ltd";
} // namespace

void CWaveLayer::Create(GameCamera* camera) { CreateFrom(camera, StagePath(kWaveSpriteFile), StagePath(kBgFile)); }

void CWaveLayer::CreateFrom(GameCamera* camera, const std::string& sprite_file, const std::string& key_file) {
    camera_ = camera;
    chara_.reset(new CSpriteChara());
    if (chara_->Load(sprite_file) != 0) ReportDataFailure("CWaveLayer::Create", sprite_file, "読めない");
    LoadKeys(key_file);
    Reset();
}

void CWaveLayer::Load() { LoadKeys(StagePath(kBgFile)); }

void CWaveLayer::LoadKeys(const std::string& file) {
    ReadKeywordFile(file, "CWaveLayer::Load", [&](CStringScanner& scanner) {
        if (scanner.IsMatch("#WaveSpeed_X")) {
            float speed = 0;
            scanner.GetFloat(speed);
            speed_ = ToFixed(speed);
        } else if (scanner.IsMatch("#WavePatCount")) {
            scanner.GetNum(pattern_count_);
        }
    });
}

int CWaveLayer::NextPattern() const {
    const uint32_t r = NextRandom();
    return pattern_count_ > 0 ? static_cast<int>(r % static_cast<uint32_t>(pattern_count_)) : 0;
}

void CWaveLayer::Reset() {
    for (int i = 0; i < kWaves; ++i) {
        Wave& wave = waves_[i];
        wave.sprite.SetChara(chara_);
        wave.x = kSpacing * i * 1024;
        wave.y = 0;
        wave.sprite.SetSpriteNo(NextPattern());
    }
}

void CWaveLayer::Move() {
    if (!camera_) return;
    const int32_t camera_step = WrapSub(camera_->x, camera_->prev_x);
    for (Wave& wave : waves_) {
        wave.x = WrapSub(WrapAdd(wave.x, speed_), camera_step);
        const int32_t p = wave.x >> 10;
        int32_t entered = p;
        if (int64_t{p} + kSpacing < 0) entered = p % 640 + 704;      // off the left: back on the right
        else if (p > 640) entered = p % 640 - kSpacing;              // off the right: back on the left
        if (entered != p) {
            wave.x = entered * 1024;
            wave.sprite.SetSpriteNo(NextPattern());
        }
    }
    // The others follow the leftmost wave in 64-pixel steps.
    int m = 0;
    for (int i = 1; i < kWaves; ++i)
        if (waves_[i].x < waves_[m].x) m = i;
    const int32_t base = waves_[m].x & ~1023;
    for (int k = 1; k < kWaves; ++k) waves_[(m + k) % kWaves].x = base + kSpacing * k * 1024;
}

void CWaveLayer::Draw(ISurface* destination) {
    if (!camera_) return;
    for (Wave& wave : waves_)
        wave.sprite.BltNext(DrawListAt(destination, 7000), wave.x >> 10, ScreenY(wave.y, *camera_), nullptr, nullptr);
}

} // namespace zuderadeDoruVAV3ed
