// screen_effect_test.cpp -- the curtain wipe's frames and meeting point, wipes of no frames, and
// the mover's easing, arrival and drawing.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/DrawListPlane.h"
#include "game/ScreenEffect.h"
#include "game_test_util.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using gametest::PixelAt;

// Moves until done (at most limit frames); the frames it took.
int RunWipe(CScreenEffect& effect, int limit = 1000) {
    int frames = 0;
    while (!effect.done && frames < limit) {
        effect.Move();
        ++frames;
    }
    return frames;
}

TEST(ScreenEffectTest, WipesFinishAtTheirFrameAndMeetWhereTold) {
    struct Case {
        bool horizontal, closing;
        int frames, meeting;
        int expected_frames;
    };
    const Case cases[] = {
        {true, true, 60, 99, 61},     // the defaults: covered once both curtains pass x = 99
        {false, true, 20, 240, 21},
        {false, false, 20, 240, 21},  // opening: empty once both curtains have left
        {true, false, 30, 320, 31},
        {true, true, 1, 99, 2},
        {true, true, 6, 0, 13},       // meeting outside the screen: held to its edge, still ends
        {false, true, 6, 480, 13},
        {true, true, 2147483647, 320, 1806},   // held to a minute of frames
    };
    for (const Case& c : cases) {
        CScreenEffect effect;
        effect.Init();
        EXPECT_EQ(effect.done, 1);
        effect.Move();
        EXPECT_EQ(effect.frame_counter, 0) << "a finished wipe does not move";
        effect.horizontal = c.horizontal;
        effect.closing = c.closing;
        effect.frames = c.frames;
        effect.meeting_position = c.meeting;
        effect.Restart();
        EXPECT_EQ(RunWipe(effect, 5000), c.expected_frames) << c.horizontal << c.closing << c.frames;
        EXPECT_EQ(effect.frame_counter, c.expected_frames);
        const int length = c.horizontal ? 640 : 480;
        const RECT& first = effect.curtain[0];
        const RECT& second = effect.curtain[1];
        const int first_far = c.horizontal ? first.right : first.bottom;
        const int second_near = c.horizontal ? second.left : second.top;
        if (c.closing) {
            EXPECT_EQ(first_far, std::clamp(c.meeting, 1, length - 1));
            EXPECT_EQ(second_near, std::clamp(c.meeting, 1, length - 1));
        } else {
            EXPECT_EQ(first_far, 0);
            EXPECT_EQ(second_near, length);
            EXPECT_EQ(effect.open_rect.right - effect.open_rect.left, 640);
            EXPECT_EQ(effect.open_rect.bottom - effect.open_rect.top, 480);
        }
    }
}

TEST(ScreenEffectTest, AWipeOfNoFramesTakesOneInsteadOfDividingByZero) {
    for (int frames : {0, -5}) {
        for (bool closing : {true, false}) {
            CScreenEffect effect;
            effect.Init();
            effect.frames = frames;
            effect.closing = closing;
            effect.Restart();
            EXPECT_LE(RunWipe(effect), 2) << frames << closing;
            EXPECT_EQ(effect.done, 1);
        }
    }
}

TEST(ScreenEffectTest, FrozenStopsTheWipeAndDrawPaintsCurtainsAndRecordsThePlane) {
    CScreenEffect effect;
    effect.Init();
    effect.curtain_color = 0x102030;
    effect.Restart();
    for (int i = 0; i < 30; ++i) effect.Move();
    effect.frozen = 1;
    const int counter = effect.frame_counter;
    effect.Move();
    EXPECT_EQ(effect.frame_counter, counter);
    effect.frozen = 0;

    CDrawListPlane deferred;
    effect.Draw(deferred);
    ASSERT_EQ(deferred.GetRecords().size(), 1u);
    EXPECT_EQ(deferred.GetRecords()[0].layer, 500);
    EXPECT_EQ(deferred.GetRecords()[0].kind, kBltCopyKeyed);
    EXPECT_EQ(PixelAt(*effect.GetPlane(), 0, 10), 0x102030u);
    EXPECT_EQ(PixelAt(*effect.GetPlane(), 639, 10), 0x102030u);
    EXPECT_EQ(PixelAt(*effect.GetPlane(), 200, 10), 0u);   // the open middle, in the key colour
}

