// Scene.cpp -- the scene base, the factory and the logo.
#include "game/Scene.h"

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameOverScene.h"
#include "game/PlayScene.h"
#include "game/SceneSound.h"
#include "game/ScoreRankScene.h"
#include "game/StageDemoScene.h"
#include "game/TitleScene.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/input/VirtualKey.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kButtonCancel = 6;
constexpr int kLogoSound = 0;   // played on channel 0 while the card shows
} // namespace

bool IsButtonPushed(int button) {
    CDefaultKeyInput* input = CGameObjectRegistry::GetInstance()->GetInput();
    return input && input->IsKeyPush(button);
}

CSceneBase::~CSceneBase() { scene_control_.reset(); }

void JumpSceneAndPoll(CSceneControl* control, int number) {
    if (control) control->JumpScene(number);
    if (CDefaultKeyInput* input = CGameObjectRegistry::GetInstance()->GetInput()) input->Input();
}

void CSceneBase::JumpAndPoll(int number) { JumpSceneAndPoll(scene_control_.get(), number); }

KTL::smart_ptr<IScene> CSceneFactory::CreateScene(int number) {
    requested_.push_back(number);
    CSceneBase* scene = nullptr;
    switch (number) {
    case kSceneLogo: scene = new CLogoScene(); break;
    case kSceneTitle: scene = new CTitleScene(); break;
    case kScenePlay: scene = new CPlayScene(); break;
    case kSceneEmpty: scene = new CEmptyScene(); break;
    case kSceneScoreRank: scene = new CScoreRankScene(); break;
    case kSceneReplay: scene = new CReplayScene(); break;
    case kSceneGameOver: scene = new CGameOverScene(); break;
    case kSceneStageDemo: scene = new CStageDemoScene(); break;
    default:
        CErrorLog::Out("CSceneFactory::CreateSceneに失敗 (シーン%dはない)", number);
        return KTL::smart_ptr<IScene>();
    }
    scene->SetOwner(owner_);
    last_made_ = number;
    return KTL::smart_ptr<IScene>(scene);
}

CLogoScene::CLogoScene() = default;
CLogoScene::~CLogoScene() = default;

void CLogoScene::OnInit() {
    plane_.reset(new CFastPlane());
    plane_->SetSystemMemoryFlag(true);
    if (plane_->Load(kLogoPicture) != 0) ReportDataFailure("CLogoScene::OnInit", kLogoPicture, "画像が読めない");
    state_ = 0;
    counter_ = kWaitFrames;
    PlaySceneSE(kLogoSound, 0);
}

void CLogoScene::OnMove(const KTL::smart_ptr<ISurface>&) {
    if (state_ == 0) {
        --counter_;
        CDefaultKeyInput* input = CGameObjectRegistry::GetInstance()->GetInput();
        if ((input && input->IsKeyPush(kButtonCancel)) || counter_ <= 0) {
            state_ = 1;
            counter_ = kAddColor;
            level_ = 0;
        }
        return;
    }
    level_ += static_cast<int>(counter_ & 0xFF);
    if (level_ > 255) {
        StopSceneSEChannel(0);
        JumpAndPoll(kSceneTitle);
    }
    // Cumulative: the card's own pixels brighten towards white.
    plane_->AddColorEffect(static_cast<uint32_t>(counter_), nullptr);
}

void CLogoScene::OnDraw(const KTL::smart_ptr<ISurface>& back) {
    if (!back) return;
    back->SetFillColor(0xFF000000);
    back->Clear(nullptr);
    DrawPlaneCopy(back.get(), plane_.get(), 0, 0, nullptr, nullptr, nullptr);
}

} // namespace zuderadeDoruVAV3ed
