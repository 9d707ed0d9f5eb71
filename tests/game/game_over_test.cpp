// game_over_test.cpp -- the game-over demo: the fade that opens the choice, the selection icon,
// the return run and the two ways out, also with too few movers or no file.
#include <gtest/gtest.h>

#include "game/GameOverScene.h"
#include "scene_harness.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using gametest::SceneHarness;

const char kDemo[] = "GameData/GameOver/LoadList/Demo.ltd";

// Four movers without pictures: mover 1 fades in at 6 a frame (above 250 in frame 42) and rests;
// mover 3, the icon, rests at y 384.
std::vector<std::string> FourMovers() {
    return {"#MaxImageFile 1", "#ImageFileName \"missing.bmp\"", "#MaxInstance 4",
            "#ObjectData 320 600 320 250 32 32 32 32 0.5 6.0 0 255 0 0 32 32 1 0",
            "#ObjectData 320 -80 320 90 32 32 32 32 0.5 6.0 0 255 0 0 32 32 1 0",
            "#ObjectData 320 520 320 400 32 32 32 32 0.5 6.0 0 255 0 0 32 32 1 0",
            "#ObjectData -40 384 196 384 40 32 40 32 0.5 8.0 0 255 0 0 40 32 1 7"};
}

CGameOverDemo* Demo(SceneHarness& h) {
    auto* scene = h.Scene<CGameOverScene>();
    return scene ? scene->GetDemo() : nullptr;
}

TEST(GameOverTest, ChoiceOpensAfterTheFadeAndTheIconFollowsTheSelection) {
    SceneHarness h("ff_gameover_choice");
    gametest::WriteLines(kDemo, FourMovers());
    // Down before the fade is ignored; down, down, down once the choice is open.
    h.Keys("10: Down\n11:\n50: Down\n51:\n52: Down\n53:\n54: Up\n55:\n");
    h.Start(kSceneGameOver);
    h.Run(41);
    CGameOverDemo* demo = Demo(h);
    ASSERT_NE(demo, nullptr);
    ASSERT_EQ(demo->GetMovers().size(), 4u);
    EXPECT_EQ(demo->GetMovers()[3].plane, nullptr) << "picture 7 does not exist: not drawn";
    EXPECT_EQ(demo->GetState(), 0);
    EXPECT_EQ(demo->GetSelection(), 0);
    h.Frame();
    EXPECT_EQ(demo->GetState(), 1) << "mover 1 passes 250 in frame 42";
    h.Run(9);   // frame 51
    EXPECT_EQ(demo->GetSelection(), 1);
    EXPECT_EQ(demo->GetMovers()[3].target_y, (384 + 32) << 10);
    h.Run(2);
    EXPECT_EQ(demo->GetSelection(), 0);
    h.Run(2);
    EXPECT_EQ(demo->GetSelection(), 1);
}

TEST(GameOverTest, ContinueRestartsTheStageAndEndReturnsToTheTitleWithStageOne) {
    struct Case {
        const char* name;
        bool file;
        const char* keys;
        int scene;
        int stage;
    };
    const Case cases[] = {
        {"continue", true, "60: Z\n61:\n", kScenePlay, 2},
        {"end", true, "60: Down\n61:\n62: Z\n63:\n", kSceneTitle, 1},
        {"no file: the choice opens at once", false, "1: Down\n2:\n3: Z\n", kSceneTitle, 1},
    };
    for (const Case& c : cases) {
        SceneHarness h("ff_gameover_exit");
        h.State().current_stage = 2;
        if (c.file) gametest::WriteLines(kDemo, FourMovers());
        h.Keys(c.keys);
        h.Start(kSceneGameOver);
        const int frames = h.RunUntilJump(400);
        EXPECT_EQ(h.Requested(), (std::vector<int>{kSceneGameOver, c.scene})) << c.name;
        EXPECT_EQ(h.State().current_stage, c.stage) << c.name;
        if (c.file) {
            // The movers run back to their starts first: mover 1 needs more than 40 frames.
            EXPECT_GT(frames, 100) << c.name;
        } else {
            EXPECT_EQ(frames, 5) << c.name << ": no timing mover counts as done";
        }
    }
}

TEST(GameOverTest, TooFewMoversOrPicturesAreNotDrawnAndNothingBreaks) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        size_t movers;
    };
    const Case cases[] = {
        {"one mover", {"#MaxInstance 1", "#ObjectData 0 0 10 10 8 8 8 8 0.5 6.0 0 255 0 0 8 8 1 0"}, 1},
        {"more data than movers",
         {"#MaxInstance 1", "#ObjectData 0 0 1 1 8 8 8 8 0.5 6.0 0 255 0 0 8 8 1 0",
          "#ObjectData 0 0 1 1 8 8 8 8 0.5 6.0 0 255 0 0 8 8 1 0"},
         1},
        {"a timing alpha that starts above its end",
         {"#MaxInstance 2", "#ObjectData 0 0 10 10 8 8 8 8 0.5 6.0 0 255 0 0 8 8 1 0",
          "#ObjectData 0 0 10 10 8 8 8 8 0.5 6.0 255 0 0 0 8 8 1 0"},
         2},
        {"negative count", {"#MaxInstance -3", "#MaxImageFile -1", "#ImageFileName \"x.bmp\""}, 0},
        {"huge count", {"#MaxInstance 99999999"}, static_cast<size_t>(kMaxDemoEntries)},
        // A timing mover that rests without fading in still opens the choice.
        {"short data line", {"#MaxInstance 4", "#ObjectData 1 2", "#ObjectData"}, 4},
    };
    for (const Case& c : cases) {
        SceneHarness h("ff_gameover_few");
        gametest::WriteLines(kDemo, c.lines);
        h.Keys("3: Z\n4:\n");
        h.Start(kSceneGameOver);
        h.Run(5);
        CGameOverDemo* demo = Demo(h);
        if (demo) {
            EXPECT_EQ(demo->GetMovers().size(), c.movers) << c.name;
        }
        // Continue stands: the stage is played again.
        while (h.Requested().size() < 2 && h.Frames() < 400) h.Frame();
        ASSERT_GE(h.Requested().size(), 2u) << c.name << ": the scene still ends";
        EXPECT_EQ(h.Requested()[1], kScenePlay) << c.name;
    }
}

} // namespace
