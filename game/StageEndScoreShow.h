// StageEndScoreShow.h -- CStageEndScoreShow: after the goal, the stage-clear picture fades in with
// the run's best leap and its time; it ends after a wait or when button 6 is pushed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "game/StageData.h"

namespace zuderadeDoruVAV3ed {

class ISurface;

class CStageEndScoreShow {
public:
    CStageEndScoreShow();
    ~CStageEndScoreShow();

    // Makes the picture plane, Load, then Restart.
    void Create(const std::string& file = StagePath(kStageEndScoreShowFile));
    // Reads the #StageClear keys over zeros and loads the clear image.
    void Load(const std::string& file = StagePath(kStageEndScoreShowFile));
    // Alpha 0, the loaded alpha step and wait (also the retry's restart).
    void Restart();
    // One frame with the best leap (world units, read as 16.16 metres) and the elapsed time
    // (hundredths of a second); true when the show has ended.
    bool Move(int32_t jump, int32_t time);
    // The texts with font 2 (layer 1000), the clear image (layer 2000), both at the current
    // alpha on the deferred-draw plane, then the play object's own draw step with the destination.
    void Draw(ISurface* destination, const std::function<void(ISurface*)>& draw_object = nullptr);

    int GetAlpha() const { return alpha_; }
    int GetWait() const { return wait_; }
    const std::string& GetJumpText() const { return jump_text_; }
    const std::string& GetTimeText() const { return time_text_; }

private:
    KTL::smart_ptr<CFastPlane> picture_;
    int32_t jump_x_ = 0, jump_y_ = 0, time_x_ = 0, time_y_ = 0, clear_x_ = 0, clear_y_ = 0;
    std::string jump_text_, time_text_;
    int32_t alpha_ = 0, alpha_step_ = 0, wait_ = 0;
    int32_t loaded_step_ = 0, loaded_wait_ = 0;
};

} // namespace zuderadeDoruVAV3ed
