// GameTimer.h -- CGameTimer: the stage timer, counting down from a limit or up to a cap, with an
// alarm that plays once and turns the text to the alarm font.
#pragma once

#include <cstdint>
#include <string>

#include "game/StageData.h"

namespace zuderadeDoruVAV3ed {

class CGameTimer {
public:
    static constexpr int32_t kStepPerFrame = 3379;   // one frame at 30 per second, in 22.10 hundredths
    static constexpr int32_t kStartValue = 6000;     // the limit until #TimerCountDownStart sets one

    // Reads #TimePos, #TimerMode, #TimerCountDownStart and #AlermStart, in file order, over zeros
    // and the start value.
    void Load(const std::string& file = StagePath(kInterfaceFile));
    // The retry: alarm armed; current := limit when counting down, else 0.
    void Reset();
    // One play frame: count, then the alarm check.
    void Move();
    // "TIME mm:ss:hh" at the text position, font 3 at or below the alarm time, else font 0.
    void Draw();

    // Times are 22.10 hundredths of a second.
    int32_t GetCurrent() const { return current_; }
    int32_t GetLimit() const { return limit_; }
    int32_t GetAlarm() const { return alarm_; }
    int32_t GetStep() const { return step_; }
    bool IsAlarmArmed() const { return alarm_armed_ != 0; }
    bool IsCountDown() const { return count_down_ != 0; }
    void SetStopped(bool stopped) { stopped_ = stopped ? 1 : 0; }
    bool IsStopped() const { return stopped_ != 0; }
    // The font Draw picks now.
    int GetFontIndex() const;

private:
    int32_t limit_ = kStartValue;
    int32_t current_ = 0;
    int32_t alarm_ = 0;
    uint8_t alarm_armed_ = 0;
    int32_t step_ = 0;
    uint8_t stopped_ = 0;
    uint8_t count_down_ = 0;
    int32_t text_x_ = 0, text_y_ = 0;
    std::string text_;
};

} // namespace zuderadeDoruVAV3ed
