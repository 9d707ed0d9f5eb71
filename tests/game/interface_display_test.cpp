// interface_display_test.cpp -- the stage timer, the air gauge, the map gauge and the leap display
// on data files written by the tests.
#include <gtest/gtest.h>

#include "game/AirGauge.h"
#include "game/FlyingDistance.h"
#include "game/GameTimer.h"
#include "game/MapGauge.h"
#include "play_test_util.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using playtest::WritePicture;

class InterfaceTest : public playtest::PlayObjectTest {
protected:
    void SetUp() override {
        PlayObjectTest::SetUp();
        LoadTestFonts();
        ASSERT_EQ(GetDataFailureCount(), 0);
    }
    void WriteInterface(const std::vector<std::string>& lines) { gametest::WriteLines(Staged(kInterfaceFile), lines); }
};

TEST_F(InterfaceTest, TimerCountsDownToExactlyZeroAndFiresTheAlarmOnceInItsOwnFont) {
    WriteInterface({"#TimePos 30 40", "#TimerCountDownStart 0 0 10", "#AlermStart 0 0 5", "#TimerMode 1"});
    CGameTimer timer;
    timer.Load();
    ASSERT_TRUE(timer.IsCountDown());
    EXPECT_EQ(timer.GetLimit(), 10 * 1024);
    EXPECT_EQ(timer.GetCurrent(), 10 * 1024);
    struct Frame {
        int32_t current;
        size_t sounds;   // alarm requests so far
        int font;
    };
    const Frame frames[] = {{6861, 0, 0}, {3482, 1, 3}, {103, 1, 3}, {0, 1, 3}, {0, 1, 3}, {0, 1, 3}};
    for (const Frame& f : frames) {
        timer.Move();
        EXPECT_EQ(timer.GetCurrent(), f.current);
        EXPECT_EQ(sounds_.size(), f.sounds) << f.current;
        EXPECT_EQ(timer.GetFontIndex(), f.font) << f.current;
        ClearRecords();
        timer.Draw();
        ASSERT_FALSE(Records().empty());
        EXPECT_EQ(FontOf(Records()[0]), f.font);
        EXPECT_EQ(Records()[0].layer, 1000);
        EXPECT_EQ(Records()[0].args->pos.x, 30);
        EXPECT_EQ(Records()[0].args->pos.y, 40);
    }
    EXPECT_EQ(sounds_, (std::vector<std::pair<int, int>>{{24, 3}}));
    EXPECT_FALSE(timer.IsAlarmArmed());

    // A retry starts from the limit with the alarm armed again; a stopped timer does not move.
    timer.Reset();
    EXPECT_EQ(timer.GetCurrent(), 10 * 1024);
    EXPECT_TRUE(timer.IsAlarmArmed());
    timer.SetStopped(true);
    timer.Move();
    EXPECT_EQ(timer.GetCurrent(), 10 * 1024);
}

TEST_F(InterfaceTest, TimerCountsUpToItsCapAndAlarmsOnItsFirstFrame) {
    WriteInterface({"#TimerCountDownStart 0 0 10", "#AlermStart 0 0 50", "#TimerMode 0"});
    CGameTimer timer;
    timer.Load();
    EXPECT_EQ(timer.GetCurrent(), 0);
    for (int32_t expected : {3379, 6758, 10137, 10240, 10240}) {
        timer.Move();
        EXPECT_EQ(timer.GetCurrent(), expected);
        EXPECT_EQ(sounds_.size(), 1u) << "the alarm fires on the first count-up frame only";
    }
}

