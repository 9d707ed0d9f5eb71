// bmp_test.cpp -- BMP reading of every depth and row order, writing, round trips through every
// surface type, and broken files that must fail cleanly.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <random>

#include "sdk/draw/FastDraw.h"
#include "sdk/draw/FastPlane.h"
#include "tests/draw/draw_test_util.h"

namespace {

using namespace drawtest;

// A repeatable scramble of a position, for pixel values that differ everywhere.
uint32_t Scramble(int x, int y, uint32_t salt = 0) {
    uint32_t h = static_cast<uint32_t>(x) * 0x9E3779B1u ^ static_cast<uint32_t>(y) * 0x85EBCA77u ^ salt;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

struct DepthCase {
    std::string name;
    BmpLayout layout;
    std::function<uint32_t(int, int)> raw;   // stored value of pixel (x, y)
    std::function<Colour(uint32_t)> expect;  // what the reader must make of a stored value
    bool has_alpha;
};

Colour FromPalette(const std::vector<uint32_t>& palette, uint32_t index) {
    if (index >= palette.size()) return {0, 0, 0, 255};
    return FromARGB(palette[index] | 0xFF000000u);
}

std::vector<DepthCase> DepthCases() {
    std::vector<DepthCase> cases;
    std::vector<uint32_t> two = {0x102030, 0xF0E0D0};
    std::vector<uint32_t> sixteen, full, short_palette;
    for (uint32_t i = 0; i < 16; ++i) sixteen.push_back(i * 0x110000 + (15 - i) * 0x11 + 0x4000);
    for (uint32_t i = 0; i < 256; ++i) full.push_back(i << 16 | (255 - i) << 8 | ((i * 7) & 255));
    for (uint32_t i = 0; i < 20; ++i) short_palette.push_back(0x010101 * (i * 12));

    auto palette_case = [&](const char* name, int bits, std::vector<uint32_t> palette, uint32_t modulo) {
        BmpLayout layout;
        layout.bits = bits;
        layout.palette = palette;
        cases.push_back({name, layout, [modulo](int x, int y) { return Scramble(x, y) % modulo; },
                         [palette](uint32_t v) { return FromPalette(palette, v); }, false});
    };
    palette_case("1bit", 1, two, 2);
    palette_case("4bit", 4, sixteen, 16);
    palette_case("8bit", 8, full, 256);
    palette_case("8bit_short_palette", 8, short_palette, 256);   // indices past the palette: black

    BmpLayout l555;
    l555.bits = 16;
    cases.push_back({"16bit_555", l555, [](int x, int y) { return Scramble(x, y) & 0xFFFF; },
                     [](uint32_t v) { return Colour{int((v >> 10) & 31) << 3, int((v >> 5) & 31) << 3, int(v & 31) << 3, 255}; },
                     false});
    BmpLayout l565;
    l565.bits = 16;
    l565.compression = 3;
    l565.masks[0] = 0xF800; l565.masks[1] = 0x07E0; l565.masks[2] = 0x001F;
    cases.push_back({"16bit_565", l565, [](int x, int y) { return Scramble(x, y) & 0xFFFF; },
                     [](uint32_t v) { return Colour{int(v >> 11) << 3, int((v >> 5) & 63) << 2, int(v & 31) << 3, 255}; },
                     false});
    BmpLayout l1555 = l555;
    l1555.compression = 3;
    l1555.header_size = 108;
    l1555.masks[0] = 0x7C00; l1555.masks[1] = 0x03E0; l1555.masks[2] = 0x001F; l1555.masks[3] = 0x8000;
    cases.push_back({"16bit_1555_alpha", l1555, [](int x, int y) { return Scramble(x, y) & 0xFFFF; },
                     [](uint32_t v) {
                         return Colour{int((v >> 10) & 31) << 3, int((v >> 5) & 31) << 3, int(v & 31) << 3, v & 0x8000 ? 255 : 0};
                     },
                     true});
    BmpLayout l24;
    cases.push_back({"24bit", l24, [](int x, int y) { return Scramble(x, y) & 0xFFFFFF; },
                     [](uint32_t v) { return FromARGB(v | 0xFF000000u); }, false});
    BmpLayout l32;
    l32.bits = 32;
    cases.push_back({"32bit_plain", l32, [](int x, int y) { return Scramble(x, y); },   // spare byte is junk
                     [](uint32_t v) { return FromARGB(v | 0xFF000000u); }, false});
    BmpLayout l8888 = l32;
    l8888.compression = 3;
    l8888.header_size = 108;
    l8888.masks[0] = 0xFF0000; l8888.masks[1] = 0xFF00; l8888.masks[2] = 0xFF; l8888.masks[3] = 0xFF000000;
    cases.push_back({"32bit_alpha", l8888, [](int x, int y) { return Scramble(x, y); },
                     [](uint32_t v) { return FromARGB(v); }, true});
    BmpLayout lrgba = l32;
    lrgba.compression = 3;
    lrgba.header_size = 56;
    lrgba.masks[0] = 0xFF; lrgba.masks[1] = 0xFF00; lrgba.masks[2] = 0xFF0000; lrgba.masks[3] = 0xFF000000;
    cases.push_back({"32bit_abgr_masks", lrgba, [](int x, int y) { return Scramble(x, y); },
                     [](uint32_t v) { return Colour{int(v & 255), int(v >> 8 & 255), int(v >> 16 & 255), int(v >> 24)}; },
                     true});
    cases.push_back({"32bit_alpha_all_zero", l8888, [](int x, int y) { return Scramble(x, y) & 0xFFFFFF; },
                     [](uint32_t v) { return FromARGB(v | 0xFF000000u); }, false});   // read as opaque
    return cases;
}

// 13 x 7: odd widths make every depth pad its rows.
constexpr int kW = 13;
constexpr int kH = 7;

TEST(BmpRead, EveryDepthAndRowOrder) {
    for (const DepthCase& c : DepthCases()) {
        for (bool top_down : {false, true}) {
            SCOPED_TRACE(c.name + (top_down ? " top-down" : " bottom-up"));
            BmpLayout layout = c.layout;
            layout.top_down = top_down;
            const std::vector<uint8_t> file = BuildBmp(layout, kW, kH, c.raw);
            CBmpImage image;
            std::string reason;
            ASSERT_EQ(DecodeBmp(file.data(), file.size(), image, reason), 0) << reason;
            ASSERT_EQ(image.width, kW);
            ASSERT_EQ(image.height, kH);
            EXPECT_EQ(image.has_alpha, c.has_alpha);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const uint8_t* p = image.Row(y) + 4 * x;
                    ASSERT_EQ((Colour{p[2], p[1], p[0], p[3]}), c.expect(c.raw(x, y))) << "at " << x << "," << y;
                }
        }
    }
}

// Every type saved (24- and 32-bit), then loaded into every type: each pixel must come back as
// the colour the first type held, stored in the second.
TEST(BmpRoundTrip, SaveFromEveryTypeLoadIntoEveryType) {
    const Scratch scratch("roundtrip");
    const std::string& dir = scratch.path;
    for (int from : kAllTypes) {
        MemorySurface source(from, 11, 5, from % 2 == 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 11; ++x) {
                const uint32_t v = Scramble(x, y, from);
                std::memcpy(source.At(x, y), &v, PixelSize(from));
            }
        const std::string plain = dir + "/plain.bmp", alpha = dir + "/alpha.bmp";
        ASSERT_EQ(source.Save(plain), 0);
        ASSERT_EQ(source.Save2(alpha), 0);
        EXPECT_EQ(ReadBytes(plain)[28], 24);   // bits per pixel of each form
        EXPECT_EQ(ReadBytes(alpha)[28], 32);
        for (int to : kAllTypes) {
            SCOPED_TRACE("from type " + std::to_string(from) + " to type " + std::to_string(to));
            MemorySurface plain_copy(to, 1, 1), alpha_copy(to, 1, 1);
            ASSERT_EQ(plain_copy.LoadImage(plain), 0);
            ASSERT_EQ(alpha_copy.LoadImage(alpha), 0);
            int w = 0, h = 0;
            alpha_copy.GetSize(w, h);
            ASSERT_EQ(w, 11);
            ASSERT_EQ(h, 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 11; ++x) {
                    Colour held = source.Read(x, y);
                    ASSERT_EQ(alpha_copy.Read(x, y), StoredAs(to, held)) << "Save2 at " << x << "," << y;
                    held.a = 255;
                    ASSERT_EQ(plain_copy.Read(x, y), StoredAs(to, held)) << "Save at " << x << "," << y;
                }
        }
    }
}

// A file of every depth loaded into every surface type: each pixel is the colour the reader
// makes of it, stored in that type; a plane takes the display's type, or its alpha twin exactly
// when the file carries alpha.
TEST(BmpRoundTrip, EveryDepthLoadsIntoEveryType) {
    const Scratch scratch("depths");
    struct Display {
        int depth, plain_type, alpha_type;
    };
    const Display displays[] = {{32, kSurfaceXRGB8888, kSurfaceARGB8888},
                                {24, kSurfaceRGB888, kSurfaceARGB8888},
                                {16, kSurfaceRGB565, kSurfaceARGB4565}};
    for (const DepthCase& c : DepthCases()) {
        const std::string path = scratch.path + "/" + c.name + ".bmp";
        WriteBytes(path, BuildBmp(c.layout, kW, kH, c.raw));
        for (int to : kAllTypes) {
            SCOPED_TRACE(c.name + " into type " + std::to_string(to));
            MemorySurface surface(to, 1, 1);
            ASSERT_EQ(surface.LoadImage(path), 0);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    ASSERT_EQ(surface.Read(x, y), StoredAs(to, c.expect(c.raw(x, y)))) << "at " << x << "," << y;
        }
        for (const Display& d : displays) {
            SCOPED_TRACE(c.name + " on a " + std::to_string(d.depth) + "-bit display");
            KTL::smart_ptr<CFastDraw> display = CFastDraw::Create();
            display->BeginChangeDisplay();
            ASSERT_EQ(display->TestDisplayMode(64, 48, false, d.depth), 0);
            display->EndChangeDisplay();
            CFastPlane plane(display.get());
            ASSERT_EQ(plane.Load(path), 0);
            const int type = c.has_alpha ? d.alpha_type : d.plain_type;
            ASSERT_EQ(plane.GetSurfaceType(), type);
            CSurfaceLockGuard lock(*plane.GetSurfaceInfo());
            ASSERT_FALSE(lock.Failed());
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    ASSERT_EQ(RefRead(type, plane.GetSurfaceInfo()->PixelAt(x, y)), StoredAs(type, c.expect(c.raw(x, y))))
                        << "at " << x << "," << y;
        }
    }
}

// --- broken files -------------------------------------------------------------------------

// Decodes a copy of exactly size bytes (so the sanitizer sees any read past it); the image
// must stay as it was when decoding fails.
int DecodeCopy(const std::vector<uint8_t>& file, size_t size, CBmpImage& image) {
    std::vector<uint8_t> copy(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    std::string reason;
    const int result = DecodeBmp(copy.empty() ? nullptr : copy.data(), copy.size(), image, reason);
    if (result != 0) {
        EXPECT_FALSE(reason.empty());
    }
    return result;
}

CBmpImage Sentinel() {
    CBmpImage image;
    image.width = 77;
    image.height = 1;
    image.pixels.assign(77 * 4, 1);
    return image;
}

TEST(BmpBroken, TruncatedFilesFailAndLeaveThePictureAlone) {
    for (const DepthCase& c : DepthCases()) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> file = BuildBmp(c.layout, kW, kH, c.raw);
        // The last row may lack its padding; anything shorter than its pixels must fail.
        const size_t stride = (kW * c.layout.bits + 31) / 32 * 4;
        const size_t last_row = (kW * c.layout.bits + 7) / 8;
        const size_t shortest = file.size() - (stride - last_row);
        for (size_t size = 0; size < shortest; ++size) {
            CBmpImage image = Sentinel();
            ASSERT_NE(DecodeCopy(file, size, image), 0) << "size " << size;
            ASSERT_EQ(image.width, 77);
            ASSERT_EQ(image.pixels.size(), 77u * 4);
        }
        CBmpImage image;
        EXPECT_EQ(DecodeCopy(file, shortest, image), 0);
    }
}

// A valid 24-bit file with one header field replaced.
std::vector<uint8_t> With(size_t at, uint32_t value, int bytes = 4, int bits = 24) {
    BmpLayout layout;
    layout.bits = bits;
    if (bits == 8) layout.palette.assign(256, 0x808080);
    std::vector<uint8_t> file = BuildBmp(layout, 5, 4, [](int x, int y) { return Scramble(x, y) & 0xFF; });
    Put(file, at, value, bytes);
    return file;
}

TEST(BmpBroken, AbsurdHeadersFailCleanly) {
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> files = {
        {"not a bitmap", With(0, 0x474E5089)},
        {"width 0", With(18, 0)},
        {"negative width", With(18, static_cast<uint32_t>(-5))},
        {"height 0", With(22, 0)},
        {"height INT_MIN", With(22, 0x80000000u)},
        {"huge width", With(18, 1u << 30)},
        {"too many pixels", [] { auto f = With(18, 16384); Put(f, 22, 16384, 4); return f; }()},
        {"over the side limit", With(22, 20000)},
        {"header size 0", With(14, 0)},
        {"OS/2 header", With(14, 12)},
        {"header size 39", With(14, 39)},
        {"header past the end", With(14, 0x7FFFFFFF)},
        {"offset 0", With(10, 0)},
        {"offset inside the header", With(10, 20)},
        {"offset past the end", With(10, 0xFFFFFFF0u)},
        {"offset two bytes late", With(10, 56)},
        {"2 bits per pixel", With(28, 2, 2)},
        {"0 bits per pixel", With(28, 0, 2)},
        {"64 bits per pixel", With(28, 64, 2)},
        {"run-length 8", With(30, 1, 4, 8)},
        {"run-length 4", With(30, 2)},
        {"JPEG inside", With(30, 4)},
        {"bit fields on 24 bits", With(30, 3)},
        {"8 bits without a palette", [] { auto f = With(10, 54, 4, 8); return f; }()},
    };
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        CBmpImage image = Sentinel();
        EXPECT_NE(DecodeCopy(file, file.size(), image), 0);
        EXPECT_EQ(image.width, 77);
    }
    CBmpImage image = Sentinel();
    std::string reason;
    EXPECT_NE(DecodeBmp(nullptr, 0, image, reason), 0);
}

