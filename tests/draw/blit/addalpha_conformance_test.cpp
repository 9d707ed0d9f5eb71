// addalpha_conformance_test.cpp -- every routine of the constant-alpha kinds 6 to 9 against the
// reference model, on random surfaces, rectangles, stretches, clips, keys and alphas, through the
// registry, the thunks, the direct two-parameter forms and GeneralBlt, with and without the
// vector routes; and the whole-pixel saturating steps against plain per-field arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "addalpha_reference.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltDispatch.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/ConstAlphaOps.h"
#include "sdk/draw/blit/ConstAlphaRoutines.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

bool IsConstAlphaKind(int kind) {
    return kind >= kBltAddAlpha && kind <= kBltSubAlphaKeyed;
}
bool IsKeyedKind(int kind) {
    return kind == kBltAddAlphaKeyed || kind == kBltSubAlphaKeyed;
}

// The thunk of a registry entry; null for the four routines the dispatch calls directly.
BltRoutine ThunkOf(const BltRoutineEntry& e) {
    for (const BltThunkEntry& t : GetConstAlphaThunks())
        if (t.kind == e.kind && t.dst_type == e.dst_type && t.src_type == e.src_type) return t.thunk;
    return nullptr;
}

// The routine's two-parameter form, for the same-type 16-bit routines of kinds 6 and 7.
using DirectRoutine = int (*)(const CSurfaceInfo&, const CSurfaceInfo&, BltParam, BltParam, const BltInfo&);
DirectRoutine DirectOf(const BltRoutineEntry& e) {
    if (e.dst_type != e.src_type) return nullptr;
    if (e.kind == kBltAddAlpha && e.dst_type == kSurfaceRGB565) return &BltAddAlpha_RGB565_RGB565;
    if (e.kind == kBltAddAlpha && e.dst_type == kSurfaceRGB555) return &BltAddAlpha_RGB555_RGB555;
    if (e.kind == kBltSubAlpha && e.dst_type == kSurfaceRGB565) return &BltSubAlpha_RGB565_RGB565;
    if (e.kind == kBltSubAlpha && e.dst_type == kSurfaceRGB555) return &BltSubAlpha_RGB555_RGB555;
    return nullptr;
}

class ConstAlphaConformance : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitAlphaTables(); }
    void TearDown() override { SetConstAlphaVectorRoutes(true); }
};

// cases random blits of one routine; the way in and the vector switch rotate with the case.
void CheckRoutine(const BltRoutineEntry& e, int cases, uint32_t seed) {
    std::mt19937 rng(seed);
    BltRoutine thunk = ThunkOf(e);
    DirectRoutine direct = DirectOf(e);
    for (int c = 0; c < cases; ++c) {
        RandomCase rc(e.src_type, e.dst_type, 40, 24, rng);
        BltInfo info = rc.blt.Info();
        // Alphas at the ends and at odd levels come up often; the upper bytes are never read.
        const int special[] = {0, 255, 0x80, 0x90, 0x10, 0xEF};
        int a = Chance(rng, 30) ? special[Uniform(rng, 0, 5)] : Uniform(rng, 0, 255);
        uint32_t word = static_cast<uint32_t>(a) | (static_cast<uint32_t>(rng()) & 0xFFFFFF00u);

        TestSurface expected(rc.dest);
        RefConstAlphaBlt(expected, rc.source, info, e.kind, a, rc.key_argb);
        std::vector<uint8_t> source_before = rc.source.memory;

        SetConstAlphaVectorRoutes(c % 3 != 2);
        BltParam param = IsKeyedKind(e.kind)
                             ? MakeKeyAlphaParam(ConvertColorKey(e.src_type, rc.key_argb), PixelSize(e.src_type),
                                                 static_cast<uint8_t>(a))
                             : BltParam::FromWord(word);
        const char* way = "";
        switch (c % 4) {
        case 0:
            way = "registry";
            e.routine(rc.source.desc, rc.dest.desc, param, info);
            break;
        case 1:
            way = "GeneralBlt";
            ASSERT_EQ(rc.dest.desc.GeneralBlt(e.kind, &rc.source.desc, &info, &word), 0);
            break;
        default:
            if (direct) {
                way = "direct";
                direct(rc.source.desc, rc.dest.desc, param, param, info);
            } else {
                way = "thunk";
                ASSERT_NE(thunk, nullptr) << e.name;
                thunk(rc.source.desc, rc.dest.desc, param, info);
            }
        }
        if (rc.dest.memory != expected.memory) {
            size_t at = 0;
            while (rc.dest.memory[at] == expected.memory[at]) ++at;
            FAIL() << e.name << " case " << c << " (seed " << seed << ", " << way << ", a " << a << ", vector "
                   << ConstAlphaVectorRoutes() << "): " << Describe(rc.blt, rc.dest, rc.source)
                   << "; first differing byte at offset " << at << " of " << rc.dest.memory.size();
        }
        ASSERT_EQ(rc.source.memory, source_before) << e.name << " wrote into its source";
    }
}

} // namespace

TEST_F(ConstAlphaConformance, EveryRoutineMatchesTheReferenceModel) {
    uint32_t seed = 600;
    int routines = 0;
    for (const BltRoutineEntry& e : GetBltRegistry()) {
        if (!IsConstAlphaKind(e.kind)) continue;
        ++routines;
        CheckRoutine(e, 48, seed++);
        if (HasFatalFailure() || HasNonfatalFailure()) return;
    }
    EXPECT_EQ(routines, 72);
}

