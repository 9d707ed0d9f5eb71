// FishManager.cpp -- reading the fish files, placing, waking, moving and drawing the fish.
#include "game/FishManager.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/PlayerFish.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr char kFishFile[] = "GameData/Stage/Game/LoadList/Fish.ltd";
constexpr char kFishSpriteFile[] = "GameData/Stage/Game/SpriteDefinition/FishSprite.txt";
constexpr char kKindPrefix[] = "GameData/Stage/Game/FishParam/Fish_";
constexpr int32_t kGoneX = -640 * 1024;
constexpr int kWakeDistance = 320;   // pixels from the player's right edge
} // namespace

void CFishManager::Create(GameCamera* camera) {
    CreateFrom(camera, StagePath(kFishSpriteFile), StagePath(kFishFile), StagePath(kKindPrefix));
}

void CFishManager::Load() {
    LoadFile(StagePath(kFishFile), StagePath(kKindPrefix));
    Place();
}

void CFishManager::CreateFrom(GameCamera* camera, const std::string& sprite_file, const std::string& fish_file,
                              const std::string& kind_prefix) {
    camera_ = camera;
    sprites_.reset(new CSpriteChara());
    if (sprites_->Load(sprite_file) != 0) ReportDataFailure("CFishManager::Create", sprite_file, "読めない");
    LoadFile(fish_file, kind_prefix);
    Place();
}

const FishKind* CFishManager::GetKind(int32_t kind) const {
    if (kind < 0 || kind >= static_cast<int32_t>(kinds_.size()) || !kinds_[kind].loaded) return nullptr;
    return &kinds_[kind];
}

void CFishManager::LoadFile(const std::string& fish_file, const std::string& kind_prefix) {
    kinds_.clear();
    fish_.clear();
    max_fish_ = -1;
    ReadKeywordFile(fish_file, "CFishManager::Load", [&](CStringScanner& scanner) {
        if (scanner.IsMatch("#MaxFish")) {
            int count = 0;
            scanner.GetNum(count);
            max_fish_ = std::clamp(count, 0, kMaxFish);
            fish_.clear();
        } else if (scanner.IsMatch("#SetFish")) {
            // Lines before "#MaxFish" or past its count are ignored.
            if (static_cast<int32_t>(fish_.size()) >= max_fish_) return;
            FishRecord fish;
            int x = 0, y = 0;
            scanner.GetNum(fish.kind);
            scanner.GetNum(fish.level);
            scanner.GetNum(fish.motion);
            scanner.GetNum(x);
            scanner.GetNum(y);
            fish.x = PixelsToFixed(x);
            fish.y = PixelsToFixed(y);
            fish.alive = 1;
            fish.sprite.reset(new CSprite());
            fish_.push_back(fish);
        } else if (scanner.IsMatch("#LoadFishParam")) {
            int count = 0;
            scanner.GetNum(count);
            kinds_.assign(static_cast<size_t>(std::clamp(count, 0, kMaxKinds)), FishKind{});
            for (FishKind& kind : kinds_) {
                int k = 0;
                if (scanner.GetNum(k) != 0) break;   // a short list leaves the rest unloaded
                LoadKind(kind, kind_prefix + std::to_string(k) + ".txt");
            }
        } else if (scanner.IsMatch("#CursolImageFile")) {
            std::string name;
            scanner.GetStr(name);
            cursor_ = LoadPicture(name, "CFishManager::Load");
        } else if (scanner.IsMatch("#CursolShowRange")) {
            int a = 0, b = 0;
            scanner.GetNum(a);
            scanner.GetNum(b);
            range_start_ = PixelsToFixed(a);
            range_end_ = PixelsToFixed(b);
        }
    });
}

