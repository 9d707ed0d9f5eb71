// addalpha_test.cpp -- the constant-alpha kinds 6 to 9 on chosen pixels: worked numbers, the
// pixel-pair walk, stretched columns, the keys, the routine and thunk names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "blit_reference.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltDispatch.h"
#include "sdk/draw/blit/AddSubOps.h"   // beside ConstAlphaOps.h: each operator name has one definition
#include "sdk/draw/blit/ConstAlphaOps.h"
#include "sdk/draw/blit/ConstAlphaRoutines.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

const BltRoutineEntry* Entry(const std::string& name) {
    for (const BltRoutineEntry& e : GetBltRegistry())
        if (name == e.name) return &e;
    return nullptr;
}

constexpr uint32_t Rgb565(int r, int g, int b) {
    return uint32_t(r) << 11 | uint32_t(g) << 5 | uint32_t(b);
}
constexpr uint32_t Rgb555(int r, int g, int b) {
    return uint32_t(r) << 10 | uint32_t(g) << 5 | uint32_t(b);
}
// Bytes 0, 1, 2, 3 of a pixel as its little-endian value.
constexpr uint32_t Bytes(int b0, int b1, int b2, int b3 = 0) {
    return uint32_t(b0) | uint32_t(b1) << 8 | uint32_t(b2) << 16 | uint32_t(b3) << 24;
}

class ConstAlphaPixels : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitAlphaTables(); }
};

} // namespace

