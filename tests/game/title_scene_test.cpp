// title_scene_test.cpp -- the title's fade, idle alternation, menu, carousel and ways out, run
// frame by frame with scripted keys and no pictures; and the generated stage-select layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/TitleScene.h"
#include "scene_harness.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/draw/TrigTable.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using gametest::SceneHarness;

// Fade-in 43 frames (alpha 6 .. 258), 120 idle frames, 16 fade-out frames.
constexpr int kMenuFrame = 43;
constexpr int kIdleJumpFrame = 43 + 120 + 16;

// Starts the title with the keys and runs that many frames; the title when it is then in the
// stage select, else null.
CTitleScene* RunIntoStageSelect(SceneHarness& h, const std::string& keys, int frames) {
    h.Keys(keys);
    h.Start(kSceneTitle);
    h.Run(frames);
    CTitleScene* title = h.Scene<CTitleScene>();
    return title && title->GetState() == CTitleScene::kStageSelect ? title : nullptr;
}

TEST(TitleSceneTest, IdleTitleAlternatesBetweenRankingAndReplay) {
    struct Case {
        int toggle;
        std::vector<int> scenes;
        int next_toggle;
        uint8_t replay;
    };
    // There is no replay to show here, so the replay scene hands over to the ranking at once.
    for (const Case& c : {Case{0, {kSceneTitle, kSceneScoreRank}, 1, 0},
                          Case{1, {kSceneTitle, kSceneReplay, kSceneScoreRank}, 0, 1}}) {
        SceneHarness h("ff_title_idle");
        h.State().attract_toggle = c.toggle;
        h.State().replay = c.replay ? 0 : 1;
        h.Start(kSceneTitle);
        h.Run(kMenuFrame - 1);
        ASSERT_NE(h.Scene<CTitleScene>(), nullptr);
        EXPECT_EQ(h.Scene<CTitleScene>()->GetState(), CTitleScene::kFadeIn);
        EXPECT_EQ(h.Scene<CTitleScene>()->GetAlpha(), 6 * (kMenuFrame - 1));
        h.Frame();
        EXPECT_EQ(h.Scene<CTitleScene>()->GetState(), CTitleScene::kMenu);
        EXPECT_EQ(h.Scene<CTitleScene>()->GetIdleCounter(), 120);
        EXPECT_EQ(h.RunUntilJump(), kIdleJumpFrame) << c.toggle;
        EXPECT_EQ(h.Requested(), c.scenes);
        EXPECT_EQ(h.State().attract_toggle, c.next_toggle);
        EXPECT_EQ(h.State().replay, c.replay);
    }
}

TEST(TitleSceneTest, MenuCursorWrapsAndBrightnessFollowsIt) {
    SceneHarness h("ff_title_menu");
    // Up from new game wraps to exit; down from exit wraps to new game; then down to stage select.
    h.Keys("50: Up\n51:\n60: Down\n61:\n70: Down\n71:\n");
    h.Start(kSceneTitle);
    h.Run(51);
    EXPECT_EQ(h.Scene<CTitleScene>()->GetMenuCursor(), 2);
    EXPECT_EQ(h.Scene<CTitleScene>()->GetIdleCounter(), 120) << "a cursor move restarts the idle time";
    h.Run(10);
    EXPECT_EQ(h.Scene<CTitleScene>()->GetMenuCursor(), 0);
    h.Run(10);
    CTitleScene* title = h.Scene<CTitleScene>();
    EXPECT_EQ(title->GetMenuCursor(), 1);
    h.Run(40);
    EXPECT_EQ(title->GetBrightness(1), 255);
    // The items left settle into a flicker between 63 and 80.
    for (int i = 0; i < 4; ++i) {
        for (int item : {0, 2}) {
            EXPECT_GE(title->GetBrightness(item), 63);
            EXPECT_LE(title->GetBrightness(item), 80);
        }
        h.Frame();
    }
}

TEST(TitleSceneTest, MenuDecisionsLeadToTheStageDemoOrEndTheGame) {
    struct Case {
        const char* keys;
        int scene;        // 0: none asked
        uint8_t quit;
    };
    for (const Case c : {Case{"50: Z\n51:\n", kSceneStageDemo, 0}, Case{"50: Up\n51:\n52: Z\n53:\n", 0, 1}}) {
        SceneHarness h("ff_title_decide");
        h.State().single_stage = 1;
        h.Keys(c.keys);
        h.Start(kSceneTitle);
        h.Run(60);
        EXPECT_EQ(h.State().quit, c.quit) << c.keys;
        if (c.scene) {
            EXPECT_EQ(h.RunUntilJump(200), 51 + 16) << "decided in frame 51, faded out over 16 frames";
            // No stage script in the scratch folder: the demo ends at once and asks for the stage.
            EXPECT_EQ(h.Requested(), (std::vector<int>{kSceneTitle, c.scene, kScenePlay})) << c.keys;
            EXPECT_EQ(h.State().single_stage, 0);
        } else {
            EXPECT_EQ(h.Requested(), (std::vector<int>{kSceneTitle})) << c.keys;
        }
    }
}

