// clip_test.cpp -- ClipBltRect: the clipped stretched walk continues the unclipped one, anchors,
// rejections and far-away positions.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "blit_reference.h"
#include "sdk/draw/BltClip.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

// Descriptors of the right size; ClipBltRect reads only widths and heights.
struct Pair {
    Pair(int dw, int dh, int sw, int sh) : dest_pixels(4), source_pixels(4) {
        dest.Init(dest_pixels.data(), 4 * dw, dw, dh, kSurfaceXRGB8888);
        source.Init(source_pixels.data(), 4 * sw, sw, sh, kSurfaceXRGB8888);
    }
    std::vector<uint32_t> dest_pixels, source_pixels;   // never touched
    CSurfaceInfo dest, source;
};

// The source positions that the frame's walk takes from a clip state, one per destination
// pixel of the clipped rectangle, as absolute source coordinates.
std::vector<int> Walk(int error, int remainder, int denominator, int step, int src_start, int count) {
    std::vector<int> at;
    for (int p = src_start; count > 0; --count) {
        error += remainder;
        if (error >= 0) {
            ++p;
            error -= denominator;
        }
        at.push_back(p);
        p += step;
    }
    return at;
}
std::vector<int> WalkColumns(const BltClipState& cs) {
    return Walk(cs.x_error, cs.x_remainder, cs.x_denominator, cs.x_step, cs.src.left, cs.dst.right - cs.dst.left);
}
std::vector<int> WalkRows(const BltClipState& cs) {
    return Walk(cs.y_error, cs.y_remainder, cs.y_denominator, cs.y_step, cs.src.top, cs.dst.bottom - cs.dst.top);
}

} // namespace

// For every source and destination length up to 40 and every clip at the left (top), by a clip
// rectangle and by a negative position, the visible pixels take the unclipped walk's sources.
TEST(ClipBltRectStretch, ClippedWalkIsTheTailOfTheUnclippedOne) {
    for (int s = 1; s <= 40; ++s) {
        for (int d = 1; d <= 40; ++d) {
            std::vector<int> whole = RefStretchWalk(s, d);
            for (int c = 1; c < d; ++c) {
                std::vector<int> tail(whole.begin() + c, whole.end());
                // Columns: the other direction differs (s -> s + 1) so that it is a stretch even at s == d.
                for (bool by_position : {false, true}) {
                    Pair pair(64, 64, s, s);
                    RECT src{0, 0, s, s};
                    POINT pos{by_position ? -c : 0, by_position ? -c : 0};
                    SIZE size{d, d == s ? s + 1 : d};
                    RECT clip{by_position ? 0 : c, 0, 64, 64};
                    BltInfo info;
                    info.src = &src;
                    info.pos = &pos;
                    info.size = &size;
                    info.clip = &clip;
                    BltClipState cs;
                    ASSERT_EQ(ClipBltRect(pair.dest, pair.source, info, cs), 0);
                    ASSERT_EQ(cs.same_size, 0);
                    ASSERT_EQ(WalkColumns(cs), tail) << "s " << s << " d " << d << " clip " << c;
                    // Rows: the same with the directions exchanged.
                    size = SIZE{d == s ? s + 1 : d, d};
                    clip = RECT{0, by_position ? 0 : c, 64, 64};
                    ASSERT_EQ(ClipBltRect(pair.dest, pair.source, info, cs), 0);
                    ASSERT_EQ(WalkRows(cs), tail) << "s " << s << " d " << d << " clip " << c;
                }
            }
        }
    }
}

// The clip at the right and bottom only shortens the walk; the source keeps its right and bottom.
TEST(ClipBltRectStretch, RightAndBottomClipShortenTheWalk) {
    Pair pair(10, 10, 7, 5);
    SIZE size{13, 9};
    BltInfo info;
    info.size = &size;
    BltClipState cs;
    ASSERT_EQ(ClipBltRect(pair.dest, pair.source, info, cs), 0);
    EXPECT_EQ(cs.dst.right, 10);
    EXPECT_EQ(cs.dst.bottom, 9);
    EXPECT_EQ(cs.src.right, 7);
    EXPECT_EQ(cs.src.bottom, 5);
    std::vector<int> whole = RefStretchWalk(7, 13);
    EXPECT_EQ(WalkColumns(cs), std::vector<int>(whole.begin(), whole.begin() + 10));
    EXPECT_EQ(cs.x_error, -14);
    EXPECT_EQ(cs.x_remainder, 7);
    EXPECT_EQ(cs.x_denominator, 13);
    EXPECT_EQ(cs.x_step, 0);
}

