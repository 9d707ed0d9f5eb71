// blend_conformance_test.cpp -- the add/subtract kinds 2 to 5 and the blend kinds 10, 14 to 17:
// their names and dispatch, every routine and every routed pair against the reference model on
// random surfaces, rectangles, stretches, clips, anchors, keys and row orders at the scalar and the
// best vector level, and the vector rows against the scalar route on millions of pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "blend_reference.h"
#include "blit_reference.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltDispatch.h"
#include "sdk/draw/CpuFeature.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/BltForward.h"
#include "sdk/draw/blit/BltRoutines.h"
#include "sdk/draw/blit/BltVector.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

const int kBlendKinds[] = {2, 3, 4, 5, 10, 14, 15, 16, 17};

// The 26 pairs that each of the constant-alpha and two-rate kinds (14 to 17) serves.
const std::vector<std::string> kBlendPairs = {
        "RGB565_RGB565", "RGB555_RGB555", "RGB565_ARGB4565", "RGB555_ARGB4555", "RGB888_RGB888",
        "BGR888_BGR888", "XRGB8888_XRGB8888", "XBGR8888_XBGR8888", "RGB888_ARGB8888", "BGR888_ABGR8888",
        "XRGB8888_ARGB8888", "XBGR8888_ABGR8888", "ARGB4565_RGB565", "ARGB4555_RGB555", "ARGB4565_ARGB4565",
        "ARGB4555_ARGB4555", "ARGB8888_RGB888", "ARGB8888_BGR888", "ARGB8888_XRGB8888", "ARGB8888_XBGR8888",
        "ABGR8888_RGB888", "ABGR8888_BGR888", "ABGR8888_XRGB8888", "ABGR8888_XBGR8888", "ARGB8888_ARGB8888",
        "ABGR8888_ABGR8888",
};

// Every routine of these kinds by kind, as destination_source; each name is Blt<kind>_<pair>.
const std::map<int, std::vector<std::string>> kExpectedNames = {
    {2, {
        "RGB565_RGB565", "RGB555_RGB555", "RGB888_RGB888", "BGR888_BGR888", "XRGB8888_XRGB8888",
        "ARGB4565_ARGB4565", "ARGB4555_ARGB4555", "ARGB8888_ARGB8888", "ABGR8888_ABGR8888", "RGB565_ARGB4565",
        "RGB555_ARGB4555", "RGB888_ARGB8888", "BGR888_ABGR8888", "XRGB8888_ARGB8888", "XBGR8888_ABGR8888",
        "ARGB4565_RGB565", "ARGB4555_RGB555", "ARGB8888_RGB888", "ARGB8888_BGR888", "ARGB8888_XBGR8888",
        "ABGR8888_RGB888", "ABGR8888_BGR888", "ABGR8888_XRGB8888",
    }},
    {3, {
        "RGB565_RGB565", "RGB555_RGB555", "RGB888_RGB888", "BGR888_BGR888", "XRGB8888_XRGB8888",
        "ARGB4565_ARGB4565", "ARGB4555_ARGB4555", "ARGB8888_ARGB8888", "ABGR8888_ABGR8888", "RGB565_ARGB4565",
        "RGB555_ARGB4555", "RGB888_ARGB8888", "BGR888_ABGR8888", "XRGB8888_ARGB8888", "XBGR8888_ABGR8888",
        "ARGB4565_RGB565", "ARGB4555_RGB555", "ARGB8888_RGB888", "ARGB8888_BGR888", "ARGB8888_XBGR8888",
        "ABGR8888_RGB888", "ABGR8888_BGR888", "ABGR8888_XRGB8888",
    }},
    {4, {
        "RGB565_RGB565", "RGB555_RGB555", "RGB888_RGB888", "BGR888_BGR888", "XRGB8888_XRGB8888",
        "ARGB4565_ARGB4565", "ARGB4555_ARGB4555", "ARGB8888_ARGB8888", "ABGR8888_ABGR8888", "RGB565_ARGB4565",
        "RGB555_ARGB4555", "RGB888_ARGB8888", "BGR888_ABGR8888", "XRGB8888_ARGB8888", "XBGR8888_ABGR8888",
        "ARGB4565_RGB565", "ARGB4555_RGB555", "ARGB8888_RGB888", "ARGB8888_BGR888", "ARGB8888_XRGB8888",
        "ARGB8888_XBGR8888", "ABGR8888_RGB888", "ABGR8888_BGR888", "ABGR8888_XRGB8888", "ABGR8888_XBGR8888",
    }},
    {5, {
        "RGB565_RGB565", "RGB555_RGB555", "RGB888_RGB888", "BGR888_BGR888", "XRGB8888_XRGB8888",
        "ARGB4565_ARGB4565", "ARGB4555_ARGB4555", "ARGB8888_ARGB8888", "ABGR8888_ABGR8888", "RGB565_ARGB4565",
        "RGB555_ARGB4555", "RGB888_ARGB8888", "BGR888_ABGR8888", "XRGB8888_ARGB8888", "XBGR8888_ABGR8888",
        "ARGB4565_RGB565", "ARGB4555_RGB555", "ARGB8888_RGB888", "ARGB8888_BGR888", "ARGB8888_XRGB8888",
        "ARGB8888_XBGR8888", "ABGR8888_RGB888", "ABGR8888_BGR888", "ABGR8888_XRGB8888", "ABGR8888_XBGR8888",
    }},
    {10, {
        "RGB565_ARGB4565", "RGB555_ARGB4555", "RGB888_ARGB8888", "BGR888_ABGR8888", "XRGB8888_ARGB8888",
        "XBGR8888_ABGR8888", "ARGB4565_ARGB4565", "ARGB4555_ARGB4555", "ARGB8888_ARGB8888",
        "ABGR8888_ABGR8888",
    }},
    {14, kBlendPairs},
    {15, kBlendPairs},
    {16, kBlendPairs},
    {17, kBlendPairs},
};