CMover MakeMover(int32_t from, int32_t to, int32_t value, int32_t value_to, int32_t step, int32_t rate) {
    CMover mover;
    mover.start = {from, from, to, to, 64 << 10, 32 << 10, 128 << 10, 64 << 10, step, value, value_to};
    mover.rate = rate;
    mover.Reset();
    mover.active = 1;
    return mover;
}

TEST(MoverTest, EasesByItsRateAndStopsOnceEverythingArrived) {
    CMover mover = MakeMover(0, 100 << 10, 0, 255 << 10, 64 << 10, 512);
    mover.Move();
    EXPECT_EQ(mover.x, 50 << 10);   // half the remaining distance per frame
    EXPECT_EQ(mover.w, 96 << 10);
    mover.Move();
    EXPECT_EQ(mover.x, 75 << 10);
    for (int i = 0; i < 200 && mover.active; ++i) mover.Move();
    EXPECT_EQ(mover.active, 0);
    EXPECT_EQ(mover.value, 255 << 10);
    EXPECT_EQ(mover.x >> 10, 100);
}

TEST(MoverTest, AValueAtItsTargetArrivesButNotOnePastIt) {
    struct Case {
        int32_t value, target, step;
        uint8_t reverse;
        bool arrives = true;
    };
    const Case cases[] = {
        {100 << 10, 100 << 10, 16 << 10, 0},   // starts at its target
        {0, 64 << 10, 16 << 10, 0},            // lands exactly on it after four steps
        {100 << 10, 100 << 10, 16 << 10, 1},
        {0, 64 << 10, 16 << 10, 1},            // reversed: runs from 64 back to 0
        {200 << 10, 64 << 10, 16 << 10, 0, false},   // past its target: neither moves nor arrives
    };
    for (const Case& c : cases) {
        CMover mover = MakeMover(5 << 10, 5 << 10, c.value, c.target, c.step, 1024);
        mover.reverse = c.reverse;
        mover.Reset();
        for (int i = 0; i < 20 && mover.active; ++i) mover.Move();
        EXPECT_EQ(mover.value_arrived, c.arrives) << c.value << " -> " << c.target << " reverse " << int(c.reverse);
        EXPECT_EQ(mover.active, !c.arrives);
        EXPECT_EQ(mover.value, c.reverse || !c.arrives ? c.value : c.target);
    }
}

TEST(MoverTest, APositionAtItsTargetStillStepsWithinOnePixel) {
    CMover mover = MakeMover(10 << 10, 10 << 10, 0, 255 << 10, 1 << 10, 512);
    mover.Move();
    EXPECT_EQ(mover.x, (10 << 10) + 1) << "a step of 0 becomes 1";
    for (int i = 0; i < 6; ++i) {
        mover.Move();
        EXPECT_EQ(mover.x >> 10, 10);
        EXPECT_EQ(mover.y >> 10, 10);
    }
    EXPECT_EQ(mover.active, 1) << "the value has not arrived yet";
}

TEST(MoverTest, DrawsCentredOnItsPositionInItsMode) {
    KTL::smart_ptr<CFastPlane> sprite = gametest::SolidPlane(8, 8, 0xFFFFFF);
    CDrawListPlane deferred;
    CMover mover = MakeMover(100 << 10, 100 << 10, 200 << 10, 255 << 10, 1, 0);
    mover.plane = sprite.get();
    mover.source_rect = RECT{0, 0, 8, 8};
    mover.Draw(deferred);
    EXPECT_TRUE(deferred.GetRecords().empty()) << "invisible";
    mover.visible = 1;
    for (int mode : {0, 1, 2}) {
        FlushDrawRecords(deferred, nullptr);
        mover.draw_mode = mode;
        mover.Draw(deferred);
        if (mode == 2) {
            EXPECT_TRUE(deferred.GetRecords().empty());
            continue;
        }
        ASSERT_EQ(deferred.GetRecords().size(), 1u);
        const DrawRecord& record = deferred.GetRecords()[0];
        EXPECT_EQ(record.layer, 250);
        EXPECT_EQ(record.kind, mode == 0 ? kBltCopyKeyed : kBltBlendConstKeyed);
        EXPECT_EQ(record.args->pos.x, 100 - 32);
        EXPECT_EQ(record.args->pos.y, 100 - 16);
        EXPECT_EQ(record.args->size.cx, 64);
        if (mode == 1) {
            EXPECT_EQ(record.args->param[0], 200u);
        }
    }
}

} // namespace
