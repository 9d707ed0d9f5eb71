// scene_test.cpp -- the scene factory's numbers, the logo's timing in the scene control, and
// the draw step of a skipped frame.
#include <gtest/gtest.h>

#include "game/DrawListPlane.h"
#include "game/GameMain.h"
#include "game/GameObjectRegistry.h"
#include "game/Scene.h"
#include "game_test_util.h"
#include "tests/scratch_dir.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using gametest::PixelAt;
using gametest::SolidPlane;

TEST(SceneFactoryTest, MakesEveryGameSceneAndRecordsEveryNumberAsked) {
    auto* owner = reinterpret_cast<CGameMainThread*>(0x1234);
    CSceneFactory factory(owner);
    struct Case {
        int number;
        bool made;
    };
    for (const Case c : {Case{1, true}, Case{4, true}, Case{2, true}, Case{8, true}, Case{5, true}, Case{7, true},
                         Case{3, true}, Case{6, true}, Case{0, false}, Case{99, false}, Case{-1, false}}) {
        KTL::smart_ptr<IScene> scene = factory.CreateScene(c.number);
        EXPECT_EQ(static_cast<bool>(scene), c.made) << c.number;
        if (scene) {
            EXPECT_EQ(static_cast<CSceneBase*>(scene.get())->GetOwner(), owner);
            EXPECT_EQ(factory.GetLastMade(), c.number);
        }
    }
    EXPECT_EQ(factory.GetRequested(), (std::vector<int>{1, 4, 2, 8, 5, 7, 3, 6, 0, 99, -1}));
    EXPECT_EQ(factory.GetLastMade(), 6) << "numbers outside 1 to 8 make nothing";
}

TEST(LogoSceneTest, WaitsTwoSecondsThenFadesForFortyThreeFramesWithoutItsPicture) {
    testutil::ScratchWorkDir dir("ff_logo");   // no GameData: the picture is missing
    CGameObjectRegistry::GetInstance()->CreateObjects();
    auto* factory = new CSceneFactory(nullptr);
    {
        CSceneControl control{KTL::smart_ptr<ISceneFactory>(factory)};
        control.JumpScene(kSceneLogo);
        KTL::smart_ptr<CFastPlane> back = SolidPlane(640, 480, 0x123456);
        const auto back_ptr = KTL::smart_ptr<ISurface>::NotOwned(back.get());
        int frame = 0;
        while (factory->GetRequested().size() < 2 && frame < 500) {
            control.OnMove(back_ptr);
            ++frame;
            if (auto* logo = dynamic_cast<CLogoScene*>(control.GetScene().get())) {
                EXPECT_EQ(logo->GetState(), frame >= 60 ? 1 : 0) << frame;
                if (frame > 60) {
                    EXPECT_EQ(logo->GetLevel(), 6 * (frame - 60)) << frame;
                }
                control.OnDraw(back_ptr);
                EXPECT_EQ(PixelAt(*back, 5, 5), 0u) << "the logo clears the back plane";
            }
        }
        EXPECT_EQ(frame, 103);
        EXPECT_EQ(factory->GetRequested(), (std::vector<int>{1, 2}));
    }
    CGameObjectRegistry::GetInstance()->ReleaseObjects();
}

// A scene that records one blit per draw step.
class CountingScene : public CSceneBase {
public:
    explicit CountingScene(ISurface* sprite) : sprite_(sprite) {}
    void OnDraw(const KTL::smart_ptr<ISurface>&) override {
        ++draws;
        DrawPlaneCopy(CGameObjectRegistry::GetInstance()->GetDrawListPlane(), sprite_, 0, 0, nullptr, nullptr,
                      nullptr);
    }
    int draws = 0;

private:
    ISurface* sprite_;
};

class OneSceneFactory : public ISceneFactory {
public:
    explicit OneSceneFactory(CountingScene* scene) : scene_(scene) {}
    KTL::smart_ptr<IScene> CreateScene(int) override { return KTL::smart_ptr<IScene>(scene_, false); }

private:
    CountingScene* scene_;
};

TEST(DrawFrameTest, ASkippedFrameRunsTheDrawStepButDropsItsRecords) {
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    registry->CreateObjects();
    {
        KTL::smart_ptr<CFastPlane> sprite = SolidPlane(4, 4, 0xFF0000);
        KTL::smart_ptr<CFastPlane> back = SolidPlane(8, 8, 0);
        const auto back_ptr = KTL::smart_ptr<ISurface>::NotOwned(back.get());
        CountingScene scene(sprite.get());
        CSceneControl control{KTL::smart_ptr<ISceneFactory>(new OneSceneFactory(&scene))};
        control.JumpScene(1);
        control.OnMove(back_ptr);
        CDrawListPlane& deferred = *registry->GetDrawListPlane();

        deferred.SetLayer(42);
        EXPECT_FALSE(DrawFrame(control, back_ptr, deferred, nullptr, true));
        EXPECT_EQ(scene.draws, 1);
        EXPECT_TRUE(deferred.GetRecords().empty());
        EXPECT_EQ(deferred.GetLayer(), 0);
        EXPECT_EQ(PixelAt(*back, 1, 1), 0u);

        EXPECT_TRUE(DrawFrame(control, back_ptr, deferred, nullptr, false));
        EXPECT_EQ(scene.draws, 2);
        EXPECT_TRUE(deferred.GetRecords().empty());
        EXPECT_EQ(PixelAt(*back, 1, 1), 0xFF0000u);
    }
    registry->ReleaseObjects();
}

} // namespace
