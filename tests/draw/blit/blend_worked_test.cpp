// blend_worked_test.cpp -- the worked numbers of the add/subtract and blend kinds, one grouped
// table per kind, drawn through the dispatch on single pixels and short rows.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltDispatch.h"
#include "sdk/draw/CpuFeature.h"
#include "sdk/draw/PixelConvert.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// One pixel: destination value d, source value s, the kind's alpha or rates a and b.
struct Worked {
    int dt, st;
    uint32_t d, s;
    int a, b;
    uint32_t want;
};

constexpr uint32_t kKey = 0x00FF00FF;   // the source's colour key in the keyed cases

uint32_t Load(const uint8_t* p, int size) {
    uint32_t v = 0;
    std::memcpy(&v, p, size);
    return v;
}

// Draws a row of source pixels onto a row of destination pixels at x through GeneralBlt and
// returns the destination row.
std::vector<uint32_t> DrawRow(int kind, int dt, int st, std::vector<uint32_t> d, const std::vector<uint32_t>& s,
                              int x = 0, int a = 0, int b = 0) {
    InitAlphaTables();
    int dsize = PixelSize(dt), ssize = PixelSize(st);
    std::vector<uint8_t> dmem(d.size() * dsize + 4), smem(s.size() * ssize + 4);
    for (size_t i = 0; i < d.size(); ++i) std::memcpy(&dmem[i * dsize], &d[i], dsize);
    for (size_t i = 0; i < s.size(); ++i) std::memcpy(&smem[i * ssize], &s[i], ssize);
    CSurfaceInfo dest, source;
    dest.Init(dmem.data(), static_cast<int32_t>(d.size()) * dsize, static_cast<int32_t>(d.size()), 1, dt);
    source.Init(smem.data(), static_cast<int32_t>(s.size()) * ssize, static_cast<int32_t>(s.size()), 1, st);
    source.SetColorKey(kKey);
    POINT pos{x, 0};
    BltInfo info;
    info.pos = &pos;
    uint8_t alpha[4] = {static_cast<uint8_t>(a), 0xEE, 0xEE, 0xEE};
    BltRatesParam rates{uint32_t(a) | 0x1200u, uint32_t(b) | 0x3400u};
    const void* param = kind == 14 || kind == 15 ? static_cast<const void*>(alpha) : static_cast<const void*>(&rates);
    EXPECT_EQ(dest.GeneralBlt(kind, &source, &info, param), 0);
    for (size_t i = 0; i < d.size(); ++i) d[i] = Load(&dmem[i * dsize], dsize);
    return d;
}

uint32_t DrawOne(int kind, const Worked& w) {
    return DrawRow(kind, w.dt, w.st, {w.d}, {w.s}, 0, w.a, w.b)[0];
}

void CheckTable(int kind, std::initializer_list<Worked> table) {
    int row = 0;
    for (const Worked& w : table) {
        EXPECT_EQ(DrawOne(kind, w), w.want) << "kind " << kind << " row " << row << std::hex << ": d 0x" << w.d
                                            << " s 0x" << w.s;
        ++row;
    }
}

constexpr int RGB565 = kSurfaceRGB565, RGB555 = kSurfaceRGB555, RGB888 = kSurfaceRGB888, BGR888 = kSurfaceBGR888,
              XRGB = kSurfaceXRGB8888, XBGR = kSurfaceXBGR8888, A4565 = kSurfaceARGB4565, A4555 = kSurfaceARGB4555,
              ARGB = kSurfaceARGB8888, ABGR = kSurfaceABGR8888;

} // namespace