// Anchors 1 to 8 move the destination rectangle by whole or half its size; others act as 0.
TEST(ClipBltRectAnchor, EachAnchorPlacesTheRectangle) {
    struct Case {
        int anchor, x, y;   // where a 6 x 4 rectangle named by (20, 30) lands
    } cases[] = {{0, 20, 30}, {1, 17, 30}, {2, 14, 30}, {3, 20, 28}, {4, 17, 28},
                 {5, 14, 28}, {6, 20, 26}, {7, 17, 26}, {8, 14, 26}, {9, 20, 30}, {-1, 20, 30}};
    Pair pair(100, 100, 6, 4);
    for (const Case& c : cases) {
        POINT pos{20, 30};
        BltInfo info;
        info.pos = &pos;
        info.anchor = c.anchor;
        BltClipState cs;
        ASSERT_EQ(ClipBltRect(pair.dest, pair.source, info, cs), 0);
        EXPECT_EQ(cs.dst.left, c.x) << "anchor " << c.anchor;
        EXPECT_EQ(cs.dst.top, c.y) << "anchor " << c.anchor;
        EXPECT_EQ(cs.dst.right, c.x + 6);
        EXPECT_EQ(cs.dst.bottom, c.y + 4);
    }
    // Halves of odd sizes round toward minus infinity (arithmetic shift) on the stretch size.
    POINT pos{20, 30};
    SIZE size{7, 5};
    BltInfo info;
    info.pos = &pos;
    info.size = &size;
    info.anchor = 4;
    BltClipState cs;
    ASSERT_EQ(ClipBltRect(pair.dest, pair.source, info, cs), 0);
    EXPECT_EQ(cs.dst.left, 17);
    EXPECT_EQ(cs.dst.top, 28);
}

// A 1:1 rectangle loses on the source side exactly what the clip takes on the destination side.
TEST(ClipBltRectSameSize, ClipCutsSourceAndDestinationAlike) {
    Pair pair(10, 10, 20, 20);
    RECT src{2, 3, 12, 11};
    POINT pos{-3, 4};
    RECT clip{-5, 0, 5, 8};
    BltInfo info;
    info.src = &src;
    info.pos = &pos;
    info.clip = &clip;
    BltClipState cs;
    ASSERT_EQ(ClipBltRect(pair.dest, pair.source, info, cs), 0);
    EXPECT_EQ(cs.same_size, 1);
    EXPECT_EQ(cs.dst.left, 0);
    EXPECT_EQ(cs.dst.top, 4);
    EXPECT_EQ(cs.dst.right, 5);
    EXPECT_EQ(cs.dst.bottom, 8);
    EXPECT_EQ(cs.src.left, 5);
    EXPECT_EQ(cs.src.top, 3);
    EXPECT_EQ(cs.src.right, 10);
    EXPECT_EQ(cs.src.bottom, 7);
    EXPECT_EQ(cs.clip.left, 0);   // the clip is limited to the destination
    EXPECT_EQ(cs.clip.bottom, 8);
}

// Everything that leaves nothing to draw answers 1, including sizes and positions whose sums
// would not fit 32 bits.
TEST(ClipBltRectRejects, NothingLeftToDraw) {
    Pair pair(10, 10, 10, 10);
    BltClipState cs;
    auto clip_with = [&](const RECT* src, const POINT* pos, const SIZE* size, const RECT* clip) {
        BltInfo info;
        info.src = src;
        info.pos = pos;
        info.size = size;
        info.clip = clip;
        return ClipBltRect(pair.dest, pair.source, info, cs);
    };
    RECT outside{10, 0, 20, 5}, inverted{5, 5, 2, 8};
    EXPECT_EQ(clip_with(&outside, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(clip_with(&inverted, nullptr, nullptr, nullptr), 1);
    SIZE zero{0, 5}, negative{-4, 5};
    EXPECT_EQ(clip_with(nullptr, nullptr, &zero, nullptr), 1);
    EXPECT_EQ(clip_with(nullptr, nullptr, &negative, nullptr), 1);
    RECT empty_clip{4, 4, 4, 9}, clip_off{-9, -9, -1, -1};
    EXPECT_EQ(clip_with(nullptr, nullptr, nullptr, &empty_clip), 1);
    EXPECT_EQ(clip_with(nullptr, nullptr, nullptr, &clip_off), 1);
    POINT beyond{10, 0}, before{-10, 0};
    EXPECT_EQ(clip_with(nullptr, &beyond, nullptr, nullptr), 1);
    EXPECT_EQ(clip_with(nullptr, &before, nullptr, nullptr), 1);
    POINT far_right{INT_MAX, INT_MAX}, far_left{INT_MIN, INT_MIN};
    SIZE huge{INT_MAX, INT_MAX};
    EXPECT_EQ(clip_with(nullptr, &far_right, &huge, nullptr), 1);
    EXPECT_EQ(clip_with(nullptr, &far_right, nullptr, nullptr), 1);
    // Far to the left and huge: the stretch reaches the surface, and the error terms stay exact.
    ASSERT_EQ(clip_with(nullptr, &far_left, &huge, nullptr), 1);
    POINT left{-2000000000, 0};
    SIZE wide{2000000005, 10};
    ASSERT_EQ(clip_with(nullptr, &left, &wide, nullptr), 0);
    std::vector<int> cols = WalkColumns(cs);
    ASSERT_EQ(cols.size(), 5u);
    EXPECT_EQ(cols.back(), 9);
}
