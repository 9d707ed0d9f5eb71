// BackObject.cpp -- reading, placing and drawing a wrapping scenery strip.
#include "game/BackObject.h"

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

void CBackObject::Create(GameCamera* camera) {
    camera_ = camera;
    picture_.reset(new CFastPlane());
    picture_->SetSystemMemoryFlag(true);
    Load();
    int w = 0, h = 0;
    picture_->GetSize(w, h);
    source_ = RECT{0, 0, w, h};
    start_x_ = x_ = 0;
    start_y_ = y_ = PixelsToFixed(WrapAdd(base_line_, h));
}

void CBackObject::Load() {
    ReadKeywordFile(file_, "CBackObject::Load", [&](CStringScanner& scanner) {
        if (scanner.IsMatch("#BackObjectGraphicFileName")) {
            std::string name;
            scanner.GetStr(name);
            if (picture_ && picture_->Load(name) != 0) ReportDataFailure("CBackObject::Load", name, "画像が読めない");
        } else if (scanner.IsMatch("#BackObjectScrolSpeed")) {
            float rate = 0;
            scanner.GetFloat(rate);
            rate_ = ToFixed(rate);
        } else if (scanner.IsMatch("#BackObjectBaseLine")) {
            scanner.GetNum(base_line_);
        }
    });
}

void CBackObject::Reset() {
    x_ = start_x_;
    y_ = start_y_;
}

int32_t CBackObject::ScrollOffset(int32_t camera_x) const {
    const int64_t w = source_.right;
    if (w <= 0) return 0;
    const int64_t o = (((int64_t{camera_x} >> 10) * rate_) >> 10) % w;
    return static_cast<int32_t>(o < 0 ? o + w : o);
}

void CBackObject::Draw(ISurface* destination) {
    if (!camera_) return;
    screen_x_ = ScreenX(x_, *camera_);
    screen_y_ = ScreenY(y_, *camera_);
    const int32_t w = source_.right;
    if (screen_y_ >= 480 || w <= 0) return;
    screen_x_ = 0;
    const int32_t o = ScrollOffset(camera_->x);
    // The strip from the offset to its end, then its start after it: w pixels in all.
    const RECT tail{o, source_.top, w, source_.bottom};
    DrawPlaneCopyKeyed(DrawListAt(destination, 8000), picture_.get(), screen_x_, screen_y_, nullptr, &tail, nullptr);
    if (o > 0) {
        const RECT head{0, source_.top, o, source_.bottom};
        DrawPlaneCopyKeyed(DrawListAt(destination, 8000), picture_.get(), w - o, screen_y_, nullptr, &head, nullptr);
    }
}

} // namespace zuderadeDoruVAV3ed
