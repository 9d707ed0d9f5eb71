// StageStartDemo.h -- CStageStartDemo: before play, two pictures fly in and fade, then fly out
// again one after the other.
#pragma once

#include <string>
#include <vector>

#include "game/ScreenEffect.h"
#include "game/StageData.h"

namespace zuderadeDoruVAV3ed {

class CStageStartDemo {
public:
    CStageStartDemo();
    ~CStageStartDemo();

    // State 0; Load; every mover keeps a copy of its settings, is made active and visible and
    // is reset forward.
    void Create(const std::string& file = StagePath(kStageStartDemoFile));
    // Reads #MaxImageFile, #ImageFileName, #MaxInstance and #ObjectData. A mover whose record
    // is incomplete is reported and stays inactive and unseen.
    void Load(const std::string& file = StagePath(kStageStartDemoFile));
    // The retry: every mover restarts forward from its copy; state 0.
    void Reset();
    // One frame; 1 when the demo has ended, else 0.
    int Move();
    // Every mover.
    void Draw();

    int GetState() const { return state_; }
    int GetMoverCount() const { return static_cast<int>(movers_.size()); }
    const CMover& GetMover(int index) const { return movers_[static_cast<size_t>(index)]; }
    int GetPictureCount() const { return pictures_.GetCount(); }

private:
    // Every usable mover forward, active and visible, from its settings.
    void Restart();
    void StepAll();
    // Turns a usable mover back: reversed, active, visible, reset, its alpha speed eightfold.
    void TurnBack(size_t index);
    // A watched mover's alpha has crossed its threshold, or the mover has stopped.
    static bool Faded(const CMover& mover, bool rising);

    CDemoPictures pictures_;
    std::vector<CMover> movers_;
    std::vector<CMover> saved_;
    std::vector<uint8_t> usable_;   // the mover's record was complete
    int state_ = 0;
};

} // namespace zuderadeDoruVAV3ed