void CFishManager::LoadKind(FishKind& kind, const std::string& file) {
    size_t filled = 0;
    bool has_levels = false;
    kind.loaded = ReadKeywordFile(file, "CFishManager::Load", [&](CStringScanner& scanner) {
        if (scanner.IsMatch("#Level")) {
            int count = 0;
            scanner.GetNum(count);
            kind.levels.assign(static_cast<size_t>(std::clamp(count, 0, kMaxKinds)), FishKind::Level{});
            filled = 0;
            has_levels = true;
        } else if (scanner.IsMatch("#Newness")) {
            // Lines before "#Level" or past its count are ignored.
            if (!has_levels || filled >= kind.levels.size()) return;
            float values[4] = {}, speed = 0;
            int gain = 0;
            for (float& v : values) scanner.GetFloat(v);
            scanner.GetNum(gain);
            scanner.GetFloat(speed);
            FishKind::Level& level = kind.levels[filled++];
            level.ax = ToFixed(values[0]);
            level.ay = ToFixed(values[1]);
            level.max_vx = ToFixed(values[2]);
            level.max_vy = ToFixed(values[3]);
            level.gain = gain;
            level.speed = ToFixed(speed);
        } else if (scanner.IsMatch("#SpNo")) {
            scanner.GetNum(kind.sprite_no);
        }
    });
}

void CFishManager::Place() {
    // A fish whose kind has no loaded file is not placed.
    std::erase_if(fish_, [this](const FishRecord& fish) { return GetKind(fish.kind) == nullptr; });
    for (FishRecord& fish : fish_) {
        fish.sprite->SetChara(sprites_);
        // Every fish takes its collision size from the first frame of sprite 0.
        const CSpriteFrame* frame = fish.sprite->GetCurrentFrame();
        fish.half_width = frame ? frame->Width() << 9 : 0;
        fish.half_height = frame ? frame->Height() << 9 : 0;
        fish.sprite->SetSpriteNo(GetKind(fish.kind)->sprite_no);
        fish.start_x = fish.x;
        fish.start_y = fish.y;
        fish.start_alive = fish.alive;
        fish.start_active = fish.active;
    }
}

void CFishManager::Reset() {
    for (FishRecord& fish : fish_) {
        fish.x = fish.start_x;
        fish.y = fish.start_y;
        fish.alive = fish.start_alive;
        fish.active = fish.start_active;
    }
}

void CFishManager::Move() {
    int64_t player_x = 0, player_half = 0;
    if (player_) {
        player_x = player_->GetLive().x;
        if (const CSpriteFrame* frame = player_->GetBodySprite().GetCurrentFrame()) player_half = frame->Width() << 9;
    }
    for (FishRecord& fish : fish_) {
        if (!fish.alive) continue;
        if (!fish.active) {
            if (((int64_t{fish.x} - fish.half_width) >> 10) > ((player_x + player_half) >> 10) + kWakeDistance)
                continue;
            fish.active = 1;
        }
        if (fish.x < kGoneX) {
            fish.alive = 0;
        } else if (fish.motion == 0) {
            const FishKind* kind = GetKind(fish.kind);
            const FishKind::Level* level = kind ? kind->GetLevel(fish.level) : nullptr;
            fish.x = WrapSub(fish.x, level ? level->speed : 0);
        }
    }
}

void CFishManager::Draw(ISurface* destination) {
    if (!camera_) return;
    for (FishRecord& fish : fish_) {
        if (!fish.alive) continue;
        const int32_t sx = ScreenX(fish.x, *camera_), sy = ScreenY(fish.y, *camera_);
        if (SpriteInView(*fish.sprite, fish.x, fish.y, *camera_))
            fish.sprite->BltNext(DrawListAt(destination, 6000), sx, sy, nullptr, nullptr);
        if (!player_) continue;
        const int64_t player_x = player_->GetLive().x;
        if (player_x + range_start_ < fish.x && fish.x < player_x + range_end_) {
            cursor_x_ = sx;
            cursor_y_ = sy;
            if (!cursor_) continue;
            int w = 0, h = 0;
            cursor_->GetSize(w, h);
            DrawPlaneCopyKeyed(DrawListAt(destination, 2000), cursor_.get(), 608, cursor_y_ - (h >> 1), nullptr,
                               nullptr, nullptr);
        }
    }
}

} // namespace zuderadeDoruVAV3ed