// One destination pixel and one source pixel through GeneralBlt of the routine's kind, the
// parameter a word with other upper bytes; the keyed kinds with the source's colour key.
TEST_F(ConstAlphaPixels, WorkedNumbers) {
    struct Row {
        const char* routine;
        uint32_t word;        // parameter word; its low byte is the alpha
        uint32_t dst, src, want;
        uint32_t key = 0xFF010203;   // matches none of the sources unless a row says so
    };
    const uint32_t white565 = Rgb565(31, 63, 31), white555 = Rgb555(31, 31, 31);
    const Row rows[] = {
        // 24-bit colours: each byte of a white source scales to 128 at a = 128.
        {"BltAddAlpha_RGB888_RGB888", 128, Bytes(200, 100, 50), 0xFFFFFF, Bytes(255, 228, 178)},
        {"BltSubAlpha_RGB888_RGB888", 0x12345680, Bytes(200, 100, 50), 0xFFFFFF, Bytes(72, 0, 0)},
        {"BltSubAlphaKeyed_BGR888_BGR888", 128, Bytes(200, 100, 50), 0xFFFFFF, Bytes(72, 0, 0)},
        {"BltAddAlphaKeyed_XRGB8888_XRGB8888", 128, Bytes(100, 100, 100, 0x55), Bytes(200, 200, 200), Bytes(200, 200, 200, 0x55)},
        {"BltAddAlphaKeyed_XRGB8888_XRGB8888", 255, Bytes(200, 200, 200, 0x55), Bytes(200, 200, 200), Bytes(255, 255, 255, 0x55)},
        // An alpha source onto its plain twin: a = 255 and source alpha 128 scale 200 to 100.
        {"BltAddAlpha_XRGB8888_ARGB8888", 255, Bytes(100, 100, 100, 0x55), Bytes(200, 200, 200, 128), Bytes(200, 200, 200, 0x55)},
        {"BltSubAlpha_XRGB8888_ARGB8888", 255, Bytes(100, 100, 100, 0x55), Bytes(200, 200, 200, 128), Bytes(0, 0, 0, 0x55)},
        {"BltAddAlpha_RGB888_ARGB8888", 255, Bytes(10, 20, 30), Bytes(200, 200, 200, 0), Bytes(10, 20, 30)},
        // Subtracting from XBGR8888 writes its spare byte 0, from XRGB8888 keeps it, even at a = 0.
        {"BltSubAlpha_XBGR8888_ABGR8888", 0, Bytes(10, 20, 30, 0x77), Bytes(1, 2, 3, 255), Bytes(10, 20, 30, 0)},
        {"BltSubAlpha_XRGB8888_ARGB8888", 0, Bytes(10, 20, 30, 0x77), Bytes(1, 2, 3, 255), Bytes(10, 20, 30, 0x77)},
        // Plain sources onto 32-bit alpha types come out opaque, even at a = 0; channels by colour.
        {"BltAddAlpha_ARGB8888_XRGB8888", 0, Bytes(10, 20, 30, 0), Bytes(200, 200, 200), Bytes(10, 20, 30, 255)},
        {"BltSubAlpha_ARGB8888_BGR888", 255, Bytes(100, 100, 100, 7), Bytes(10, 20, 30), Bytes(70, 80, 90, 255)},
        {"BltAddAlpha_ABGR8888_RGB888", 255, Bytes(100, 100, 100, 7), Bytes(10, 20, 30), Bytes(130, 120, 110, 255)},
        // RGB565 takes the even levels: a = 0x90 is level 8, a = 255 level 14.
        {"BltAddAlpha_RGB565_RGB565", 0x90, 0, white565, Rgb565(16, 33, 16)},
        {"BltAddAlpha_RGB565_RGB565", 255, 0, white565, Rgb565(28, 58, 28)},
        {"BltAddAlphaKeyed_RGB565_RGB565", 0x90, 0, white565, Rgb565(16, 33, 16)},
        {"BltAddAlphaKeyed_RGB565_RGB565", 255, 0, white565, Rgb565(28, 58, 28)},
        {"BltAddAlpha_ARGB4565_RGB565", 255, 0x00050000, white565, 0x00050000 | Rgb565(28, 58, 28)},
        {"BltAddAlphaKeyed_RGB565_RGB565", 128, Rgb565(16, 32, 16), white565, white565},
        {"BltSubAlphaKeyed_RGB565_RGB565", 128, white565, white565, Rgb565(15, 30, 15)},
        // RGB555 takes every level: a = 0x90 is level 9; bit 15 of the destination stays.
        {"BltAddAlpha_RGB555_RGB555", 0x90, 0x8000, white555, 0x8000 | Rgb555(18, 18, 18)},
        {"BltAddAlpha_RGB555_RGB555", 0x80, Rgb555(16, 16, 16), white555, white555},
        {"BltAddAlpha_RGB555_RGB555", 0x80, 0x8000 | Rgb555(16, 16, 16), white555, 0x8000 | white555},
        {"BltSubAlpha_RGB555_RGB555", 0x80, 0x8000 | white555, white555, 0x8000 | Rgb555(15, 15, 15)},
        {"BltAddAlphaKeyed_RGB555_RGB555", 128, 0x8000 | Rgb555(8, 8, 8), white555, 0x8000 | Rgb555(24, 24, 24)},
        // A cell's level times a: M[128][240] = 120, level 7; RGB565 clears its lowest bit.
        {"BltAddAlpha_RGB565_ARGB4565", 128, 0, 0x000F0000 | white565, Rgb565(12, 25, 12)},
        {"BltAddAlpha_RGB555_ARGB4555", 128, 0, 0x000F0000 | white555, Rgb555(14, 14, 14)},
        {"BltAddAlpha_RGB555_ARGB4555", 255, Rgb555(3, 4, 5), 0x00F0FFFF, Rgb555(3, 4, 5)},   // level 0
        // Cells onto themselves add the whole colour at a = 0; their bytes 2 and 3 stay.
        {"BltAddAlpha_ARGB4565_ARGB4565", 0, 0xAB090000 | Rgb565(31, 0, 0), 0x00030000 | Rgb565(1, 2, 1), 0xAB090000 | Rgb565(31, 2, 1)},
        {"BltSubAlpha_ARGB4565_ARGB4565", 0, 0xAB090000 | Rgb565(31, 2, 1), 0x00030000 | Rgb565(1, 2, 1), 0xAB090000 | Rgb565(30, 0, 0)},
        {"BltAddAlphaKeyed_ARGB4555_ARGB4555", 0, 0x00028000 | Rgb555(1, 1, 1), Rgb555(2, 2, 2), 0x00020000 | Rgb555(3, 3, 3)},
        {"BltAddAlpha_ARGB4555_RGB555", 0, 0x00048000 | Rgb555(1, 2, 3), white555, 0x00040000 | Rgb555(1, 2, 3)},
        {"BltSubAlphaKeyed_ARGB8888_ARGB8888", 0, Bytes(100, 100, 100, 0), Bytes(30, 20, 10, 0), Bytes(70, 80, 90, 255)},
        // The key: matching source pixels leave every byte of their destination pixel.
        {"BltAddAlphaKeyed_RGB565_RGB565", 255, 0x1234, 0xF81F, 0x1234, 0xFFFF00FF},
        {"BltAddAlphaKeyed_RGB565_RGB565", 255, 0, 0xF81E, Rgb565(28, 0, 28), 0xFFFF00FF},
        {"BltAddAlphaKeyed_XRGB8888_XRGB8888", 255, Bytes(1, 1, 1, 9), Bytes(3, 2, 1, 0), Bytes(1, 1, 1, 9), 0x00010203},
        {"BltAddAlphaKeyed_XRGB8888_XRGB8888", 255, Bytes(1, 1, 1, 9), Bytes(3, 2, 1, 0xFF), Bytes(4, 3, 2, 9), 0x00010203},
        {"BltAddAlphaKeyed_ARGB8888_ARGB8888", 255, Bytes(1, 1, 1, 9), Bytes(3, 2, 1, 0x42), Bytes(1, 1, 1, 9), 0x00010203},
        {"BltSubAlphaKeyed_ARGB4565_ARGB4565", 0, 0x00070000 | white565, 0x000C0000 | 0xF81F, 0x00070000 | white565, 0xFFFF00FF},
        // RGB888 onto itself is served by the keyed kinds, its key in bytes B, G, R.
        {"BltAddAlphaKeyed_RGB888_RGB888", 255, Bytes(1, 1, 1), Bytes(0x33, 0x22, 0x11), Bytes(1, 1, 1), 0x00112233},
        {"BltSubAlphaKeyed_RGB888_RGB888", 255, Bytes(50, 50, 50), Bytes(0x33, 0x22, 0x12), Bytes(0, 16, 32), 0x00112233},
    };
    for (const Row& r : rows) {
        const BltRoutineEntry* e = Entry(r.routine);
        ASSERT_NE(e, nullptr) << r.routine;
        uint8_t dst[4], src[4];
        std::memcpy(dst, &r.dst, 4);
        std::memcpy(src, &r.src, 4);
        CSurfaceInfo dest, source;
        dest.Init(dst, 4, 1, 1, e->dst_type);
        source.Init(src, 4, 1, 1, e->src_type);
        source.SetColorKey(r.key);
        for (bool vector : {true, false}) {
            SetConstAlphaVectorRoutes(vector);
            std::memcpy(dst, &r.dst, 4);
            ASSERT_EQ(dest.GeneralBlt(e->kind, &source, nullptr, &r.word), 0) << r.routine;
            uint32_t got = RefLoad(Format(e->dst_type), dst);
            EXPECT_EQ(got, r.want) << r.routine << " a " << (r.word & 255) << std::hex << " got " << got;
        }
        SetConstAlphaVectorRoutes(true);
    }
}

