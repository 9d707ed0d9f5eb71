// StageEndDemo.h -- CStageEndDemo: watches the player's x; from a given point it shows a pulsing
// goal picture, near the goal it raises a flag for the camera, and it tells when the goal line
// is reached.
#pragma once

#include <cstdint>
#include <string>

#include "game/StageData.h"

namespace zuderadeDoruVAV3ed {

class CStageEndDemo {
public:
    static constexpr int32_t kNearDistance = 320 * 1024;

    CStageEndDemo();
    ~CStageEndDemo();

    // Reads the pictures and the #Goal keys over zeros; the near-goal copy := the goal line.
    void Load(const std::string& file = StagePath(kStageEndDemoFile));
    // One play frame with the player's world x (22.10); true when x has reached the goal line.
    bool Move(int32_t player_x);
    // Picture 0 at the goal position with the pulsing alpha, while showing.
    void Draw();

    // The retry clears both flags.
    void ClearFlags() { near_goal_ = showing_ = 0; }
    bool IsNearGoal() const { return near_goal_ != 0; }
    bool IsShowing() const { return showing_ != 0; }
    uint8_t GetAlpha() const { return alpha_; }
    void SetAlpha(uint8_t alpha) { alpha_ = alpha; }
    uint8_t GetAlphaStep() const { return alpha_step_; }
    int32_t GetGoalLine() const { return goal_line_; }
    int32_t GetNearGoalLine() const { return near_line_; }
    // The play scene lowers the near-goal copy at load.
    void SetNearGoalLine(int32_t line) { near_line_ = line; }
    int32_t GetDrawStart() const { return draw_start_; }

private:
    CDemoPictures pictures_;
    int32_t draw_x_ = 0, draw_y_ = 0;
    int32_t goal_line_ = 0;
    int32_t near_line_ = 0;
    int32_t draw_start_ = 0;
    uint8_t near_goal_ = 0;
    uint8_t showing_ = 0;
    uint8_t alpha_ = 0;
    uint8_t alpha_step_ = 0;
};

} // namespace zuderadeDoruVAV3ed
