// pause_menu_test.cpp -- the pause menu's states, its springs, the items and the wipe it holds,
// on a menu file written by the test.
#include <gtest/gtest.h>

#include "game/GameMainMenu.h"
#include "game/ScreenEffect.h"
#include "play_test_util.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using playtest::WritePicture;
constexpr int32_t kPx = 1024;

class PauseMenuTest : public playtest::PlayObjectTest {
protected:
    void SetUp() override {
        PlayObjectTest::SetUp();
        WritePicture("menu.bmp", 120, 80);
        WritePicture("logo.bmp", 60, 20);
    }
    // The menu file with the given springs and wipe frames.
    void Load(const std::string& spring = "0.5", int end_frame = 10, int hold_frame = 4,
              const std::string& panel = "300 100 100 100", const std::string& logo_speed = "64.0") {
        gametest::WriteLines(Staged(kGameMainMenuFile),
                             {"#MaxImageFile 2", "#ImageFileName \"menu.bmp\"", "#ImageFileName \"logo.bmp\"",
                              "#MenuCommandPos " + panel, "#MenuCommandSpring " + spring,
                              "#MenuCommandRect 0 0 100 50", "#MenuIconPos 300 110 110 110",
                              "#MenuIconSpring " + spring, "#MenuIconRect 0 60 20 70", "#LogoPos 50 20",
                              "#LogoBlendTransitionSpeed " + logo_speed, "#LogoBlend 0 255", "#WipeSideTrue 1",
                              "#WipeEndLine 320", "#WipeEndFrame " + std::to_string(end_frame),
                              "#WipePauseFrame " + std::to_string(hold_frame)});
        menu_.Load();
        ASSERT_EQ(GetDataFailureCount(), 0);
    }
    // Moves with no button until the menu is in the state; the frames it took (-1: never).
    int MoveTo(int state, int limit = 200) {
        for (int frame = 0; frame < limit; ++frame) {
            if (menu_.GetState() == state) return frame;
            Poll();
            EXPECT_EQ(menu_.Move(), CGameMainMenu::kStay);
        }
        return menu_.GetState() == state ? limit : -1;
    }
    int MoveWith(int button) {
        Push(button);
        return menu_.Move();
    }
    CScreenEffect& Effect() { return *registry_->GetScreenEffect(); }

    CGameMainMenu menu_;
};

