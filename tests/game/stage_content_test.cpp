// stage_content_test.cpp -- the generated stages load through the play objects without a log
// line about a file, and each stage's background, player and fish render into a saved picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "game/BackGround.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/FishManager.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/InputRecorder.h"
#include "game/PlayerFish.h"
#include "game_test_util.h"
#include "platform/log.h"
#include "sdk/draw/Sprite.h"
#include "tests/scratch_dir.h"

namespace {

using namespace zuderadeDoruVAV3ed;

struct Stage {
    GameCamera camera;
    CPlayerFish player;
    CFishManager fish;
    CBackGround background;
};

class StageContentTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        CGameObjectRegistry::GetInstance()->CreateObjects();
        ResetDataFailureCount();
        platform::SetLogCaptureForTest([this](std::string_view text) { log_.emplace_back(text); });
    }
    void TearDown() override {
        platform::SetLogCaptureForTest({});
        CGameObjectRegistry::GetInstance()->ReleaseObjects();
    }
    // Creates the three play objects of a stage as the play scene does.
    void CreateStage(int number, Stage& stage) {
        CGameObjectRegistry::GetInstance()->GetGameState()->current_stage = number;
        stage.camera.follow = 512;
        stage.player.Create(&stage.camera);
        stage.background.Create(&stage.camera);
        stage.fish.Create(&stage.camera);
        stage.fish.SetPlayer(&stage.player);
        stage.player.SetFishManager(&stage.fish);
    }
    std::vector<std::string> log_;
};

// Calls check(plane, rect, sprite, frame) for every frame of the sprites from .. to - 1.
template <class Check>
void ForEachFrame(const CSpriteChara& chara, int from, int to, Check check) {
    for (int s = from; s < to; ++s)
        for (int i = 0; i < chara.GetFrameCount(s); ++i)
            check(chara.GetPlane(chara.GetFrame(s, i)->plane), chara.GetFrame(s, i)->rect, s, i);
}

TEST_P(StageContentTest, EveryStageLoadsWithoutALogLine) {
    testutil::WorkDir in(std::filesystem::path(FF_BINARY_DIR) / GetParam());
    for (int number = 1; number <= 3; ++number) {
        Stage stage;
        CreateStage(number, stage);
        EXPECT_GT(stage.player.GetBodySprite().GetFrameCount(), 0) << number;
        EXPECT_GT(stage.player.GetLoaded().max_air, 0u) << number;
        ASSERT_FALSE(stage.fish.GetFish().empty()) << number;
        EXPECT_GT(stage.fish.GetFish()[0].half_width, 0) << number;
        EXPECT_EQ(stage.fish.GetKinds().size(), 3u) << number;
        EXPECT_NE(stage.background.GetFillColor(), 0u) << number;
        // The splash, shown 22 px above the water line, stands with its foot on it.
        const CSpriteChara& fx = *stage.player.GetSprite(1).GetChara();
        for (int i = 0; i < fx.GetFrameCount(0); ++i)
            EXPECT_NEAR(fx.GetFrame(0, i)->offset_y + fx.GetFrame(0, i)->Height(), 22, 6) << number << " splash " << i;
        // Any wave frame meets any other at the strips' joints: the crest (the first row that is
        // not the colour key) of every frame's first and last column lies within a pixel.
        CSpriteChara waves;
        ASSERT_EQ(waves.Load("GameData/Stage" + std::to_string(number) + "/Game/SpriteDefinition/WaveSprite.txt"), 0);
        int highest = 1000, lowest = -1;
        ForEachFrame(waves, 0, waves.GetSpriteCount(), [&](CFastPlane* plane, const RECT& r, int, int) {
            for (int x : {r.left, r.right - 1}) {
                int y = r.top;
                while (y < r.bottom && gametest::PixelAt(*plane, x, y) == gametest::PixelAt(*plane, 0, 0)) ++y;
                highest = std::min(highest, y - r.top), lowest = std::max(lowest, y - r.top);
            }
        });
        EXPECT_LE(lowest - highest, 1) << number << " wave joints";
        // The air bubble is see-through: its centre is the colour key (pixel (0, 0)) in every frame.
        const CSpriteChara& body = *stage.player.GetBodySprite().GetChara();
        ForEachFrame(body, CPlayerFish::kBubbleRising, CPlayerFish::kBubbleFloating + 2,
                     [&](CFastPlane* plane, const RECT& r, int s, int i) {
                         EXPECT_EQ(gametest::PixelAt(*plane, (r.left + r.right) / 2, (r.top + r.bottom) / 2),
                                   gametest::PixelAt(*plane, 0, 0)) << number << " bubble " << s << "/" << i;
                     });
    }
    // Every frame of every sprite definition lies inside its picture.
    for (const auto& entry : std::filesystem::recursive_directory_iterator("GameData")) {
        CSpriteChara chara;
        if (entry.path().parent_path().filename() != "SpriteDefinition" || chara.Load(entry.path().string())) continue;
        ForEachFrame(chara, 0, chara.GetSpriteCount(), [&](CFastPlane* plane, const RECT& r, int sprite, int) {
            int w = 0, h = 0;
            if (plane) plane->GetSize(w, h);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h) << entry.path() << sprite;
        });
    }
    EXPECT_EQ(GetDataFailureCount(), 0);
    EXPECT_TRUE(log_.empty()) << log_.front();
}

