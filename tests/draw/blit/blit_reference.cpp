// blit_reference.cpp -- the reference model of pixel formats and copy blits.
#include "blit_reference.h"

#include <algorithm>
#include <cstdio>

namespace blit_test {

using namespace zuderadeDoruVAV3ed;

const int kTypes[10] = {kSurfaceRGB565,   kSurfaceRGB555,   kSurfaceRGB888,   kSurfaceBGR888,   kSurfaceXRGB8888,
                        kSurfaceXBGR8888, kSurfaceARGB4565, kSurfaceARGB4555, kSurfaceARGB8888, kSurfaceABGR8888};

namespace {

// From the format descriptions: byte 0 is the lowest byte of the little-endian value.
const RefFormat kFormats[] = {
    //  type               size  red      green    blue     alpha    key bits
    {kSurfaceRGB565,   2, {11, 5}, {5, 6}, {0, 5}, {0, 0}, 16},
    {kSurfaceRGB555,   2, {10, 5}, {5, 5}, {0, 5}, {0, 0}, 16},
    {kSurfaceRGB888,   3, {16, 8}, {8, 8}, {0, 8}, {0, 0}, 24},    // bytes B, G, R
    {kSurfaceBGR888,   3, {0, 8}, {8, 8}, {16, 8}, {0, 0}, 24},    // bytes R, G, B
    {kSurfaceXRGB8888, 4, {16, 8}, {8, 8}, {0, 8}, {0, 0}, 32},
    {kSurfaceXBGR8888, 4, {0, 8}, {8, 8}, {16, 8}, {0, 0}, 32},
    {kSurfaceARGB4565, 4, {11, 5}, {5, 6}, {0, 5}, {16, 4}, 16},
    {kSurfaceARGB4555, 4, {10, 5}, {5, 5}, {0, 5}, {16, 4}, 16},
    {kSurfaceARGB8888, 4, {16, 8}, {8, 8}, {0, 8}, {24, 8}, 24},
    {kSurfaceABGR8888, 4, {0, 8}, {8, 8}, {16, 8}, {24, 8}, 24},
};

int ReadChannel(RefChannel c, uint32_t v) {
    int field = static_cast<int>((v >> c.shift) & ((1u << c.bits) - 1));
    return field << (8 - c.bits);   // widen with zero fill
}
uint32_t WriteChannel(RefChannel c, int value) {
    return static_cast<uint32_t>(value >> (8 - c.bits)) << c.shift;   // narrow by truncation
}

} // namespace

const char* TypeName(int type) {
    switch (type) {
    case kSurfaceRGB565: return "RGB565";
    case kSurfaceRGB555: return "RGB555";
    case kSurfaceRGB888: return "RGB888";
    case kSurfaceBGR888: return "BGR888";
    case kSurfaceXRGB8888: return "XRGB8888";
    case kSurfaceXBGR8888: return "XBGR8888";
    case kSurfaceARGB4565: return "ARGB4565";
    case kSurfaceARGB4555: return "ARGB4555";
    case kSurfaceARGB8888: return "ARGB8888";
    case kSurfaceABGR8888: return "ABGR8888";
    default: return "?";
    }
}

const RefFormat& Format(int type) {
    for (const RefFormat& f : kFormats)
        if (f.type == type) return f;
    return kFormats[0];
}

uint32_t RefLoad(const RefFormat& f, const uint8_t* p) {
    uint32_t v = 0;
    for (int i = 0; i < f.size; ++i) v |= uint32_t(p[i]) << (8 * i);
    return v;
}

void RefStore(const RefFormat& f, uint8_t* p, uint32_t v) {
    for (int i = 0; i < f.size; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

RefColour RefUnpack(const RefFormat& f, uint32_t v) {
    RefColour c{ReadChannel(f.r, v), ReadChannel(f.g, v), ReadChannel(f.b, v), 255};
    if (f.a.bits == 4) c.a = static_cast<int>((v >> f.a.shift) & 15) * 17;   // level L reads as L * 17
    if (f.a.bits == 8) c.a = static_cast<int>((v >> f.a.shift) & 255);
    return c;
}

uint32_t RefPack(const RefFormat& f, RefColour c) {
    // Every bit that no channel names (spare byte, bit 15 of RGB555, byte 3 of a cell) stays 0.
    uint32_t v = WriteChannel(f.r, c.r) | WriteChannel(f.g, c.g) | WriteChannel(f.b, c.b);
    if (f.a.bits) v |= WriteChannel(f.a, c.a);
    return v;
}

uint32_t RefKey(const RefFormat& f, uint32_t argb) {
    return RefPack(f, {int(argb >> 16 & 255), int(argb >> 8 & 255), int(argb & 255), int(argb >> 24)});
}

TestSurface::TestSurface(int type_, int width_, int height_, bool bottom_up, int pad, std::mt19937& rng)
    : type(type_), width(width_), height(height_), size(Format(type_).size) {
    constexpr int kCanary = 37;
    int row = width * size + pad;
    memory.resize(static_cast<size_t>(row) * height + 2 * kCanary);
    for (uint8_t& b : memory) b = static_cast<uint8_t>(rng());
    pitch = bottom_up ? -row : row;
    origin = memory.data() + kCanary + (bottom_up && height > 0 ? static_cast<size_t>(row) * (height - 1) : 0);
    desc.Init(origin, pitch, width, height, type);
}

TestSurface::TestSurface(const TestSurface& o)
    : type(o.type), width(o.width), height(o.height), size(o.size), pitch(o.pitch), memory(o.memory),
      origin(memory.data() + (o.origin - o.memory.data())) {
    desc.Init(origin, pitch, width, height, type);
    desc.SetColorKey(o.desc.GetColorKey());
}

std::vector<int> RefStretchWalk(int src_len, int dst_len) {
    std::vector<int> at;
    int whole = src_len / dst_len, remainder = src_len % dst_len;
    int error = -dst_len - 1, p = 0;
    for (int i = 0; i < dst_len; ++i) {
        error += remainder;
        if (error >= 0) {
            ++p;
            error -= dst_len;
        }
        at.push_back(p);
        p += whole;
    }
    return at;
}

void RefForEachPixel(TestSurface& dest, TestSurface& source, const BltInfo& info,
                     const std::function<void(uint8_t* d, const uint8_t* s)>& draw) {
    // The source rectangle inside the source surface.
    int sl = 0, st = 0, sr = source.width, sb = source.height;
    if (info.src) {
        sl = std::max(sl, info.src->left);
        st = std::max(st, info.src->top);
        sr = std::min(sr, info.src->right);
        sb = std::min(sb, info.src->bottom);
    }
    int sw = sr - sl, sh = sb - st;
    if (sw <= 0 || sh <= 0) return;

    // Where the destination rectangle lies.
    long x = info.pos ? info.pos->x : 0, y = info.pos ? info.pos->y : 0;
    long w = info.size ? info.size->cx : sw, h = info.size ? info.size->cy : sh;
    if (w <= 0 || h <= 0) return;
    int a = info.anchor;
    if (a == 1 || a == 4 || a == 7) x -= w / 2;
    if (a == 2 || a == 5 || a == 8) x -= w;
    if (a == 3 || a == 4 || a == 5) y -= h / 2;
    if (a == 6 || a == 7 || a == 8) y -= h;

    // What may be written.
    long vl = 0, vt = 0, vr = dest.width, vb = dest.height;
    if (info.clip) {
        vl = std::max<long>(vl, info.clip->left);
        vt = std::max<long>(vt, info.clip->top);
        vr = std::min<long>(vr, info.clip->right);
        vb = std::min<long>(vb, info.clip->bottom);
    }

    std::vector<int> cols = RefStretchWalk(sw, static_cast<int>(w));
    std::vector<int> rows = RefStretchWalk(sh, static_cast<int>(h));
    for (long j = 0; j < h; ++j) {
        for (long i = 0; i < w; ++i) {
            long dx = x + i, dy = y + j;
            if (dx < vl || dx >= vr || dy < vt || dy >= vb) continue;
            draw(dest.Pixel(static_cast<int>(dx), static_cast<int>(dy)), source.Pixel(sl + cols[i], st + rows[j]));
        }
    }
}

bool RefKeyMatches(const RefFormat& f, uint32_t pixel, uint32_t key_argb) {
    uint32_t mask = f.key_bits == 32 ? 0xFFFFFFFFu : (1u << f.key_bits) - 1;
    return (pixel & mask) == (RefKey(f, key_argb) & mask);
}

void RefCopyBlt(TestSurface& dest, TestSurface& source, const BltInfo& info, bool keyed, uint32_t key_argb) {
    const RefFormat& df = Format(dest.type);
    const RefFormat& sf = Format(source.type);
    RefForEachPixel(dest, source, info, [&](uint8_t* d, const uint8_t* sp) {
        uint32_t s = RefLoad(sf, sp);
        if (keyed && RefKeyMatches(sf, s, key_argb)) return;
        RefStore(df, d, RefPack(df, RefUnpack(sf, s)));
    });
}

BltInfo RandomBlt::Info() const {
    BltInfo info;
    info.pos = pos ? &*pos : nullptr;
    info.size = size ? &*size : nullptr;
    info.src = src ? &*src : nullptr;
    info.clip = clip ? &*clip : nullptr;
    info.anchor = anchor;
    return info;
}

int Uniform(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}
bool Chance(std::mt19937& rng, int percent) {
    return Uniform(rng, 0, 99) < percent;
}

RandomBlt MakeRandomBlt(std::mt19937& rng, int sw, int sh, int dw, int dh) {
    RandomBlt b;
    if (Chance(rng, 75)) {
        int l = Uniform(rng, -4, sw), t = Uniform(rng, -4, sh);
        b.src = RECT{l, t, Uniform(rng, l - 1, sw + 4), Uniform(rng, t - 1, sh + 4)};
    }
    if (Chance(rng, 85)) b.pos = POINT{Uniform(rng, -30, dw + 4), Uniform(rng, -30, dh + 4)};
    int choice = Uniform(rng, 0, 9);
    if (choice < 3) {
        // Stretch up and down, sometimes only in one direction.
        b.size = SIZE{Uniform(rng, 1, 70), Uniform(rng, 1, 70)};
    } else if (choice < 5 && b.src) {
        // The source rectangle's own size given explicitly (1:1), or differing in one direction.
        int w = std::min(b.src->right, sw) - std::max(b.src->left, 0);
        int h = std::min(b.src->bottom, sh) - std::max(b.src->top, 0);
        b.size = choice == 3 ? SIZE{w, h} : SIZE{w, h + Uniform(rng, 1, 3)};
    } else if (choice == 5) {
        b.size = SIZE{Uniform(rng, -3, 1), Uniform(rng, -3, 40)};   // empty or negative
    }
    if (Chance(rng, 60)) {
        int l = Uniform(rng, -5, dw), t = Uniform(rng, -5, dh);
        b.clip = RECT{l, t, Uniform(rng, l - 2, dw + 5), Uniform(rng, t - 2, dh + 5)};
    }
    b.anchor = Chance(rng, 50) ? 0 : Uniform(rng, -1, 9);
    return b;
}

// Source pixels: random, with about a third equal to the key in the compared bits (and random
// elsewhere), so keyed blits skip some.
uint32_t RefKeyPixel(const RefFormat& f, uint32_t key_argb, std::mt19937& rng) {
    uint32_t mask = f.key_bits == 32 ? 0xFFFFFFFFu : (1u << f.key_bits) - 1;
    if (Chance(rng, 50)) mask &= RefPack(f, {255, 255, 255, 0});   // the colour bits alone
    return (static_cast<uint32_t>(rng()) & ~mask) | (RefKey(f, key_argb) & mask);
}

void FillSource(TestSurface& s, uint32_t key_argb, std::mt19937& rng) {
    const RefFormat& f = Format(s.type);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            uint32_t v = static_cast<uint32_t>(rng());
            if (Chance(rng, 33)) v = RefKeyPixel(f, key_argb, rng);
            RefStore(f, s.Pixel(x, y), v);
        }
    }
}

std::string Describe(const RandomBlt& b, const TestSurface& d, const TestSurface& s) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "src %dx%d pitch %d, dst %dx%d pitch %d, pos %s(%d,%d), size %s(%d,%d), rect %s(%d,%d,%d,%d), "
                  "clip %s(%d,%d,%d,%d), anchor %d",
                  s.width, s.height, s.pitch, d.width, d.height, d.pitch, b.pos ? "" : "none ", b.pos ? b.pos->x : 0,
                  b.pos ? b.pos->y : 0, b.size ? "" : "none ", b.size ? b.size->cx : 0, b.size ? b.size->cy : 0,
                  b.src ? "" : "none ", b.src ? b.src->left : 0, b.src ? b.src->top : 0, b.src ? b.src->right : 0,
                  b.src ? b.src->bottom : 0, b.clip ? "" : "none ", b.clip ? b.clip->left : 0,
                  b.clip ? b.clip->top : 0, b.clip ? b.clip->right : 0, b.clip ? b.clip->bottom : 0, b.anchor);
    return text;
}

RandomCase::RandomCase(int src_type, int dst_type, int max_w, int max_h, std::mt19937& rng)
    : source(src_type, Uniform(rng, 1, max_w), Uniform(rng, 1, max_h), Chance(rng, 50), Uniform(rng, 0, 7), rng),
      dest(dst_type, Uniform(rng, 1, max_w), Uniform(rng, 1, max_h), Chance(rng, 50), Uniform(rng, 0, 7), rng),
      key_argb(static_cast<uint32_t>(rng())) {
    source.desc.SetColorKey(key_argb);
    FillSource(source, key_argb, rng);
    blt = MakeRandomBlt(rng, source.width, source.height, dest.width, dest.height);
}

size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    return at;
}

} // namespace blit_test
