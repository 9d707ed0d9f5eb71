// polygon_dispatch_test.cpp -- CSurfaceInfo::PolygonBlt: results, locking order, refusals, the
// mode-1 key, and the worked pixel numbers of the copy, keyed copy and blend operations.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "blit_reference.h"
#include "probe_surface.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/PolygonDispatch.h"
#include "sdk/draw/Surface.h"
#include "sdk/ktl/exception.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

const POINT kLine[2] = {{0, 0}, {0, 1}};
const PolygonInfo kLineInfo{kLine, kLine, nullptr, 0, 2};

TEST(PolygonBltEntry, ResultsAndLocking) {
    std::string log;
    ProbeSurface d("d", kSurfaceRGB565, log), s("s", kSurfaceRGB565, log);
    // Modes not served, no source, itself as source: 1 before anything is locked.
    for (int mode : {2, 5, 11, -1}) EXPECT_EQ(d.PolygonBlt(mode, &s, &kLineInfo, nullptr), 1) << mode;
    EXPECT_EQ(d.PolygonBlt(0, nullptr, &kLineInfo, nullptr), 1);
    EXPECT_EQ(d.PolygonBlt(0, &d, &kLineInfo, nullptr), 1);
    EXPECT_EQ(log, "");

    // A served pair: destination locked first, source unlocked first.
    for (int mode : {0, 1, 10}) {
        log.clear();
        EXPECT_EQ(d.PolygonBlt(mode, &s, &kLineInfo, nullptr), 0);
        EXPECT_EQ(log, "lock d; lock s; unlock s; unlock d; ") << mode;
        log.clear();
        EXPECT_EQ(d.PolygonBlt(mode, &s, nullptr, nullptr), 0);   // no polygon: nothing drawn
        EXPECT_EQ(log, "lock d; lock s; unlock s; unlock d; ") << mode;
    }
    // RGB565 onto RGB888: 2 after both locks.
    ProbeSurface d888("d", kSurfaceRGB888, log);
    for (int mode : {0, 1, 10}) {
        log.clear();
        EXPECT_EQ(d888.PolygonBlt(mode, &s, &kLineInfo, nullptr), 2);
        EXPECT_EQ(log, "lock d; lock s; unlock s; unlock d; ");
    }
    // Two type-9 descriptors: 0, nothing drawn.
    ProbeSurface d9("d", 9, log), s9("s", 9, log);
    std::vector<uint8_t> before = d9.Pixels();
    EXPECT_EQ(d9.PolygonBlt(0, &s9, &kLineInfo, nullptr), 0);
    EXPECT_EQ(d9.Pixels(), before);
    // A failed source lock releases the destination; a failed destination lock stops at once.
    log.clear();
    s.lock_result = 7;
    EXPECT_EQ(d.PolygonBlt(0, &s, &kLineInfo, nullptr), 1);
    EXPECT_EQ(log, "lock d; lock s failed; unlock d; ");
    s.lock_result = 0;
    d.lock_result = 7;
    log.clear();
    EXPECT_EQ(d.PolygonBlt(0, &s, &kLineInfo, nullptr), 1);
    EXPECT_EQ(log, "lock d failed; ");
    d.lock_result = 0;
    // A source locked already: the double-lock exception passes and the destination is released.
    s.Lock();
    std::string thrown;
    try {
        d.PolygonBlt(0, &s, &kLineInfo, nullptr);
    } catch (const KTL::CRuntimeException& e) {
        thrown = e.GetMessage();
    }
    EXPECT_EQ(thrown, "２重Lock(CSurfaceInfo::Lock)");
    EXPECT_FALSE(d.IsLocked());
    s.Unlock();
}

TEST(PolygonBltEntry, ReachableThroughTheSurfaceSlot) {
    class MemorySurface : public ISurface {
    public:
        KTL::smart_ptr<ISurface> CreateInstance() override { return {}; }
    };
    MemorySurface surface;
    std::vector<uint16_t> pixels(4, 0), texels(4, 0xBEEF);
    surface.GetSurfaceInfo()->Init(pixels.data(), 4, 2, 2, kSurfaceRGB565);
    CSurfaceInfo source;
    source.Init(texels.data(), 4, 2, 2, kSurfaceRGB565);
    EXPECT_EQ(surface.PolygonBlt(kPolyBltCopy, &source, &kLineInfo, nullptr), 0);
    EXPECT_EQ(pixels, (std::vector<uint16_t>{0xBEEF, 0, 0xBEEF, 0}));
    EXPECT_EQ(surface.PolygonBlt(kPolyBltCopy, nullptr, &kLineInfo, nullptr), 1);
}