TEST(BlendWorked, SaturatingAdd) {
    CheckTable(kBltAdd, {
        {RGB565, RGB565, 0xF800, 0x0801, 0, 0, 0xF801},          // red stays 31, blue adds
        {RGB565, RGB565, 0x07E0, 0x0020, 0, 0, 0x07E0},          // green stays 63, no carry into red
        {RGB565, RGB565, 0xFFFF, 0x1234, 0, 0, 0xFFFF},          // white stays white
        {RGB565, RGB565, 0x0000, 0x1234, 0, 0, 0x1234},          // black takes the colour
        {RGB565, A4565, 0x0000, 0x000FFFFF, 0, 0, 0xE75C},       // alpha 15 adds 14/15
        {RGB565, A4565, 0x1234, 0x0001FFFF, 0, 0, 0x1234},       // alpha 1 adds nothing
        {RGB565, A4565, 0x1234, 0x00F0FFFF, 0, 0, 0x1234},       // only the low four bits are the level
        {RGB555, A4555, 0x0000, 0x000F7FFF, 0, 0, 0x7FFF},       // alpha 15 adds the full colour
        {RGB888, ARGB, 0x123456, 0x00FFFFFF, 0, 0, 0x123456},    // alpha 0 leaves it
        {RGB888, ARGB, 0x102030, 0xFF010203, 0, 0, 0x112233},    // alpha 255 adds all
        {ARGB, ARGB, 0x00102030, 0x00010203, 0, 0, 0xFF112233},  // source alpha ignored, alpha 0xFF
        {A4565, RGB565, 0xAB050800, 0x0801, 0, 0, 0xAB051001},   // alpha nibble and byte 3 stay
        {XRGB, XRGB, 0x00102030, 0x00010203, 0, 0, 0x00112233},  // spare bytes 0 stay 0
        {XRGB, ARGB, 0xAB000000, 0xFF010203, 0, 0, 0xAB010203},  // spare byte unchanged
        {ARGB, BGR888, 0x00000000, 0x000010, 0, 0, 0xFF100000},  // source red (byte 0) to red (byte 2)
        {ARGB, XRGB, 0x00F00000, 0x00200001, 0, 0, 0xFFFF0001},  // routed to the ARGB8888 routine
    });
    // Two pixels in one word saturate independently; a source's bit 15 of RGB555 never carries
    // into the neighbour, the destination's passes through.
    EXPECT_EQ(DrawRow(kBltAdd, RGB565, RGB565, {0xF800, 0x0001}, {0xF800, 0x0001}), (std::vector<uint32_t>{0xF800, 0x0002}));
    EXPECT_EQ(DrawRow(kBltAdd, RGB555, RGB555, {0x7C00, 0x0000}, {0x8001, 0x0001}), (std::vector<uint32_t>{0x7C01, 0x0001}));
    EXPECT_EQ(DrawRow(kBltAdd, RGB555, RGB555, {0x8000, 0x8001}, {0x0001, 0x7FFF}), (std::vector<uint32_t>{0x8001, 0xFFFF}));
    // Keyed: an XRGB8888 pixel of the key colour with a spare byte is drawn (the spare bytes add
    // too); an ARGB8888 pixel of the key colour is skipped whatever its alpha.
    EXPECT_EQ(DrawRow(kBltAddKeyed, XRGB, XRGB, {0x00000001, 0x00000001}, {0x01FF00FF, 0x00FF00FF}),
              (std::vector<uint32_t>{0x01FF00FF, 0x00000001}));
    EXPECT_EQ(DrawRow(kBltAddKeyed, RGB888, ARGB, {0x000001, 0x000001}, {0x12FF00FF, 0xFF000010}),
              (std::vector<uint32_t>{0x000001, 0x000011}));
}