INSTANTIATE_TEST_SUITE_P(Content, StageContentTest, ::testing::Values("", "gd-mini"));

TEST(StageMiniTest, AFishHoldingRightEatsTheFishOnItsPathAndMissesTheOther) {
    CGameObjectRegistry::GetInstance()->CreateObjects();
    {
        testutil::WorkDir in(std::filesystem::path(FF_BINARY_DIR) / "gd-mini");
        Stage stage;
        CGameObjectRegistry::GetInstance()->GetGameState()->current_stage = 1;
        stage.camera.follow = 512;
        stage.player.Create(&stage.camera);
        stage.fish.Create(&stage.camera);
        stage.fish.SetPlayer(&stage.player);
        stage.player.SetFishManager(&stage.fish);
        ASSERT_EQ(stage.fish.GetFish().size(), 2u);
        // Right held in every frame, as a recording would give it.
        const std::filesystem::path replay = std::filesystem::temp_directory_path() /
                                             ("ff_mini_right_" + std::to_string(getpid()) + ".bin");
        std::vector<uint8_t> bytes{0xFF, 0x00};
        for (int i = 0; i < 255; ++i) bytes.insert(bytes.end(), {0x10, 0x00});
        gametest::WriteBytes(replay, bytes);
        CInputRecorder recorder{KTL::smart_ptr<CKeyBase>()};
        ASSERT_FALSE(LoadReplayFile(recorder, replay.string(), 1));
        std::filesystem::remove(replay);
        stage.player.SetRecorder(&recorder);
        for (int frame = 0; frame < 240; ++frame) {
            stage.fish.Move();
            stage.player.Move();
            stage.player.HitCheckFish();
            stage.player.Draw(nullptr);
            stage.fish.Draw(nullptr);
            FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
        }
        EXPECT_EQ(stage.fish.GetFish()[0].alive, 0) << "the fish on the path is eaten";
        EXPECT_EQ(stage.fish.GetFish()[1].alive, 1) << "the fish far off the path stays";
        EXPECT_GT(stage.player.GetLive().x, 900 * 1024);
    }
    CGameObjectRegistry::GetInstance()->ReleaseObjects();
}

// Each stage seen twice, saved for a look: from a little above the surface with the fish
// gliding over it among the first fish, and from the deepest camera with the fish swimming
// over the sea floor.
TEST(StagePictureTest, EachStageRendersItsBackgroundPlayerAndFish) {
    CGameObjectRegistry::GetInstance()->CreateObjects();
    CDrawListPlane& list = *CGameObjectRegistry::GetInstance()->GetDrawListPlane();
    const std::filesystem::path out = std::filesystem::path(FF_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(out);
    struct View {
        const char* suffix;
        int camera_y, player_y;   // pixels
        int body_sprite;
        int strips;               // sky strip in view, or the sea floor
    };
    const View views[] = {{"", 60, 90, CPlayerFish::kGlideSprite, 1}, {"-deep", -240, -330, 0, 2}};
    for (int number = 1; number <= 3; ++number) {
        for (const View& view : views) {
            testutil::WorkDir in(FF_BINARY_DIR);
            Stage stage;
            CGameObjectRegistry::GetInstance()->GetGameState()->current_stage = number;
            stage.player.Create(&stage.camera);
            stage.background.Create(&stage.camera);
            stage.fish.Create(&stage.camera);
            stage.fish.SetPlayer(&stage.player);
            stage.camera = GameCamera{};
            stage.camera.x = stage.camera.prev_x = 700 * 1024;
            stage.camera.y = stage.camera.prev_y = view.camera_y * 1024;
            PlayerBlock& live = stage.player.GetLive();
            live.x = 560 * 1024;
            live.y = view.player_y * 1024;
            stage.player.GetSprite(0).SetSpriteNo(view.body_sprite);
            for (FishRecord& fish : stage.fish.GetFish()) fish.active = 1;

            KTL::smart_ptr<CFastPlane> screen = gametest::SolidPlane(640, 480, 0xFF00FF);
            stage.background.Draw(screen.get());
            stage.fish.Draw(screen.get());
            stage.player.Draw(screen.get());
            std::map<int32_t, int> layers;
            for (const DrawRecord& record : list.GetRecords()) ++layers[record.layer];
            EXPECT_EQ(layers[10000], 10) << "ten gradient strips";
            EXPECT_EQ(layers[7000], 11) << "eleven waves";
            EXPECT_GE(layers[8000], view.strips) << view.suffix;
            EXPECT_GE(layers[6000], 1) << "fish in view";
            EXPECT_EQ(layers[5000], 1) << "the player";
            FlushDrawRecords(list, screen.get());
            // Nothing of the magenta start is left: the backdrop covers the screen.
            for (int y = 0; y < 480; y += 40) EXPECT_NE(gametest::PixelAt(*screen, 5, y), 0xFF00FFu) << "row " << y;
            const std::filesystem::path file = out / ("stage" + std::to_string(number) + view.suffix + ".bmp");
            EXPECT_EQ(screen->Save(file.string()), 0);
            EXPECT_TRUE(std::filesystem::exists(file));
        }
    }
    CGameObjectRegistry::GetInstance()->ReleaseObjects();
}

} // namespace
