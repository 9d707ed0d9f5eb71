// surface_slots_test.cpp -- the effect slots of ISurface and the colour key, whichever call sets it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/log.h"
#include "tests/draw/draw_test_util.h"

namespace {

using namespace drawtest;

// Records what reaches GeneralEffect instead of drawing.
class EffectRecorder : public MemorySurface {
public:
    EffectRecorder() : MemorySurface(kSurfaceXRGB8888, 2, 2) {}
    int GeneralEffect(int kind, const RECT* rect, const void* param) override {
        kind_ = kind;
        rect_ = rect;
        has_param_ = param != nullptr;
        if (param) std::memcpy(&param_, param, 4);
        return 40 + kind;
    }
    int kind_ = 0;
    const RECT* rect_ = nullptr;
    bool has_param_ = false;
    uint32_t param_ = 0;
};

// Each effect slot forwards to GeneralEffect with its kind, its parameter and the rectangle, and
// passes the result back; so a surface that records GeneralEffect records all five.
TEST(SurfaceEffectSlots, EachSlotForwardsItsKindAndParameter) {
    struct Case {
        const char* slot;
        std::function<int(ISurface&, const RECT*)> call;
        int kind;
        bool has_param;
        uint32_t param;
    };
    const Case cases[] = {
        {"FadeEffect", [](ISurface& s, const RECT* r) { return s.FadeEffect(77, r); }, kEffectFade, true, 77},
        {"AddColorEffect", [](ISurface& s, const RECT* r) { return s.AddColorEffect(0x102030, r); }, kEffectAddColor, true, 0x102030},
        {"Effect3", [](ISurface& s, const RECT* r) { return s.Effect3(0xABCDEF01, r); }, kEffect3, true, 0xABCDEF01},
        {"Effect4", [](ISurface& s, const RECT* r) { return s.Effect4(r); }, kEffect4, false, 0},
        {"Effect5", [](ISurface& s, const RECT* r) { return s.Effect5(5, r); }, kEffect5, true, 5},
    };
    const RECT area{0, 0, 1, 1};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        EffectRecorder surface;
        EXPECT_EQ(c.call(surface, &area), 40 + c.kind);
        EXPECT_EQ(surface.kind_, c.kind);
        EXPECT_EQ(surface.rect_, &area);
        EXPECT_EQ(surface.has_param_, c.has_param);
        EXPECT_EQ(surface.param_, c.param);
    }
}

// A drawing surface refuses the kinds it has no drawing for, with a log text, and stays as it was.
TEST(SurfaceEffectSlots, KindsWithoutDrawingAreRefused) {
    MemorySurface surface(kSurfaceRGB565, 3, 2);
    const std::vector<uint8_t> before = surface.Memory();
    std::vector<std::string> logged;
    platform::SetLogCaptureForTest([&](std::string_view text) { logged.emplace_back(text); });
    EXPECT_EQ(surface.Effect3(1, nullptr), 1);
    EXPECT_EQ(surface.Effect4(nullptr), 1);
    EXPECT_EQ(surface.Effect5(1, nullptr), 1);
    platform::SetLogCaptureForTest(nullptr);
    EXPECT_EQ(logged.size(), 3u);
    EXPECT_EQ(surface.Memory(), before);
}

// The key taken from a pixel equals the key set as that pixel's colour: both are colours with
// alpha 0, so every blit kind compares them the same way. A keyed copy then skips exactly the
// pixels of the key's colour.
TEST(SurfaceColourKey, KeyByPositionEqualsKeyByColourOnEveryType) {
    for (int type : kAllTypes) {
        SCOPED_TRACE("type " + std::to_string(type));
        MemorySurface source(type, 2, 1);
        ARGBToPixel(0x80C04020u, source.At(0, 0), type);   // a half-transparent key pixel
        ARGBToPixel(0xFF10E0F0u, source.At(1, 0), type);
        ASSERT_EQ(source.SetColorKeyPos(0, 0), 0);
        const uint32_t by_position = source.GetColorKey();
        source.SetColorKey(PixelToARGB(source.At(0, 0), type));
        const uint32_t by_colour = source.GetColorKey();
        EXPECT_EQ(by_position, by_colour);
        EXPECT_EQ(by_position >> 24, 0u);
        for (KeyAlpha alpha : {KeyAlpha::kOwn, KeyAlpha::kOpaque})
            EXPECT_EQ(ConvertColorKey(type, by_position, alpha), ConvertColorKey(type, by_colour, alpha));

        MemorySurface dest(kSurfaceXRGB8888, 2, 1);
        ARGBToPixel(0xFF000000u, dest.At(0, 0), kSurfaceXRGB8888);
        ARGBToPixel(0xFF000000u, dest.At(1, 0), kSurfaceXRGB8888);
        ASSERT_EQ(source.SetColorKeyPos(0, 0), 0);
        ASSERT_EQ(dest.GeneralBlt(kBltCopyKeyed, source.GetSurfaceInfo(), nullptr, nullptr), 0);
        EXPECT_EQ(dest.Read(0, 0), (Colour{0, 0, 0, 255}));
        EXPECT_EQ(dest.Read(1, 0), StoredAs(type, FromARGB(0xFF10E0F0u)));
    }
}

} // namespace