TEST(PolygonBltEntry, KeyOfModeOne) {
    struct Case {
        int src, dst;
        uint32_t key_argb, expected;
    };
    const Case cases[] = {
        {kSurfaceARGB8888, kSurfaceARGB8888, 0x12345678, 0xFF345678},   // opaque onto its own type
        {kSurfaceARGB8888, kSurfaceRGB888, 0x12345678, 0x12345678},
        {kSurfaceARGB8888, kSurfaceXRGB8888, 0x12345678, 0x12345678},
        {kSurfaceABGR8888, kSurfaceABGR8888, 0x12345678, 0xFF785634},
        {kSurfaceABGR8888, kSurfaceBGR888, 0x12345678, 0x12785634},
        {kSurfaceRGB555, kSurfaceRGB555, 0x00FF00FF, 0x7C1F},             // red 31, green 0, blue 31
        {kSurfaceRGB565, kSurfaceRGB565, 0x00FFFFFF, 0xFFFF},
        {kSurfaceARGB4565, kSurfaceRGB565, 0xA0FF0000, 0x000AF800},       // level A >> 4 in byte 2
        {kSurfaceXBGR8888, kSurfaceABGR8888, 0xAA112233, 0x00332211},     // spare byte 0
        {kSurfaceRGB888, kSurfaceARGB8888, 0xAA112233, 0x00112233},
    };
    for (const Case& c : cases) {
        CSurfaceInfo source;
        source.Init(nullptr, 0, 0, 0, c.src);
        source.SetColorKey(c.key_argb);
        EXPECT_EQ(PolyBltKey(source, c.dst), c.expected) << TypeName(c.src) << " onto " << TypeName(c.dst);
    }
}

