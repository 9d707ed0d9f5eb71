// addalpha_reference.cpp -- the model of the constant-alpha kinds: which factor scales each
// source channel, then a clamped sum or difference per channel.
#include "addalpha_reference.h"

#include <algorithm>

#include "sdk/draw/SurfaceInfo.h"

namespace blit_test {

using namespace zuderadeDoruVAV3ed;

namespace {

int Field(RefChannel c, uint32_t v) {
    return static_cast<int>((v >> c.shift) & ((1u << c.bits) - 1));
}
uint32_t Put(RefChannel c, int value) {
    return static_cast<uint32_t>(value) << c.shift;
}
bool IsWordType(const RefFormat& f) {
    return f.r.bits == 5;
}

} // namespace

uint32_t RefConstAlphaPixel(int dst_type, int src_type, bool sub, int a, uint32_t d, uint32_t s) {
    const RefFormat& df = Format(dst_type);
    const RefFormat& sf = Format(src_type);
    const bool same = dst_type == src_type;
    const RefChannel channels_d[3] = {df.r, df.g, df.b}, channels_s[3] = {sf.r, sf.g, sf.b};

    // What the source channels are multiplied by: num / den.
    int num, den;
    if (same && df.a.bits) {
        num = 1, den = 1;   // an alpha type onto itself: the whole colour
    } else if (IsWordType(df)) {
        int level;
        if (sf.a.bits == 4) {
            int n = Field(sf.a, s);
            level = (a * 16 * n / 255) >> 4;
        } else {
            level = a >> 4;
        }
        if (df.g.bits == 6) level &= ~1;   // RGB565 colours take the even levels only
        num = level, den = 15;
    } else if (sf.a.bits == 8) {
        num = a * Field(sf.a, s) / 255, den = 255;
    } else {
        num = a, den = 255;
    }

    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        int max = (1 << channels_d[c].bits) - 1;
        int x = Field(channels_d[c], d), y = Field(channels_s[c], s) * num / den;
        out |= Put(channels_d[c], std::clamp(sub ? x - y : x + y, 0, max));
    }
    // The destination's other bits.
    if (df.a.bits == 8) return out | 0xFF000000u;                                   // opaque
    if (df.a.bits == 4) return out | (d & 0xFFFF0000u);                             // bytes 2 and 3 kept
    if (dst_type == kSurfaceRGB555) return out | (d & 0x8000u);                      // bit 15 kept
    if (dst_type == kSurfaceXBGR8888 && src_type == kSurfaceABGR8888 && sub) return out;   // spare byte 0
    if (df.size == 4) return out | (d & 0xFF000000u);                               // spare byte kept
    return out;
}

void RefConstAlphaBlt(TestSurface& dest, TestSurface& source, const BltInfo& info, int kind, int a,
                      uint32_t key_argb) {
    const RefFormat& df = Format(dest.type);
    const RefFormat& sf = Format(source.type);
    const bool keyed = kind == kBltAddAlphaKeyed || kind == kBltSubAlphaKeyed;
    const bool sub = kind == kBltSubAlpha || kind == kBltSubAlphaKeyed;
    uint32_t key_mask = sf.key_bits == 32 ? 0xFFFFFFFFu : (1u << sf.key_bits) - 1;
    uint32_t key = RefKey(sf, key_argb) & key_mask;
    RefForEachPixel(dest, source, info, [&](uint8_t* d, const uint8_t* sp) {
        uint32_t s = RefLoad(sf, sp);
        if (keyed && (s & key_mask) == key) return;
        RefStore(df, d, RefConstAlphaPixel(dest.type, source.type, sub, a, RefLoad(df, d), s));
    });
}

} // namespace blit_test
