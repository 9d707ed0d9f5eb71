// copy_conformance_test.cpp -- every copy routine (kinds 0 and 1, all 100 pairs) against the
// reference model on random surfaces, rectangles, positions, sizes, clips, anchors and row orders.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>

#include "blit_reference.h"
#include "sdk/draw/BltDispatch.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/BltRoutines.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

// Runs cases random blits of one routine (directly, and every other case through GeneralBlt)
// and compares the whole destination memory, canaries included, with the reference.
void CheckRoutine(const BltRoutineEntry& e, int cases, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int c = 0; c < cases; ++c) {
        RandomCase rc(e.src_type, e.dst_type, 40, 40, rng);
        TestSurface &source = rc.source, &dest = rc.dest;
        const RandomBlt& b = rc.blt;
        uint32_t key_argb = rc.key_argb;
        BltInfo info = b.Info();

        TestSurface expected(dest);
        RefCopyBlt(expected, source, info, e.kind == kBltCopyKeyed, key_argb);
        std::vector<uint8_t> source_before = source.memory;
        if (c % 2 == 0) {
            BltParam param = BltParam::FromWord(ConvertColorKey(e.src_type, key_argb));
            e.routine(source.desc, dest.desc, param, info);
        } else {
            ASSERT_EQ(dest.desc.GeneralBlt(e.kind, &source.desc, &info, nullptr), 0);
        }
        if (dest.memory != expected.memory) {
            size_t at = FirstDifference(dest.memory, expected.memory);
            FAIL() << e.name << " case " << c << " (seed " << seed << "): " << Describe(b, dest, source)
                   << "; first differing byte at offset " << at << " of " << dest.memory.size();
        }
        ASSERT_EQ(source.memory, source_before) << e.name << " wrote into its source";
    }
}

} // namespace

// The registry holds exactly the 200 copy routines, named by kind, destination and source, and
// the dispatch finds each of them.
TEST(CopyRegistry, HoldsEveryPairOfBothKindsByName) {
    std::set<std::string> names;
    int copies = 0;
    for (const BltRoutineEntry& e : GetBltRegistry()) {
        if (e.kind != kBltCopy && e.kind != kBltCopyKeyed) continue;
        ++copies;
        std::string want = std::string(e.kind == kBltCopy ? "BltCopy_" : "BltCopyKeyed_") + TypeName(e.dst_type) +
                           "_" + TypeName(e.src_type);
        EXPECT_EQ(want, e.name);
        EXPECT_TRUE(names.insert(e.name).second) << "twice: " << e.name;
        EXPECT_EQ(FindBltRoutine(e.kind, e.dst_type, e.src_type), e.routine) << e.name;
    }
    EXPECT_EQ(copies, 200);
    for (int kind : {0, 1})
        for (int d : kTypes)
            for (int s : kTypes) EXPECT_NE(FindBltRoutine(kind, d, s), nullptr) << kind << " " << d << " " << s;
}

// Conformance of all 200 routines; the seed differs per routine so every pair sees other cases.
TEST(CopyConformance, EveryRoutineMatchesTheReferenceModel) {
    uint32_t seed = 1234;
    for (const BltRoutineEntry& e : GetBltRegistry()) {
        if (e.kind != kBltCopy && e.kind != kBltCopyKeyed) continue;
        CheckRoutine(e, 40, seed++);
        if (HasFatalFailure() || HasNonfatalFailure()) return;
    }
}

// The frame's walks, seen on one row of a plain copy between XRGB8888 surfaces.
class CopyWalkTest : public ::testing::Test {
protected:
    // A 1-row source whose pixel i holds i, drawn at dst_width; returns the values read.
    std::vector<uint32_t> DrawRow(int src_width, int dst_width, int dest_width, const RECT* clip = nullptr) {
        std::mt19937 rng(7);
        TestSurface source(kSurfaceXRGB8888, src_width, 1, false, 0, rng);
        TestSurface dest(kSurfaceXRGB8888, dest_width, 2, false, 0, rng);
        for (int i = 0; i < src_width; ++i) RefStore(Format(kSurfaceXRGB8888), source.Pixel(i, 0), i);
        std::memset(dest.Pixel(0, 0), 0xEE, 4 * dest_width);
        SIZE size{dst_width, 2};
        BltInfo info;
        info.size = &size;
        info.clip = clip;
        EXPECT_EQ(BltCopy_XRGB8888_XRGB8888(source.desc, dest.desc, BltParam{}, info), 0);
        std::vector<uint32_t> row;
        for (int i = 0; i < dest_width; ++i) row.push_back(RefLoad(Format(kSurfaceXRGB8888), dest.Pixel(i, 0)));
        return row;
    }
};

TEST_F(CopyWalkTest, StretchRepeatsOrSkipsSourcePixels) {
    EXPECT_EQ(DrawRow(3, 6, 6), (std::vector<uint32_t>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(DrawRow(6, 3, 3), (std::vector<uint32_t>{0, 2, 4}));
    // One clipped column of an equal-length direction still continues the unclipped walk.
    RECT clip{1, 0, 5, 2};
    EXPECT_EQ(DrawRow(5, 5, 5, &clip), (std::vector<uint32_t>{0xEEEEEEEE, 1, 2, 3, 4}));
}