TEST(BlendWorked, SaturatingSubtract) {
    CheckTable(kBltSub, {
        {RGB565, RGB565, 0x0841, 0xF822, 0, 0, 0x0020},          // greater source channels stop at 0
        {RGB565, RGB565, 0x1234, 0x0000, 0, 0, 0x1234},          // black takes nothing
        {RGB565, RGB565, 0x1234, 0xFFFF, 0, 0, 0x0000},          // white takes everything
        {RGB565, A4565, 0xFFFF, 0x000FFFFF, 0, 0, 0x18A3},       // alpha 15 takes 14/15
        {RGB565, A4565, 0xFFFF, 0x0001FFFF, 0, 0, 0xFFFF},       // alpha 1 takes nothing
        {RGB555, A4555, 0x7FFF, 0x000F7FFF, 0, 0, 0x0000},       // alpha 15 takes the full colour
        {RGB888, ARGB, 0x112233, 0x00FFFFFF, 0, 0, 0x112233},    // alpha 0 leaves it
        {RGB888, ARGB, 0x112233, 0xFF010203, 0, 0, 0x102030},    // alpha 255 takes all
        {ARGB, ARGB, 0x00102030, 0x00000000, 0, 0, 0xFF102030},  // alpha 0xFF also from black
        {A4565, RGB565, 0x00071234, 0x0001, 0, 0, 0x00071233},   // alpha nibble stays
        {XRGB, XRGB, 0x00112233, 0x00010203, 0, 0, 0x00102030},  // spare bytes 0 stay 0
        {XRGB, ARGB, 0xAB112233, 0xFF010203, 0, 0, 0xAB102030},  // spare byte unchanged
        {XBGR, ABGR, 0xAB112233, 0xFF010203, 0, 0, 0x00102030},  // spare byte becomes 0
        {XBGR, ABGR, 0x00000010, 0xFF000001, 0, 0, 0x0000000F},  // red from red (byte 0)
        {ARGB, BGR888, 0x00100000, 0x000008, 0, 0, 0xFF080000},  // source red (byte 0) from red (byte 2)
    });
    EXPECT_EQ(DrawRow(kBltSub, RGB565, RGB565, {0x0000, 0x0841}, {0x0001, 0x0000}), (std::vector<uint32_t>{0x0000, 0x0841}));
    EXPECT_EQ(DrawRow(kBltSub, RGB555, RGB555, {0x0000, 0x0421}, {0x8000, 0x0000}), (std::vector<uint32_t>{0x0000, 0x0421}));
    // A width of one at an odd x draws exactly one pixel.
    EXPECT_EQ(DrawRow(kBltSub, RGB565, RGB565, {0xFFFF, 0xFFFF, 0xFFFF}, {0x0841}, 1),
              (std::vector<uint32_t>{0xFFFF, 0xF7BE, 0xFFFF}));
    // Keyed: a cell of the key colour is skipped whatever its alpha nibble.
    uint32_t key565 = ConvertColorKey(A4565, kKey) & 0xFFFF;
    EXPECT_EQ(DrawRow(kBltSubKeyed, RGB565, A4565, {0xFFFF, 0xFFFF}, {0x000F0000 | key565, 0x000F0001}),
              (std::vector<uint32_t>{0xFFFF, 0xFFFF}));
}

TEST(BlendWorked, PerPixelAlpha) {
    CheckTable(kBltAlphaBlend, {
        {RGB565, A4565, 0x1234, 0x00005678, 0, 0, 0x1234},       // alpha 0 leaves it
        {RGB565, A4565, 0x1234, 0x000F5678, 0, 0, 0x5678},       // alpha 15 writes the source
        {RGB565, A4565, 0x1234, 0x00F05678, 0, 0, 0x1234},       // only the low four bits are the level
        {XRGB, ARGB, 0x00AABBCC, 0xFF112233, 0, 0, 0x00112233},  // alpha 255 writes the source
        {XRGB, ARGB, 0x7F445566, 0x00112233, 0, 0, 0x00445566},  // alpha 0: colour stays, spare 0
        {XRGB, ARGB, 0x7F112233, 0x00112233, 0, 0, 0x7F112233},  // same colour: skipped entirely
        {A4565, A4565, 0x000F1234, 0x00005678, 0, 0, 0x000E1234},  // share 225, alpha 14, own colour
        {A4565, A4565, 0x00031234, 0x000F5678, 0, 0, 0x000F5678},  // alpha 15 source: exactly it
        {A4565, A4565, 0x00001234, 0x00005678, 0, 0, 0x00001234},  // both transparent
        {ARGB, ARGB, 0x00001234, 0x00005678, 0, 0, 0x00001234},    // both transparent
        {ARGB, ARGB, 0x80445566, 0xFF112233, 0, 0, 0xFF112233},    // alpha 255 source: exactly it
        {ARGB, ARGB, 0x64445566, 0x00112233, 0, 0, 0x64445566},    // the composed alpha 100 stays
        {ARGB, ARGB, 0x80000000, 0x80FFFFFF, 0, 0, 0xBFAAAAAA},    // 128 over 128: alpha 191
    });
    EXPECT_EQ(FindBltRoutine(kBltAlphaBlend, XRGB, XRGB), nullptr);
}

