// GameTimer.cpp -- the stage timer.
#include "game/GameTimer.h"

#include <algorithm>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/SoundCue.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr int kTextLayer = 1000;
constexpr int kPlainFont = 0;
constexpr int kAlarmFont = 3;
constexpr int kAlarmSound = 24;
constexpr int kAlarmChannel = 3;
constexpr int32_t kWholeMask = ~1023;

// ((minutes * 60 + seconds) * 100 + hundredths) * 1024, saturating.
int32_t ToTime(int64_t minutes, int64_t seconds, int64_t hundredths) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(((minutes * 60 + seconds) * 100 + hundredths) * 1024, INT32_MIN, INT32_MAX));
}

} // namespace

void CGameTimer::Load(const std::string& file) {
    *this = CGameTimer();
    std::vector<std::string> lines;
    if (!ReadDataLines(file, "CGameTimer::Load", lines)) return;
    CStringScanner scanner;
    for (const std::string& line : lines) {
        scanner.SetText(line);
        int v[3] = {};
        if (scanner.IsMatch("#TimePos")) {
            ReadScreenPoint(scanner, text_x_, text_y_, "CGameTimer::Load", "#TimePos");
        } else if (scanner.IsMatch("#TimerMode")) {
            scanner.GetNum(v[0]);
            count_down_ = v[0] != 0;
            current_ = count_down_ ? limit_ : 0;
            alarm_armed_ = 1;
        } else if (scanner.IsMatch("#TimerCountDownStart")) {
            for (int& n : v) scanner.GetNum(n);
            // Each value is taken as a byte, then clamped to the clock's range.
            const int minutes = std::min<int>(static_cast<uint8_t>(v[0]), 99);
            const int seconds = std::min<int>(static_cast<uint8_t>(v[1]), 59);
            const int hundredths = std::min<int>(static_cast<uint8_t>(v[2]), 99);
            limit_ = ToTime(minutes, seconds, hundredths);
            step_ = kStepPerFrame;
            current_ = count_down_ ? limit_ : 0;
        } else if (scanner.IsMatch("#AlermStart")) {
            for (int& n : v) scanner.GetNum(n);
            alarm_ = ToTime(v[0], v[1], v[2]);
        }
    }
}

void CGameTimer::Reset() {
    alarm_armed_ = 1;
    current_ = count_down_ ? limit_ : 0;
}

void CGameTimer::Move() {
    if (stopped_) return;
    if (count_down_) {
        current_ = current_ - step_ < 0 ? 0 : current_ - step_;
    } else {
        const int64_t next = static_cast<int64_t>(current_) + step_;
        current_ = next > limit_ ? limit_ : static_cast<int32_t>(next);
    }
    if (alarm_armed_ && (current_ & kWholeMask) <= (alarm_ & kWholeMask)) {
        PlaySoundEffect(kAlarmSound, kAlarmChannel);
        alarm_armed_ = 0;
    }
}

int CGameTimer::GetFontIndex() const { return (current_ >> 10) <= (alarm_ >> 10) ? kAlarmFont : kPlainFont; }

void CGameTimer::Draw() {
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    CBitmapFontSet* fonts = registry->GetFontSet();
    CDrawListPlane* deferred = registry->GetDrawListPlane();
    if (!fonts || !deferred) return;
    FormatTime(text_, current_ >> 10);
    fonts->Draw(GetFontIndex(), text_, kTextLayer, text_x_, text_y_, deferred);
}

} // namespace zuderadeDoruVAV3ed
