// interface_content_test.cpp -- the generated content of the play's interface and demos loads for
// every stage without a log line, and a picture of the interface drawn over a plain backdrop.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "game/AirGauge.h"
#include "game/FlyingDistance.h"
#include "game/GameMainMenu.h"
#include "game/GameTimer.h"
#include "game/MapGauge.h"
#include "game/StageEndDemo.h"
#include "game/StageEndScoreShow.h"
#include "game/StageStartDemo.h"
#include "play_test_util.h"
#include "tests/scratch_dir.h"

namespace {

using namespace zuderadeDoruVAV3ed;
namespace fs = std::filesystem;
constexpr int32_t kPx = 1024;

// Every object of the play's interface, loaded as the play scene does.
struct Interface {
    void Load() {
        timer.Load();
        gauge.Create();
        map.Load();
        distance.Load();
        menu.Load();
        start.Create();
        end.Load();
        show.Create();
    }
    CGameTimer timer;
    CAirGauge gauge;
    CMapGauge map;
    CFlyingDistance distance;
    CGameMainMenu menu;
    CStageStartDemo start;
    CStageEndDemo end;
    CStageEndScoreShow show;
};

class InterfaceContentTest : public playtest::PlayObjectTest {};

bool HasPixels(CFastPlane* plane) {
    int w = 0, h = 0;
    return plane && plane->GetSize(w, h) == 0 && w > 0 && h > 0;
}

// A mover is seen when it is drawn with some alpha and some size on the screen.
bool Seen(const CMover& m) {
    const int w = m.w >> 10, h = m.h >> 10, left = (m.x >> 10) - (m.w >> 11), top = (m.y >> 10) - (m.h >> 11);
    return m.visible && m.plane && (m.value >> 10) > 0 && w > 0 && h > 0 && left < 640 && top < 480 && left + w > 0 &&
           top + h > 0;
}

TEST_F(InterfaceContentTest, EveryStageLoadsWithoutALogLineInBothDataSets) {
    struct Set {
        const char* root;
        bool mini;
    };
    for (const Set set : {Set{"gd-mini", true}, Set{"", false}}) {
        testutil::WorkDir work(fs::path(FF_BINARY_DIR) / set.root);
        registry_->GetFontSet()->Load();
        for (int stage = 1; stage <= 3; ++stage) {
            registry_->GetGameState()->current_stage = stage;
            logged_.clear();
            ResetDataFailureCount();
            Interface ui;
            ui.Load();
            const std::string where = std::string(set.mini ? "gd-mini" : "GameData") + " stage " + std::to_string(stage);
            EXPECT_TRUE(logged_.empty()) << where << ": " << (logged_.empty() ? "" : logged_[0]);
            EXPECT_EQ(GetDataFailureCount(), 0) << where;

            // Count-down timers: a few minutes (seconds in the test set), the alarm before the end.
            const int32_t seconds = (ui.timer.GetLimit() >> 10) / 100;
            EXPECT_TRUE(ui.timer.IsCountDown()) << where;
            EXPECT_EQ(ui.timer.GetCurrent(), ui.timer.GetLimit()) << where;
            if (set.mini) EXPECT_LE(seconds, 30) << where;
            else EXPECT_TRUE(seconds >= 120 && seconds <= 300) << where << " " << seconds;
            EXPECT_GT(ui.timer.GetAlarm(), 0) << where;
            EXPECT_LT(ui.timer.GetAlarm(), ui.timer.GetLimit()) << where;

            EXPECT_TRUE(HasPixels(ui.gauge.GetPicture())) << where;
            EXPECT_EQ(ui.gauge.GetAmount(), 255) << where;
            EXPECT_EQ(ui.distance.GetEntries().size(), 3u) << where;
            EXPECT_TRUE(HasPixels(ui.menu.GetPicture(0)) && HasPixels(ui.menu.GetPicture(1))) << where;
            EXPECT_EQ(ui.start.GetPictureCount(), 2) << where;
            // The best-leap list (cells 20 x 28) ends left of the fish-ahead markers at x = 608; the
            // demo's texts fade (mode 1) and come to rest below the list.
            const auto& list = ui.distance.GetEntries();
            EXPECT_LE(list.front().x + 8 * 20, 608) << where;
            for (int i = 0; i < ui.start.GetMoverCount(); ++i) {
                const CMover& m = ui.start.GetMover(i);
                EXPECT_EQ(m.draw_mode, 1) << where << " mover " << i;
                EXPECT_GE((m.start.target_y - m.start.target_h / 2) >> 10, list.back().y + 28) << where << i;
            }
            EXPECT_GT(ui.end.GetGoalLine(), ui.end.GetDrawStart()) << where;

            // The demos and the menu run to their ends; the test set's quickly. The start demo's
            // texts come one after the other: each is first seen after the one before it, and none
            // while the stage's name (mover 0) is seen.
            std::vector<int> first_seen(static_cast<size_t>(ui.start.GetMoverCount()), 0);
            int frames = 0, together = 0;
            for (bool end = false; !end && frames < 1000;) {
                end = ui.start.Move();
                ++frames;
                unsigned seen = 0;
                for (int i = 0; i < ui.start.GetMoverCount(); ++i)
                    if (Seen(ui.start.GetMover(i))) {
                        seen |= 1u << i;
                        if (!first_seen[i]) first_seen[i] = frames;
                    }
                together += (seen & 1) && seen != 1;
            }
            EXPECT_EQ(together, 0) << where << ": frames with the name and another text";
            EXPECT_LT(frames, set.mini ? 40 : 200) << where;
            std::erase(first_seen, 0);
            EXPECT_EQ(first_seen.size(), 3u) << where;
            for (size_t i = 1; i < first_seen.size(); ++i) EXPECT_LT(first_seen[i - 1], first_seen[i]) << where << i;
            int menu_frames = 0;
            while (ui.menu.GetState() != 3 && menu_frames < 1000) ui.menu.Move(), ++menu_frames;
            EXPECT_LT(menu_frames, set.mini ? 20 : 120) << where;
            int show_frames = 1;
            while (!ui.show.Move(0, 0) && show_frames < 1000) ++show_frames;
            EXPECT_LT(show_frames, set.mini ? 30 : 400) << where;
        }
    }
}

// The interface of stage 1 over a sea-blue backdrop, then the pause menu held over it, then the
// stage-start demo. The pictures are written to <build>/pictures/ for a look.
TEST_F(InterfaceContentTest, InterfaceOverAPlainBackdrop) {
    const fs::path out = fs::path(FF_BINARY_DIR) / "pictures";
    fs::create_directories(out);
    testutil::WorkDir work(FF_BINARY_DIR);
    registry_->GetFontSet()->Load();
    Interface ui;
    ui.Load();
    ASSERT_EQ(GetDataFailureCount(), 0);

    // Forty seconds into the stage, the gauge two thirds full, a leap of 12 m kept and the
    // fish in the air again, 40% of the way to the goal.
    for (int i = 0; i < 1200; ++i) ui.timer.Move();
    ui.gauge.SetAmount(170);
    const int32_t goal = ui.end.GetGoalLine();
    ui.distance.Track(0, -kPx);
    ui.distance.Track(kPx, kPx);
    ui.distance.Track(768 * kPx, 2 * kPx);
    ui.distance.Track(780 * kPx, -kPx);
    ui.distance.Track(1000 * kPx, -kPx);
    ui.distance.Track(1001 * kPx, kPx);
    ui.distance.Track(1500 * kPx, 90 * kPx);
    ui.map.SetProgress(goal / 10 * 4, goal);

    const uint32_t backdrop = 0x2870B0;
    auto draw = [&](const char* name) {
        KTL::smart_ptr<CFastPlane> back = gametest::SolidPlane(640, 480, backdrop);
        ClearRecords();
        ui.distance.Draw();
        ui.timer.Draw();
        ui.gauge.Draw();
        ui.map.Draw();
        FlushDrawRecords(Deferred(), back.get());
        EXPECT_EQ(back->Save((out / name).string()), 0);
        return back;
    };
    KTL::smart_ptr<CFastPlane> play = draw("interface_stage1.bmp");
    EXPECT_EQ(ui.distance.GetBestJump(), 767 * kPx);
    EXPECT_EQ(ui.distance.GetEntries()[0].text, "~~11.98m");
    // The gauge's frame and its filling's right end, the map and its marker are drawn; the
    // gauge's left, emptied part shows the backdrop through the open slot.
    EXPECT_NE(gametest::PixelAt(*play, 370 + 2, 12 + 18), backdrop) << "frame";
    EXPECT_NE(gametest::PixelAt(*play, 370 + 70 + 170, 12 + 18), backdrop) << "filling";
    EXPECT_EQ(gametest::PixelAt(*play, 370 + 70 + 10, 12 + 18), backdrop) << "emptied";
    EXPECT_NE(gametest::PixelAt(*play, 188 + 128, 442 + 20), backdrop) << "map";
    EXPECT_NEAR(ui.map.GetProgress(), 102, 2);
    EXPECT_EQ(ui.map.GetMarkerX(), 188 + ui.map.GetProgress());
    EXPECT_NE(gametest::PixelAt(*play, ui.map.GetMarkerX(), 442 + 11), backdrop) << "marker";
    EXPECT_EQ(gametest::PixelAt(*play, 320, 300), backdrop) << "the middle of the screen is free";

    // Paused frames are drawn as they pass over the last play frame, as on the screen; the last
    // one must equal the menu drawn on a blank plane: nothing of the slide or of the play is left.
    KTL::smart_ptr<CFastPlane> held = draw("held_stage1.bmp");
    for (int i = 0; i < 200 && ui.menu.GetState() != 3; ++i) {
        ui.menu.Move();
        ClearRecords();
        ui.menu.Draw();
        FlushDrawRecords(Deferred(), held.get());
    }
    ASSERT_EQ(ui.menu.GetState(), 3);
    KTL::smart_ptr<CFastPlane> paused = gametest::SolidPlane(640, 480, 0xFF00FF);
    ClearRecords();
    ui.menu.Draw();
    FlushDrawRecords(Deferred(), paused.get());
    EXPECT_EQ(paused->Save((out / "pause_stage1.bmp").string()), 0);
    int stale = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) stale += gametest::PixelAt(*held, x, y) != gametest::PixelAt(*paused, x, y);
    EXPECT_EQ(stale, 0) << "pixels of earlier frames left on a paused frame";
    EXPECT_EQ(gametest::PixelAt(*paused, 5, 300), 0x010101u) << "the held curtain";
    EXPECT_NE(gametest::PixelAt(*paused, 320, 270), gametest::PixelAt(*play, 320, 270)) << "the panel";

    // The stage-start demo as its first picture has zoomed in.
    for (int i = 0; i < 200 && ui.start.GetState() == 0; ++i) ui.start.Move();
    KTL::smart_ptr<CFastPlane> start = gametest::SolidPlane(640, 480, backdrop);
    ClearRecords();
    ui.start.Draw();
    FlushDrawRecords(Deferred(), start.get());
    EXPECT_EQ(start->Save((out / "start_stage1.bmp").string()), 0);
    EXPECT_NE(gametest::PixelAt(*start, 320, 180), backdrop) << "STAGE 1 in the middle";
}

} // namespace
