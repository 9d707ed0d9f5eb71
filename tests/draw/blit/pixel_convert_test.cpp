// pixel_convert_test.cpp -- ConvertPixelRow for every pair and the colour key per source type,
// against the reference model.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "blit_reference.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/PixelTraits.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

TEST(ConvertPixelRow, EveryPairMatchesTheReferenceAndStaysInItsRow) {
    std::mt19937 rng(99);
    for (int dt : kTypes) {
        for (int st : kTypes) {
            const RefFormat& df = Format(dt);
            const RefFormat& sf = Format(st);
            const int n = 37;
            std::vector<uint8_t> src(n * sf.size), dst(n * df.size + 8), want;
            for (uint8_t& b : src) b = static_cast<uint8_t>(rng());   // spare bits too
            for (uint8_t& b : dst) b = static_cast<uint8_t>(rng());
            want = dst;
            for (int i = 0; i < n; ++i)
                RefStore(df, &want[i * df.size], RefPack(df, RefUnpack(sf, RefLoad(sf, &src[i * sf.size]))));
            ConvertPixelRow(dst.data(), dt, src.data(), st, n);
            ASSERT_EQ(dst, want) << TypeName(dt) << " <- " << TypeName(st);
        }
    }
}

TEST(ConvertPixelRow, SpecialValuesFollowTheWideningAndAlphaRules) {
    auto convert = [](int dt, int st, uint32_t v) {
        uint8_t s[4], d[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        std::memcpy(s, &v, 4);
        ConvertPixelRow(d, dt, s, st, 1);
        uint32_t out;
        std::memcpy(&out, d, 4);
        return out;
    };
    EXPECT_EQ(convert(kSurfaceXRGB8888, kSurfaceRGB565, 0xFFFF), 0x00F8FCF8u);       // zero fill, spare 0
    EXPECT_EQ(convert(kSurfaceARGB8888, kSurfaceRGB565, 0x0000), 0xFF000000u);       // plain reads opaque
    EXPECT_EQ(convert(kSurfaceARGB8888, kSurfaceARGB4565, 0x00070000), 0x77000000u); // level 7 -> 119
    EXPECT_EQ(convert(kSurfaceARGB4555, kSurfaceABGR8888, 0x7F0000FF), 0x00077C00u); // alpha >> 4, byte 3 0
    EXPECT_EQ(convert(kSurfaceARGB4565, kSurfaceBGR888, 0x000000), 0x000F0000u);     // plain reads level 15
    EXPECT_EQ(convert(kSurfaceRGB888, kSurfaceXRGB8888, 0xFF010203), 0xAA010203u);   // three bytes written
}

TEST(ConvertPixelRow, TypesWithoutPixelsConvertNothing) {
    uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8}, dst[8] = {};
    ConvertPixelRow(dst, kSurfacePAL8, src, kSurfaceRGB565, 2);
    ConvertPixelRow(dst, kSurfaceRGB565, src, 9, 2);
    ConvertPixelRow(dst, kSurfaceRGB565, src, kSurfaceRGB565, 0);
    ConvertPixelRow(dst, kSurfaceRGB565, src, kSurfaceRGB565, -3);
    for (uint8_t b : dst) EXPECT_EQ(b, 0);
}

TEST(ColorKey, ConvertedIntoEachSourceType) {
    const uint32_t key = 0x9C123456;   // alpha 9C, red 12, green 34, blue 56
    EXPECT_EQ(ConvertColorKey(kSurfaceRGB565, key), (0x12u >> 3) << 11 | (0x34u >> 2) << 5 | 0x56u >> 3);
    EXPECT_EQ(ConvertColorKey(kSurfaceRGB555, key), (0x12u >> 3) << 10 | (0x34u >> 3) << 5 | 0x56u >> 3);
    EXPECT_EQ(ConvertColorKey(kSurfaceARGB4565, key), 0x90000u | ConvertColorKey(kSurfaceRGB565, key));
    EXPECT_EQ(ConvertColorKey(kSurfaceARGB4555, key), 0x90000u | ConvertColorKey(kSurfaceRGB555, key));
    EXPECT_EQ(ConvertColorKey(kSurfaceRGB888, key), 0x123456u);
    EXPECT_EQ(ConvertColorKey(kSurfaceBGR888, key), 0x563412u);
    EXPECT_EQ(ConvertColorKey(kSurfaceXRGB8888, key), 0x00123456u);
    EXPECT_EQ(ConvertColorKey(kSurfaceXBGR8888, key), 0x00563412u);
    EXPECT_EQ(ConvertColorKey(kSurfaceARGB8888, key), 0x9C123456u);
    EXPECT_EQ(ConvertColorKey(kSurfaceABGR8888, key), 0x9C563412u);
    EXPECT_EQ(ConvertColorKey(kSurfaceARGB8888, key, KeyAlpha::kOpaque), 0xFF123456u);
    EXPECT_EQ(ConvertColorKey(kSurfaceRGB565, key, KeyAlpha::kOpaque), ConvertColorKey(kSurfaceRGB565, key));
    EXPECT_EQ(ConvertColorKey(kSurfacePAL8, key), 0u);
}

TEST(PixelTraits, GenericReadAndWriteUseTheSameRules) {
    uint8_t cell[4] = {0xFF, 0xFF, 0x0A, 0x77};
    Rgba8 c = ReadPixel(kSurfaceARGB4555, cell);
    EXPECT_EQ(c, (Rgba8{248, 248, 248, 170}));
    uint8_t out[4] = {0x55, 0x55, 0x55, 0x55};
    WritePixel(kSurfaceARGB4555, out, c);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0x7F);   // bit 15 written 0
    EXPECT_EQ(out[2], 0x0A);
    EXPECT_EQ(out[3], 0x00);   // byte 3 written 0
    EXPECT_FALSE(IsPixelType(kSurfacePAL8));
    EXPECT_TRUE(IsPixelType(kSurfaceABGR8888));
}