// The same-type 16-bit routines of kinds 6 and 7 called with two different parameter words:
// a lone pixel takes the first (alpha 0, nothing added), a pixel pair the second (alpha 255).
// On a word-aligned surface a row that starts at an odd column begins with a lone pixel, and an
// odd count of pixels after it ends with one; a stretched blit takes lone pixels only.
TEST_F(ConstAlphaPixels, PixelPairsAndLonePixelsTakeTheirOwnParameter) {
    struct Row {
        int x, width;
        bool stretched;
        const char* changed;   // '+' where the pair step ran, one character per column 0..11
    };
    const Row rows[] = {
        {1, 1, false, "............"},   // only the lone first pixel
        {0, 1, false, "............"},   // only the lone last pixel
        {1, 10, false, "..++++++++.."},  // lone, one group of eight, no pair word, lone
        {0, 6, false, "++++++......"},   // three pair words
        {0, 12, false, "++++++++++++"},  // one group and two pair words
        {0, 8, true, "............"},    // stretched: one pixel at a time
    };
    using Direct = int (*)(const CSurfaceInfo&, const CSurfaceInfo&, BltParam, BltParam, const BltInfo&);
    struct Routine {
        Direct call;
        int type;
        bool sub;
    };
    const Routine routines[] = {{&BltAddAlpha_RGB565_RGB565, kSurfaceRGB565, false},
                                {&BltAddAlpha_RGB555_RGB555, kSurfaceRGB555, false},
                                {&BltSubAlpha_RGB565_RGB565, kSurfaceRGB565, true},
                                {&BltSubAlpha_RGB555_RGB555, kSurfaceRGB555, true}};
    for (auto [routine, type, sub] : routines) {
        for (const Row& r : rows) {
            for (bool vector : {true, false}) {
                SetConstAlphaVectorRoutes(vector);
                alignas(16) uint16_t dst[12], src[12];
                std::fill(std::begin(src), std::end(src), 0x7FFF);
                std::fill(std::begin(dst), std::end(dst), sub ? 0x7FFF : 0);
                CSurfaceInfo dest, source;
                dest.Init(dst, sizeof dst, 12, 1, type);
                source.Init(src, sizeof src, 12, 1, type);
                RECT part{0, 0, r.stretched ? 4 : r.width, 1};
                POINT pos{r.x, 0};
                SIZE size{r.width, 1};
                BltInfo info;
                info.src = &part;
                info.pos = &pos;
                info.size = r.stretched ? &size : nullptr;
                ASSERT_EQ(routine(source, dest, BltParam::FromWord(0), BltParam::FromWord(255), info), 0);
                std::string changed;
                for (uint16_t v : dst) changed += v == (sub ? 0x7FFF : 0) ? '.' : '+';
                EXPECT_EQ(changed, r.changed) << "type " << type << " sub " << sub << " x " << r.x << " width "
                                              << r.width << " vector " << vector;
            }
        }
    }
    SetConstAlphaVectorRoutes(true);
}