TEST(BlendWorked, ConstantAlpha) {
    CheckTable(kBltBlendConst, {
        {RGB888, RGB888, 0x445566, 0x112233, 255, 0, 0x112233},  // a 255 writes the source
        {RGB565, RGB565, 0x1234, 0xABCD, 240, 0, 0xABCD},        // level 15 from 240 up
        {RGB565, RGB565, 0x1234, 0xABCD, 15, 0, 0x1234},         // level 0 up to 15
        {RGB888, RGB888, 0x445566, 0x112233, 0, 0, 0x445566},    // a 0 leaves it
        {ARGB, XRGB, 0x10445566, 0x00112233, 0, 0, 0xFF445566},  // ... but the alpha becomes 255
        {RGB888, RGB888, 0x000001, 0x000001, 128, 0, 0x000001},  // equal: skipped, not darkened
        {RGB565, A4565, 0x1234, 0x00005678, 255, 0, 0x1234},     // a transparent cell leaves it
        {RGB565, A4565, 0x1234, 0x000FFFFF, 255, 0, 0xFFFF},     // factor 240: still level 15
        {A4565, A4565, 0x00070000, 0x000FFFFF, 255, 0, 0x0007EF7D},  // factor 240 mixes in 15/255
        {ARGB, BGR888, 0x40302010, 0x302010, 255, 0, 0xFF102030},    // same bytes, other colour: drawn
        {ARGB, BGR888, 0x40102030, 0x302010, 255, 0, 0x40102030},    // same colour by name: skipped
        {ABGR, XRGB, 0x40302010, 0x00302010, 255, 0, 0xFF102030},
    });
    // Kind 14 on XRGB8888 <- XRGB8888 runs the vector formula when the processor has MMX.
    uint32_t dispatched = DrawOne(kBltBlendConst, {XRGB, XRGB, 0x7F000000, 0x00FFFFFF, 255, 0, 0});
    EXPECT_EQ(dispatched, CpuFeatureCache & kCpuFeatureMmx ? 0x00FEFEFEu : 0x00FFFFFFu);
    // Keyed: an XRGB8888 pixel of the key colour with a spare byte is drawn, an ARGB8888 one of
    // the key colour skipped whatever its alpha.
    EXPECT_EQ(DrawRow(kBltBlendConstKeyed, XRGB, XRGB, {0x7F000000, 0x7F000000}, {0x01FF00FF, 0x00FF00FF}, 0, 255),
              (std::vector<uint32_t>{0x00FF00FF, 0x7F000000}));
    EXPECT_EQ(DrawRow(kBltBlendConstKeyed, XRGB, ARGB, {0x7F000000, 0x7F000000}, {0x12FF00FF, 0xFF000010}, 0, 255),
              (std::vector<uint32_t>{0x7F000000, 0x00000010}));
}

TEST(BlendWorked, TwoRates) {
    CheckTable(kBltBlendRates, {
        {XRGB, XRGB, 0x7F445566, 0x55112233, 255, 0, 0x00112233},  // a 255, b 0 writes the source
        {XRGB, XRGB, 0x7F445566, 0x55112233, 0, 255, 0x00445566},  // a 0, b 255 keeps the colour
        {XRGB, XRGB, 0x00FFFFFF, 0x00FFFFFF, 127, 128, 0x00FFFFFF},  // 127 + 128
        {XRGB, XRGB, 0x00FFFFFF, 0x00FFFFFF, 128, 128, 0x00000000},  // 256 wraps to 0
        {RGB888, RGB888, 0xC8C8C8, 0xC8C8C8, 255, 255, 0x909090},    // 400 wraps to 144
        {RGB565, RGB565, 0x1234, 0xABCD, 15, 15, 0x0000},            // rates 0..15: level 0
        {RGB565, RGB565, 0x1234, 0xABCD, 240, 0, 0xABCD},            // 240..255: level 15
        {RGB565, RGB565, 0x001F, 0x001F, 255, 255, 0x003E},          // blue carries into green
        {RGB565, A4565, 0xFFFF, 0x00000000, 200, 255, 0xFFFF},       // b 255: level 15
        {RGB565, A4565, 0xFFFF, 0x00000000, 200, 128, 0x73AE},       // b 128: level 7
        {RGB565, RGB565, 0xFFFF, 0x0000, 0, 128, 0x8430},            // the same pair: level 8
        {ARGB, XRGB, 0x00445566, 0x00112233, 255, 255, 0xFF112233},  // alpha 0 keeps none of d
    });
    // Keyed: a key pixel leaves the destination, alpha included, unchanged.
    EXPECT_EQ(DrawRow(kBltBlendRatesKeyed, ARGB, RGB888, {0x12345678, 0x12345678}, {0xFF00FF, 0x000001}, 0, 255, 0),
              (std::vector<uint32_t>{0x12345678, 0xFF000001}));
}
