// dispatch_overlap_test.cpp -- GeneralBlt refuses two descriptors over overlapping memory with 1
// and a log text, and draws between descriptors that only touch.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/log.h"
#include "sdk/draw/BltDispatch.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// Source and destination described over one buffer of 16 rows of 64 bytes (16 XRGB8888 pixels).
struct Placement {
    const char* name;
    int32_t src_offset, src_pitch, src_width, src_height;
    int32_t dst_offset, dst_pitch, dst_width, dst_height;
    int src_type;
    bool overlaps;
};

// Printed by name in test listings and failures rather than as raw bytes.
void PrintTo(const Placement& p, std::ostream* os) { *os << p.name; }

constexpr int32_t kRow = 64;
constexpr int32_t kRows = 16;

const Placement kPlacements[] = {
    {"SameMemory", 0, kRow, 4, 4, 0, kRow, 4, 4, kSurfaceXRGB8888, true},
    {"OneByteIn", 0, kRow, 4, 4, 15, kRow, 4, 4, kSurfaceXRGB8888, true},
    {"SourceInsideTheDestination", 2 * kRow + 8, kRow, 2, 2, 0, kRow, 16, 8, kSurfaceXRGB8888, true},
    {"SideBySideRowsInterleave", 0, kRow, 8, 4, 32, kRow, 8, 4, kSurfaceXRGB8888, true},
    {"BottomUpSourceReachesDown", 7 * kRow, -kRow, 4, 8, 0, kRow, 4, 1, kSurfaceXRGB8888, true},
    {"SixteenBitSourceOverTheLastRow", 3 * kRow + 12, kRow, 4, 1, 0, kRow, 4, 4, kSurfaceRGB565, true},
    {"SourceRightAfterTheLastRow", 3 * kRow + 16, kRow, 4, 4, 0, kRow, 4, 4, kSurfaceXRGB8888, false},
    {"BottomUpSourceAboveTheDestination", 7 * kRow, -kRow, 4, 4, 8 * kRow, kRow, 4, 4, kSurfaceXRGB8888, false},
    {"ApartByAWholeRow", 0, kRow, 16, 4, 5 * kRow, kRow, 16, 4, kSurfaceXRGB8888, false},
};

class DispatchOverlapTest : public ::testing::TestWithParam<Placement> {};

TEST_P(DispatchOverlapTest, OverlapIsRefusedTouchingIsDrawn) {
    const Placement& p = GetParam();
    std::vector<uint8_t> memory(kRow * kRows);
    for (size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<uint8_t>(i * 7 + 1);
    const std::vector<uint8_t> before = memory;
    CSurfaceInfo source, dest;
    source.Init(memory.data() + p.src_offset, p.src_pitch, p.src_width, p.src_height, p.src_type);
    dest.Init(memory.data() + p.dst_offset, p.dst_pitch, p.dst_width, p.dst_height, kSurfaceXRGB8888);
    std::vector<std::string> logged;
    platform::SetLogCaptureForTest([&](std::string_view text) { logged.emplace_back(text); });
    const SIZE size{p.dst_width, p.dst_height};   // a stretch where the sizes differ
    BltInfo sized;
    sized.size = &size;
    const int copy = dest.GeneralBlt(kBltCopy, &source, nullptr, nullptr);
    const int keyed_sized = dest.GeneralBlt(kBltCopyKeyed, &source, &sized, nullptr);
    platform::SetLogCaptureForTest(nullptr);
    if (p.overlaps) {
        EXPECT_EQ(copy, 1);
        EXPECT_EQ(keyed_sized, 1);
        EXPECT_EQ(memory, before);
        ASSERT_EQ(logged.size(), 2u);
        EXPECT_NE(logged[0].find("転送元と転送先のメモリが重なる"), std::string::npos) << logged[0];
    } else {
        EXPECT_EQ(copy, 0);
        EXPECT_EQ(keyed_sized, 0);
        EXPECT_NE(memory, before);
        EXPECT_TRUE(logged.empty());
    }
    EXPECT_FALSE(source.IsLocked());
    EXPECT_FALSE(dest.IsLocked());
}

INSTANTIATE_TEST_SUITE_P(Placements, DispatchOverlapTest, ::testing::ValuesIn(kPlacements),
                         [](const ::testing::TestParamInfo<Placement>& info) { return info.param.name; });

} // namespace