// RGB565 onto itself scales every pixel alike, whether a lone pixel, a pair or stretched:
// at a = 0x90 white adds 16, 33, 16 everywhere.
TEST_F(ConstAlphaPixels, Rgb565UsesOneLevelForEveryPixel) {
    for (int kind : {kBltAddAlpha, kBltAddAlphaKeyed}) {
        for (bool stretched : {false, true}) {
            alignas(16) uint16_t dst[12] = {}, src[12];
            std::fill(std::begin(src), std::end(src), 0xFFFF);
            CSurfaceInfo dest, source;
            dest.Init(dst, sizeof dst, 12, 1, kSurfaceRGB565);
            source.Init(src, sizeof src, 12, 1, kSurfaceRGB565);
            POINT pos{1, 0};
            SIZE size{11, 1};
            RECT part{0, 0, stretched ? 5 : 11, 1};
            BltInfo info;
            info.pos = &pos;
            info.src = &part;
            info.size = stretched ? &size : nullptr;
            const uint32_t a = 0x90;
            ASSERT_EQ(dest.GeneralBlt(kind, &source, &info, &a), 0);
            for (int x = 1; x < 12; ++x) EXPECT_EQ(dst[x], Rgb565(16, 33, 16)) << "kind " << kind << " column " << x;
            EXPECT_EQ(dst[0], 0);
        }
    }
}

