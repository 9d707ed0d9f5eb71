// WaterDrop.cpp -- the water-drop pool: reading its file, emitting, falling and drawing.
#include "game/WaterDrop.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "sdk/draw/TrigTable.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr char kWaterDropFile[] = "GameData/Stage/Game/LoadList/WaterDrop.ltd";
constexpr int32_t kDieHeight = 32 * 1024;   // drops fall to just above the surface
} // namespace

void CWaterDrop::Create(GameCamera* camera) {
    camera_ = camera;
    Load();
}

void CWaterDrop::Load() { LoadFile(StagePath(kWaterDropFile)); }

void CWaterDrop::LoadFile(const std::string& file) {
    ReadKeywordFile(file, "CWaterDrop::Load", [&](CStringScanner& scanner) {
        if (scanner.IsMatch("#MaxInstance")) {
            int count = 0;
            scanner.GetNum(count);
            drops_.assign(static_cast<size_t>(std::clamp(count, 0, kMaxInstances)), WaterDropRecord{});
        } else if (scanner.IsMatch("#ImageFileName")) {
            std::string name;
            scanner.GetStr(name);
            picture_ = LoadPicture(name, "CWaterDrop::Load");
        } else if (scanner.IsMatch("#ImagePat")) {
            scanner.GetNum(pattern_count_);
        } else if (scanner.IsMatch("#PatSize")) {
            scanner.GetNum(cell_width_);
            scanner.GetNum(cell_height_);
        } else if (scanner.IsMatch("#Gravity")) {
            float g = 0;
            scanner.GetFloat(g);
            gravity_ = ToFixed(g);
        } else if (scanner.IsMatch("#BlurringRadius")) {
            scanner.GetNum(radius_);
        }
    });
}

void CWaterDrop::Reset() {
    for (WaterDropRecord& drop : drops_) drop.live = 0;
}

void CWaterDrop::Emit(int32_t x, int32_t y) {
    auto free = std::find_if(drops_.begin(), drops_.end(), [](const WaterDropRecord& d) { return d.live == 0; });
    if (free == drops_.end()) return;
    const CTrigTable& trig = CTrigTable::Get();
    const int angle = static_cast<int>(NextRandom() % 511);
    free->x = WrapAdd(x, static_cast<int32_t>((int64_t{trig.Cos(angle)} * radius_) >> 6));
    free->y = WrapAdd(y, static_cast<int32_t>((int64_t{trig.Cos((angle - 128) & 511)} * radius_) >> 6));
    free->vx = 0;
    free->vy = 0;
    // Patterns 0 .. count - 2; a count of 1 or less has only pattern 0.
    free->pattern = 0;
    if (pattern_count_ > 1) free->pattern = static_cast<int32_t>(NextRandom() % static_cast<uint32_t>(pattern_count_ - 1));
    free->live = 1;
}

void CWaterDrop::Move() {
    for (WaterDropRecord& drop : drops_) {
        if (!drop.live) continue;
        drop.vy = WrapSub(drop.vy, gravity_);
        drop.x = WrapAdd(drop.x, drop.vx);
        drop.y = WrapAdd(drop.y, drop.vy);
        if (drop.y <= kDieHeight) drop.live = 0;
    }
}

void CWaterDrop::Draw(ISurface* destination) {
    if (!camera_) return;
    for (WaterDropRecord& drop : drops_) {
        if (!drop.live) continue;
        const int32_t sx = ScreenX(drop.x, *camera_), sy = ScreenY(drop.y, *camera_);
        if (int64_t{sx} + cell_width_ < 0 || sy > 480) {
            drop.live = 0;
            continue;
        }
        if (!picture_) continue;
        const int32_t top = WrapMul(drop.pattern, cell_height_);
        const RECT cell{0, top, cell_width_, WrapAdd(top, cell_height_)};
        DrawPlaneKind(DrawListAt(destination, 5000), picture_.get(), kBltAdd, sx, sy, &cell);
    }
}

} // namespace zuderadeDoruVAV3ed
