// GameOverScene.cpp -- the game-over demo and its scene.
#include "game/GameOverScene.h"

#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/SceneSound.h"
#include "sdk/app/Rand.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kBgmGameOver = 3;
constexpr int kSeVoice = 9;   // 9 or 10 at random
constexpr int kSeCursor = 19, kSeDecide = 17;
constexpr int kMenuChannel = 2;
constexpr int kIconPitch = 32 << 10;
} // namespace

void CGameOverDemo::Init(CSceneControl* control, const std::string& file) {
    control_ = control;
    state_ = 0;
    selection_ = 0;
    LoadMoverDemo(file, "CGameOverDemo::Init", pictures_, movers_);
    for (CMover& mover : movers_) {
        mover.reverse = 0;
        mover.active = 1;
        mover.visible = 1;
        mover.Reset();
    }
    PlaySceneBGM(kBgmGameOver, false);
}

const CMover* CGameOverDemo::Timing() const {
    return movers_.size() > kTimingMover ? &movers_[kTimingMover] : nullptr;
}

void CGameOverDemo::StepMovers() {
    for (CMover& mover : movers_) mover.Move();
}

void CGameOverDemo::Move() {
    StepMovers();
    const CMover* timing = Timing();
    switch (state_) {
    case 0:
        // Without its timing mover, or with one that came to rest without fading in (a broken
        // file), the demo goes straight on to the choice rather than waiting for ever.
        if (!timing || (timing->value >> 10) > 250 || !timing->active) {
            state_ = 1;
            CRand* random = CGameObjectRegistry::GetInstance()->GetRandom();
            PlaySceneSE(kSeVoice + static_cast<int>(random ? random->Get() & 1 : 0), 0);
        }
        break;
    case 1:
        if (IsButtonPushed(kButtonUp) || IsButtonPushed(kButtonDown)) {
            PlaySceneSE(kSeCursor, kMenuChannel);
            selection_ ^= 1;
        }
        if (movers_.size() > kIconMover) {
            CMover& icon = movers_[kIconMover];
            icon.active = 1;
            icon.target_y = icon.start.target_y + selection_ * kIconPitch;
        }
        if (IsButtonPushed(kButtonDecide)) {
            PlaySceneSE(kSeDecide, kMenuChannel);
            for (CMover& mover : movers_) {
                mover.reverse = 1;
                mover.active = 1;
                mover.visible = 1;
                mover.Reset();
            }
            state_ = 2;
        }
        break;
    case 2:
        if (timing && timing->active) break;
        if (selection_ == 1) {
            if (CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState()) state->current_stage = 1;
            JumpSceneAndPoll(control_, kSceneTitle);
        } else {
            JumpSceneAndPoll(control_, kScenePlay);
        }
        state_ = 3;   // the jump is asked for once
        break;
    default: break;
    }
}

void CGameOverDemo::Draw(ISurface* destination) {
    if (destination) {
        destination->SetFillColor(0);
        destination->Clear(nullptr);
    }
    CDrawListPlane* deferred = CGameObjectRegistry::GetInstance()->GetDrawListPlane();
    if (!deferred) return;
    for (CMover& mover : movers_) mover.Draw(*deferred);
}

void CGameOverScene::OnInit() {
    demo_.reset(new CGameOverDemo());
    demo_->Init(GetSceneControl().get());
}

void CGameOverScene::OnMove(const KTL::smart_ptr<ISurface>&) { demo_->Move(); }

void CGameOverScene::OnDraw(const KTL::smart_ptr<ISurface>& back) { demo_->Draw(back.get()); }

} // namespace zuderadeDoruVAV3ed