TEST(BmpBroken, BadBitFields) {
    BmpLayout layout;
    layout.bits = 16;
    layout.compression = 3;
    auto raw = [](int x, int y) { return Scramble(x, y) & 0xFFFF; };
    const std::vector<std::array<uint32_t, 3>> masks = {
        {0x0F0F, 0x00F0, 0x000F},        // red not one run of bits
        {0, 0, 0},                       // nothing at all
        {0xF8000000u, 0x07E0, 0x001F},   // above the 16 bits of the pixel
    };
    for (const auto& m : masks) {
        std::copy(m.begin(), m.end(), layout.masks);
        const std::vector<uint8_t> file = BuildBmp(layout, 6, 3, raw);
        CBmpImage image = Sentinel();
        EXPECT_NE(DecodeCopy(file, file.size(), image), 0) << std::hex << m[0];
    }
}

TEST(BmpBroken, OddButReadablePalettes) {
    // A colour count far beyond the depth is held to it.
    std::vector<uint8_t> file = With(46, 0xFFFFFFFFu, 4, 8);
    CBmpImage image;
    EXPECT_EQ(DecodeCopy(file, file.size(), image), 0);
    // A palette cut short by the pixel offset keeps only the entries before it.
    BmpLayout layout;
    layout.bits = 8;
    layout.palette = {0x112233, 0x445566};
    file = BuildBmp(layout, 4, 2, [](int x, int) { return x & 1; });
    Put(file, 46, 0, 4);   // "all 256 entries", but only two lie before the pixels
    ASSERT_EQ(DecodeCopy(file, file.size(), image), 0);
    EXPECT_EQ(image.Row(0)[4], 0x66);
}

// Random damage to the headers of valid files: decoding either fails or yields a picture whose
// buffer matches its size; the sanitizers watch every read.
TEST(BmpBroken, RandomlyDamagedHeaders) {
    std::mt19937 random(1234);
    const std::vector<DepthCase> cases = DepthCases();
    for (int round = 0; round < 3000; ++round) {
        const DepthCase& c = cases[random() % cases.size()];
        std::vector<uint8_t> file = BuildBmp(c.layout, 1 + random() % 9, 1 + random() % 5, c.raw);
        const int hits = 1 + random() % 4;
        for (int i = 0; i < hits; ++i) file[random() % std::min<size_t>(file.size(), 70)] = static_cast<uint8_t>(random());
        const size_t size = random() % 4 == 0 ? random() % file.size() : file.size();
        CBmpImage image = Sentinel();
        if (DecodeCopy(file, size, image) == 0) {
            ASSERT_GT(image.width, 0);
            ASSERT_GT(image.height, 0);
            ASSERT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height * 4);
        } else {
            ASSERT_EQ(image.width, 77);
        }
    }
}

} // namespace
