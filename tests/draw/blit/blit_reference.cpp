// blit_reference.cpp -- the reference model of pixel formats and copy blits.
#include "blit_reference.h"

#include <algorithm>

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

void RefCopyBlt(TestSurface& dest, TestSurface& source, const BltInfo& info, bool keyed, uint32_t key_argb) {
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

    const RefFormat& df = Format(dest.type);
    const RefFormat& sf = Format(source.type);
    uint32_t key_mask = sf.key_bits == 32 ? 0xFFFFFFFFu : (1u << sf.key_bits) - 1;
    uint32_t key = RefKey(sf, key_argb) & key_mask;
    std::vector<int> cols = RefStretchWalk(sw, static_cast<int>(w));
    std::vector<int> rows = RefStretchWalk(sh, static_cast<int>(h));
    for (long j = 0; j < h; ++j) {
        for (long i = 0; i < w; ++i) {
            long dx = x + i, dy = y + j;
            if (dx < vl || dx >= vr || dy < vt || dy >= vb) continue;
            uint32_t s = RefLoad(sf, source.Pixel(sl + cols[i], st + rows[j]));
            if (keyed && (s & key_mask) == key) continue;
            RefStore(df, dest.Pixel(static_cast<int>(dx), static_cast<int>(dy)), RefPack(df, RefUnpack(sf, s)));
        }
    }
}

} // namespace blit_test