TEST_F(PauseMenuTest, SpringStepsReachTheirTargetsFromEitherSideAndSettle) {
    struct Case {
        int32_t p, target, spring, expected;
    };
    const Case cases[] = {
        {300 * kPx, 100 * kPx, 1024, 100 * kPx},    // 1.0: one frame
        {0, 10 * kPx, 512, 5 * kPx},                // half the way
        {0, 1, 512, 1},                             // from below: at least one unit
        {1, 0, 512, 0},
        {10, 0, 0, 0},                              // 0 or below would never move: to the target
        {0, 10 * kPx, 1536, 15 * kPx},              // 1.5 overshoots by half the way
        {0, 10 * kPx, 2048, 10 * kPx},              // 2.0 or more would never settle: to the target
        {-5 * kPx, 5 * kPx, 4096, 5 * kPx},
        {INT32_MIN, INT32_MAX, 1024, INT32_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CGameMainMenu::SpringStep(c.p, c.target, c.spring), c.expected) << c.p << " " << c.spring;
    // From below with a spring under 1.0 the coordinate now arrives.
    int32_t p = 0;
    int frames = 0;
    while (p != 7 * kPx + 3 && frames < 100) p = CGameMainMenu::SpringStep(p, 7 * kPx + 3, 300), ++frames;
    EXPECT_EQ(p, 7 * kPx + 3);
}

TEST_F(PauseMenuTest, StatesRunWipeHoldSlideChooseAndButtonSixOnlyWhenSettled) {
    Load();
    EXPECT_EQ(menu_.GetWorking().panel_x, 300 * kPx);
    EXPECT_EQ(menu_.Move(), 0);
    EXPECT_EQ(menu_.GetState(), 1);
    EXPECT_EQ(Effect().curtain_color, 0x010101u);
    EXPECT_EQ(Effect().frames, 10);
    EXPECT_EQ(Effect().meeting_position, 320);
    EXPECT_EQ(Effect().frame_counter, 1);
    ASSERT_EQ(MoveTo(2), 3) << "held at the wipe's fourth frame";
    EXPECT_TRUE(Effect().frozen);

    // Button 6 while the panel slides in does nothing.
    EXPECT_EQ(MoveWith(6), CGameMainMenu::kStay);
    EXPECT_EQ(menu_.GetState(), 2);
    EXPECT_TRUE(sounds_.empty());
    ClearRecords();
    menu_.Draw();
    ASSERT_EQ(Records().size(), 4u);
    EXPECT_EQ(Records()[0].layer, 500) << "the held curtains";
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(Records()[i].layer, 250);
    EXPECT_EQ(Records()[3].kind, kBltBlendConstKeyed);
    EXPECT_EQ(Records()[3].args->param[0], static_cast<uint32_t>(menu_.GetLogoBlend() >> 10));

    ASSERT_GE(MoveTo(3), 0);
    EXPECT_EQ(menu_.GetWorking().panel_x >> 10, 100) << "arrived in whole pixels";
    EXPECT_EQ(MoveWith(6), CGameMainMenu::kResume);
    EXPECT_EQ(sounds_, (std::vector<std::pair<int, int>>{{20, 2}}));

    // The play scene resets the menu: the next pause starts over.
    menu_.Reset();
    EXPECT_EQ(menu_.GetState(), 0);
    EXPECT_EQ(menu_.GetLogoBlend(), 0);
    EXPECT_EQ(menu_.GetWorking().panel_x, 300 * kPx);
}

TEST_F(PauseMenuTest, TwoTogglesBringTheIconBackToTheFirstItem) {
    Load("1.0");
    ASSERT_GE(MoveTo(3), 0);
    struct Step {
        int button, selection;
        int32_t icon_y;   // pixels, after the move
    };
    for (const Step s : {Step{2, 1, 142}, Step{1, 0, 110}, Step{1, 1, 142}, Step{2, 0, 110}}) {
        EXPECT_EQ(MoveWith(s.button), CGameMainMenu::kStay);
        EXPECT_EQ(menu_.GetWorking().selection, s.selection);
        EXPECT_EQ(menu_.GetWorking().icon_y, s.icon_y * kPx) << "spring 1.0 arrives in the frame";
    }
    EXPECT_EQ(sounds_.size(), 4u);
    EXPECT_EQ(sounds_[0], (std::pair<int, int>{19, 2}));
}

TEST_F(PauseMenuTest, ChoosingSlidesBackFinishesTheWipeThenRetriesOrQuitsToStageOne) {
    struct Case {
        int selection;
        int result;
        int stage_after;
    };
    for (const Case c : {Case{0, CGameMainMenu::kRetry, 3}, Case{1, CGameMainMenu::kQuit, 1}}) {
        registry_->GetGameState()->current_stage = 3;
        Load();
        sounds_.clear();
        ASSERT_GE(MoveTo(3), 0);
        if (c.selection) MoveWith(2);
        EXPECT_EQ(MoveWith(5), CGameMainMenu::kStay);
        EXPECT_EQ(sounds_.back(), (std::pair<int, int>{17, 2}));
        EXPECT_EQ(menu_.GetState(), 4);
        EXPECT_FALSE(Effect().frozen) << "the wipe runs on";
        EXPECT_EQ(menu_.GetWorking().panel_target_x, 300 * kPx);
        EXPECT_EQ(menu_.GetWorking().logo_speed, -4 * 64 * kPx);
        ASSERT_GE(MoveTo(5), 0);
        EXPECT_TRUE(Effect().done);
        EXPECT_EQ(registry_->GetGameState()->current_stage, 3) << "unchanged until the result";
        Poll();
        EXPECT_EQ(menu_.Move(), c.result);
        EXPECT_EQ(registry_->GetGameState()->current_stage, c.stage_after);
        EXPECT_EQ(menu_.GetLogoBlend(), 0);
    }
}

TEST_F(PauseMenuTest, BrokenSettingsCannotTrapThePlayerInTheMenu) {
    struct Case {
        const char* what;
        std::string spring;
        int end_frame, hold_frame;
        std::string panel;
        std::string logo_speed = "64.0";
    };
    const Case cases[] = {
        {"hold frame past the wipe's end", "0.5", 10, 50, "300 100 100 100"},
        {"hold frame negative (never reached)", "0.5", 10, -1, "300 100 100 100"},
        {"panel approaching from below", "0.3", 10, 4, "10 10 100 100"},
        {"no wipe frames", "0.5", 0, 4, "300 100 100 100"},
        {"springs stored as 0", "0.0001", 10, 4, "300 100 100 100"},
        // Falling at -4 times it: the blend must not overflow in the frames the wipe runs on.
        {"logo speed at the negative end", "0.5", 10, 4, "300 100 100 100", "-2147483648"},
    };
    for (const Case& c : cases) {
        Load(c.spring, c.end_frame, c.hold_frame, c.panel, c.logo_speed);
        EXPECT_GE(MoveTo(3), 0) << c.what;
        EXPECT_EQ(MoveWith(5), CGameMainMenu::kStay) << c.what;
        EXPECT_GE(MoveTo(5), 0) << c.what;
        Poll();
        EXPECT_EQ(menu_.Move(), CGameMainMenu::kRetry) << c.what;
    }
    // Without its file the menu has nothing to draw, yet still runs to a result.
    std::filesystem::remove(Staged(kGameMainMenuFile));
    menu_.Load();
    EXPECT_EQ(GetDataFailureCount(), 1);
    EXPECT_GE(MoveTo(3), 0);
    ClearRecords();
    menu_.Draw();
    EXPECT_EQ(Records().size(), 1u) << "only the curtains";
    EXPECT_EQ(MoveWith(6), CGameMainMenu::kResume);
}

} // namespace
