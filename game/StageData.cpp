// StageData.cpp -- rectangles, fixed-point values, demo pictures and mover records.
#include "game/StageData.h"

#include <algorithm>
#include <cmath>

#include "game/DataFiles.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/ScreenEffect.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"
#include "sdk/input/VirtualKey.h"

namespace zuderadeDoruVAV3ed {

void ReadRect(CStringScanner& scanner, RECT& rect) {
    ReadScreenPoint(scanner, rect.left, rect.top, "ReadRect", "矩形");
    ReadScreenPoint(scanner, rect.right, rect.bottom, "ReadRect", "矩形");
}

int32_t PixelsToFixed(int64_t pixels) {
    return static_cast<int32_t>(std::clamp<int64_t>(pixels * 1024, INT32_MIN, INT32_MAX));
}

int32_t DecimalToFixed(float value) {
    const double fixed = static_cast<double>(value) * 1024.0;
    if (!(fixed == fixed)) return 0;   // not a number
    return static_cast<int32_t>(std::clamp(fixed, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

int ReadDemoCount(CStringScanner& scanner, const char* caller) {
    int count = 0;
    ReadNumberIn(scanner, count, 0, kMaxDemoEntries, caller, "数");
    return count;
}

bool CDemoPictures::ReadLine(CStringScanner& scanner, const std::string& file, const char* caller) {
    if (scanner.IsMatch("#MaxImageFile")) {
        Create(ReadDemoCount(scanner, caller));
        return true;
    }
    if (scanner.IsMatch("#ImageFileName")) {
        std::string name;
        scanner.GetStr(name);
        LoadNext(name, file, caller);
        return true;
    }
    return false;
}

void CDemoPictures::Create(int count) {
    pictures_.assign(static_cast<size_t>(std::clamp(count, 0, kMaxDemoEntries)), KTL::smart_ptr<CFastPlane>());
    next_ = 0;
}

void CDemoPictures::LoadNext(const std::string& name, const std::string& file, const char* caller) {
    if (next_ >= pictures_.size()) {
        ReportDataFailure(caller, file, ("画像の数を超える画像 " + name).c_str());
        return;
    }
    pictures_[next_++] = LoadPicture(name, caller);
}

CFastPlane* CDemoPictures::Get(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return pictures_[static_cast<size_t>(index)].get();
}

void CDemoPictures::Clear() {
    pictures_.clear();
    next_ = 0;
}

namespace {
constexpr char kMoverCaller[] = "ReadMoverData";
constexpr int32_t kFullAlpha = 255 * 1024;
} // namespace

bool ReadMoverData(CStringScanner& scanner, const CDemoPictures& pictures, CMover& mover) {
    int n[8] = {};
    float rate = 0, alpha_speed = 0;
    int alpha[2] = {}, mode = 0, picture = -1;
    RECT rect{};
    // Positions, sizes and the rectangle stay far inside 32 bits in 22.10; an alpha step beyond
    // the whole range is the whole range.
    auto pixels = [&scanner](int& v) {
        return ReadNumberIn(scanner, v, -kMaxScreenPixels, kMaxScreenPixels, kMoverCaller, "#ObjectDataの座標") == 0;
    };
    bool ok = true;
    for (int& v : n) ok = pixels(v) && ok;
    ok = scanner.GetFloat(rate) == 0 && ok;
    ok = scanner.GetFloat(alpha_speed) == 0 && ok;
    for (int& v : alpha) ok = scanner.GetNum(v) == 0 && ok;
    for (int32_t* v : {&rect.left, &rect.top, &rect.right, &rect.bottom}) ok = pixels(*v) && ok;
    ok = scanner.GetNum(mode) == 0 && ok;
    ok = scanner.GetNum(picture) == 0 && ok;

    CMover::Start& s = mover.start;
    s.x = PixelsToFixed(n[0]);
    s.y = PixelsToFixed(n[1]);
    s.target_x = PixelsToFixed(n[2]);
    s.target_y = PixelsToFixed(n[3]);
    s.w = PixelsToFixed(n[4]);
    s.h = PixelsToFixed(n[5]);
    s.target_w = PixelsToFixed(n[6]);
    s.target_h = PixelsToFixed(n[7]);
    mover.rate = ArrivingRate(DecimalToFixed(rate), kMoverCaller, "#ObjectDataの割合");
    s.step = HoldInRange(DecimalToFixed(alpha_speed), -kFullAlpha, kFullAlpha, kMoverCaller, "#ObjectDataのアルファ速度");
    s.value = std::clamp(alpha[0], 0, 255) * 1024;
    s.end_value = std::clamp(alpha[1], 0, 255) * 1024;
    // The alpha only steps up from its start to its end (a reverse run steps back down), so one
    // that starts above its end, or has no step up to it, would never arrive and would hold its
    // demo for ever: it stays at its start, which counts as arrived.
    if (s.value > s.end_value || (s.value < s.end_value && s.step <= 0)) {
        CErrorLog::Out("%sで#ObjectDataのアルファ%dから%dには速さ%dで届かない: %dのままにする", kMoverCaller,
                       alpha[0], alpha[1], s.step, alpha[0]);
        s.end_value = s.value;
    }
    mover.source_rect = rect;
    mover.draw_mode = mode;
    mover.plane = pictures.Get(picture);
    return ok;
}

CDrawListPlane* GetDeferredPlane() { return CGameObjectRegistry::GetInstance()->GetDrawListPlane(); }

bool IsLiveButtonPush(int button) {
    CDefaultKeyInput* input = CGameObjectRegistry::GetInstance()->GetInput();
    return input && input->IsKeyPush(button);
}

} // namespace zuderadeDoruVAV3ed
