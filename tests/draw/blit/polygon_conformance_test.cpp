// polygon_conformance_test.cpp -- every polygon routine (modes 0, 1 and 10, all 26 pairs each)
// against the reference model on random convex polygons, textures, clips, keys and row orders,
// the walk's own edge cases, and garbage polygons that must never reach outside the surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "polygon_reference.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/PolygonDispatch.h"
#include "sdk/draw/blit/PolygonFrame.h"
#include "sdk/draw/blit/PolygonRoutines.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

int Uniform(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// A polygon record with its own arrays.
struct Polygon {
    std::vector<POINT> src, dst;
    RECT clip{};
    bool has_clip = false;
    uint8_t flag = 0;

    PolygonInfo Info() const {
        return PolygonInfo{src.data(), dst.data(), has_clip ? &clip : nullptr, flag, static_cast<int32_t>(dst.size())};
    }
};

int64_t Turn(POINT o, POINT a, POINT b) {
    return int64_t(a.x - o.x) * (b.y - o.y) - int64_t(a.y - o.y) * (b.x - o.x);
}

// The convex hull of random points (no three in a line), in a random orientation and starting
// vertex; or, now and then, a two-vertex line.
std::vector<POINT> RandomConvex(std::mt19937& rng, int lo_x, int hi_x, int lo_y, int hi_y) {
    std::vector<POINT> hull;
    while (true) {
        if (Uniform(rng, 0, 9) == 0) {
            POINT a{Uniform(rng, lo_x, hi_x), Uniform(rng, lo_y, hi_y)}, b{Uniform(rng, lo_x, hi_x), Uniform(rng, lo_y, hi_y)};
            if (a.y != b.y) return {a, b};
            continue;
        }
        std::vector<POINT> pts(Uniform(rng, 3, 9));
        for (POINT& p : pts) p = {Uniform(rng, lo_x, hi_x), Uniform(rng, lo_y, hi_y)};
        std::sort(pts.begin(), pts.end(), [](POINT a, POINT b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
        hull.assign(2 * pts.size(), {});
        size_t k = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            while (k >= 2 && Turn(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
            hull[k++] = pts[i];
        }
        for (size_t i = pts.size() - 1, t = k + 1; i-- > 0;) {
            while (k >= t && Turn(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
            hull[k++] = pts[i];
        }
        hull.resize(k - 1);
        if (hull.size() >= 3) break;
    }
    if (Uniform(rng, 0, 1)) std::reverse(hull.begin(), hull.end());
    std::rotate(hull.begin(), hull.begin() + Uniform(rng, 0, static_cast<int>(hull.size()) - 1), hull.end());
    return hull;
}

// A drawable polygon over the destination with source positions inside the source or, with the
// flag set, on its far edges too (its width and height).
Polygon RandomPolygon(std::mt19937& rng, int dw, int dh, int sw, int sh) {
    Polygon p;
    p.dst = RandomConvex(rng, -8, dw + 8, -8, dh + 8);
    p.flag = static_cast<uint8_t>(Uniform(rng, 0, 3) == 0 ? Uniform(rng, 1, 255) : 0);
    for (size_t i = 0; i < p.dst.size(); ++i) p.src.push_back({Uniform(rng, 0, p.flag ? sw : sw - 1), Uniform(rng, 0, p.flag ? sh : sh - 1)});
    if (Uniform(rng, 0, 2) > 0) {
        p.has_clip = true;
        int l = Uniform(rng, -3, dw), t = Uniform(rng, -3, dh);
        p.clip = {l, t, Uniform(rng, l, dw + 3), Uniform(rng, t, dh + 3)};
    }
    return p;
}

// Random pixels; with few_values, every byte one of a handful of values so that equal colours
// (the blends' skip) and key pixels meet often.
void Scramble(TestSurface& s, std::mt19937& rng, bool few_values) {
    static const uint8_t kValues[] = {0, 1, 128, 255};
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            for (int i = 0; i < s.size; ++i) s.Pixel(x, y)[i] = few_values ? kValues[rng() % 4] : static_cast<uint8_t>(rng());
}

// Plants the key's colour (RefKeyPixel) into about a third of the source's pixels.
void PlantKey(TestSurface& s, std::mt19937& rng, uint32_t key_argb) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (rng() % 3 == 0) RefStore(Format(s.type), s.Pixel(x, y), RefKeyPixel(Format(s.type), key_argb, rng));
}

std::string PairName(int mode, int dst, int src) {
    return "mode " + std::to_string(mode) + " " + TypeName(dst) + " <- " + TypeName(src);
}

class PolygonConformance : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitAlphaTables(); }
};

// Every served pair of every mode through the entry, against the model, memory canaries
// included; and every registry routine is reached by some pair.
TEST_F(PolygonConformance, AllPairsAgreeWithTheModel) {
    std::mt19937 rng(1101);
    std::set<PolyBltRoutine> reached;
    for (int mode : {0, 1, 10}) {
        int pairs = 0;
        for (int dst : kTypes) {
            for (int src : kTypes) {
                PolyBltRoutine routine = FindPolyBltRoutine(mode, dst, src);
                if (!routine) continue;
                ++pairs;
                reached.insert(routine);
                for (int trial = 0; trial < 12; ++trial) {
                    int dw = Uniform(rng, 1, 24), dh = Uniform(rng, 1, 24), sw = Uniform(rng, 1, 20), sh = Uniform(rng, 1, 20);
                    TestSurface dest(dst, dw, dh, rng() % 2, Uniform(rng, 0, 5), rng);
                    TestSurface source(src, sw, sh, rng() % 2, Uniform(rng, 0, 5), rng);
                    bool few = trial % 2 == 1;
                    Scramble(dest, rng, few);
                    Scramble(source, rng, few);
                    uint32_t key = few ? 0xFF800100u : static_cast<uint32_t>(rng());
                    source.desc.SetColorKey(key);
                    if (mode == 1) PlantKey(source, rng, key);
                    Polygon p = RandomPolygon(rng, dw, dh, sw, sh);
                    PolygonInfo info = p.Info();

                    TestSurface expected(dest);
                    ASSERT_TRUE(RefPolygonBlt(mode, expected, source, info)) << PairName(mode, dst, src);
                    ASSERT_EQ(dest.desc.PolygonBlt(mode, &source.desc, &info, nullptr), 0);
                    ASSERT_EQ(dest.memory, expected.memory) << PairName(mode, dst, src) << " trial " << trial;
                }
            }
        }
        EXPECT_EQ(pairs, 26) << "mode " << mode;
    }
    EXPECT_EQ(reached.size(), GetPolyBltRegistry().size());
}

// The registry lists exactly these 67 routines, each under its own pair.
TEST(PolygonRegistry, NamesAndPairs) {
    const std::set<std::string> expected = {
        "PolyBltCopy_RGB565_RGB565", "PolyBltCopy_RGB888_RGB888", "PolyBltCopy_BGR888_BGR888",
        "PolyBltCopy_XRGB8888_XRGB8888", "PolyBltCopy_ARGB4565_ARGB4565", "PolyBltCopy_ARGB4565_RGB565",
        "PolyBltCopy_RGB565_ARGB4565", "PolyBltCopy_RGB555_ARGB4555", "PolyBltCopy_RGB888_ARGB8888",
        "PolyBltCopy_BGR888_ABGR8888", "PolyBltCopy_XRGB8888_ARGB8888", "PolyBltCopy_XBGR8888_ABGR8888",
        "PolyBltCopy_ARGB8888_RGB888", "PolyBltCopy_ARGB8888_BGR888", "PolyBltCopy_ARGB8888_XRGB8888",
        "PolyBltCopy_ARGB8888_XBGR8888", "PolyBltCopy_ABGR8888_RGB888", "PolyBltCopy_ABGR8888_BGR888",
        "PolyBltCopy_ABGR8888_XRGB8888", "PolyBltCopy_ABGR8888_XBGR8888",
        "PolyBltCopyKeyed_RGB565_RGB565", "PolyBltCopyKeyed_RGB888_RGB888", "PolyBltCopyKeyed_BGR888_BGR888",
        "PolyBltCopyKeyed_XRGB8888_XRGB8888", "PolyBltCopyKeyed_ARGB4565_ARGB4565", "PolyBltCopyKeyed_ARGB8888_ARGB8888",
        "PolyBltCopyKeyed_ARGB4565_RGB565", "PolyBltCopyKeyed_RGB565_ARGB4565", "PolyBltCopyKeyed_RGB555_ARGB4555",
        "PolyBltCopyKeyed_RGB888_ARGB8888", "PolyBltCopyKeyed_BGR888_ABGR8888", "PolyBltCopyKeyed_XRGB8888_ARGB8888",
        "PolyBltCopyKeyed_XBGR8888_ABGR8888", "PolyBltCopyKeyed_ARGB8888_RGB888", "PolyBltCopyKeyed_ARGB8888_BGR888",
        "PolyBltCopyKeyed_ARGB8888_XRGB8888", "PolyBltCopyKeyed_ARGB8888_XBGR8888", "PolyBltCopyKeyed_ABGR8888_RGB888",
        "PolyBltCopyKeyed_ABGR8888_BGR888", "PolyBltCopyKeyed_ABGR8888_XRGB8888", "PolyBltCopyKeyed_ABGR8888_XBGR8888",
        "PolyBltAlphaBlend_RGB565_RGB565", "PolyBltAlphaBlend_RGB555_RGB555", "PolyBltAlphaBlend_RGB888_RGB888",
        "PolyBltAlphaBlend_BGR888_BGR888", "PolyBltAlphaBlend_XRGB8888_XRGB8888", "PolyBltAlphaBlend_XBGR8888_XBGR8888",
        "PolyBltAlphaBlend_ARGB4565_ARGB4565", "PolyBltAlphaBlend_ARGB4555_ARGB4555", "PolyBltAlphaBlend_ARGB8888_ARGB8888",
        "PolyBltAlphaBlend_ABGR8888_ABGR8888", "PolyBltAlphaBlend_RGB565_ARGB4565", "PolyBltAlphaBlend_RGB555_ARGB4555",
        "PolyBltAlphaBlend_RGB888_ARGB8888", "PolyBltAlphaBlend_BGR888_ABGR8888", "PolyBltAlphaBlend_XRGB8888_ARGB8888",
        "PolyBltAlphaBlend_XBGR8888_ABGR8888", "PolyBltAlphaBlend_ARGB4565_RGB565", "PolyBltAlphaBlend_ARGB4555_RGB555",
        "PolyBltAlphaBlend_ARGB8888_RGB888", "PolyBltAlphaBlend_ARGB8888_BGR888", "PolyBltAlphaBlend_ARGB8888_XRGB8888",
        "PolyBltAlphaBlend_ARGB8888_XBGR8888", "PolyBltAlphaBlend_ABGR8888_RGB888", "PolyBltAlphaBlend_ABGR8888_BGR888",
        "PolyBltAlphaBlend_ABGR8888_XRGB8888", "PolyBltAlphaBlend_ABGR8888_XBGR8888",
    };
    std::set<std::string> names;
    const char* mode_names[11] = {"PolyBltCopy_", "PolyBltCopyKeyed_"};
    mode_names[10] = "PolyBltAlphaBlend_";
    for (const PolyBltRoutineEntry& e : GetPolyBltRegistry()) {
        names.insert(e.name);
        EXPECT_EQ(e.name, std::string(mode_names[e.mode]) + TypeName(e.dst_type) + "_" + TypeName(e.src_type));
        EXPECT_EQ(FindPolyBltRoutine(e.mode, e.dst_type, e.src_type), e.routine) << e.name;
    }
    EXPECT_EQ(GetPolyBltRegistry().size(), 67u);
    EXPECT_EQ(names, expected);
}

// A small XRGB8888 picture whose every texel is its own position: 0x00YYXX01.
struct Board {
    explicit Board(int w, int h, uint32_t fill_with = 0) : pixels(size_t(w) * h, fill_with) {
        desc.Init(pixels.data(), w * 4, w, h, kSurfaceXRGB8888);
    }
    static uint32_t Texel(int x, int y) { return uint32_t(y) << 16 | uint32_t(x) << 8 | 1u; }
    void Number() {
        for (int y = 0; y < desc.GetHeight(); ++y)
            for (int x = 0; x < desc.GetWidth(); ++x) At(x, y) = Texel(x, y);
    }
    uint32_t& At(int x, int y) { return pixels[size_t(y) * desc.GetWidth() + x]; }
    // The rows as text: '.' untouched, '#' drawn.
    std::string Coverage() {
        std::string s;
        for (int y = 0; y < desc.GetHeight(); ++y, s += '|')
            for (int x = 0; x < desc.GetWidth(); ++x) s += At(x, y) ? '#' : '.';
        return s;
    }
    std::vector<uint32_t> pixels;
    CSurfaceInfo desc;
};

// Copies a polygon from a numbered source (8 x 8 unless said) onto an empty 8 x 8 board.
Board Draw(const std::vector<POINT>& dst, const std::vector<POINT>& src, uint8_t flag, const RECT* clip = nullptr, int size = 8) {
    Board source(size, size), dest(8, 8);
    source.Number();
    PolygonInfo info{src.data(), dst.data(), clip, flag, static_cast<int32_t>(dst.size())};
    EXPECT_EQ(dest.desc.PolygonBlt(kPolyBltCopy, &source.desc, &info, nullptr), 0);
    return dest;
}

TEST(PolygonWalk, EdgeCases) {
    const std::vector<POINT> tri = {{0, 0}, {4, 0}, {0, 4}};
    const std::string tri_rows = "#####...|####....|###.....|##......|#.......|........|........|........|";
    // The triangle covers rows of 5, 4, 3, 2 and 1 pixels from x = 0.
    EXPECT_EQ(Draw(tri, tri, 0).Coverage(), tri_rows);
    // Source points equal to the destination's: every pixel its own texel.
    Board same = Draw(tri, tri, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x + y <= 4; ++x) EXPECT_EQ(same.At(x, y), Board::Texel(x, y)) << x << "," << y;

    // With the flag set, the 4 x 4 square maps the 4 x 4 source block one to one; without it
    // texels of column 4 and row 4 are read.
    const std::vector<POINT> square = {{0, 0}, {3, 0}, {3, 3}, {0, 3}}, square_src = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    Board exclusive = Draw(square, square_src, 1), inclusive = Draw(square, square_src, 0);
    bool reads_far = false;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(exclusive.At(x, y), Board::Texel(x, y)) << x << "," << y;
            uint32_t t = inclusive.At(x, y);
            reads_far |= ((t >> 8) & 255) == 4 || (t >> 16) == 4;
        }
    EXPECT_TRUE(reads_far);
    EXPECT_EQ(Draw(square, square_src, 1, nullptr, 4).pixels, exclusive.pixels);   // the 4 x 4 source itself
    // The other orientation draws the same pixels.
    const std::vector<POINT> square_ccw = {{0, 0}, {0, 3}, {3, 3}, {3, 0}}, square_src_ccw = {{0, 0}, {0, 4}, {4, 4}, {4, 0}};
    EXPECT_EQ(Draw(square_ccw, square_src_ccw, 1).pixels, exclusive.pixels);
    EXPECT_EQ(Draw({{4, 0}, {0, 4}, {0, 0}}, {{4, 0}, {0, 4}, {0, 0}}, 0).pixels, same.pixels);

    // Any number of vertices: 4,102, most of them down the left side of a strip.
    std::vector<POINT> strip = {{3, 4099}, {3, 0}};
    for (int y = 0; y < 4100; ++y) strip.push_back({0, y});
    EXPECT_EQ(Draw(strip, strip, 0).Coverage(), "####....|####....|####....|####....|####....|####....|####....|####....|");

    // Two vertices: one pixel per row from the upper to the lower vertex.
    EXPECT_EQ(Draw({{1, 1}, {5, 5}}, {{0, 0}, {4, 4}}, 0).Coverage(),
              "........|.#......|..#.....|...#....|....#...|.....#..|........|........|");

    // Wholly above the clip's top or at its bottom: nothing.
    RECT lower{0, 5, 8, 8}, upper{0, 0, 8, 2};
    EXPECT_EQ(Draw(tri, tri, 0, &lower).Coverage(), Board(8, 8).Coverage());
    EXPECT_EQ(Draw({{0, 2}, {4, 2}, {0, 6}}, tri, 0, &upper).Coverage(), Board(8, 8).Coverage());

    // A clip whose top lies inside the polygon starts at that row with the unclipped values.
    const std::vector<POINT> slanted = {{1, 0}, {7, 2}, {5, 7}, {0, 5}}, slanted_src = {{0, 0}, {7, 1}, {6, 7}, {1, 6}};
    Board whole = Draw(slanted, slanted_src, 0);
    for (int top = 1; top < 7; ++top) {
        RECT clip{0, top, 8, 8};
        Board cut = Draw(slanted, slanted_src, 0, &clip);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) EXPECT_EQ(cut.At(x, y), y < top ? 0u : whole.At(x, y)) << top << ": " << x << "," << y;
    }
    // Source positions beyond the source: each span's end texels are clamped into it.
    Board clamped = Draw(tri, {{-50, -50}, {60, -50}, {-50, 60}}, 0);
    EXPECT_EQ(clamped.Coverage(), tri_rows);
    EXPECT_EQ(clamped.At(0, 0), Board::Texel(0, 0));
    EXPECT_EQ(clamped.At(4, 0), Board::Texel(7, 0));
    EXPECT_EQ(clamped.At(0, 4), Board::Texel(0, 7));
    // Only a polygon with a source point outside the source checks its rows' texels; magnified
    // onto the source's last texels, either kind takes the model's texels.
    const std::vector<POINT> square8 = {{0, 0}, {7, 0}, {7, 7}, {0, 7}};
    const struct {
        std::vector<POINT> src;
        uint8_t flag;
        bool checks;
    } decisions[] = {{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 0, false}, {{{0, 0}, {2, 0}, {2, 2}, {0, 2}}, 1, true}, {{{-1, 0}, {1, 0}, {1, 1}, {0, 1}}, 0, true}};
    for (const auto& c : decisions) {
        const PolygonInfo info{c.src.data(), square8.data(), nullptr, c.flag, 4};
        Board source(2, 2), want(8, 8);
        PolygonScan scan;
        ASSERT_TRUE(scan.Begin(source.desc, 4, want.desc, info));
        EXPECT_EQ(scan.ChecksTexels(), c.checks) << c.src[0].x << " " << int(c.flag);
        RefPolygonWalk(info, 8, 8, 2, 2, [&](int x, int y, int u, int v) { want.At(x, y) = Board::Texel(u, v); });
        EXPECT_EQ(Draw(square8, c.src, c.flag, nullptr, 2).pixels, want.pixels) << c.src[0].x << " " << int(c.flag);
    }

    // A span cut on the left starts with j steps and no half texel: the pixels can differ.
    RECT left_cut{2, 0, 8, 8};
    Board cut = Draw({{0, 0}, {7, 0}, {7, 1}, {0, 1}}, {{0, 0}, {3, 0}, {3, 1}, {0, 1}}, 0, &left_cut);
    Board uncut = Draw({{0, 0}, {7, 0}, {7, 1}, {0, 1}}, {{0, 0}, {3, 0}, {3, 1}, {0, 1}}, 0);
    EXPECT_EQ(uncut.At(2, 0), Board::Texel(1, 0));   // 0x20000 + 2 * (3 << 18) / 7: texel 1
    EXPECT_EQ(cut.At(2, 0), Board::Texel(0, 0));     // j = 1: (3 << 18) / 7, texel 0
}

// Bad polygons draw nothing, through the entry and through every routine directly.
TEST(PolygonWalk, UndrawablePolygonsDrawNothing) {
    struct Bad {
        const char* what;
        std::vector<POINT> dst;
        int count;   // -1: the array's size
    };
    const Bad cases[] = {
        {"one vertex", {{1, 1}}, -1},
        {"no vertices", {}, 0},
        {"negative count", {{0, 0}, {3, 3}}, -4},
        {"all on one row", {{0, 2}, {3, 2}, {6, 2}}, -1},
        {"three in a row on top", {{0, 0}, {2, 0}, {4, 0}, {2, 4}}, -1},
        {"flat edge on the side", {{0, 0}, {4, 0}, {4, 2}, {6, 2}, {6, 5}, {0, 5}}, -1},
        {"not convex", {{0, 0}, {6, 0}, {3, 2}, {6, 6}, {0, 6}}, -1},
        {"self-intersecting", {{0, 0}, {6, 6}, {6, 0}, {0, 6}}, -1},
        {"winds twice", {{3, 0}, {5, 6}, {0, 2}, {6, 2}, {1, 6}}, -1},
        {"beyond 14 bits", {{0, 0}, {8192, 3}, {0, 5}}, -1},
        {"below 14 bits", {{0, -8193}, {3, 3}, {0, 5}}, -1},
        {"spread beyond 14 bits", {{-5000, 0}, {5000, 3}, {0, 5}}, -1},
    };
    Board source(8, 8);
    source.Number();
    for (const Bad& c : cases) {
        std::vector<POINT> src(c.dst.size(), POINT{1, 1});
        int count = c.count == -1 ? static_cast<int>(c.dst.size()) : c.count;
        std::vector<POINT> dst = c.dst;   // arrays as long as the count says
        dst.resize(std::max<size_t>(dst.size(), count > 0 ? size_t(count) : 0), POINT{1, 1});
        src.resize(dst.size(), POINT{1, 1});
        PolygonInfo info{src.data(), dst.data(), nullptr, 0, count};
        PolygonShape shape;
        EXPECT_NE(CheckPolygon(info, shape), nullptr) << c.what;
        Board dest(8, 8);
        EXPECT_EQ(dest.desc.PolygonBlt(kPolyBltCopy, &source.desc, &info, nullptr), 0) << c.what;
        for (const PolyBltRoutineEntry& e : GetPolyBltRegistry()) EXPECT_EQ(e.routine(&source.desc, &dest.desc, BltParam{}, &info), 0);
        EXPECT_EQ(dest.Coverage(), Board(8, 8).Coverage()) << c.what;
    }
    // Missing arrays.
    std::vector<POINT> tri = {{0, 0}, {4, 0}, {0, 4}};
    PolygonInfo no_src{nullptr, tri.data(), nullptr, 0, 3}, no_dst{tri.data(), nullptr, nullptr, 0, 3};
    Board dest(8, 8);
    EXPECT_EQ(dest.desc.PolygonBlt(kPolyBltCopy, &source.desc, &no_src, nullptr), 0);
    EXPECT_EQ(dest.desc.PolygonBlt(kPolyBltCopy, &source.desc, &no_dst, nullptr), 0);
    EXPECT_EQ(dest.Coverage(), Board(8, 8).Coverage());
    // Null arguments of a routine.
    PolygonInfo ok{tri.data(), tri.data(), nullptr, 0, 3};
    PolyBltRoutine r = FindPolyBltRoutine(kPolyBltCopy, kSurfaceXRGB8888, kSurfaceXRGB8888);
    EXPECT_EQ(r(nullptr, &dest.desc, BltParam{}, &ok), -1);
    EXPECT_EQ(r(&source.desc, nullptr, BltParam{}, &ok), -1);
    EXPECT_EQ(r(&source.desc, &dest.desc, BltParam{}, nullptr), -1);
}

// Exactly sized surfaces (no slack for a stray access to land in) and random garbage: random
// counts, coordinates near and far, source positions outside the source, clips beyond the
// destination. Every routine; nothing outside the clip changes. Run under the address
// sanitizer this shows that nothing outside either surface is read or written.
TEST(PolygonWalk, GarbagePolygonsStayInsideBothSurfaces) {
    InitAlphaTables();
    std::mt19937 rng(1102);
    auto registry = GetPolyBltRegistry();
    for (int trial = 0; trial < 1500; ++trial) {
        const PolyBltRoutineEntry& e = registry[trial % registry.size()];
        int dw = Uniform(rng, 1, 12), dh = Uniform(rng, 1, 12), sw = Uniform(rng, 1, 12), sh = Uniform(rng, 1, 12);
        int ds = PixelSize(e.dst_type), ss = PixelSize(e.src_type);
        std::vector<uint8_t> dpix(size_t(dw) * dh * ds), spix(size_t(sw) * sh * ss);
        for (uint8_t& b : dpix) b = static_cast<uint8_t>(rng());
        for (uint8_t& b : spix) b = static_cast<uint8_t>(rng());
        CSurfaceInfo dest, source;
        bool dest_up = rng() % 2, src_up = rng() % 2;
        dest.Init(dest_up ? &dpix[size_t(dh - 1) * dw * ds] : dpix.data(), dest_up ? -dw * ds : dw * ds, dw, dh, e.dst_type);
        source.Init(src_up ? &spix[size_t(sh - 1) * sw * ss] : spix.data(), src_up ? -sw * ss : sw * ss, sw, sh, e.src_type);

        int n = Uniform(rng, 0, 9);
        // Coordinates far beyond the limits, just beyond, small, or spanning the whole range
        // allowed (the largest fixed-point values the walk accepts).
        int kind = trial % 5, range = kind == 0 ? 20000 : kind == 1 ? 9000 : 30;
        int lo = kind == 4 ? (rng() % 2 ? kPolygonCoordMin : 0) : -range, hi = kind == 4 ? lo + kPolygonCoordMax : range;
        Polygon p;
        if (trial % 3 == 0) {
            p.dst = RandomConvex(rng, lo, hi, lo, hi);
            n = static_cast<int>(p.dst.size());
        } else {
            for (int i = 0; i < n; ++i) p.dst.push_back({Uniform(rng, lo, hi), Uniform(rng, lo, hi)});
        }
        for (int i = 0; i < n; ++i) p.src.push_back({Uniform(rng, lo, hi), Uniform(rng, lo, hi)});
        p.flag = static_cast<uint8_t>(rng() % 2);
        p.has_clip = rng() % 2;
        p.clip = {Uniform(rng, -20, 20), Uniform(rng, -20, 20), Uniform(rng, -20, 20), Uniform(rng, -20, 20)};
        PolygonInfo info = p.Info();

        std::vector<uint8_t> before = dpix;
        EXPECT_EQ(e.routine(&source, &dest, BltParam::FromWord(static_cast<uint32_t>(rng())), &info), 0);
        RECT c = p.has_clip ? p.clip : RECT{0, 0, dw, dh};
        for (int y = 0; y < dh; ++y) {
            for (int x = 0; x < dw; ++x) {
                if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) continue;
                ASSERT_EQ(0, std::memcmp(dest.PixelAt(x, y), before.data() + (dest.PixelAt(x, y) - dpix.data()), ds))
                    << e.name << " trial " << trial << " pixel " << x << "," << y;
            }
        }
    }
}

} // namespace