// Stretched columns take the source column of the unclipped walk, also behind a left clip.
TEST_F(ConstAlphaPixels, StretchedColumnsFollowTheErrorWalk) {
    struct Row {
        int src_width, dst_width, clip_left;
        std::vector<int> columns;   // source column per destination column, -1 untouched
    };
    const Row rows[] = {
        {3, 4, 0, {0, 1, 2, 2}},        {2, 5, 0, {0, 0, 1, 1, 1}},  {7, 3, 0, {0, 2, 4}},
        {3, 4, 1, {-1, 1, 2, 2}},       {2, 5, 2, {-1, -1, 1, 1, 1}}, {7, 3, 1, {-1, 2, 4}},
        {5, 2, 0, {0, 2}},              {4, 3, 0, {0, 1, 2}},
    };
    for (const Row& r : rows) {
        for (const char* name : {"BltAddAlpha_XRGB8888_XRGB8888", "BltAddAlphaKeyed_XRGB8888_XRGB8888"}) {
            const BltRoutineEntry* e = Entry(name);
            ASSERT_NE(e, nullptr);
            std::vector<uint32_t> src(r.src_width * 2), dst(r.dst_width * 2, 0);
            for (int y = 0; y < 2; ++y)
                for (int i = 0; i < r.src_width; ++i) src[y * r.src_width + i] = i + 1;
            CSurfaceInfo dest, source;
            dest.Init(dst.data(), r.dst_width * 4, r.dst_width, 2, kSurfaceXRGB8888);
            source.Init(src.data(), r.src_width * 4, r.src_width, 2, kSurfaceXRGB8888);
            source.SetColorKey(0xFFFFFFFF);
            SIZE size{r.dst_width, 2};
            RECT clip{r.clip_left, 0, r.dst_width, 2};
            BltInfo info;
            info.size = &size;
            info.clip = &clip;
            const uint32_t a = 255;
            ASSERT_EQ(dest.GeneralBlt(e->kind, &source, &info, &a), 0);
            std::vector<int> got;
            for (int i = 0; i < r.dst_width; ++i) got.push_back(static_cast<int>(dst[i]) - 1);
            EXPECT_EQ(got, r.columns) << name << " " << r.src_width << " onto " << r.dst_width << " clip "
                                      << r.clip_left;
        }
    }
}