const char* KindName(int kind) {
    switch (kind) {
    case 2: return "BltAdd";
    case 3: return "BltSub";
    case 4: return "BltAddKeyed";
    case 5: return "BltSubKeyed";
    case 10: return "BltAlphaBlend";
    case 14: return "BltBlendConst";
    case 15: return "BltBlendConstKeyed";
    case 16: return "BltBlendRates";
    case 17: return "BltBlendRatesKeyed";
    default: return "?";
    }
}

bool IsBlendKind(int kind) {
    for (int k : kBlendKinds)
        if (k == kind) return true;
    return false;
}

// Pairs a kind serves with the routine of another pair: {kind, destination, source, served by}.
struct Routed {
    int kind, dst, src;
    const char* served_by;
};
const Routed kRouted[] = {
    {2, kSurfaceXBGR8888, kSurfaceXBGR8888, "BltAdd_XRGB8888_XRGB8888"},
    {2, kSurfaceARGB8888, kSurfaceXRGB8888, "BltAdd_ARGB8888_ARGB8888"},
    {2, kSurfaceABGR8888, kSurfaceXBGR8888, "BltAdd_ABGR8888_ABGR8888"},
    {3, kSurfaceXBGR8888, kSurfaceXBGR8888, "BltSub_XRGB8888_XRGB8888"},
    {3, kSurfaceARGB8888, kSurfaceXRGB8888, "BltSub_ARGB8888_ARGB8888"},
    {3, kSurfaceABGR8888, kSurfaceXBGR8888, "BltSub_ABGR8888_ABGR8888"},
    {4, kSurfaceXBGR8888, kSurfaceXBGR8888, "BltAddKeyed_XRGB8888_XRGB8888"},
    {5, kSurfaceXBGR8888, kSurfaceXBGR8888, "BltSubKeyed_XRGB8888_XRGB8888"},
};

const BltRoutineEntry* EntryNamed(const std::string& name) {
    for (const BltRoutineEntry& e : GetBltRegistry())
        if (name == e.name) return &e;
    return nullptr;
}

bool DispatchUsesVectorFormula(int kind, int dst, int src) {
    return kind == kBltBlendConst && dst == kSurfaceXRGB8888 && src == kSurfaceXRGB8888 &&
           (CpuFeatureCache & kCpuFeatureMmx) != 0;
}

