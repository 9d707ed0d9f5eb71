// stage_demo_test.cpp -- the stage-start demo's four steps, the goal demo's flags and pulse, and
// the stage-clear show's wait, skip and fade, on demo files written by the tests.
#include <gtest/gtest.h>

#include "game/StageEndDemo.h"
#include "game/StageEndScoreShow.h"
#include "game/StageStartDemo.h"
#include "play_test_util.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using playtest::WritePicture;
constexpr int32_t kPx = 1024;

class StartDemoTest : public playtest::PlayObjectTest {
protected:
    void SetUp() override {
        PlayObjectTest::SetUp();
        WritePicture("title.bmp", 40, 20);
        WritePicture("ready.bmp", 40, 20);
    }
    // start x y, target x y, start w h, target w h, rate, alpha speed, alphas, rect, mode, picture
    void Write(const std::vector<std::string>& movers, int max_instance = -1) {
        std::vector<std::string> lines = {"#MaxImageFile 2", "#ImageFileName \"title.bmp\"",
                                          "#ImageFileName \"ready.bmp\"",
                                          "#MaxInstance " + std::to_string(max_instance < 0 ? movers.size() : max_instance)};
        for (const std::string& m : movers) lines.push_back("#ObjectData " + m);
        gametest::WriteLines(Staged(kStageStartDemoFile), lines);
    }
    // Runs the demo until it ends; the frames it took (-1: not within the limit).
    int RunToEnd(CStageStartDemo& demo, std::vector<int>* states = nullptr, int limit = 500) {
        for (int frame = 1; frame <= limit; ++frame) {
            const int result = demo.Move();
            if (states && (states->empty() || states->back() != demo.GetState())) states->push_back(demo.GetState());
            if (result) return frame;
        }
        return -1;
    }
};

const std::vector<std::string> kTwoMovers = {
    "0 0 100 100 20 10 20 10 0.5 16.0 0 255 0 0 20 10 1 0",
    "200 0 200 100 40 20 40 20 0.5 8.0 0 255 0 0 40 20 0 1",
    "300 300 300 300 10 10 10 10 0.5 4.0 0 255 0 0 10 10 0 7",   // its picture does not exist
};

TEST_F(StartDemoTest, EndsOnlyAfterBothMoversFadeBackBelowHalf) {
    Write(kTwoMovers);
    CStageStartDemo demo;
    demo.Create();
    ASSERT_EQ(demo.GetMoverCount(), 3);
    EXPECT_EQ(GetDataFailureCount(), 0);
    EXPECT_EQ(demo.GetMover(0).value_step, 16 * kPx);
    EXPECT_EQ(demo.GetMover(1).start.target_y, 100 * kPx);
    EXPECT_TRUE(demo.GetMover(0).active && demo.GetMover(0).visible);

    // State 0 steps mover 0 only, until its alpha passes 127.
    int frames = 0;
    while (demo.GetState() == 0 && frames < 100) {
        EXPECT_EQ(demo.GetMover(1).x, 200 * kPx);
        EXPECT_EQ(demo.Move(), 0);
        ++frames;
    }
    EXPECT_EQ(frames, 8) << "16 a frame passes 127 on the eighth";
    std::vector<int> states;
    int alpha0_when_turned = -1, last_alpha1 = 255;
    for (int frame = 0; frame < 500; ++frame) {
        const int before = demo.GetState();
        last_alpha1 = demo.GetMover(1).value >> 10;
        const int result = demo.Move();
        if (before == 1 && demo.GetState() == 2) {
            EXPECT_FALSE(demo.GetMover(1).active) << "mover 1 had arrived";
            EXPECT_EQ(demo.GetMover(0).reverse, 1);
            EXPECT_EQ(demo.GetMover(0).value_step, -16 * 8 * kPx);
        }
        if (before == 2 && demo.GetState() == 3) {
            alpha0_when_turned = demo.GetMover(0).value >> 10;
            EXPECT_EQ(demo.GetMover(1).value_step, -8 * 8 * kPx);
        }
        if (states.empty() || states.back() != demo.GetState()) states.push_back(demo.GetState());
        if (result) {
            EXPECT_GE(last_alpha1, 128) << "not ended before mover 1 faded";
            EXPECT_LT(demo.GetMover(1).value >> 10, 128);
            EXPECT_LT(demo.GetMover(0).value >> 10, 128);
            break;
        }
        ASSERT_LT(frame, 499) << "the demo never ended";
    }
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3}));
    EXPECT_LT(alpha0_when_turned, 128);
    EXPECT_EQ(demo.GetMover(2).reverse, 0) << "movers past the first two are never turned back";

    // Every mover draws but the one whose picture is missing.
    ClearRecords();
    demo.Draw();
    EXPECT_EQ(Records().size(), 2u);
    for (const DrawRecord& r : Records()) EXPECT_EQ(r.layer, 250);

    // A retry starts over from the saved settings.
    demo.Reset();
    EXPECT_EQ(demo.GetState(), 0);
    EXPECT_EQ(demo.GetMover(0).reverse, 0);
    EXPECT_EQ(demo.GetMover(0).value_step, 16 * kPx);
    EXPECT_EQ(demo.GetMover(0).x, 0);
    EXPECT_GT(RunToEnd(demo), 0);
}

