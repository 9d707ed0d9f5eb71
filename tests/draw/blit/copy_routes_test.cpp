// copy_routes_test.cpp -- the vector routes of the copy rows (SSE2, AVX2) against the scalar
// route bit for bit, and the stretch walk's shortcuts against the reference model on every route.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "blit_reference.h"
#include "sdk/draw/BltDispatch.h"
#include "sdk/draw/CpuFeature.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/BltRoutines.h"
#include "sdk/draw/blit/CopyRows.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

// One route: the limit on the usable processor features that selects it.
struct Route {
    const char* name;
    uint32_t limit;
};

// The scalar route first, then every vector route this processor can run.
std::vector<Route> Routes() {
    std::vector<Route> routes{{"scalar", 0}};
#if defined(__x86_64__)
    routes.push_back({"SSE2", kCpuFeatureSse2});
    if (CpuFeatureCache & kCpuFeatureAvx2) routes.push_back({"AVX2", kCpuFeatureSse2 | kCpuFeatureAvx2});
#endif
    return routes;
}

// Every test leaves the routes as it found them: all features usable.
class CopyRoutesTest : public ::testing::Test {
protected:
    void TearDown() override { LimitCpuFeatures(~0u); }
};

uint32_t KeyMask(int src_type) {
    int bits = Format(src_type).key_bits;
    return bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
}

// Random source bytes (spare bits too), about a third of the pixels equal to the key in the
// compared bits.
std::vector<uint8_t> RandomSource(int type, int bytes, uint32_t key, std::mt19937& rng) {
    const RefFormat& f = Format(type);
    std::vector<uint8_t> src(bytes);
    for (uint8_t& b : src) b = static_cast<uint8_t>(rng());
    uint32_t mask = KeyMask(type);
    for (int at = 0; at + f.size <= bytes; at += f.size)
        if (rng() % 3 == 0) RefStore(f, &src[at], (RefLoad(f, &src[at]) & ~mask) | (key & mask));
    return src;
}

// One row of width pixels through a routine: the rows start at the given byte offsets of their
// buffers, which are otherwise left as canaries. Returns the destination buffer.
std::vector<uint8_t> BlitRow(const BltRoutineEntry& e, std::vector<uint8_t> src, int src_at, std::vector<uint8_t> dst,
                             int dst_at, int width, uint32_t key) {
    CSurfaceInfo s, d;
    s.Init(src.data() + src_at, width * PixelSize(e.src_type), width, 1, e.src_type);
    d.Init(dst.data() + dst_at, width * PixelSize(e.dst_type), width, 1, e.dst_type);
    EXPECT_EQ(e.routine(s, d, BltParam::FromWord(key), BltInfo{}), 0);
    return dst;
}

} // namespace

// Every copy routine of both kinds, on rows of odd and even widths around the vector sizes,
// at misaligned starts: each vector route writes exactly the bytes of the scalar route.
TEST_F(CopyRoutesTest, EveryRouteGivesTheScalarPixelsOnRandomRows) {
    const std::vector<Route> routes = Routes();
    const int widths[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 23, 31, 33, 47, 64, 65, 97};
    std::mt19937 rng(2024);
    for (const BltRoutineEntry& e : GetBltRegistry()) {
        if (e.kind != kBltCopy && e.kind != kBltCopyKeyed) continue;
        for (int width : widths) {
            const int src_at = static_cast<int>(rng() % 4), dst_at = static_cast<int>(rng() % 4);
            const uint32_t key = ConvertColorKey(e.src_type, static_cast<uint32_t>(rng()));
            std::vector<uint8_t> src = RandomSource(e.src_type, src_at + width * PixelSize(e.src_type) + 8, key, rng);
            std::vector<uint8_t> dst(dst_at + width * PixelSize(e.dst_type) + 8);
            for (uint8_t& b : dst) b = static_cast<uint8_t>(rng());

            LimitCpuFeatures(routes[0].limit);
            const std::vector<uint8_t> want = BlitRow(e, src, src_at, dst, dst_at, width, key);
            for (size_t r = 1; r < routes.size(); ++r) {
                LimitCpuFeatures(routes[r].limit);
                ASSERT_EQ(BlitRow(e, src, src_at, dst, dst_at, width, key), want)
                    << e.name << " by " << routes[r].name << ", width " << width << ", offsets " << src_at << "/" << dst_at;
            }
        }
    }
}

// A row converted in place onto a type that is not larger (image loading does this): every
// vector route reads each source pixel before anything overwrites it.
TEST_F(CopyRoutesTest, InPlaceNarrowingRowsMatchTheScalarRoute) {
    const std::vector<Route> routes = Routes();
    std::mt19937 rng(77);
    for (int dt : kTypes) {
        for (int st : kTypes) {
            if (PixelSize(dt) > PixelSize(st)) continue;
            const int width = 61;
            std::vector<uint8_t> original(width * PixelSize(st) + 4);
            for (uint8_t& b : original) b = static_cast<uint8_t>(rng());
            std::vector<uint8_t> want;
            for (const Route& route : routes) {
                LimitCpuFeatures(route.limit);
                std::vector<uint8_t> row = original;
                ConvertPixelRow(row.data() + 1, dt, row.data() + 1, st, width);
                if (want.empty())
                    want = row;
                else
                    ASSERT_EQ(row, want) << TypeName(dt) << " <- " << TypeName(st) << " by " << route.name;
            }
        }
    }
}