TEST_F(InterfaceTest, TimerStartValuesAreTakenAsBytesThenClampedAndModeOrderCounts) {
    struct Case {
        std::vector<std::string> lines;
        int32_t limit, current, alarm;
        bool count_down;
    };
    const Case cases[] = {
        {{"#TimerCountDownStart 120 70 150", "#TimerMode 1"}, 599999 * 1024, 599999 * 1024, 0, true},
        // 300 is the byte 44, -1 the byte 255 (clamped to 59 seconds).
        {{"#TimerCountDownStart 300 -1 7", "#TimerMode 1"}, (44 * 6000 + 5900 + 7) * 1024, (44 * 6000 + 5900 + 7) * 1024,
         0, true},
        // A mode set before the start value: the start value sets current from it.
        {{"#TimerMode 1", "#TimerCountDownStart 0 1 0"}, 100 * 1024, 100 * 1024, 0, true},
        {{"#TimerMode 0", "#TimerCountDownStart 0 1 0"}, 100 * 1024, 0, 0, false},
        // Without a start value the count-down starts from the built-in one.
        {{"#TimerMode 1"}, 6000, 6000, 0, true},
        // The alarm is not clamped.
        {{"#AlermStart 1 70 0"}, 6000, 0, 13000 * 1024, false},
    };
    for (const Case& c : cases) {
        WriteInterface(c.lines);
        CGameTimer timer;
        timer.Load();
        EXPECT_EQ(timer.GetLimit(), c.limit) << c.lines[0];
        EXPECT_EQ(timer.GetCurrent(), c.current) << c.lines[0];
        EXPECT_EQ(timer.GetAlarm(), c.alarm) << c.lines[0];
        EXPECT_EQ(timer.IsCountDown(), c.count_down) << c.lines[0];
    }
    EXPECT_EQ(GetDataFailureCount(), 0);

    // Without its file the timer keeps zeros and never moves.
    std::filesystem::remove(Staged(kInterfaceFile));
    CGameTimer missing;
    missing.Load();
    missing.Move();
    EXPECT_EQ(missing.GetCurrent(), 0);
    EXPECT_EQ(missing.GetStep(), 0);
    EXPECT_EQ(GetDataFailureCount(), 1);
}

TEST_F(InterfaceTest, AirGaugeFillingEmptiesFromTheLeftAndKeepsItsPlace) {
    WritePicture("gauge.bmp", 240, 40);
    WriteInterface({"#GaugeGraphic \"gauge.bmp\"", "#GaugeFramePos 100 50", "#GaugeGainPos 8 4",
                    "#GaugeFrameRect 0 10 220 30", "#GaugeGainRect 0 0 200 10", "#GaugeGain 300"});
    CAirGauge gauge;
    gauge.Create();
    EXPECT_EQ(gauge.GetAmount(), 44) << "only the low byte of #GaugeGain counts";
    struct Case {
        int amount;
        int32_t width;   // of the filling drawn; 0: no filling record
    };
    for (const Case c : {Case{0, 0}, Case{128, 100}, Case{255, 199}, Case{400, 199}, Case{-5, 0}}) {
        gauge.SetAmount(c.amount);
        EXPECT_EQ(gauge.GetFillWidth(), c.width) << c.amount;
        ClearRecords();
        gauge.Draw();
        ASSERT_EQ(Records().size(), c.width ? 2u : 1u) << c.amount;
        for (const DrawRecord& r : Records()) {
            EXPECT_EQ(r.layer, 2000);
            EXPECT_EQ(r.kind, kBltCopyKeyed);
        }
        const DrawRecord& frame = Records().back();
        EXPECT_EQ(frame.args->pos.x, 100);
        EXPECT_EQ(frame.args->src.top, 10);
        if (c.width) {
            const DrawRecord& fill = Records()[0];
            EXPECT_EQ(fill.args->src.left, 200 - c.width) << c.amount;
            EXPECT_EQ(fill.args->src.right, 200);
            EXPECT_EQ(fill.args->pos.x, 100 + 8 + 200 - c.width) << c.amount;
            EXPECT_EQ(fill.args->pos.y, 54);
        }
    }
}

TEST_F(InterfaceTest, BrokenGaugeAndMapPicturesAreCountedAndDrawNothing) {
    gametest::WriteBytes("gauge.bmp", {'B', 'M', 1, 2, 3});
    WriteInterface({"#GaugeGraphic \"gauge.bmp\"", "#GaugeFrameRect 0 0 20 10", "#GaugeGainRect 0 10 20 20",
                    "#GaugeGain 200", "#MapImageFile \"gauge.bmp\" \"nothing.bmp\""});
    CAirGauge gauge;
    gauge.Create();
    CMapGauge map;
    map.Load();
    EXPECT_EQ(GetDataFailureCount(), 3);
    ClearRecords();
    gauge.Draw();
    map.Draw();
    KTL::smart_ptr<CFastPlane> back = gametest::SolidPlane(64, 64, 0x123456);
    FlushDrawRecords(Deferred(), back.get());
    EXPECT_EQ(gametest::PixelAt(*back, 5, 5), 0x123456u);
}

