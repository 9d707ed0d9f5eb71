// Sprite.cpp -- reading sprite-definition files and stepping sprite animations.
#include "sdk/draw/Sprite.h"

#include <algorithm>
#include <cstdint>

#include "sdk/base/ErrorLog.h"
#include "sdk/draw/Bmp.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {

// What one "#Frame" line gives: plane left top right bottom [offset-x offset-y [plain]].
bool ReadFrame(CStringScanner& scanner, CSpriteFrame& frame) {
    int values[5];
    for (int& value : values)
        if (scanner.GetNum(value) != 0) return false;
    frame.plane = values[0];
    frame.rect = RECT{values[1], values[2], values[3], values[4]};
    // The optional fields come as a pair of offsets, then the flag.
    int x = 0, y = 0, plain = 0;
    if (scanner.GetNum(x) == 0) {
        if (scanner.GetNum(y) != 0) return false;
        scanner.GetNum(plain);
    }
    frame.offset_x = x;
    frame.offset_y = y;
    frame.plain = plain != 0;
    return scanner.IsEnd() || scanner.IsMatch("//");   // a trailing comment is allowed
}

// A frame's rectangle lies within the largest picture there can be, so its width and height, and
// whatever is computed from them, stay far from overflowing; tested without forming a difference.
bool RectUsable(const RECT& r) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= kBmpMaxSide &&
           r.bottom <= kBmpMaxSide;
}

// a + b held to the 32-bit range: a position pushed that far lies off every surface anyway.
int32_t SaturatedSum(int32_t a, int32_t b) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
}

} // namespace

int CSpriteChara::Load(const std::string& file_name) {
    CFile file;
    if (file.ReadWithArchive(file_name) != 0) {
        CErrorLog::Out("CSpriteChara::Load ファイルが読めない %s", file_name.c_str());
        return 1;
    }
    std::vector<KTL::smart_ptr<CFastPlane>> planes;
    std::vector<std::vector<CSpriteFrame>> sprites;
    int current = -1;   // sprite that "#Frame" lines add to; -1 before the first "#Sprite"

    std::string line;
    CStringScanner scanner;
    for (int number = 1; file.ReadTextLine(line) == 0; ++number) {
        scanner.SetText(line);
        if (scanner.IsEnd() || scanner.IsMatch("//")) continue;
        if (scanner.IsMatch("#Plane")) {
            std::string name;
            if (scanner.GetStr(name) != 0 || static_cast<int>(planes.size()) >= kMaxPlanes) {
                CErrorLog::Out("CSpriteChara::Load %s(%d) #Planeが不正", file_name.c_str(), number);
                continue;
            }
            // A picture that cannot be loaded keeps its index, so later planes keep theirs.
            KTL::smart_ptr<CFastPlane> plane(new CFastPlane());
            plane->Load(name);
            planes.push_back(plane);
        } else if (scanner.IsMatch("#Sprite")) {
            int sprite = -1;
            if (scanner.GetNum(sprite) != 0 || sprite < 0 || sprite >= kMaxSprites) {
                CErrorLog::Out("CSpriteChara::Load %s(%d) #Spriteの番号が不正", file_name.c_str(), number);
                current = -1;   // its frames are skipped rather than added to another sprite
                continue;
            }
            if (sprite >= static_cast<int>(sprites.size())) sprites.resize(sprite + 1);
            current = sprite;
        } else if (scanner.IsMatch("#Frame")) {
            CSpriteFrame frame;
            if (current < 0 || !ReadFrame(scanner, frame) || frame.plane < 0 ||
                frame.plane >= static_cast<int>(planes.size()) || !RectUsable(frame.rect) ||
                static_cast<int>(sprites[current].size()) >= kMaxFrames) {
                CErrorLog::Out("CSpriteChara::Load %s(%d) #Frameが不正", file_name.c_str(), number);
                continue;
            }
            sprites[current].push_back(frame);
        } else {
            CErrorLog::Out("CSpriteChara::Load %s(%d) 不明な行", file_name.c_str(), number);
        }
    }
    planes_ = std::move(planes);
    sprites_ = std::move(sprites);
    return 0;
}

void CSpriteChara::Clear() {
    planes_.clear();
    sprites_.clear();
}

int CSpriteChara::GetFrameCount(int sprite) const {
    if (sprite < 0 || sprite >= static_cast<int>(sprites_.size())) return 0;
    return static_cast<int>(sprites_[sprite].size());
}

const CSpriteFrame* CSpriteChara::GetFrame(int sprite, int frame) const {
    if (frame < 0 || frame >= GetFrameCount(sprite)) return nullptr;
    return &sprites_[sprite][frame];
}

CFastPlane* CSpriteChara::GetPlane(int index) const {
    if (index < 0 || index >= static_cast<int>(planes_.size())) return nullptr;
    return planes_[index].get();
}

void CSprite::SetChara(const KTL::smart_ptr<CSpriteChara>& chara) {
    chara_ = chara;
    sprite_ = 0;
    frame_ = 0;
}

void CSprite::SetSpriteNo(int sprite) {
    if (sprite == sprite_) return;
    sprite_ = sprite;
    frame_ = 0;
}

int CSprite::GetFrameCount() const {
    return chara_ ? chara_->GetFrameCount(sprite_) : 0;
}

bool CSprite::IsLastFrame() const {
    const int count = GetFrameCount();
    return count > 0 && frame_ == count - 1;
}

const CSpriteFrame* CSprite::GetCurrentFrame() const {
    return chara_ ? chara_->GetFrame(sprite_, frame_) : nullptr;
}

int CSprite::BltNext(ISurface* destination, int x, int y, const SIZE* size, const RECT* clip) {
    const int count = GetFrameCount();
    if (count == 0) return 0;
    // A frame index set from outside past the end starts the animation again.
    if (frame_ < 0 || frame_ >= count) frame_ = 0;
    const CSpriteFrame& frame = *chara_->GetFrame(sprite_, frame_);
    CFastPlane* plane = chara_->GetPlane(frame.plane);
    if (destination && plane) {
        const POINT pos{SaturatedSum(x, frame.offset_x), SaturatedSum(y, frame.offset_y)};
        BltInfo info;
        info.pos = &pos;
        info.size = size;
        info.src = &frame.rect;
        info.clip = clip;
        destination->GeneralBlt(frame.plain ? kBltCopy : kBltCopyKeyed, plane->GetSurfaceInfo(), &info, nullptr);
    }
    frame_ = frame_ + 1 == count ? 0 : frame_ + 1;
    return count;
}

} // namespace zuderadeDoruVAV3ed