TEST_F(CopyRoutesTest, TheLimitSelectsTheRoute) {
    EXPECT_EQ(UsableCpuFeatures() & ~CpuFeatureCache, 0u);
    LimitCpuFeatures(0);
    EXPECT_EQ(UsableCpuFeatures(), 0u);
    for (int dt : kTypes)
        for (int st : kTypes) {
            CopyRowRoute route = FindCopyRowRoute(dt, st);
            EXPECT_TRUE(route.copy == nullptr && route.keyed == nullptr) << TypeName(dt) << " <- " << TypeName(st);
        }
#if defined(__x86_64__)
    LimitCpuFeatures(kCpuFeatureSse2);
    EXPECT_EQ(UsableCpuFeatures(), kCpuFeatureSse2);
    for (int dt : kTypes)
        for (int st : kTypes) EXPECT_NE(FindCopyRowRoute(dt, st).copy, nullptr) << TypeName(dt) << " <- " << TypeName(st);
#endif
    EXPECT_EQ(FindCopyRowRoute(kSurfacePAL8, kSurfaceRGB565).copy, nullptr);
    EXPECT_EQ(FindCopyRowRoute(kSurfaceRGB565, 99).copy, nullptr);
}

namespace {

// A stretch that exercises one of the walk's shortcuts.
struct StretchCase {
    const char* what;
    int src_w, src_h, dst_w, dst_h;
    int dst_surface_w, dst_surface_h;
    RECT clip;   // {0, 0, 0, 0}: none
};

const StretchCase kStretchCases[] = {
    {"rows stretched only down: each row 1:1", 37, 5, 37, 12, 40, 14, {}},
    {"rows stretched only down, clipped", 37, 5, 37, 12, 40, 14, {3, 2, 30, 11}},
    {"every source row drawn three times", 19, 4, 45, 12, 48, 13, {}},
    {"repeated rows, clipped at the top", 19, 4, 45, 12, 48, 13, {2, 5, 40, 12}},
    {"shrunk in both directions", 50, 31, 17, 9, 20, 10, {}},
    {"one row only", 5, 1, 9, 1, 10, 1, {}},
    {"rows wider than the offset table", 700, 2, 1100, 5, 1101, 5, {}},
    {"wider than the offset table, clipped", 1300, 3, 1030, 4, 1030, 4, {1, 1, 1029, 3}},
};

} // namespace

// The stretch walk (rows copied from the finished row above, 1:1 rows inside a stretch, source
// offsets found once per call) against the reference model, for plain and keyed copies, top-down
// and bottom-up surfaces, on every route.
TEST_F(CopyRoutesTest, StretchShortcutsMatchTheReferenceModel) {
    const int pairs[][2] = {{kSurfaceXRGB8888, kSurfaceXRGB8888}, {kSurfaceRGB888, kSurfaceRGB888},
                            {kSurfaceXRGB8888, kSurfaceRGB565}, {kSurfaceRGB565, kSurfaceARGB8888}};
    std::mt19937 rng(31);
    for (const Route& route : Routes()) {
        LimitCpuFeatures(route.limit);
        for (const StretchCase& c : kStretchCases) {
            for (const auto& pair : pairs) {
                for (int kind : {kBltCopy, kBltCopyKeyed}) {
                    const bool bottom_up = rng() % 2 == 0;
                    TestSurface source(pair[1], c.src_w, c.src_h, !bottom_up, 3, rng);
                    TestSurface dest(pair[0], c.dst_surface_w, c.dst_surface_h, bottom_up, 5, rng);
                    const uint32_t key_argb = static_cast<uint32_t>(rng());
                    source.desc.SetColorKey(key_argb);
                    const uint32_t key = ConvertColorKey(pair[1], key_argb);
                    for (int y = 0; y < c.src_h; ++y) {
                        std::vector<uint8_t> row = RandomSource(pair[1], c.src_w * source.size, key, rng);
                        std::memcpy(source.Pixel(0, y), row.data(), row.size());
                    }
                    POINT pos{1, 0};
                    SIZE size{c.dst_w, c.dst_h};
                    BltInfo info;
                    info.pos = &pos;
                    info.size = &size;
                    info.clip = c.clip.right > 0 ? &c.clip : nullptr;
                    TestSurface expected(dest);
                    RefCopyBlt(expected, source, info, kind == kBltCopyKeyed, key_argb);
                    ASSERT_EQ(dest.desc.GeneralBlt(kind, &source.desc, &info, nullptr), 0);
                    ASSERT_TRUE(dest.memory == expected.memory)
                        << c.what << ": " << TypeName(pair[0]) << " <- " << TypeName(pair[1]) << ", kind " << kind
                        << (bottom_up ? ", bottom-up" : "") << ", " << route.name;
                }
            }
        }
    }
}