TEST_F(InterfaceTest, MapGaugeMarkerFollowsProgressAndSurvivesAShortGoal) {
    WritePicture("map.bmp", 256, 16);
    WritePicture("marker.bmp", 20, 12);
    WriteInterface({"#MapImageFile \"map.bmp\" \"marker.bmp\"", "#MapGaugePos 100 440"});
    CMapGauge map;
    map.Load();
    EXPECT_EQ(map.GetMarkerY(), 440);
    struct Case {
        int32_t x_px, goal_px, progress;
    };
    const Case cases[] = {
        {0, 10240, 0},     {5120, 10240, 128}, {10240, 10240, 256}, {20000, 10240, 256},
        {-500, 10240, 0},  {100, 200, 0},      {100, 0, 0},         {300, 256, 256},
    };
    for (const Case& c : cases) {
        map.SetProgress(c.x_px * 1024, c.goal_px * 1024);
        EXPECT_EQ(map.GetProgress(), c.progress) << c.x_px << " of " << c.goal_px;
        EXPECT_EQ(map.GetMarkerX(), 100 + c.progress);
    }
    map.SetMarkerX(150);
    ClearRecords();
    map.Draw();
    ASSERT_EQ(Records().size(), 2u);
    EXPECT_EQ(Records()[0].layer, 2000);
    EXPECT_EQ(Records()[0].args->pos.x, 100);
    EXPECT_EQ(Records()[1].layer, 1999);
    EXPECT_EQ(Records()[1].args->pos.x, 140) << "centred on the marker x";
    EXPECT_EQ(Records()[1].args->pos.y, 440);
    EXPECT_EQ(GetDataFailureCount(), 0);
    // A place past the screen is held where the marker's sums cannot overflow.
    WriteInterface({"#MapGaugePos 2147483647 -2147483648"});
    map.Load();
    map.SetProgress(10240 * 1024, 10240 * 1024);
    EXPECT_EQ(map.GetMarkerX(), kMaxScreenPixels + 256);
    EXPECT_EQ(map.GetMarkerY(), -kMaxScreenPixels);
}

// Flight paths fed to the leap display, one point per frame (pixels).
class FlightTest : public InterfaceTest {
protected:
    void SetUp() override {
        InterfaceTest::SetUp();
        WriteInterface({"#FlyingDistancePos 200 60", "#FlyingDistanceMeterPixel 6", "#FlyingDistanceDrawCount 8",
                        "#FlyingDistanceHiDrawCount 3", "#FlyingDistanceHiPos 400 50",
                        "#FlyingDistanceNextHiPos 5 30", "#FlyingDistanceHiDrawCount 9"});
        distance_.Load();
    }
    void Track(int x_px, int y_px) { distance_.Track(x_px * 1024, y_px * 1024); }
    // A leap from x of the given length in pixels: under water, four frames in the air, back in.
    void Leap(int x, int length) {
        Track(x - 10, -20);
        for (int i = 0; i < 4; ++i) Track(x + length * i / 3, 30);
        Track(x + length + 10, -20);
    }
    std::vector<int32_t> Values() {
        std::vector<int32_t> values;
        for (const auto& e : distance_.GetEntries()) values.push_back(e.value >> 10);
        return values;
    }
    CFlyingDistance distance_;
};

