// StageStartDemo.cpp -- the stage-start demo.
#include "game/StageStartDemo.h"

#include <algorithm>

#include "game/DemoFiles.h"
#include "game/DrawListPlane.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kTimingMovers = 2;
constexpr int32_t kTurnBackSpeed = 8;
} // namespace

CStageStartDemo::CStageStartDemo() = default;
CStageStartDemo::~CStageStartDemo() = default;

void CStageStartDemo::Create(const std::string& file) {
    state_ = 0;
    Load(file);
    saved_ = movers_;
    Restart();
}

void CStageStartDemo::Restart() {
    for (size_t i = 0; i < movers_.size(); ++i) {
        CMover& mover = movers_[i];
        // A mover of an incomplete record stays still and unseen.
        mover.active = mover.visible = usable_[i];
        mover.reverse = 0;
        mover.Reset();
    }
}

void CStageStartDemo::Load(const std::string& file) {
    LoadMoverDemo(file, "CStageStartDemo::Load", pictures_, movers_, &usable_);
}

void CStageStartDemo::Reset() {
    movers_ = saved_;
    Restart();
    state_ = 0;
}

void CStageStartDemo::StepAll() {
    for (CMover& mover : movers_) mover.Move();
}

void CStageStartDemo::TurnBack(size_t index) {
    if (!usable_[index]) return;
    CMover& mover = movers_[index];
    mover.reverse = 1;
    mover.active = 1;
    mover.visible = 1;
    mover.Reset();
    mover.value_step = static_cast<int32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(mover.value_step) * kTurnBackSpeed, INT32_MIN, INT32_MAX));
}

bool CStageStartDemo::Faded(const CMover& mover, bool rising) {
    if (!mover.active) return true;
    const int32_t alpha = mover.value >> 10;
    return rising ? alpha > 127 : alpha < 128;
}

int CStageStartDemo::Move() {
    // Without its two timing movers the demo has nothing to wait for.
    if (movers_.size() < kTimingMovers) return 1;
    CMover& first = movers_[0];
    CMover& second = movers_[1];
    switch (state_) {
    case 0:
        first.Move();
        if (Faded(first, true)) state_ = 1;
        break;
    case 1:
        StepAll();
        if (!second.active) {
            TurnBack(0);
            state_ = 2;
        }
        break;
    case 2:
        StepAll();
        if (Faded(first, false)) {
            TurnBack(1);
            state_ = 3;
        }
        break;
    default:
        StepAll();
        if (Faded(second, false)) return 1;
        break;
    }
    return 0;
}

void CStageStartDemo::Draw() {
    CDrawListPlane* deferred = GetDeferredPlane();
    if (!deferred) return;
    for (CMover& mover : movers_) mover.Draw(*deferred);
}

} // namespace zuderadeDoruVAV3ed
