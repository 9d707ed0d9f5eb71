// draw_test_util.h -- helpers of the drawing tests: surfaces of any type over test memory, a
// scratch folder, BMP files built byte by byte, and a plain reference reader of every type.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sdk/draw/Bmp.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/Surface.h"
#include "sdk/draw/SurfaceInfo.h"
#include "tests/scratch_dir.h"

namespace drawtest {

using namespace zuderadeDoruVAV3ed;

inline constexpr int kAllTypes[] = {kSurfaceRGB565,   kSurfaceRGB555,   kSurfaceRGB888,   kSurfaceBGR888,
                                    kSurfaceXRGB8888, kSurfaceXBGR8888, kSurfaceARGB4565, kSurfaceARGB4555,
                                    kSurfaceARGB8888, kSurfaceABGR8888};

struct Colour {
    int r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Colour&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Colour& c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}

// Channel widths of a type: red, green, blue, alpha (0 = none).
struct Bits {
    int r, g, b, a;
};
inline Bits BitsOf(int type) {
    switch (type) {
    case kSurfaceRGB565: return {5, 6, 5, 0};
    case kSurfaceRGB555: return {5, 5, 5, 0};
    case kSurfaceARGB4565: return {5, 6, 5, 4};
    case kSurfaceARGB4555: return {5, 5, 5, 4};
    case kSurfaceARGB8888: case kSurfaceABGR8888: return {8, 8, 8, 8};
    default: return {8, 8, 8, 0};
    }
}

// What a colour becomes once stored in a type and read back: high bits kept, alpha as stored.
inline Colour StoredAs(int type, Colour c) {
    const Bits bits = BitsOf(type);
    auto keep = [](int v, int n) { return v & (0xFF << (8 - n)) & 0xFF; };
    Colour out{keep(c.r, bits.r), keep(c.g, bits.g), keep(c.b, bits.b), 255};
    if (bits.a == 8) out.a = c.a;
    if (bits.a == 4) out.a = (c.a >> 4) * 17;
    return out;
}

// Reads one pixel of a type from its bytes, written out per layout.
inline Colour RefRead(int type, const uint8_t* p) {
    const int word = p[0] | p[1] << 8;
    switch (type) {
    case kSurfaceRGB565: return {(word >> 11) << 3, ((word >> 5) & 63) << 2, (word & 31) << 3, 255};
    case kSurfaceRGB555: return {((word >> 10) & 31) << 3, ((word >> 5) & 31) << 3, (word & 31) << 3, 255};
    case kSurfaceARGB4565: return {(word >> 11) << 3, ((word >> 5) & 63) << 2, (word & 31) << 3, (p[2] & 15) * 17};
    case kSurfaceARGB4555:
        return {((word >> 10) & 31) << 3, ((word >> 5) & 31) << 3, (word & 31) << 3, (p[2] & 15) * 17};
    case kSurfaceRGB888: case kSurfaceXRGB8888: return {p[2], p[1], p[0], 255};
    case kSurfaceBGR888: case kSurfaceXBGR8888: return {p[0], p[1], p[2], 255};
    case kSurfaceARGB8888: return {p[2], p[1], p[0], p[3]};
    case kSurfaceABGR8888: return {p[0], p[1], p[2], p[3]};
    default: return {};
    }
}

inline Colour FromARGB(uint32_t v) {
    return {int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255), int(v >> 24)};
}