// One routine under test: the pair it is asked for, the routine called directly, and whether that
// routine computes kind 14's vector formula.
struct Target {
    int kind, dst, src;
    BltRoutine routine;
    std::string name;
    bool vector_formula = false;
};

std::vector<Target> Targets() {
    std::vector<Target> targets;
    for (const BltRoutineEntry& e : GetBltRegistry())
        if (IsBlendKind(e.kind)) targets.push_back({e.kind, e.dst_type, e.src_type, e.routine, e.name});
    for (const Routed& r : kRouted)
        targets.push_back({r.kind, r.dst, r.src, FindBltRoutine(r.kind, r.dst, r.src), std::string(r.served_by) + " (routed)"});
    targets.push_back({kBltBlendConst, kSurfaceXRGB8888, kSurfaceXRGB8888, &BltBlendConstMmx_XRGB8888_XRGB8888,
                       "BltBlendConstMmx_XRGB8888_XRGB8888", true});
    return targets;
}

// A parameter byte: often one of the values where the rules change, else any.
int RandomRate(std::mt19937& rng) {
    static const int kEdges[] = {0, 1, 15, 16, 127, 128, 239, 240, 254, 255};
    return Chance(rng, 40) ? kEdges[Uniform(rng, 0, 9)] : Uniform(rng, 0, 255);
}

// The parameter a routine receives from the dispatch for these arguments.
BltParam RoutineParam(const Target& t, uint32_t key_argb, int a, int b, uint32_t junk) {
    int size = PixelSize(t.src);
    uint32_t key = ConvertColorKey(t.src, key_argb);
    switch (t.kind) {
    case kBltAddKeyed:
    case kBltSubKeyed: return BltParam::FromWord(key);
    case kBltBlendConst: return BltParam::FromWord(uint32_t(a) | (junk << 8));
    case kBltBlendConstKeyed: return MakeKeyAlphaParam(key, size, static_cast<uint8_t>(a));
    case kBltBlendRates: return BltParam::FromWord(uint32_t(a) | uint32_t(b) << 8 | (junk << 16));
    case kBltBlendRatesKeyed: return MakeKeyRatesParam(key, size, static_cast<uint8_t>(a), static_cast<uint8_t>(b));
    default: return BltParam::FromWord(junk);   // not read
    }
}

void CheckTarget(const Target& t, int cases, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int c = 0; c < cases; ++c) {
        RandomCase rc(t.src, t.dst, 40, 12, rng);
        TestSurface &source = rc.source, &dest = rc.dest;
        const int sw = source.width, sh = source.height, dw = dest.width, dh = dest.height;
        const uint32_t key_argb = rc.key_argb;
        // Some destination pixels take the colour of a source pixel, so the equality tests skip.
        for (int i = 0; i < dw * dh / 4; ++i) {
            int x = Uniform(rng, 0, std::min(sw, dw) - 1), y = Uniform(rng, 0, std::min(sh, dh) - 1);
            std::memcpy(dest.Pixel(x, y), source.Pixel(x, y), std::min(dest.size, source.size));
        }
        const RandomBlt& blt = rc.blt;
        BltInfo info = blt.Info();
        int a = RandomRate(rng), b = RandomRate(rng);
        uint32_t junk = static_cast<uint32_t>(rng());
        bool direct = t.vector_formula || c % 2 == 0;

        RefBlendArgs args{t.kind, key_argb, a, b, direct ? t.vector_formula : DispatchUsesVectorFormula(t.kind, t.dst, t.src)};
        TestSurface expected(dest);
        RefBlendBlt(expected, source, info, args);
        std::vector<uint8_t> source_before = source.memory;
        if (direct) {
            t.routine(source.desc, dest.desc, RoutineParam(t, key_argb, a, b, junk), info);
        } else {
            uint8_t alpha[4] = {static_cast<uint8_t>(a), static_cast<uint8_t>(junk), 1, 2};
            BltRatesParam rates{uint32_t(a) | (junk & 0xFFFFFF00u), uint32_t(b) | (junk << 8)};
            const void* param = t.kind == 14 || t.kind == 15 ? static_cast<const void*>(alpha)
                                : t.kind == 16 || t.kind == 17 ? static_cast<const void*>(&rates)
                                                               : nullptr;
            ASSERT_EQ(dest.desc.GeneralBlt(t.kind, &source.desc, &info, param), 0) << t.name;
        }
        if (dest.memory != expected.memory) {
            size_t at = FirstDifference(dest.memory, expected.memory);
            FAIL() << t.name << (direct ? " direct" : " dispatched") << " case " << c << " (seed " << seed << "), a " << a
                   << " b " << b << ": " << Describe(blt, dest, source) << "; first differing byte at offset " << at
                   << " of " << dest.memory.size() << ": " << int(dest.memory[at]) << " instead of "
                   << int(expected.memory[at]);
        }
        ASSERT_EQ(source.memory, source_before) << t.name << " wrote into its source";
    }
}

