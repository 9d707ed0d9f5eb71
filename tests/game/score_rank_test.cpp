// score_rank_test.cpp -- the ranking's pages, texts, creeping springs and bubbles, and its ways
// back to the title.
#include <gtest/gtest.h>

#include "game/ScoreRankScene.h"
#include "scene_harness.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using gametest::SceneHarness;

const char kLayout[] = "GameData/Score/LoadList/ScoreRank.ltd";

void WriteLayout(int wait) {
    gametest::WriteLines(kLayout, {"#LoadImageCount 2", "#ImageFileName \"missing.bmp\"",
                                   "#Param 700 250 200 250 0.25", "#Param 10 20 10 20 0.5",
                                   "#Param -300 170 250 170 0.25", "#Param 240 520 240 100 0.2",
                                   "#ScoreChangeWait " + std::to_string(wait)});
}

CScoreRank* Rank(SceneHarness& h) {
    auto* scene = h.Scene<CScoreRankScene>();
    return scene ? scene->GetRank() : nullptr;
}

TEST(ScoreRankTest, ThreePagesOfWaitPlusTwoFramesThenTheTitleWithStageOne) {
    for (int wait : {0, 5, 30}) {
        SceneHarness h("ff_rank_pages");
        WriteLayout(wait);
        h.State().current_stage = 3;
        h.Start(kSceneScoreRank);
        h.Frame();
        CScoreRank* rank = Rank(h);
        ASSERT_NE(rank, nullptr);
        EXPECT_EQ(rank->GetPageState(), 1);
        EXPECT_EQ(rank->GetWaitCounter(), wait);
        h.Run(wait + 1);
        EXPECT_EQ(rank->GetPageState(), 2) << wait;
        h.Frame();
        EXPECT_EQ(rank->GetPageState(), 3) << "page 2 set up in frame " << wait + 3;
        EXPECT_EQ(h.RunUntilJump(), 3 * (wait + 2)) << wait;
        EXPECT_EQ(h.Requested(), (std::vector<int>{kSceneScoreRank, kSceneTitle}));
        EXPECT_EQ(h.State().current_stage, 1);
    }
}

TEST(ScoreRankTest, PagesShowEachStageRecordAndHiScoreStaysFromPageOne) {
    SceneHarness h("ff_rank_texts");
    WriteLayout(3);
    h.State().save.SetBestFlight(2, 8093696);   // 123.50 m
    h.State().save.SetBestTime(2, 8345);
    h.Start(kSceneScoreRank);
    h.Frame();
    CScoreRank* rank = Rank(h);
    ASSERT_NE(rank, nullptr);
    EXPECT_EQ(rank->GetText(0).text, "JUMP~~~0.00m") << "no flight saved";
    EXPECT_EQ(rank->GetText(1).text, "TIME 00:00:00");
    EXPECT_EQ(rank->GetText(2).text, "STAGE 1");
    EXPECT_EQ(rank->GetText(3).text, "HI SCORE");
    h.Run(5);   // frame 6: page 2 set up
    EXPECT_EQ(rank->GetText(0).text, "JUMP~123.50m");
    EXPECT_EQ(rank->GetText(1).text, "TIME 01:23:45");
    EXPECT_EQ(rank->GetText(2).text, "STAGE 2");
    EXPECT_EQ(rank->GetText(3).text, "HI SCORE") << "set on page 1 and kept";
    EXPECT_EQ(rank->GetText(0).x, 700 << 10) << "each page slides in from the start again";
}

TEST(ScoreRankTest, TextsSpringTowardsTheirPlacesAndCreepOnceThere) {
    SceneHarness h("ff_rank_spring");
    WriteLayout(100);
    h.Start(kSceneScoreRank);
    h.Run(2);   // set-up frame, then one spring step
    CScoreRank* rank = Rank(h);
    ASSERT_NE(rank, nullptr);
    EXPECT_EQ(rank->GetText(0).x, (700 << 10) - (500 << 10) / 4);
    EXPECT_EQ(rank->GetText(0).y, (250 << 10) + 1) << "no distance left: creeps by 1/1024 px";
    EXPECT_EQ(rank->GetText(1).x, (10 << 10) + 1);
    // Past the target the spring pulls back by a whole step: it flickers by 1/1024 px.
    h.Frame();
    EXPECT_EQ(rank->GetText(1).x, 10 << 10);
    h.Frame();
    EXPECT_EQ(rank->GetText(1).x, (10 << 10) + 1);
}