// One pixel of each worked example: both rows of a 1 x 2 destination take the texel of their
// own row, and both rows hold the same values.
TEST(PolygonBltPixels, WorkedNumbers) {
    InitAlphaTables();
    struct Case {
        const char* what;
        int mode, dst, src;
        std::array<uint8_t, 4> d, s, expected;
        uint32_t key = 0;
    };
    const Case cases[] = {
        // Copy onto 32-bit alpha types: channels by name, opaque.
        {"RGB888 onto ABGR8888", 0, kSurfaceABGR8888, kSurfaceRGB888, {9, 9, 9, 9}, {0x10, 0x20, 0x30}, {0x30, 0x20, 0x10, 0xFF}},
        {"RGB888 onto ARGB8888", 0, kSurfaceARGB8888, kSurfaceRGB888, {9, 9, 9, 0}, {0x10, 0x20, 0x30}, {0x10, 0x20, 0x30, 0xFF}},
        {"ARGB8888 copy keeps alpha", 0, kSurfaceARGB8888, kSurfaceARGB8888, {9, 9, 9, 9}, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"RGB565 onto a cell: level 15, byte 3 kept", 0, kSurfaceARGB4565, kSurfaceRGB565, {9, 9, 9, 0x77}, {0x34, 0x12}, {0x34, 0x12, 0x0F, 0x77}},
        {"cell copy: byte 3 kept", 0, kSurfaceARGB4555, kSurfaceARGB4555, {9, 9, 9, 0x77}, {0x34, 0x92, 0x05, 0x66}, {0x34, 0x92, 0x05, 0x77}},
        {"RGB555 copy keeps bit 15", 0, kSurfaceRGB555, kSurfaceRGB555, {0, 0}, {0xFF, 0xFF}, {0xFF, 0xFF}},
        {"alpha cell onto RGB555: bit 15 cleared", 0, kSurfaceRGB555, kSurfaceARGB4555, {0, 0}, {0xFF, 0xFF, 0, 0}, {0xFF, 0x7F}},
        {"alpha 0 copies like any", 0, kSurfaceXRGB8888, kSurfaceARGB8888, {9, 9, 9, 9}, {1, 2, 3, 0}, {1, 2, 3, 0}},
        // Keyed copies: which bits meet the key.
        {"XRGB8888 key colour with a spare byte is drawn", 1, kSurfaceXRGB8888, kSurfaceXRGB8888, {9, 9, 9, 9}, {0x33, 0x22, 0x11, 5}, {0x33, 0x22, 0x11, 5}, 0x00112233},
        {"XRGB8888 key skipped", 1, kSurfaceXRGB8888, kSurfaceXRGB8888, {9, 9, 9, 9}, {0x33, 0x22, 0x11, 0}, {9, 9, 9, 9}, 0x00112233},
        {"ARGB8888 key colour skipped at any alpha", 1, kSurfaceARGB8888, kSurfaceARGB8888, {9, 9, 9, 9}, {0x33, 0x22, 0x11, 7}, {9, 9, 9, 9}, 0x00112233},
        {"cell key colour skipped at any level", 1, kSurfaceARGB4565, kSurfaceARGB4565, {9, 9, 9, 9}, {0x00, 0xF8, 0x03}, {9, 9, 9, 9}, 0xF0FF0000},
        {"RGB555 with bit 15 never matches", 1, kSurfaceRGB555, kSurfaceRGB555, {9, 9}, {0x1F, 0xFC}, {0x1F, 0xFC}, 0x00FF00FF},
        {"ARGB4555 texel with bit 15 never matches", 1, kSurfaceRGB555, kSurfaceARGB4555, {9, 9}, {0x1F, 0xFC, 0}, {0x1F, 0x7C}, 0x00FF00FF},
        {"XBGR8888 24-bit compare onto ABGR8888 ignores nothing", 1, kSurfaceABGR8888, kSurfaceXBGR8888, {9, 9, 9, 0}, {0x11, 0x22, 0x33, 1}, {0x11, 0x22, 0x33, 0xFF}, 0x00112233},
        {"RGB888 key skipped, alpha kept", 1, kSurfaceARGB8888, kSurfaceRGB888, {9, 9, 9, 0}, {0x33, 0x22, 0x11}, {9, 9, 9, 0}, 0xAA112233},
        // Blends across formats.
        {"alpha 128: 255 over 0", 10, kSurfaceXRGB8888, kSurfaceARGB8888, {0, 255, 0, 9}, {255, 0, 200, 128}, {128, 127, 100, 0}},
        {"equal colours untouched at alpha 128", 10, kSurfaceRGB888, kSurfaceARGB8888, {1, 1, 1}, {1, 1, 1, 128}, {1, 1, 1}},
        {"alpha 0 keeps colour, spare 0", 10, kSurfaceXBGR8888, kSurfaceABGR8888, {5, 6, 7, 9}, {1, 2, 3, 0}, {5, 6, 7, 0}},
        {"exchanged pair, same memory bytes: drawn", 10, kSurfaceARGB8888, kSurfaceBGR888, {10, 20, 30, 4}, {10, 20, 30}, {30, 20, 10, 255}},
        {"exchanged pair, same colour: untouched", 10, kSurfaceARGB8888, kSurfaceBGR888, {30, 20, 10, 4}, {10, 20, 30}, {30, 20, 10, 4}},
        {"level 15 writes the texel", 10, kSurfaceRGB565, kSurfaceARGB4565, {0, 0}, {0x34, 0x12, 15}, {0x34, 0x12}},
        {"level 0 keeps the destination", 10, kSurfaceRGB565, kSurfaceARGB4565, {0x78, 0x56}, {0x34, 0x12, 0}, {0x78, 0x56}},
        {"level byte 31 acts as 15", 10, kSurfaceRGB565, kSurfaceARGB4565, {0, 0}, {0x34, 0x12, 31}, {0x34, 0x12}},
        {"level 0 onto RGB555 clears bit 15", 10, kSurfaceRGB555, kSurfaceARGB4555, {0x78, 0xD6}, {0x34, 0x12, 0}, {0x78, 0x56}},
        // Blends within one format.
        {"565 blend is the source", 10, kSurfaceRGB565, kSurfaceRGB565, {0x78, 0x56}, {0x34, 0x12}, {0x34, 0x12}},
        {"555 blend clears bit 15", 10, kSurfaceRGB555, kSurfaceRGB555, {0, 0}, {0x34, 0x92}, {0x34, 0x12}},
        {"565 onto a cell keeps bytes 2 and 3", 10, kSurfaceARGB4565, kSurfaceRGB565, {0, 0, 7, 8}, {0x34, 0x12}, {0x34, 0x12, 7, 8}},
        {"cell level 15: white over black 29/59/29", 10, kSurfaceARGB4565, kSurfaceARGB4565, {0, 0, 3, 4}, {0xFF, 0xFF, 15, 0}, {0x7D, 0xEF, 3, 4}},
        {"cell level 15: white over white 30/62/30", 10, kSurfaceARGB4565, kSurfaceARGB4565, {0xFF, 0xFF, 3, 4}, {0xFF, 0xFF, 15, 0}, {0xDE, 0xF7, 3, 4}},
        {"cell level 8: white over black 15/31/15", 10, kSurfaceARGB4565, kSurfaceARGB4565, {0, 0, 3, 4}, {0xFF, 0xFF, 8, 0}, {0xEF, 0x7B, 3, 4}},
        {"cell level byte 31 acts as 15", 10, kSurfaceARGB4565, kSurfaceARGB4565, {0, 0, 3, 4}, {0xFF, 0xFF, 31, 0}, {0x7D, 0xEF, 3, 4}},
        {"4555 level 0 clears bit 15", 10, kSurfaceARGB4555, kSurfaceARGB4555, {0x34, 0x92, 3, 4}, {0xFF, 0x7F, 0, 0}, {0x34, 0x12, 3, 4}},
        {"ARGB8888 alpha 128: 200 over 100 is 149", 10, kSurfaceARGB8888, kSurfaceARGB8888, {100, 255, 0, 0}, {200, 0, 255, 128}, {149, 127, 128, 255}},
        {"ARGB8888 alpha 0: colour stays, alpha 255", 10, kSurfaceARGB8888, kSurfaceARGB8888, {1, 2, 3, 0}, {4, 5, 6, 0}, {1, 2, 3, 255}},
        {"ARGB8888 equal colours: untouched", 10, kSurfaceABGR8888, kSurfaceABGR8888, {1, 2, 3, 0}, {1, 2, 3, 9}, {1, 2, 3, 0}},
        {"ARGB8888 alpha 255 is the source", 10, kSurfaceARGB8888, kSurfaceARGB8888, {9, 9, 9, 9}, {1, 2, 3, 255}, {1, 2, 3, 255}},
        {"XRGB8888 differing colour: spare 0", 10, kSurfaceXRGB8888, kSurfaceXRGB8888, {1, 2, 3, 9}, {4, 5, 6, 7}, {4, 5, 6, 0}},
        {"XRGB8888 same colour keeps spare", 10, kSurfaceXRGB8888, kSurfaceXRGB8888, {4, 5, 6, 9}, {4, 5, 6, 7}, {4, 5, 6, 9}},
    };
    for (const Case& c : cases) {
        const int ds = PixelSize(c.dst), ss = PixelSize(c.src);
        std::vector<uint8_t> dpix, spix;
        for (int row = 0; row < 2; ++row) {
            dpix.insert(dpix.end(), c.d.begin(), c.d.begin() + ds);
            spix.insert(spix.end(), c.s.begin(), c.s.begin() + ss);
        }
        CSurfaceInfo dest, source;
        dest.Init(dpix.data(), ds, 1, 2, c.dst);
        source.Init(spix.data(), ss, 1, 2, c.src);
        source.SetColorKey(c.key);
        ASSERT_EQ(dest.PolygonBlt(c.mode, &source, &kLineInfo, nullptr), 0) << c.what;
        EXPECT_EQ(std::vector<uint8_t>(dpix.begin(), dpix.begin() + ds), std::vector<uint8_t>(c.expected.begin(), c.expected.begin() + ds))
            << c.what;
    }
}

} // namespace