// Runs the body at each vector level this processor has, then restores the best one.
template <class F>
void AtEveryLevel(F body) {
    for (BltVectorLevel level : {BltVectorLevel::kScalar, BltVectorLevel::kSse2, BltVectorLevel::kAvx2}) {
        if (static_cast<int>(level) > static_cast<int>(BltVectorBest())) continue;
        SetBltVectorLevel(level);
        SCOPED_TRACE("vector level " + std::to_string(static_cast<int>(level)));
        body(level);
    }
    SetBltVectorLevel(BltVectorBest());
}

class BlendKinds : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitAlphaTables(); }
};

} // namespace

// The registry holds exactly the named routines of these kinds, each reached by the dispatch;
// the routed pairs reach the routine of their pair, kind 14 on XRGB8888 its forwarding step.
TEST_F(BlendKinds, RegistryHoldsEveryNamedRoutineAndDispatchReachesIt) {
    std::set<std::string> expected, found;
    for (const auto& [kind, pairs] : kExpectedNames)
        for (const std::string& pair : pairs) expected.insert(std::string(KindName(kind)) + "_" + pair);
    for (const BltRoutineEntry& e : GetBltRegistry()) {
        if (!IsBlendKind(e.kind)) continue;
        EXPECT_TRUE(found.insert(e.name).second) << "twice: " << e.name;
        EXPECT_EQ(std::string(KindName(e.kind)) + "_" + TypeName(e.dst_type) + "_" + TypeName(e.src_type), e.name);
        BltRoutine dispatched = FindBltRoutine(e.kind, e.dst_type, e.src_type);
        if (e.kind == kBltBlendConst && e.dst_type == kSurfaceXRGB8888 && e.src_type == kSurfaceXRGB8888)
            EXPECT_EQ(dispatched, &CallBltBlendConst_XRGB8888_XRGB8888);
        else
            EXPECT_EQ(dispatched, e.routine) << e.name;
    }
    EXPECT_EQ(found, expected);
    for (const Routed& r : kRouted) {
        ASSERT_NE(EntryNamed(r.served_by), nullptr) << r.served_by;
        EXPECT_EQ(FindBltRoutine(r.kind, r.dst, r.src), EntryNamed(r.served_by)->routine) << r.served_by;
    }
    // 26 pairs for every kind but 10, which serves 10; none for a source without alpha there.
    for (int kind : kBlendKinds) {
        int served = 0;
        for (int d : kTypes)
            for (int s : kTypes) served += FindBltRoutine(kind, d, s) != nullptr;
        EXPECT_EQ(served, kind == kBltAlphaBlend ? 10 : 26) << KindName(kind);
    }
    for (int d : kTypes)
        for (int s : {kSurfaceRGB565, kSurfaceRGB555, kSurfaceRGB888, kSurfaceBGR888, kSurfaceXRGB8888, kSurfaceXBGR8888})
            EXPECT_EQ(FindBltRoutine(kBltAlphaBlend, d, s), nullptr);
}

