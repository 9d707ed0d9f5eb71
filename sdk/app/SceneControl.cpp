// SceneControl.cpp -- the scene stack and its commands.
#include "sdk/app/SceneControl.h"

#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

namespace {
// Jumps carried out within one move step. Scenes that keep jumping to each other would
// otherwise hold the frame for ever; the rest waits for the next frame.
constexpr int kMaxJumpsPerMove = 16;
} // namespace

CSceneControl::CSceneControl(const KTL::smart_ptr<ISceneFactory>& factory) : factory_(factory) {}

CSceneControl::~CSceneControl() {
    factory_.reset();
    while (!scenes_.empty()) scenes_.pop_back();
}

void CSceneControl::JumpScene(int number) {
    command_ = kCommandJump;
    next_scene_ = number;
}

void CSceneControl::CarryOutCommand() {
    int command = command_;
    command_ = kCommandNone;
    if (command != kCommandJump) return;

    // The old scene goes before the new one is made, so the two never hold resources together.
    if (!scenes_.empty()) scenes_.pop_back();
    KTL::smart_ptr<IScene> scene;
    if (factory_) scene = factory_->CreateScene(next_scene_);
    if (!scene) {
        CErrorLog::Out("CSceneControl::JumpSceneでシーン%dを作れない", next_scene_);
        return;
    }
    scenes_.push_back(scene);
    scene->SetSceneControl(KTL::smart_ptr<CSceneControl>::NotOwned(this));
    scene->OnInit();
}

void CSceneControl::OnMove(const KTL::smart_ptr<ISurface>& surface) {
    for (int jumps = 0;; ++jumps) {
        if (command_ != kCommandNone) {
            if (jumps == kMaxJumpsPerMove) {
                CErrorLog::Out("CSceneControl::OnMoveで1フレームのシーン切り替えが%d回を超えた", kMaxJumpsPerMove);
                return;
            }
            CarryOutCommand();
        }
        // Held here so the scene lives through its own move step whatever it asks for.
        KTL::smart_ptr<IScene> top = GetScene();
        if (!top) return;
        top->OnMove(surface);
        if (command_ == kCommandNone) return;
    }
}

void CSceneControl::OnDraw(const KTL::smart_ptr<ISurface>& surface) {
    KTL::smart_ptr<IScene> top = GetScene();
    if (top) top->OnDraw(surface);
}

KTL::smart_ptr<IScene> CSceneControl::GetScene() const {
    if (scenes_.empty()) return KTL::smart_ptr<IScene>();
    return scenes_.back();
}

} // namespace zuderadeDoruVAV3ed