// An ISurface over its own memory of any type, stored top-down or bottom-up, with canary bytes
// after each row. Pictures load into its own type.
class MemorySurface : public ISurface {
public:
    MemorySurface(int type, int width, int height, bool bottom_up = false) : type_(type) { Make(width, height, bottom_up); }
    KTL::smart_ptr<ISurface> CreateInstance() override { return {}; }
    uint8_t* At(int x, int y) { return GetSurfaceInfo()->PixelAt(x, y); }
    Colour Read(int x, int y) { return RefRead(type_, At(x, y)); }
    std::vector<uint8_t>& Memory() { return memory_; }

protected:
    int AdoptPicture(const CBmpImage& picture) override {
        Make(picture.width, picture.height, false);
        for (int y = 0; y < picture.height; ++y)
            ConvertPixelRow(At(0, y), type_, picture.Row(y), kSurfaceARGB8888, picture.width);
        return 0;
    }

private:
    void Make(int width, int height, bool bottom_up) {
        const int pitch = width * PixelSize(type_) + 4;   // four canary bytes per row
        memory_.assign(static_cast<size_t>(pitch) * height, 0xA5);
        uint8_t* first = bottom_up ? memory_.data() + static_cast<size_t>(pitch) * (height - 1) : memory_.data();
        GetSurfaceInfo()->Init(first, bottom_up ? -pitch : pitch, width, height, type_);
    }
    int type_;
    std::vector<uint8_t> memory_;
};

// A scratch folder removed when the scope ends, with the "<folder>.out" file beside it.
struct Scratch {
    explicit Scratch(const std::string& name) : dir("ff_draw_" + name), path(dir.path().string()) {}
    ~Scratch() {
        std::error_code error;
        std::filesystem::remove(path + ".out", error);
    }
    const testutil::ScratchDir dir;
    const std::string path;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

// How a test BMP is laid out.
struct BmpLayout {
    int bits = 24;
    bool top_down = false;
    uint32_t compression = 0;      // 0 plain, 3 bit fields
    uint32_t masks[4] = {0, 0, 0, 0};
    uint32_t header_size = 40;     // 40, 56, 108 or 124
    std::vector<uint32_t> palette; // 0x00RRGGBB entries
};

inline void Put(std::vector<uint8_t>& out, size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A BMP file whose pixel (x, y) holds raw(x, y): a palette index, or the pixel value as stored.
inline std::vector<uint8_t> BuildBmp(const BmpLayout& layout, int width, int height,
                                     const std::function<uint32_t(int, int)>& raw) {
    const bool masks_after_header = layout.compression == 3 && layout.header_size == 40;
    const size_t table = 14 + layout.header_size + (masks_after_header ? 12 : 0);
    const size_t offset = table + 4 * layout.palette.size();
    const size_t stride = (static_cast<size_t>(width) * layout.bits + 31) / 32 * 4;
    std::vector<uint8_t> out(offset + stride * height, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put(out, 2, static_cast<uint32_t>(out.size()), 4);
    Put(out, 10, static_cast<uint32_t>(offset), 4);
    Put(out, 14, layout.header_size, 4);
    Put(out, 18, static_cast<uint32_t>(width), 4);
    Put(out, 22, static_cast<uint32_t>(layout.top_down ? -height : height), 4);
    Put(out, 26, 1, 2);
    Put(out, 28, static_cast<uint32_t>(layout.bits), 2);
    Put(out, 30, layout.compression, 4);
    Put(out, 46, static_cast<uint32_t>(layout.palette.size()), 4);
    if (layout.compression == 3) {
        const size_t at = 14 + 40;   // inside a longer header, or right after a 40-byte one
        for (int i = 0; i < 3; ++i) Put(out, at + 4 * i, layout.masks[i], 4);
        if (layout.header_size >= 56) Put(out, at + 12, layout.masks[3], 4);
    }
    for (size_t i = 0; i < layout.palette.size(); ++i) Put(out, table + 4 * i, layout.palette[i], 4);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + stride * (layout.top_down ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = raw(x, y);
            switch (layout.bits) {
            case 1: case 4: case 8: {
                const int per_byte = 8 / layout.bits;
                const int shift = 8 - layout.bits * (x % per_byte + 1);
                out[row + x / per_byte] |= static_cast<uint8_t>(v << shift);
                break;
            }
            default: Put(out, row + static_cast<size_t>(x) * (layout.bits / 8), v, layout.bits / 8);
            }
        }
    }
    return out;
}

} // namespace drawtest