TEST_F(BlendKinds, EveryRoutineMatchesTheReferenceModel) {
    std::vector<Target> targets = Targets();
    AtEveryLevel([&](BltVectorLevel level) {
        uint32_t seed = 9000 + 1000 * static_cast<uint32_t>(level);
        for (const Target& t : targets) {
            CheckTarget(t, 24, seed++);
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    });
}

// The vector rows against the scalar route, family by family, on at least a million pixels each:
// whole 1:1 blits of rows of every width from 1 up, so that every tail length occurs.
TEST_F(BlendKinds, VectorRowsEqualTheScalarRouteBitForBit) {
    struct Family {
        const char* routine;
        int param;   // -1: a random alpha or pair of rates per blit
    };
    const Family families[] = {
        {"BltAdd_RGB565_RGB565", 0},          {"BltSub_RGB565_RGB565", 0},
        {"BltAdd_RGB555_RGB555", 0},          {"BltSub_RGB555_RGB555", 0},
        {"BltAdd_XRGB8888_XRGB8888", 0},      {"BltSub_XRGB8888_XRGB8888", 0},
        {"BltAdd_XRGB8888_ARGB8888", 0},      {"BltSub_XRGB8888_ARGB8888", 0},
        {"BltAdd_XBGR8888_ABGR8888", 0},      {"BltSub_XBGR8888_ABGR8888", 0},
        {"BltBlendConst_XRGB8888_ARGB8888", -1}, {"BltBlendConst_XBGR8888_ABGR8888", -1},
        {"BltAlphaBlend_XRGB8888_ARGB8888", 0}, {"BltAlphaBlend_XBGR8888_ABGR8888", 0},
        {"BltAlphaBlend_ARGB8888_ARGB8888", 0}, {"BltAlphaBlend_ABGR8888_ABGR8888", 0},
        {"BltBlendConst_XRGB8888_XRGB8888", -1}, {"BltBlendConst_XBGR8888_XBGR8888", -1},
        {"BltBlendRates_XRGB8888_XRGB8888", -1}, {"BltBlendRates_XBGR8888_XBGR8888", -1},
        {"BltBlendConstMmx_XRGB8888_XRGB8888", -1},
        {"BltBlendConst_RGB565_RGB565", -1},  {"BltBlendConst_RGB555_RGB555", -1},
        {"BltBlendRates_RGB565_RGB565", -1},  {"BltBlendRates_RGB555_RGB555", -1},
    };
    std::mt19937 rng(77);
    for (const Family& f : families) {
        const BltRoutineEntry* e = EntryNamed(f.routine);
        BltRoutine routine = e ? e->routine : &BltBlendConstMmx_XRGB8888_XRGB8888;
        int dst = e ? e->dst_type : kSurfaceXRGB8888, src = e ? e->src_type : kSurfaceXRGB8888;
        long pixels = 0;
        for (int round = 0; pixels < 1100000; ++round) {
            int width = 1 + round % 97 + (round % 5 == 0 ? 1000 : 0), height = 64;
            TestSurface source(src, width, height, round % 2 == 1, round % 3, rng);
            TestSurface dest(dst, width, height, round % 4 == 1, round % 5, rng);
            for (int i = 0; i < width * height / 4; ++i) {
                int x = Uniform(rng, 0, width - 1), y = Uniform(rng, 0, height - 1);
                std::memcpy(dest.Pixel(x, y), source.Pixel(x, y), dest.size);
            }
            BltParam param = BltParam::FromWord(f.param < 0 ? static_cast<uint32_t>(rng()) : 0u);
            std::vector<std::vector<uint8_t>> results;
            AtEveryLevel([&](BltVectorLevel) {
                TestSurface d(dest);
                routine(source.desc, d.desc, param, BltInfo{});
                results.push_back(d.memory);
            });
            for (size_t i = 1; i < results.size(); ++i)
                ASSERT_EQ(results[i], results[0]) << f.routine << " width " << width << " at level " << i;
            pixels += long(width) * height;
        }
    }
}

// The vector level is a switch the processor bounds: asking for more than it has gives its best.
TEST_F(BlendKinds, VectorLevelIsBoundedByTheProcessor) {
    EXPECT_EQ(SetBltVectorLevel(BltVectorLevel::kScalar), BltVectorLevel::kScalar);
    EXPECT_EQ(CurrentBltVectorRows(), nullptr);
    EXPECT_EQ(SetBltVectorLevel(BltVectorLevel::kAvx2), BltVectorBest());
    EXPECT_EQ(GetBltVectorLevel(), BltVectorBest());
#if defined(__x86_64__)
    EXPECT_NE(CurrentBltVectorRows(), nullptr);
#endif
}