// Long rows through the vector routes (AVX2 and SSE2 widths, and the pixels after them) at
// every starting offset, against the same rows with the routes off.
TEST_F(ConstAlphaConformance, VectorRowsEqualTheScalarRule) {
    const char* names[] = {"BltAddAlpha_RGB565_RGB565",        "BltSubAlpha_RGB565_RGB565",
                           "BltAddAlpha_RGB555_RGB555",        "BltSubAlpha_RGB555_RGB555",
                           "BltAddAlpha_XRGB8888_XRGB8888",    "BltSubAlpha_XBGR8888_XBGR8888",
                           "BltAddAlphaKeyed_RGB565_RGB565",   "BltSubAlphaKeyed_RGB555_RGB555",
                           "BltAddAlphaKeyed_XRGB8888_XRGB8888", "BltSubAlphaKeyed_XBGR8888_XBGR8888"};
    std::mt19937 rng(77);
    for (const BltRoutineEntry& e : GetBltRegistry()) {
        if (std::find(std::begin(names), std::end(names), std::string(e.name)) == std::end(names)) continue;
        for (int left = 0; left < 4; ++left) {
            TestSurface source(e.src_type, 75, 3, false, 0, rng);
            TestSurface dest(e.dst_type, 80, 3, left & 1, 0, rng);
            uint32_t key_argb = static_cast<uint32_t>(rng());
            FillSource(source, key_argb, rng);
            POINT pos{left, 0};
            BltInfo info;
            info.pos = &pos;
            int a = Uniform(rng, 0, 255);
            BltParam param = IsKeyedKind(e.kind)
                                 ? MakeKeyAlphaParam(ConvertColorKey(e.src_type, key_argb), PixelSize(e.src_type),
                                                     static_cast<uint8_t>(a))
                                 : BltParam::FromWord(static_cast<uint32_t>(a));
            TestSurface scalar(dest);
            SetConstAlphaVectorRoutes(false);
            e.routine(source.desc, scalar.desc, param, info);
            SetConstAlphaVectorRoutes(true);
            e.routine(source.desc, dest.desc, param, info);
            ASSERT_EQ(dest.memory, scalar.memory) << e.name << " left " << left << " a " << a;
        }
    }
}

// The branch-free whole-pixel steps against per-field min(d + s, max) and max(d - s, 0), for
// random pixels, scaled sources (fields within their maximum) and the extremes.
TEST(ConstAlphaSteps, WholePixelSaturationEqualsPerFieldArithmetic) {
    struct Step {
        const char* name;
        int type;          // the one-pixel layout
        bool sub;
        int lanes;         // pixels per word
        uint32_t (*fn)(uint32_t, uint32_t);
    };
    const Step steps[] = {
        {"AddSat565", kSurfaceRGB565, false, 1, &AddSat565},
        {"SubSat565", kSurfaceRGB565, true, 1, &SubSat565},
        {"AddSat565x2", kSurfaceRGB565, false, 2, &AddSat565x2},
        {"SubSat565x2", kSurfaceRGB565, true, 2, &SubSat565x2},
        {"AddSat555", kSurfaceRGB555, false, 1, &AddSat555<1>},
        {"SubSat555", kSurfaceRGB555, true, 1, &SubSat555<1>},
        {"AddSat555x2", kSurfaceRGB555, false, 2, &AddSat555<2>},
        {"SubSat555x2", kSurfaceRGB555, true, 2, &SubSat555<2>},
        {"AddSat24", kSurfaceXRGB8888, false, 1, &AddSat24},
        {"SubSat24", kSurfaceXRGB8888, true, 1, &SubSat24},
    };
    std::mt19937 rng(3);
    for (const Step& st : steps) {
        const RefFormat& f = Format(st.type);
        const RefChannel ch[3] = {f.r, f.g, f.b};
        const int lane_bits = f.size == 2 ? 16 : 32;
        // Source pixels have only colour bits; destination pixels anything.
        uint32_t colour = 0;
        for (RefChannel c : ch) colour |= ((1u << c.bits) - 1) << c.shift;
        for (int i = 0; i < 20000; ++i) {
            uint32_t d = static_cast<uint32_t>(rng()), s = static_cast<uint32_t>(rng());
            if (i < 16) d = (i & 1) ? 0xFFFFFFFFu : 0, s = (i & 2) ? 0xFFFFFFFFu : 0;
            if (st.lanes == 1 && lane_bits == 16) d &= 0xFFFF;
            uint32_t s_masked = colour | (st.lanes == 2 ? colour << 16 : 0);
            s &= s_masked;
            uint32_t want = 0;
            for (int lane = 0; lane < st.lanes; ++lane) {
                uint32_t dl = d >> (lane * 16 * (st.lanes - 1)), sl = s >> (lane * 16 * (st.lanes - 1));
                uint32_t out = 0;
                for (RefChannel c : ch) {
                    int max = (1 << c.bits) - 1;
                    int x = (dl >> c.shift) & max, y = (sl >> c.shift) & max;
                    out |= static_cast<uint32_t>(std::clamp(st.sub ? x - y : x + y, 0, max)) << c.shift;
                }
                // Bits outside the fields come through from the destination.
                uint32_t lane_mask = st.lanes == 2 ? 0xFFFFu : (lane_bits == 16 ? 0xFFFFu : 0xFFFFFFFFu);
                out |= dl & lane_mask & ~colour;
                want |= out << (lane * 16 * (st.lanes - 1));
            }
            ASSERT_EQ(st.fn(d, s), want) << st.name << std::hex << " d " << d << " s " << s;
        }
    }
}