TEST_F(StartDemoTest, MissingOrOddMoversEndTheDemoInsteadOfHangingIt) {
    struct Case {
        const char* what;
        std::vector<std::string> movers;
        int max_instance;
        int failures;
        bool at_once;   // ends on its first frame
    };
    const Case cases[] = {
        {"one mover only", {kTwoMovers[0]}, -1, 0, true},
        {"no movers", {}, -1, 0, true},
        {"more data lines than movers", kTwoMovers, 1, 2, true},
        {"missing values", {"0 0 100 100 20 10", kTwoMovers[1]}, -1, 1, false},
        // The first mover never passes half its alpha, the second never falls below it.
        {"alphas that never cross", {"0 0 100 100 20 10 20 10 0.5 16.0 0 100 0 0 20 10 1 0",
                                     "0 0 10 10 20 10 20 10 0.5 16.0 200 255 0 0 20 10 1 1"}, -1, 0, false},
        {"rates of -1 and 2.5, a position past 32 bits", {"2147483647 0 100 100 20 10 20 10 -1 16.0 0 255 0 0 20 10 1 0",
                                                           "200 0 200 100 40 20 40 20 2.5 8.0 0 255 0 0 40 20 0 1"}, -1, 0, false},
        {"rates of 0 and 0.0001 (stored as 0)", {"0 0 100 100 20 10 20 10 0 16.0 0 255 0 0 20 10 1 0",
                                                 "200 0 200 100 40 20 40 20 0.0001 8.0 0 255 0 0 40 20 0 1"}, -1, 0, false},
    };
    for (const Case& c : cases) {
        ResetDataFailureCount();
        Write(c.movers, c.max_instance);
        CStageStartDemo demo;
        demo.Create();
        EXPECT_EQ(GetDataFailureCount(), c.failures) << c.what;
        const int frames = RunToEnd(demo);
        EXPECT_GT(frames, 0) << c.what;
        EXPECT_EQ(frames == 1, c.at_once) << c.what << " " << frames;
    }
    std::filesystem::remove(Staged(kStageStartDemoFile));
    ResetDataFailureCount();
    CStageStartDemo none;
    none.Create();
    EXPECT_EQ(GetDataFailureCount(), 1);
    EXPECT_EQ(none.Move(), 1);
    ClearRecords();
    none.Draw();
    EXPECT_TRUE(Records().empty());
}

class EndDemoTest : public playtest::PlayObjectTest {
protected:
    void SetUp() override {
        PlayObjectTest::SetUp();
        WritePicture("goal.bmp", 60, 30);
        gametest::WriteLines(Staged(kStageEndDemoFile),
                             {"#MaxImageFile 1", "#ImageFileName \"goal.bmp\"", "#GoalPoint 5000",
                              "#GoalDrawStartPoint 4000", "#GoalDrawPos 10 20", "#GoalAlphaTrangtion 300"});
        demo_.Load();
        ASSERT_EQ(GetDataFailureCount(), 0);
    }
    CStageEndDemo demo_;
};

TEST_F(EndDemoTest, GoalAndNearFlagsFollowThePlayer) {
    EXPECT_EQ(demo_.GetGoalLine(), 5000 * kPx);
    EXPECT_EQ(demo_.GetNearGoalLine(), 5000 * kPx);
    EXPECT_EQ(demo_.GetAlphaStep(), 44) << "the low byte of 300";
    struct Case {
        int32_t x;   // 22.10
        bool goal, showing, near;
    };
    const Case cases[] = {
        {3000 * kPx, false, false, false}, {4000 * kPx - 1, false, false, false}, {4000 * kPx, false, true, false},
        {4680 * kPx - 1, false, true, false}, {4680 * kPx, false, true, true}, {4999 * kPx, false, true, true},
        {5000 * kPx, true, true, true}, {9000 * kPx, true, true, true}, {INT32_MIN, false, false, false},
    };
    for (const Case& c : cases) {
        const uint8_t alpha = demo_.GetAlpha();
        EXPECT_EQ(demo_.Move(c.x), c.goal) << c.x;
        EXPECT_EQ(demo_.IsShowing(), c.showing) << c.x;
        EXPECT_EQ(demo_.IsNearGoal(), c.near) << c.x;
        EXPECT_EQ(demo_.GetAlpha(), c.goal ? alpha : static_cast<uint8_t>(alpha + 44)) << c.x;
    }
    // The play scene lowers the copy for the near test; the goal line stays.
    demo_.SetNearGoalLine(4500 * kPx);
    EXPECT_FALSE(demo_.Move(4180 * kPx));
    EXPECT_TRUE(demo_.IsNearGoal());
    EXPECT_FALSE(demo_.Move(4999 * kPx));
    demo_.ClearFlags();
    EXPECT_FALSE(demo_.IsNearGoal() || demo_.IsShowing());
}

