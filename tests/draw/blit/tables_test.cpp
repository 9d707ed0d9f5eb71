// tables_test.cpp -- the blend tables' identities, the 16-bit setters, the trigonometry table
// and the processor-feature value.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/CpuFeature.h"
#include "sdk/draw/Pixel16.h"
#include "sdk/draw/TrigTable.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// Filled once for the suite, from several threads at once as display objects of several
// threads would.
class AlphaTablesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i) threads.emplace_back(InitAlphaTables);
        for (std::thread& t : threads) t.join();
    }
};

} // namespace

TEST_F(AlphaTablesTest, MulAndComplementFollowTheirFormulas) {
    for (int x = 0; x < 256; ++x) {
        int max_mul = 0, max_comp = 0;
        for (int v = 0; v < 256; ++v) {
            ASSERT_EQ(AlphaMulTable[x][v], x * v / 255) << x << " " << v;
            ASSERT_EQ(AlphaMulTable[x][v], AlphaMulTable[v][x]);
            ASSERT_EQ(AlphaComplementTable[x][v], v * (255 - x) / 255) << x << " " << v;
            max_mul = std::max<int>(max_mul, AlphaMulTable[x][v]);
            max_comp = std::max<int>(max_comp, AlphaComplementTable[x][v]);
        }
        // The sum bound for every v and w of this row: the largest entries of both rows fit.
        ASSERT_LE(max_mul + max_comp, 255) << "row " << x;
    }
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(AlphaMulTable[255][v], v);
        EXPECT_EQ(AlphaMulTable[0][v], 0);
        EXPECT_EQ(AlphaComplementTable[0][v], v);
        EXPECT_EQ(AlphaComplementTable[255][v], 0);
    }
}

TEST_F(AlphaTablesTest, SixteenBitTablesScaleEachFieldAndNeverCarry) {
    int max565[16][3] = {}, max555[16][3] = {};
    for (int level = 0; level < 16; ++level) {
        for (int p = 0; p < 65536; ++p) {
            int e = AlphaTable565[level][p];
            ASSERT_EQ(e >> 11, (p >> 11) * level / 15);
            ASSERT_EQ((e >> 5) & 63, ((p >> 5) & 63) * level / 15);
            ASSERT_EQ(e & 31, (p & 31) * level / 15);
            max565[level][0] = std::max(max565[level][0], e >> 11);
            max565[level][1] = std::max(max565[level][1], (e >> 5) & 63);
            max565[level][2] = std::max(max565[level][2], e & 31);

            int f = AlphaTable555[level][p];
            ASSERT_EQ(f & 0x8000, 0) << "bit 15 set at " << level << " " << p;
            ASSERT_EQ(f, AlphaTable555[level][p ^ 0x8000]) << "bit 15 of the index counts";
            ASSERT_EQ((f >> 10) & 31, ((p >> 10) & 31) * level / 15);
            ASSERT_EQ((f >> 5) & 31, ((p >> 5) & 31) * level / 15);
            ASSERT_EQ(f & 31, (p & 31) * level / 15);
            max555[level][0] = std::max(max555[level][0], (f >> 10) & 31);
            max555[level][1] = std::max(max555[level][1], (f >> 5) & 31);
            max555[level][2] = std::max(max555[level][2], f & 31);
        }
        EXPECT_EQ(AlphaTable565[level][0xFFFF] == 0xFFFF, level == 15);
    }
    for (int p = 0; p < 65536; p += 97) {
        EXPECT_EQ(AlphaTable565[15][p], p);
        EXPECT_EQ(AlphaTable565[0][p], 0);
        EXPECT_EQ(AlphaTable555[15][p], p & 0x7FFF);
    }
    // For L + M <= 15 the largest field of a row-L entry plus that of a row-M entry still fits
    // its field, so adding any two entries never carries into the next field.
    const int field_max565[3] = {31, 63, 31};
    for (int l = 0; l < 16; ++l) {
        for (int m = 0; l + m <= 15; ++m) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_LE(max565[l][c] + max565[m][c], field_max565[c]) << l << "+" << m;
                EXPECT_LE(max555[l][c] + max555[m][c], 31) << l << "+" << m;
            }
        }
    }
}

TEST(Pixel16, SettersTruncateEachChannel) {
    CPixel565 p565;
    p565.SetRGB(0xFF, 0xFF, 0xFF);
    EXPECT_EQ(p565.value, 0xFFFF);
    p565.SetRGB(0x87, 0x43, 0x21);   // 10000 010000 00100
    EXPECT_EQ(p565.value, (0x10 << 11) | (0x10 << 5) | 0x04);
    CPixel555 p555;
    p555.SetRGB(0xFF, 0xFF, 0xFF);
    EXPECT_EQ(p555.value, 0x7FFF);   // bit 15 stays clear
    p555.SetRGB(0x87, 0x47, 0x21);
    EXPECT_EQ(p555.value, (0x10 << 10) | (0x08 << 5) | 0x04);
}

TEST(TrigTable, OneTurnInFiveHundredTwelveStepsTruncated) {
    const CTrigTable& t = CTrigTable::Get();
    EXPECT_EQ(t.cos_[0], 65536);
    EXPECT_EQ(t.cos_[128], 0);
    EXPECT_EQ(t.cos_[256], -65536);
    EXPECT_EQ(t.cos_[384], 0);
    EXPECT_EQ(t.cos_[64], 46340);     // 46340.95 truncated
    EXPECT_EQ(t.cos_[192], -46340);   // toward zero, not down
    EXPECT_EQ(t.Sin(128), 65536);
    EXPECT_EQ(t.Cos(512 + 64), t.Cos(64));
    EXPECT_EQ(t.Cos(-64), t.Cos(448));
}

TEST(CpuFeature, ReportsMmxOnX86) {
#if defined(__x86_64__)
    EXPECT_NE(CpuFeatureCache & kCpuFeatureMmx, 0u);
#else
    GTEST_SKIP() << "no MMX outside x86";
#endif
}
