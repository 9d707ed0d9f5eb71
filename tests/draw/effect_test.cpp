// effect_test.cpp -- fade and add-colour on every surface type: the colour inside the rectangle,
// alpha and spare bytes, and every byte outside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "sdk/draw/AlphaTables.h"
#include "tests/draw/draw_test_util.h"

namespace {

using namespace drawtest;

class EffectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitAlphaTables(); }
};

// Fills a surface with random bytes (spare bytes, bit 15 and the cells' fourth byte included).
void Scatter(MemorySurface& surface, int width, int height, uint32_t seed) {
    std::mt19937 random(seed);
    const int size = PixelSize(surface.GetSurfaceType());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int i = 0; i < size; ++i) surface.At(x, y)[i] = static_cast<uint8_t>(random());
}

// The bytes of a pixel that are no colour (alpha, spare, bit 15) after an effect: alpha bytes
// and levels kept, spare bytes and bit 15 written 0.
void ExpectNonColourBytes(int type, const uint8_t* before, const uint8_t* after) {
    switch (type) {
    case kSurfaceRGB555: EXPECT_EQ(after[1] & 0x80, 0); break;
    case kSurfaceARGB4555: EXPECT_EQ(after[1] & 0x80, 0); [[fallthrough]];
    case kSurfaceARGB4565:
        EXPECT_EQ(after[2], before[2]);
        EXPECT_EQ(after[3], before[3]);
        break;
    case kSurfaceXRGB8888: case kSurfaceXBGR8888: EXPECT_EQ(after[3], 0); break;
    case kSurfaceARGB8888: case kSurfaceABGR8888: EXPECT_EQ(after[3], before[3]); break;
    default: break;
    }
}

// Runs effect on the rectangle of a scattered 9 x 6 surface of every type, stored either way,
// and checks each pixel inside against model(type, colour before) and every other byte.
template <class Effect, class Model>
void CheckEverywhere(Effect effect, Model model) {
    const RECT area{2, 1, 7, 5};
    for (int type : kAllTypes) {
        for (bool bottom_up : {false, true}) {
            SCOPED_TRACE("type " + std::to_string(type) + (bottom_up ? " bottom-up" : ""));
            MemorySurface surface(type, 9, 6, bottom_up);
            Scatter(surface, 9, 6, type * 7 + bottom_up);
            const std::vector<uint8_t> before = surface.Memory();
            ASSERT_EQ(effect(surface, &area), 0);
            const uint8_t* base = surface.Memory().data();
            std::vector<bool> inside(before.size(), false);
            const int size = PixelSize(type);
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x) {
                    const size_t at = surface.At(x, y) - base;
                    for (int i = 0; i < size; ++i) inside[at + i] = true;
                    const Colour was = RefRead(type, before.data() + at);
                    Colour expected = model(type, was);
                    expected.a = was.a;
                    ASSERT_EQ(surface.Read(x, y), expected) << "at " << x << "," << y;
                    ExpectNonColourBytes(type, before.data() + at, surface.At(x, y));
                }
            for (size_t i = 0; i < before.size(); ++i)
                if (!inside[i]) {
                    ASSERT_EQ(before[i], base[i]) << "byte " << i << " outside the rectangle";
                }
        }
    }
}

// A channel of n bits, as its widened 8-bit value c, after scaling by level / 255.
int FadeChannel(int c, int n, int level) {
    return (c * level / 255) & (0xFF << (8 - n)) & 0xFF;
}

TEST_F(EffectTest, FadeScalesEveryChannelOnEveryType) {
    for (int level : {0, 1, 100, 254, 255}) {
        SCOPED_TRACE("level " + std::to_string(level));
        CheckEverywhere([level](MemorySurface& s, const RECT* r) { return s.FadeEffect(level, r); },
                        [level](int type, Colour c) {
                            const Bits bits = BitsOf(type);
                            return Colour{FadeChannel(c.r, bits.r, level), FadeChannel(c.g, bits.g, level),
                                          FadeChannel(c.b, bits.b, level), c.a};
                        });
    }
}

// The addend of an n-bit channel is the 8-bit colour rounded up to n bits.
int AddChannel(int c, int n, int add) {
    const int top = (1 << n) - 1;
    const int field = c >> (8 - n);
    return std::min(top, field + (add * top + 254) / 255) << (8 - n);
}

TEST_F(EffectTest, AddColorSaturatesOnEveryType) {
    for (uint32_t rgb : {0x060606u, 0x80FF01u, 0x000000u, 0xFFFFFFu}) {
        SCOPED_TRACE(rgb);
        CheckEverywhere([rgb](MemorySurface& s, const RECT* r) { return s.AddColorEffect(rgb, r); },
                        [rgb](int type, Colour c) {
                            const Bits bits = BitsOf(type);
                            return Colour{AddChannel(c.r, bits.r, rgb >> 16 & 255), AddChannel(c.g, bits.g, rgb >> 8 & 255),
                                          AddChannel(c.b, bits.b, rgb & 255), c.a};
                        });
    }
}

// The logo brightens by 0x060606 per frame until white: a 16-bit screen must get there too.
TEST_F(EffectTest, SmallAddedColourBrightensEveryDepthToWhite) {
    for (int type : {kSurfaceRGB565, kSurfaceRGB555, kSurfaceRGB888, kSurfaceXRGB8888}) {
        MemorySurface surface(type, 4, 4);
        surface.SetFillColor(0);
        surface.Clear(nullptr);
        for (int frame = 0; frame < 43; ++frame) surface.AddColorEffect(0x060606, nullptr);
        EXPECT_EQ(surface.Read(3, 3), StoredAs(type, Colour{255, 255, 255, 255})) << "type " << type;
    }
}

TEST_F(EffectTest, RectanglesAndRefusals) {
    MemorySurface surface(kSurfaceXRGB8888, 6, 4);
    Scatter(surface, 6, 4, 5);
    const std::vector<uint8_t> before = surface.Memory();
    const uint32_t level = 10;
    const RECT outside{6, 0, 9, 4}, inverted{4, 3, 2, 1};
    EXPECT_EQ(surface.GeneralEffect(kEffectFade, &outside, &level), 0);
    EXPECT_EQ(surface.GeneralEffect(kEffectFade, &inverted, &level), 0);
    EXPECT_EQ(surface.GeneralEffect(3, nullptr, &level), 1);        // kinds other than 1 and 2
    EXPECT_EQ(surface.GeneralEffect(0, nullptr, &level), 1);
    EXPECT_EQ(surface.GeneralEffect(kEffectFade, nullptr, nullptr), 1);
    EXPECT_EQ(surface.Memory(), before);
    // A rectangle reaching past the edges is cut to the surface.
    const RECT wide{-5, -5, 50, 1};
    EXPECT_EQ(surface.FadeEffect(0, &wide), 0);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(surface.Read(x, 0), (Colour{0, 0, 0, 255}));
    EXPECT_NE(surface.Read(0, 1), (Colour{0, 0, 0, 255}));
    // A surface without pixels refuses.
    surface.GetSurfaceInfo()->Invalidate();
    EXPECT_EQ(surface.FadeEffect(0, nullptr), 1);
}

} // namespace