// The registry holds the 72 routines of kinds 6 to 9 by name, each found by the dispatch, and
// every routine but the four direct ones has its thunk, which draws as the routine does.
TEST(ConstAlphaNames, RoutinesAndThunks) {
    const std::pair<const char*, const char*> pairs[] = {
        {"RGB565", "RGB565"},     {"RGB555", "RGB555"},     {"RGB565", "ARGB4565"},   {"RGB555", "ARGB4555"},
        {"RGB888", "ARGB8888"},   {"BGR888", "ABGR8888"},   {"XRGB8888", "ARGB8888"}, {"XBGR8888", "ABGR8888"},
        {"ARGB4565", "RGB565"},   {"ARGB4555", "RGB555"},   {"ARGB8888", "RGB888"},   {"ARGB8888", "BGR888"},
        {"ARGB8888", "XRGB8888"}, {"ARGB8888", "XBGR8888"}, {"ABGR8888", "RGB888"},   {"ABGR8888", "BGR888"},
        {"ABGR8888", "XRGB8888"}, {"ABGR8888", "XBGR8888"}, {"RGB888", "RGB888"},     {"BGR888", "BGR888"},
        {"XRGB8888", "XRGB8888"}, {"XBGR8888", "XBGR8888"}, {"ARGB4565", "ARGB4565"}, {"ARGB4555", "ARGB4555"},
        {"ARGB8888", "ARGB8888"}, {"ABGR8888", "ABGR8888"}};
    std::set<std::string> want_routines, want_thunks;
    for (const char* kind : {"BltAddAlpha_", "BltSubAlpha_"}) {
        for (auto [d, s] : pairs) {
            std::string name = std::string(kind) + d + "_" + s;
            want_routines.insert(name);
            if (!(std::string(d) == s && (std::string(d) == "RGB565" || std::string(d) == "RGB555")))
                want_thunks.insert("Call" + name);
        }
    }
    for (const char* kind : {"BltAddAlphaKeyed_", "BltSubAlphaKeyed_"}) {
        for (int type : kTypes) {
            std::string name = std::string(kind) + TypeName(type) + "_" + TypeName(type);
            want_routines.insert(name);
            want_thunks.insert("Call" + name);
        }
    }
    EXPECT_EQ(want_thunks.size(), 48u + 20u);

    std::set<std::string> routines, thunks;
    for (const BltRoutineEntry& e : GetBltRegistry()) {
        if (e.kind < kBltAddAlpha || e.kind > kBltSubAlphaKeyed) continue;
        EXPECT_TRUE(routines.insert(e.name).second) << "twice: " << e.name;
        EXPECT_EQ(FindBltRoutine(e.kind, e.dst_type, e.src_type), e.routine) << e.name;
        EXPECT_EQ(std::string(e.name), std::string(e.kind == 6   ? "BltAddAlpha_"
                                                   : e.kind == 7 ? "BltSubAlpha_"
                                                   : e.kind == 8 ? "BltAddAlphaKeyed_"
                                                                 : "BltSubAlphaKeyed_") +
                                           TypeName(e.dst_type) + "_" + TypeName(e.src_type));
    }
    for (const BltThunkEntry& t : GetConstAlphaThunks()) {
        EXPECT_TRUE(thunks.insert(t.name).second) << "twice: " << t.name;
        EXPECT_EQ(std::string(t.name), std::string("Call") +
                                           (t.kind == 6   ? "BltAddAlpha_"
                                            : t.kind == 7 ? "BltSubAlpha_"
                                            : t.kind == 8 ? "BltAddAlphaKeyed_"
                                                          : "BltSubAlphaKeyed_") +
                                           TypeName(t.dst_type) + "_" + TypeName(t.src_type));
    }
    EXPECT_EQ(routines, want_routines);
    EXPECT_EQ(thunks, want_thunks);
}

namespace {

// One pixel through an operator: the destination value after op(destination, source).
template <class Op>
uint32_t RunOp(const Op& op, uint32_t d, uint32_t s) {
    uint8_t dst[4], src[4];
    std::memcpy(dst, &d, 4);
    std::memcpy(src, &s, 4);
    op(dst, src);
    uint32_t out;
    std::memcpy(&out, dst, 4);
    return out;
}

} // namespace

