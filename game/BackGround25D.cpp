// BackGround25D.cpp -- reading, moving, projecting and drawing the 2.5D scenery.
#include "game/BackGround25D.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr char k25DFile[] = "GameData/Stage/Game/LoadList/Bg_25D.ltd";
constexpr int64_t kEye = 544;   // distance of the screen from the eye, in pixels
} // namespace

Projection Project25D(int32_t x, int32_t y, int32_t z, const GameCamera& camera) {
    int64_t zp = z >> 10;
    if (zp < 0) zp = 1;
    const int64_t d = zp + kEye;
    Projection p;
    p.depth = static_cast<int32_t>(d);
    p.x = static_cast<int32_t>((((int64_t{x} - camera.x) >> 10) * kEye) / d + 320);
    p.y = static_cast<int32_t>(240 - ((int64_t{y} - camera.y) >> 10));
    return p;
}

void CBackGround25DElement::Reset() {
    x = saved_[0], y = saved_[1], z = saved_[2];
    vx = saved_[3], vy = saved_[4], vz = saved_[5];
    active = saved_active_;
}

void CBackGround25DElement::Save() {
    const int32_t values[6] = {x, y, z, vx, vy, vz};
    std::copy(std::begin(values), std::end(values), saved_);
    saved_active_ = active;
}

void CBackGround25DSprite::Move() {
    x = WrapAdd(x, vx);
    y = WrapAdd(y, vy);
    z = WrapAdd(z, vz);
}

void CBackGround25DSprite::Draw(ISurface* destination, const GameCamera& camera) {
    const CSpriteFrame* frame = sprite.GetCurrentFrame();
    if (!frame) return;   // a sprite number outside the definition
    const Projection p = Project25D(x, y, z, camera);
    const SIZE size{static_cast<int32_t>((int64_t{frame->Width()} * kEye * 1024 / p.depth) >> 10),
                    static_cast<int32_t>((int64_t{frame->Height()} * kEye * 1024 / p.depth) >> 10)};
    if (size.cx + size.cy == 0) return;
    sprite.BltNext(DrawListAt(destination, 9000), p.x, p.y, &size, nullptr);
}

void CBackGround25DSurface::Move() {
    x = WrapAdd(x, vx);
    y = WrapAdd(y, vy);
    if (z_motion) z = WrapAdd(z, vz);
}

void CBackGround25DSurface::Draw(ISurface* destination, const GameCamera& camera) {
    if (!picture) return;
    const int64_t w = int64_t{source.right} - source.left, h = int64_t{source.bottom} - source.top;
    if (w + h == 0) return;
    static constexpr int kKinds[] = {kBltCopyKeyed, kBltAddKeyed, kBltAlphaBlend};
    if (blend < 0 || blend > 2) return;
    const Projection p = Project25D(x, y, z, camera);
    DrawPlaneKind(DrawListAt(destination, WrapAdd(9000, layer_offset)), picture, kKinds[blend], WrapAdd(p.x, dx),
                  WrapAdd(p.y, dy), &source);
}

void CBackGround25D::Create(GameCamera* camera) {
    camera_ = camera;
    Load();
}

void CBackGround25D::Load() { LoadFile(StagePath(k25DFile)); }

void CBackGround25D::LoadFile(const std::string& file) {
    const bool read = ReadKeywordFile(file, "CBackGround25D::Load", [&](CStringScanner& scanner) {
        auto count = [&scanner]() {
            int n = 0;
            scanner.GetNum(n);
            return static_cast<size_t>(std::clamp(n, 0, kMaxElements));
        };
        auto pixels = [&scanner]() {
            int n = 0;
            scanner.GetNum(n);
            return PixelsToFixed(n);
        };
        if (scanner.IsMatch("#MaxSpObject")) {
            sprites_.assign(count(), CBackGround25DSprite{});
            sprites_filled_ = 0;
        } else if (scanner.IsMatch("#SpObjectData")) {
            if (sprites_filled_ >= sprites_.size()) return;   // the array is full
            CBackGround25DSprite& e = sprites_[sprites_filled_++];
            e.x = pixels(), e.y = pixels(), e.z = pixels();
            e.vx = pixels(), e.vy = pixels(), e.vz = pixels();
            int sprite_no = 0;
            scanner.GetNum(sprite_no);
            e.sprite.SetChara(chara_);
            e.sprite.SetSpriteNo(sprite_no);
            e.active = 1;
            e.Save();
        } else if (scanner.IsMatch("#MaxSurfaceObject")) {
            surfaces_.assign(count(), CBackGround25DSurface{});
            surfaces_filled_ = 0;
        } else if (scanner.IsMatch("#SurfaceObjectData")) {
            if (surfaces_filled_ >= surfaces_.size()) return;
            CBackGround25DSurface& e = surfaces_[surfaces_filled_++];
            scanner.GetNum(e.picture_no);
            e.x = pixels(), e.y = pixels(), e.z = pixels();
            scanner.GetNum(e.dx);
            scanner.GetNum(e.dy);
            scanner.GetNum(e.source.left);
            scanner.GetNum(e.source.top);
            scanner.GetNum(e.source.right);
            scanner.GetNum(e.source.bottom);
            e.vx = pixels(), e.vy = pixels(), e.vz = pixels();
            int flag = 0;
            scanner.GetNum(flag);
            e.z_motion = flag != 0;
            scanner.GetNum(e.blend);
            scanner.GetNum(e.layer_offset);
            e.active = 1;
            e.Save();
        } else if (scanner.IsMatch("#SpriteText")) {
            std::string name;
            scanner.GetStr(name);
            chara_.reset(new CSpriteChara());
            if (chara_->Load(name) != 0) ReportDataFailure("CBackGround25D::Load", name, "読めない");
            for (CBackGround25DSprite& e : sprites_) e.sprite.SetChara(chara_);
        } else if (scanner.IsMatch("#MaxImageFile")) {
            pictures_.clear();
            for (size_t i = count(); i > 0; --i) {
                pictures_.emplace_back(new CFastPlane());
                pictures_.back()->SetSystemMemoryFlag(true);
            }
            pictures_loaded_ = 0;
        } else if (scanner.IsMatch("#ImageFileName")) {
            std::string name;
            scanner.GetStr(name);
            if (pictures_loaded_ >= pictures_.size()) return;
            if (pictures_[pictures_loaded_++]->Load(name) != 0)
                ReportDataFailure("CBackGround25D::Load", name, "画像が読めない");
        }
    });
    if (!read) return;
    // Pictures are taken by number once the whole list is known.
    for (CBackGround25DSurface& e : surfaces_)
        e.picture = e.picture_no >= 0 && e.picture_no < static_cast<int32_t>(pictures_.size())
                        ? pictures_[e.picture_no].get()
                        : nullptr;
}

void CBackGround25D::Reset() {
    for (auto& e : sprites_) e.Reset();
    for (auto& e : surfaces_) e.Reset();
}

void CBackGround25D::Move() {
    for (auto& e : sprites_)
        if (e.active) e.Move();
    for (auto& e : surfaces_)
        if (e.active) e.Move();
}

void CBackGround25D::Draw(ISurface* destination) {
    if (!camera_) return;
    for (auto& e : sprites_)
        if (e.active) e.Draw(destination, *camera_);
    for (auto& e : surfaces_)
        if (e.active) e.Draw(destination, *camera_);
}

} // namespace zuderadeDoruVAV3ed
