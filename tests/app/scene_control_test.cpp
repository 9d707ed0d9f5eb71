// Scene stack: jumps within a move step, destruction, factories that make nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/app/SceneControl.h"

using namespace zuderadeDoruVAV3ed;

namespace {

using Log = std::vector<std::string>;

// Records its steps; may ask for a jump during a chosen move step.
class RecordingScene : public IScene {
public:
    RecordingScene(int number, Log* log) : number_(number), log_(log) {}
    ~RecordingScene() override { Note("destroy"); }
    void OnInit() override {
        Note(GetSceneControl() ? "init with control" : "init without control");
        if (jump_in_init_ > 0) GetSceneControl()->JumpScene(jump_in_init_);
    }
    void OnMove(const KTL::smart_ptr<ISurface>&) override {
        Note("move");
        ++moves_;
        if (jump_to_ > 0 && moves_ == jump_on_move_) GetSceneControl()->JumpScene(jump_to_);
    }
    void OnDraw(const KTL::smart_ptr<ISurface>&) override { Note("draw"); }

    int jump_to_ = 0;        // scene to jump to ...
    int jump_on_move_ = 1;   // ... during this move step
    int jump_in_init_ = 0;

private:
    void Note(const std::string& what) { log_->push_back(std::to_string(number_) + " " + what); }
    int number_;
    Log* log_;
    int moves_ = 0;
};

// Scene n jumps to plan[n] on its first move (0: stays); unknown numbers make nothing.
class PlanFactory : public ISceneFactory {
public:
    PlanFactory(Log* log, std::vector<int> plan) : log_(log), plan_(std::move(plan)) {}
    KTL::smart_ptr<IScene> CreateScene(int number) override {
        log_->push_back("create " + std::to_string(number));
        if (number <= 0 || number >= static_cast<int>(plan_.size())) return KTL::smart_ptr<IScene>();
        auto* scene = new RecordingScene(number, log_);
        scene->jump_to_ = plan_[number];
        return KTL::smart_ptr<IScene>(scene);
    }

private:
    Log* log_;
    std::vector<int> plan_;
};

KTL::smart_ptr<ISceneFactory> MakeFactory(Log* log, std::vector<int> plan) {
    return KTL::smart_ptr<ISceneFactory>(new PlanFactory(log, std::move(plan)));
}

} // namespace

TEST(SceneControl, FirstMoveCarriesOutThePendingJump) {
    Log log;
    CSceneControl control(MakeFactory(&log, {0, 0}));
    EXPECT_FALSE(control.GetScene());
    control.JumpScene(1);
    control.OnMove(KTL::smart_ptr<ISurface>());
    control.OnDraw(KTL::smart_ptr<ISurface>());
    EXPECT_EQ(log, (Log{"create 1", "1 init with control", "1 move", "1 draw"}));
    EXPECT_EQ(control.GetSceneCount(), 1u);
    EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandNone);
}

TEST(SceneControl, JumpDuringMoveRunsTheNewSceneInTheSameFrame) {
    Log log;
    // 1 jumps to 2, which jumps to 3, which stays.
    CSceneControl control(MakeFactory(&log, {0, 2, 3, 0}));
    control.JumpScene(1);
    control.OnMove(KTL::smart_ptr<ISurface>());
    control.OnDraw(KTL::smart_ptr<ISurface>());
    EXPECT_EQ(log, (Log{"create 1", "1 init with control", "1 move", "1 destroy", "create 2", "2 init with control",
                        "2 move", "2 destroy", "create 3", "3 init with control", "3 move", "3 draw"}));
    EXPECT_EQ(control.GetSceneCount(), 1u);

    // The next frame only moves the scene that stayed.
    log.clear();
    control.OnMove(KTL::smart_ptr<ISurface>());
    EXPECT_EQ(log, (Log{"3 move"}));
}

TEST(SceneControl, DestructorDestroysTheStackedScene) {
    Log log;
    {
        CSceneControl control(MakeFactory(&log, {0, 0}));
        control.JumpScene(1);
        control.OnMove(KTL::smart_ptr<ISurface>());
        log.clear();
    }
    EXPECT_EQ(log, (Log{"1 destroy"}));
}

TEST(SceneControl, SceneHeldElsewhereOutlivesTheControlSafely) {
    Log log;
    KTL::smart_ptr<IScene> kept;
    {
        CSceneControl control(MakeFactory(&log, {0, 0}));
        control.JumpScene(1);
        control.OnMove(KTL::smart_ptr<ISurface>());
        kept = control.GetScene();
    }
    // The scene's pointer to the control never owned it: releasing it touches nothing.
    EXPECT_TRUE(kept);
    EXPECT_FALSE(kept->GetSceneControl().IsOwning());
    kept.reset();
    EXPECT_EQ(log.back(), "1 destroy");
}

TEST(SceneControl, FactoryThatMakesNothingLeavesTheStackEmpty) {
    Log log;
    // 1 jumps to 5, which the factory cannot make.
    CSceneControl control(MakeFactory(&log, {0, 5}));
    control.JumpScene(1);
    control.OnMove(KTL::smart_ptr<ISurface>());
    EXPECT_FALSE(control.GetScene());
    EXPECT_EQ(control.GetSceneCount(), 0u);
    EXPECT_EQ(log, (Log{"create 1", "1 init with control", "1 move", "1 destroy", "create 5"}));

    // Moving and drawing an empty stack does nothing.
    log.clear();
    control.OnMove(KTL::smart_ptr<ISurface>());
    control.OnDraw(KTL::smart_ptr<ISurface>());
    EXPECT_TRUE(log.empty());
}

TEST(SceneControl, ScenesThatJumpForEverDoNotHoldTheFrame) {
    Log log;
    // 1 and 2 jump to each other on every first move: without a limit one OnMove never returns.
    CSceneControl control(MakeFactory(&log, {0, 2, 1}));
    control.JumpScene(1);
    control.OnMove(KTL::smart_ptr<ISurface>());
    size_t first_frame = log.size();
    EXPECT_GT(first_frame, 10u);
    // The jump left over is kept for the next frame, which carries on.
    EXPECT_EQ(control.GetCommand(), CSceneControl::kCommandJump);
    control.OnMove(KTL::smart_ptr<ISurface>());
    EXPECT_GT(log.size(), first_frame);
    EXPECT_EQ(control.GetSceneCount(), 1u);
}

TEST(SceneControl, JumpAskedForInInitIsCarriedOutAfterTheFirstMove) {
    Log log;
    struct InitJumpFactory : ISceneFactory {
        Log* log;
        KTL::smart_ptr<IScene> CreateScene(int number) override {
            auto* scene = new RecordingScene(number, log);
            if (number == 1) scene->jump_in_init_ = 2;
            return KTL::smart_ptr<IScene>(scene);
        }
    };
    auto* factory = new InitJumpFactory;
    factory->log = &log;
    CSceneControl control{KTL::smart_ptr<ISceneFactory>(factory)};
    control.JumpScene(1);
    control.OnMove(KTL::smart_ptr<ISurface>());
    EXPECT_EQ(log, (Log{"1 init with control", "1 move", "1 destroy", "2 init with control", "2 move"}));
}