// The operators by name, each on its own pixel; 16- and 24-bit results keep the bytes above them.
TEST_F(ConstAlphaPixels, NamedOperators) {
    const BltParam a90 = BltParam::FromWord(0x90), a128 = BltParam::FromWord(128), a255 = BltParam::FromWord(255);
    const uint32_t white565 = Rgb565(31, 63, 31);
    EXPECT_EQ(RunOp(OpAddConst_RGB565_RGB565(a90), 0xEEEE0000, white565), 0xEEEE0000 | Rgb565(16, 33, 16));
    EXPECT_EQ(RunOp(OpAddConst_RGB555_RGB555(a90), 0x8000, Rgb555(31, 31, 31)), 0x8000 | Rgb555(18, 18, 18));
    EXPECT_EQ(RunOp(OpAddConst_RGB555_ARGB4555(a128), 0, 0x000F0000 | Rgb555(31, 31, 31)), Rgb555(14, 14, 14));
    EXPECT_EQ(RunOp(OpSubConst_RGB555_RGB555(a128), 0x8000 | Rgb555(31, 31, 31), Rgb555(31, 31, 31)), 0x8000 | Rgb555(15, 15, 15));
    EXPECT_EQ(RunOp(OpSubSatBits_RGB565<PixelRGB565, PixelRGB565>(a90), Rgb565(31, 63, 31), Rgb565(1, 2, 3)), Rgb565(30, 61, 28));
    EXPECT_EQ(RunOp(OpAddConst_RGB888_RGB888(a128), Bytes(200, 100, 50, 0x99), 0xFFFFFF), Bytes(255, 228, 178, 0x99));
    EXPECT_EQ(RunOp(OpSubConst_BGR888_BGR888(a128), Bytes(200, 100, 50), 0xFFFFFF), Bytes(72, 0, 0));
    EXPECT_EQ(RunOp(OpAddConst_XBGR8888_XBGR8888(a128), Bytes(100, 100, 100, 0x55), Bytes(200, 200, 200, 0x77)), Bytes(200, 200, 200, 0x55));
    EXPECT_EQ(RunOp(OpSubConst_XRGB8888_XRGB8888(a255), Bytes(100, 100, 100, 0x55), Bytes(30, 20, 10)), Bytes(70, 80, 90, 0x55));
    EXPECT_EQ(RunOp(OpAddPixelAlpha_XRGB8888_ARGB8888<PixelXRGB8888, PixelARGB8888>(a255), Bytes(100, 100, 100, 0x55), Bytes(200, 200, 200, 128)), Bytes(200, 200, 200, 0x55));
    EXPECT_EQ(RunOp(OpSubPixelAlpha_BGR888_ABGR8888<PixelBGR888, PixelABGR8888>(a255), Bytes(100, 100, 100), Bytes(200, 200, 200, 128)), Bytes(0, 0, 0));
    EXPECT_EQ(RunOp(OpAddSat_RGB565<PixelARGB4565, PixelARGB4565>(a90), 0xAB090000 | Rgb565(31, 0, 0), Rgb565(1, 2, 1)), 0xAB090000 | Rgb565(31, 2, 1));
    EXPECT_EQ(RunOp(OpSubSat_RGB555<PixelARGB4555, PixelARGB4555>(a90), 0x00018000 | Rgb555(3, 3, 3), Rgb555(1, 5, 1)), 0x00010000 | Rgb555(2, 0, 2));
    EXPECT_EQ(RunOp(OpAddSat_ABGR8888_ABGR8888<PixelABGR8888, PixelABGR8888>(a90), Bytes(250, 1, 2, 0), Bytes(10, 1, 2, 0)), Bytes(255, 2, 4, 255));
    // Two pixels of one word, both at the even level of a = 0x80.
    uint32_t two_white = white565 | white565 << 16, dst[1] = {two_white};
    OpSubConstDual_RGB565_RGB565(a128).Pair(reinterpret_cast<uint8_t*>(dst), reinterpret_cast<const uint8_t*>(&two_white));
    EXPECT_EQ(dst[0], Rgb565(15, 30, 15) | Rgb565(15, 30, 15) << 16);
    // The keyed operators read the alpha after the key and skip the key's pixels.
    const BltParam keyed = MakeKeyAlphaParam(Bytes(3, 2, 1, 0), 4, 255);
    EXPECT_EQ(RunOp(OpAddConstKeyed_XRGB8888_XRGB8888(keyed), Bytes(1, 1, 1, 9), Bytes(3, 2, 1, 0)), Bytes(1, 1, 1, 9));
    EXPECT_EQ(RunOp(OpSubConstKeyed_XBGR8888_XBGR8888(keyed), Bytes(9, 9, 9, 9), Bytes(3, 2, 1, 1)), Bytes(6, 7, 8, 9));
    const BltParam keyed3 = MakeKeyAlphaParam(Bytes(3, 2, 1), 3, 128);
    EXPECT_EQ(RunOp(OpAddConstKeyed_BGR888_BGR888(keyed3), Bytes(1, 1, 1), Bytes(3, 2, 1)), Bytes(1, 1, 1));
    EXPECT_EQ(RunOp(OpAddConstKeyed_BGR888_BGR888(keyed3), Bytes(1, 1, 1), Bytes(255, 2, 1)), Bytes(129, 2, 1));
}