TEST(ScoreRankTest, OneBubbleIsBornPerFrameUpToAllAndDeadOnesAreReborn) {
    SceneHarness h("ff_rank_bubbles");
    WriteLayout(1000);
    h.Start(kSceneScoreRank);
    h.Frame();
    CScoreRank* rank = Rank(h);
    ASSERT_NE(rank, nullptr);
    EXPECT_EQ(rank->LiveBubbles(), 1);
    const CScoreRank::Bubble& first = rank->GetBubble(0);
    EXPECT_GE(first.x, -8);
    EXPECT_LT(first.x, 640);
    EXPECT_GE(first.speed, -8 * 1024);
    EXPECT_LE(first.speed, -1024);
    EXPECT_EQ(first.y, (480 << 10) + first.speed) << "born at the bottom and moved in the same frame";
    EXPECT_LT(first.layer, 2000);
    EXPECT_LT(first.cell, 4);
    // All 128 alive and slow: no new bubble until one dies.
    for (int i = 0; i < CScoreRank::kBubbles; ++i) {
        CScoreRank::Bubble& b = rank->Bubbles(i);
        b.live = 1, b.speed = -1, b.y = 100 << 10;
    }
    rank->Bubbles(5).y = 0;   // dies this frame
    h.Frame();
    EXPECT_EQ(rank->LiveBubbles(), CScoreRank::kBubbles - 1);
    h.Frame();
    EXPECT_EQ(rank->LiveBubbles(), CScoreRank::kBubbles);
    EXPECT_EQ(rank->GetBubble(5).y >> 10, 480 + (rank->GetBubble(5).speed >> 10)) << "the first dead one is reborn";
}

TEST(ScoreRankTest, CancelLeavesAtOnceAndBrokenLayoutsStillEnd) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;   // empty: no file
        const char* keys;
        int frames;
    };
    const Case cases[] = {
        {"cancel on the first frame", {"#ScoreChangeWait 100"}, "0: X\n", 1},
        {"no file: pages of two frames", {}, "", 6},
        {"more #Param lines than texts",
         {"#Param 1 1 1 1 0.5", "#Param 1 1 1 1 0.5", "#Param 1 1 1 1 0.5", "#Param 1 1 1 1 0.5", "#Param 9 9 9 9 9",
          "#ScoreChangeWait 1"},
         "",
         9},
        {"huge picture count", {"#LoadImageCount 2147483647", "#ScoreChangeWait 0"}, "", 6},
        {"a wait of INT_MIN turns the pages as 0 does", {"#ScoreChangeWait -2147483648"}, "", 6},
        {"texts at the ends of the range",
         {"#Param 99999999 -99999999 -99999999 99999999 1e30", "#Param 0 0 2000000000 -2000000000 3.5",
          "#Param -2000000000 0 2000000000 0 -1e30", "#ScoreChangeWait 2"},
         "",
         12},
    };
    for (const Case& c : cases) {
        SceneHarness h("ff_rank_cancel");
        h.State().current_stage = 2;
        if (!c.lines.empty()) gametest::WriteLines(kLayout, c.lines);
        h.Keys(c.keys);
        h.Start(kSceneScoreRank);
        EXPECT_EQ(h.RunUntilJump(), c.frames) << c.name;
        EXPECT_EQ(h.Requested(), (std::vector<int>{kSceneScoreRank, kSceneTitle})) << c.name;
        EXPECT_EQ(h.State().current_stage, 1) << c.name;
    }
}

} // namespace

namespace {

TEST(ScoreRankTest, BackgroundAndBubblesAreRecordedAtTheirLayers) {
    SceneHarness h("ff_rank_draw");
    ASSERT_EQ(gametest::SolidPlane(640, 480, 0x103060)->Save("back.bmp"), 0);
    ASSERT_EQ(gametest::SolidPlane(8, 32, 0xFFFFFF)->Save("cells.bmp"), 0);
    gametest::WriteLines(kLayout, {"#LoadImageCount 2", "#ImageFileName \"back.bmp\"", "#ImageFileName \"cells.bmp\"",
                                   "#ScoreChangeWait 100"});
    h.Start(kSceneScoreRank);
    h.Run(3);
    CScoreRank* rank = Rank(h);
    ASSERT_NE(rank, nullptr);
    ASSERT_EQ(rank->LiveBubbles(), 3);
    CDrawListPlane& deferred = *CGameObjectRegistry::GetInstance()->GetDrawListPlane();
    rank->Draw();
    // No fonts in the scratch folder: the background, then one keyed cell per live bubble.
    const auto& records = deferred.GetRecords();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].layer, CScoreRank::kBackgroundLayer);
    EXPECT_EQ(records[0].kind, kBltCopy);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[1 + i].layer, rank->GetBubble(i).layer) << i;
        EXPECT_EQ(records[1 + i].kind, kBltCopyKeyed) << i;
    }
    deferred.ClearRecords();
}

} // namespace
