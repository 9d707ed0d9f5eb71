// scene_harness.h -- runs the game's scenes frame by frame as the main loop does (scripted keys,
// move, draw, deferred flush) in a scratch working folder, and records the scenes jumped to.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/Scene.h"
#include "game_test_util.h"
#include "platform/input_script.h"
#include "platform/keys.h"
#include "sdk/app/SceneControl.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/input/VirtualKey.h"
#include "tests/scratch_dir.h"

namespace gametest {

class SceneHarness {
public:
    // A scratch working folder (fixture files are written into it by the test), the registry's
    // objects, stage 1 of 3, and a scripted keyboard (no keys until Keys is called).
    explicit SceneHarness(const std::string& prefix) : dir_(prefix) {
        InitAlphaTables();
        platform::ResetKeyboardForTest();
        platform::SetInputScriptForTest(platform::InputScript::Parse("", "harness"));
        registry_->CreateObjects();
        State().current_stage = 1;
        State().final_stage = 3;
        back_ = SolidPlane(640, 480, 0);
    }
    ~SceneHarness() {
        control_.reset();
        registry_->ReleaseObjects();
        platform::SetInputScriptForTest(std::nullopt);
        platform::ResetKeyboardForTest();
    }

    const std::filesystem::path& Dir() const { return dir_.path(); }
    CGameState& State() { return *registry_->GetGameState(); }

    // Keys held by frame (frames counted from 0 from the first Frame call), docs/input-script.md.
    void Keys(const std::string& script) {
        platform::SetInputScriptForTest(platform::InputScript::Parse(script, "harness"));
    }

    // Starts the control with the scene of that number (the factory makes it on the first frame).
    void Start(int scene) {
        factory_ = new CSceneFactory(nullptr);
        control_.reset(new CSceneControl(KTL::smart_ptr<ISceneFactory>(factory_)));
        control_->JumpScene(scene);
    }

    // One frame as the main loop runs it; false once the control has no scene.
    bool Frame() {
        ++frames_;
        platform::StepInputScript();
        registry_->GetInput()->Input();
        const auto back = KTL::smart_ptr<ISurface>::NotOwned(back_.get());
        control_->OnMove(back);
        if (!control_->GetScene()) return false;
        control_->OnDraw(back);
        FlushDrawRecords(*registry_->GetDrawListPlane(), back_.get());
        return true;
    }
    // Runs frames until the factory is asked for another scene (or the limit); the frame count.
    int RunUntilJump(int limit = 2000) {
        // The scene that Start asked for does not count.
        const size_t asked = std::max<size_t>(factory_->GetRequested().size(), 1);
        while (frames_ < limit) {
            Frame();
            if (factory_->GetRequested().size() > asked) break;
        }
        return frames_;
    }
    void Run(int n) {
        for (int i = 0; i < n; ++i) Frame();
    }

    template <class T>
    T* Scene() {
        return control_ ? dynamic_cast<T*>(control_->GetScene().get()) : nullptr;
    }
    const std::vector<int>& Requested() const { return factory_->GetRequested(); }
    int Frames() const { return frames_; }
    CFastPlane& Back() { return *back_; }

private:
    testutil::ScratchWorkDir dir_;
    CGameObjectRegistry* registry_ = CGameObjectRegistry::GetInstance();
    KTL::smart_ptr<CFastPlane> back_;
    CSceneFactory* factory_ = nullptr;   // owned by the control
    KTL::smart_ptr<CSceneControl> control_;
    int frames_ = 0;
};

} // namespace gametest