TEST_F(EndDemoTest, GoalPicturePulsesInASawToothWhileShowing) {
    demo_.SetAlpha(200);
    std::vector<int> alphas;
    for (int i = 0; i < 4; ++i) {
        demo_.Move(4100 * kPx);
        alphas.push_back(demo_.GetAlpha());
        ClearRecords();
        demo_.Draw();
        ASSERT_EQ(Records().size(), 1u);
        EXPECT_EQ(Records()[0].layer, 2000);
        EXPECT_EQ(Records()[0].kind, kBltBlendConstKeyed);
        EXPECT_EQ(Records()[0].args->param[0], static_cast<uint32_t>(alphas.back()));
        EXPECT_EQ(Records()[0].args->pos.x, 10);
    }
    EXPECT_EQ(alphas, (std::vector<int>{244, 32, 76, 120}));
    demo_.Move(100 * kPx);
    ClearRecords();
    demo_.Draw();
    EXPECT_TRUE(Records().empty()) << "not shown before the draw start point";
}

class ScoreShowTest : public playtest::PlayObjectTest {
protected:
    void SetUp() override {
        PlayObjectTest::SetUp();
        LoadTestFonts();
        WritePicture("clear.bmp", 80, 30);
    }
    void Load(int blend, int wait) {
        gametest::WriteLines(Staged(kStageEndScoreShowFile),
                             {"#StageClearHiJumpPos 10 20", "#StageClearTimePos 30 40",
                              "#StageClearScoreBlend " + std::to_string(blend),
                              "#StageClearScoreWait " + std::to_string(wait), "#StageClearImage \"clear.bmp\"",
                              "#StageClearPos 50 60"});
        show_.Create();
        ASSERT_EQ(GetDataFailureCount(), 0);
    }
    CStageEndScoreShow show_;
};

TEST_F(ScoreShowTest, WaitsButtonSixAndAlphaCap) {
    struct Case {
        int blend, wait;
        int push_on;                // frame of a button-6 push (0: none)
        int ends_on;                // frame whose Move returns true
        std::vector<int> alphas;    // after each frame
    };
    const Case cases[] = {
        {100, 5, 0, 5, {100, 200, 255, 255, 255}},
        {100, 1, 0, 1, {100}},
        {60, 50, 3, 3, {60, 120, 180}},
        {-30, 4, 0, 4, {0, 0, 0, 0}},
        {300, 0, 0, 1, {255}},
        {300, INT32_MIN, 0, 1, {255}},   // ends as 0 does, without overflowing the count
    };
    for (const Case& c : cases) {
        Load(c.blend, c.wait);
        std::vector<int> alphas;
        int ended = 0;
        for (int frame = 1; frame <= 100 && !ended; ++frame) {
            if (frame == c.push_on) Push(6);
            else Poll();
            if (show_.Move(0, 0)) ended = frame;
            alphas.push_back(show_.GetAlpha());
        }
        EXPECT_EQ(ended, c.ends_on) << c.blend << " " << c.wait;
        EXPECT_EQ(alphas, c.alphas) << c.blend << " " << c.wait;
    }
}

TEST_F(ScoreShowTest, DrawsTheRunsTextsTheClearImageAndThenThePlayObject) {
    Load(100, 10);
    EXPECT_FALSE(show_.Move((123 << 16) | 0x8000, 8345));
    EXPECT_EQ(show_.GetJumpText(), "JUMP~123.50m");
    EXPECT_EQ(show_.GetTimeText(), "TIME 01:23:45");
    EXPECT_FALSE(show_.Move(-5, -1));
    EXPECT_EQ(show_.GetJumpText(), "JUMP~~~0.00m") << "clamped to the shown range";
    EXPECT_EQ(show_.GetTimeText(), "TIME 00:00:00");
    show_.Move(0x7FFFFFFF, 0x7FFFFFFF);
    EXPECT_EQ(show_.GetJumpText(), "JUMP9999.99m");
    EXPECT_EQ(show_.GetTimeText(), "TIME 99:59:99");

    ClearRecords();
    int object_draws = 0;
    show_.Draw(&Deferred(), [&](ISurface* dest) {
        EXPECT_EQ(dest, &Deferred());
        EXPECT_FALSE(Records().empty()) << "after the show's own records";
        ++object_draws;
    });
    EXPECT_EQ(object_draws, 1);
    size_t texts = 0;
    for (const DrawRecord& r : Records()) {
        EXPECT_EQ(r.kind, kBltBlendConstKeyed);
        EXPECT_EQ(r.args->param[0], 255u);
        if (FontOf(r) == 2) {
            ++texts;
            EXPECT_EQ(r.layer, 1000);
        } else {
            EXPECT_EQ(r.layer, 2000);
            EXPECT_EQ(r.args->pos.x, 50);
        }
    }
    EXPECT_EQ(texts, 12u + 12u) << "every character but the blank of the time";
    // The retry restarts the fade and the wait.
    show_.Restart();
    EXPECT_EQ(show_.GetAlpha(), 0);
    EXPECT_EQ(show_.GetWait(), 10);
}

} // namespace