TEST_F(FlightTest, LeapsAreKeptLongestFirstWithEqualOnesAfterAndTheLastFallingOut) {
    ASSERT_EQ(distance_.GetEntries().size(), 3u) << "keys after #FlyingDistanceNextHiPos are not read";
    EXPECT_EQ(distance_.GetEntries()[2].x, 410);
    EXPECT_EQ(distance_.GetEntries()[2].y, 110);
    EXPECT_EQ(distance_.GetBestJump(), 0);
    struct Step {
        int length;                 // pixels
        std::vector<int32_t> list;  // values after it
    };
    const Step steps[] = {
        {300, {300, 0, 0}}, {600, {600, 300, 0}}, {300, {600, 300, 300}}, {300, {600, 300, 300}},
        {100, {600, 300, 300}}, {450, {600, 450, 300}}, {900, {900, 600, 450}},
    };
    int x = 0;
    for (const Step& s : steps) {
        Leap(x, s.length);
        x += 2000;
        EXPECT_EQ(Values(), s.list) << s.length;
    }
    EXPECT_EQ(distance_.GetBestJump(), 900 * 1024);
    // Texts moved with their values: 900 px = 14.06 m at 64 px a metre.
    EXPECT_EQ(distance_.GetEntries()[0].text, "~~14.06m");
    EXPECT_EQ(distance_.GetEntries()[1].text, "~~~9.37m");
    distance_.Reset();
    EXPECT_EQ(Values(), (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(distance_.GetEntries()[0].text, "\x7f\x7f\x7f" "0.00m");
}

TEST_F(FlightTest, SurfaceFramesHopsAndLandingsWithoutTakeOffAreHandledSoundly) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> path;   // x, y per frame
        int32_t best;                            // pixels
        std::vector<int> phases;                 // after each frame
    };
    const Case cases[] = {
        {"through y = 0 both ways", {{0, -5}, {10, 0}, {20, 5}, {80, 9}, {90, 0}, {100, -5}}, 60, {0, 0, 1, 3, 3, 2}},
        {"a one-frame hop", {{0, -5}, {50, 5}, {100, -5}}, 0, {0, 1, 2}},
        {"falling in without a take-off", {{0, 5}, {40, 9}, {60, -5}}, 0, {0, 3, 2}},
        {"touching the surface keeps the phase", {{0, -5}, {10, 5}, {20, 8}, {30, 0}, {40, 6}, {90, -3}},
         30, {0, 1, 3, 3, 3, 2}},
    };
    for (const Case& c : cases) {
        distance_.Reset();
        for (size_t i = 0; i < c.path.size(); ++i) {
            Track(c.path[i].first, c.path[i].second);
            EXPECT_EQ(distance_.GetPhase(), c.phases[i]) << c.what << " frame " << i;
        }
        EXPECT_EQ(distance_.GetBestJump(), c.best * 1024) << c.what;
    }
}

TEST_F(FlightTest, EntryTextComesFromItsDistanceAndTheLeapShowsOnlyInTheAir) {
    // No Draw between take-off and splash-down: the entry's text is still the leap's.
    Leap(0, 64 * 123 + 32);
    EXPECT_EQ(distance_.GetEntries()[0].text, "~123.50m");
    ClearRecords();
    distance_.Draw();
    // Three entries: "~123.50m" draws 7 cells, each blank entry its "0.00m".
    EXPECT_EQ(Records().size(), 7u + 5u + 5u);
    for (const DrawRecord& r : Records()) EXPECT_EQ(FontOf(r), 0);

    Track(0, -5);
    Track(0, 5);
    Track(64 * 5, 8);
    ASSERT_EQ(distance_.GetPhase(), CFlyingDistance::kInAir);
    ClearRecords();
    distance_.Draw();
    EXPECT_EQ(distance_.GetText(), "!!!&+!!,") << "5.00 m glyph-coded";
    size_t leap_cells = 0;
    for (const DrawRecord& r : Records()) {
        if (FontOf(r) != 1) continue;
        ++leap_cells;
        EXPECT_EQ(r.args->pos.y, 60);
    }
    EXPECT_EQ(leap_cells, 5u) << "leading zeros hidden: 5 + 2 decimals + unit";

    // The shown range is clamped.
    std::string text;
    CFlyingDistance::FormatLeap(INT32_MAX, 0, text);
    EXPECT_EQ(text, "****+**,");
    CFlyingDistance::FormatLeap(-4096, 6, text);
    EXPECT_EQ(text, "!!!!+!!,");
}

TEST_F(FlightTest, AnEmptyListReadsNoBestJump) {
    WriteInterface({"#FlyingDistanceHiDrawCount 0", "#FlyingDistanceNextHiPos 0 0"});
    CFlyingDistance none;
    none.Load();
    none.Track(0, -5 * 1024);
    none.Track(0, 5 * 1024);
    none.Track(99 * 1024, 5 * 1024);
    none.Track(99 * 1024, -5 * 1024);
    EXPECT_EQ(none.GetBestJump(), 0);
    EXPECT_TRUE(none.GetEntries().empty());
}

} // namespace