TEST(TitleSceneTest, CarouselTurnsElevenFramesThenSnapsToThirds) {
    SceneHarness h("ff_title_carousel");
    h.State().save.SetCleared(2, true);
    // Stage select, left during the turn (ignored), then decide on stage 1 (not cleared: nothing),
    // turn left to stage 2 and decide.
    h.Keys("50: Down\n51:\n52: Z\n53:\n60: Left\n61:\n62: Right\n63:\n80: Z\n81:\n");
    h.Start(kSceneTitle);
    h.Run(53);
    CTitleScene* title = h.Scene<CTitleScene>();
    ASSERT_EQ(title->GetState(), CTitleScene::kStageSelect);
    EXPECT_TRUE(title->IsReady());
    // Entering runs the step once, which snaps the items to thirds from the cursor's item.
    const int rest[3] = {384, 42, 212};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(title->GetItem(i).angle, rest[i]);
    EXPECT_GE(title->GetItemAlpha(0), 240) << "the front item";
    EXPECT_GT(title->GetItemAlpha(0), title->GetItemAlpha(1));
    EXPECT_GT(title->GetItemAlpha(0), title->GetItemAlpha(2));
    EXPECT_LT(title->GetItem(0).depth, title->GetItem(1).depth) << "the front item is drawn last";

    h.Run(8);   // frame 61: the turn starts
    EXPECT_FALSE(title->IsReady());
    EXPECT_EQ(title->GetCarouselCursor(), 1);
    EXPECT_EQ(title->GetItem(0).angle, 384 - 16);
    h.Run(2);   // right during the turn is ignored
    EXPECT_EQ(title->GetCarouselCursor(), 1);
    h.Run(8);   // frame 71: eleven steps of 16, overshooting the third by 6
    EXPECT_EQ(title->GetItem(1).angle, 42 - 176) << "the angle runs below 0";
    const CTrigTable& trig = CTrigTable::Get();
    EXPECT_EQ(title->GetItem(1).x, trig.Cos(42 - 176 + 512) * 200) << "negative angles index the table modulo 512";
    EXPECT_EQ(title->GetItem(1).y, trig.Sin(42 - 176 + 512) * -35);
    EXPECT_FALSE(title->IsReady());
    h.Frame();   // frame 72: the snap
    EXPECT_TRUE(title->IsReady());
    EXPECT_EQ(title->GetItem(1).angle, 384) << "stage 2 comes to the front";
    EXPECT_EQ(title->GetItem(2).angle, 42);
    EXPECT_EQ(title->GetItem(0).angle, 212);
    EXPECT_EQ(h.State().current_stage, 1) << "deciding on a stage not cleared does nothing";

    h.RunUntilJump(200);
    EXPECT_EQ(h.Requested(), (std::vector<int>{kSceneTitle, kScenePlay}));
    EXPECT_EQ(h.State().current_stage, 2);
    EXPECT_EQ(h.State().single_stage, 1);
    EXPECT_EQ(h.Frames(), 81 + 16) << "decided in frame 81, faded out over 16 frames";
}

// The generated title at rest in the stage select: the back cards stay below the motto line of
// the title picture (the lowest row of its navy outline, which nothing else there uses), and no
// card's captions, at the left or at the right, reach under the front card.
TEST(TitleSceneTest, StageSelectCardsCoverNeitherTheMottoNorEachOthersCaptions) {
    SceneHarness h("ff_title_layout");
    CTitleScene* title = RunIntoStageSelect(h, "50: Down\n51:\n52: Z\n53:\n", 53);
    ASSERT_TRUE(title);
    auto left = [&](int i) { return CTitleScene::kCarouselX + (title->GetItem(i).x >> 16); };
    auto top = [&](int i) { return CTitleScene::kCarouselY + (title->GetItem(i).y >> 16); };
    auto load = [](const char* file) {
        KTL::smart_ptr<CFastPlane> plane(new CFastPlane());
        EXPECT_EQ(plane->Load((std::filesystem::path(FF_BINARY_DIR) / file).string()), 0) << file;
        return plane;
    };
    // Items at rest: 0 in front, 1 at the right, 2 at the left.
    KTL::smart_ptr<CFastPlane> back = load(kTitleBackground);
    int motto_bottom = -1;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (gametest::PixelAt(*back, x, y) == 0x0A1640) motto_bottom = y;
    EXPECT_LT(motto_bottom, std::min(top(1), top(2)));
    for (const char* file : kTitleStageCards) {
        KTL::smart_ptr<CFastPlane> card = load(file);
        int w = 0, height = 0;   // 200 x 150
        card->GetSize(w, height);
        // The captions: what differs from the panel's fill between the picture window (down to
        // row 108) and the rounded corners (from 10 pixels before the bottom).
        const uint32_t fill = gametest::PixelAt(*card, 6, 120);
        int first = w, last = -1;
        for (int y = 110; y < height - 7; ++y)
            for (int x = 12; x < w - 12; ++x)
                if (gametest::PixelAt(*card, x, y) != fill) first = std::min(first, x), last = std::max(last, x);
        ASSERT_GE(last, first) << file;
        EXPECT_LT(left(2) + last, left(0)) << file << " at the left";
        EXPECT_GE(left(1) + first, left(0) + w) << file << " at the right";
    }
}

TEST(TitleSceneTest, CancelLeavesTheStageSelectWithTheIdleTimeItHad) {
    SceneHarness h("ff_title_cancel");
    CTitleScene* title = RunIntoStageSelect(h, "80: Down\n81:\n82: Z\n83:\n100: X\n101:\n", 83);
    ASSERT_TRUE(title);
    const int idle = title->GetIdleCounter();
    h.Run(18);
    EXPECT_EQ(title->GetState(), CTitleScene::kMenu);
    EXPECT_EQ(title->GetIdleCounter(), idle);
}

} // namespace
