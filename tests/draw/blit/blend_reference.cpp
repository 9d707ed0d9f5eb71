// blend_reference.cpp -- the reference model of the add/subtract and blend kinds.
#include "blend_reference.h"

#include <algorithm>

namespace blit_test {

using namespace zuderadeDoruVAV3ed;

namespace {

int Field(RefChannel c, uint32_t v) {
    return static_cast<int>((v >> c.shift) & ((1u << c.bits) - 1));
}
uint32_t WithField(uint32_t v, RefChannel c, int x) {
    uint32_t mask = ((1u << c.bits) - 1) << c.shift;
    return (v & ~mask) | ((static_cast<uint32_t>(x) << c.shift) & mask);
}
// The byte at position i of a pixel value.
uint32_t WithByte(uint32_t v, int i, int x) {
    return WithField(v, RefChannel{8 * i, 8}, x);
}
int Byte(uint32_t v, int i) {
    return Field(RefChannel{8 * i, 8}, v);
}

int Mul(int x, int v) { return x * v / 255; }
int Comp(int x, int v) { return v * (255 - x) / 255; }

bool IsWord(const RefFormat& f) { return f.r.bits == 5; }
bool IsCell(const RefFormat& f) { return f.a.bits == 4; }
bool IsAlpha8(const RefFormat& f) { return f.a.bits == 8; }
bool IsSubtract(int kind) { return kind == kBltSub || kind == kBltSubKeyed; }

// The pixel's own alpha: 0..255, the level 0..15 of a cell (its low four bits), 0 without alpha.
int AlphaOf(const RefFormat& f, uint32_t v) {
    if (IsAlpha8(f)) return static_cast<int>(v >> 24);
    if (IsCell(f)) return static_cast<int>((v >> 16) & 15);
    return 0;
}

const RefChannel RefFormat::*const kColours[3] = {&RefFormat::r, &RefFormat::g, &RefFormat::b};

// The colour word of a 16-bit pixel with every field times level / 15.
uint32_t ScaledWord(const RefFormat& f, uint32_t v, int level) {
    uint32_t out = 0;
    for (auto c : kColours) out = WithField(out, f.*c, Field(f.*c, v) * level / 15);
    return out;
}

bool SameColour(const RefFormat& df, const RefFormat& sf, uint32_t d, uint32_t s) {
    for (auto c : kColours)
        if (Field(df.*c, d) != Field(sf.*c, s)) return false;
    return true;
}

uint32_t AddSub(int kind, const RefFormat& df, const RefFormat& sf, uint32_t d, uint32_t s) {
    bool sub = IsSubtract(kind);
    auto combine = [&](int dv, int sv, int max) { return sub ? std::max(dv - sv, 0) : std::min(dv + sv, max); };
    uint32_t out = d;
    if (IsWord(df) && !IsCell(df)) {
        // Plain 16-bit: a cell source scaled by its level first (RGB565 only the even levels);
        // the destination's bit 15 of RGB555 passes through.
        int level = 15;
        if (IsCell(sf)) level = AlphaOf(sf, s) & (df.g.bits == 6 ? 0x0E : 0x0F);
        for (auto c : kColours) {
            int max = (1 << (df.*c).bits) - 1;
            out = WithField(out, df.*c, combine(Field(df.*c, d), Field(sf.*c, s) * level / 15, max));
        }
        return out & 0xFFFF;
    }
    if (IsCell(df)) {
        // Only the colour word; the source's alpha is not looked at; bit 15 of RGB555 ends 0.
        for (auto c : kColours) out = WithField(out, df.*c, combine(Field(df.*c, d), Field(sf.*c, s), (1 << (df.*c).bits) - 1));
        return df.g.bits == 5 ? out & ~0x8000u : out;
    }
    if (IsAlpha8(df)) {
        // Channels by name, the source's alpha not looked at, alpha 255.
        for (auto c : kColours) out = WithField(out, df.*c, combine(Field(df.*c, d), Field(sf.*c, s), 255));
        return WithByte(out, 3, 255);
    }
    // 3- and 4-byte plain: an alpha source scaled by its alpha.
    int scale = IsAlpha8(sf) ? AlphaOf(sf, s) : 255;
    for (auto c : kColours) out = WithField(out, df.*c, combine(Field(df.*c, d), Field(sf.*c, s) * scale / 255, 255));
    if (df.size == 4) {
        if (sf.type == df.type)
            out = WithByte(out, 3, (sub ? Byte(d, 3) - Byte(s, 3) : Byte(d, 3) + Byte(s, 3)) & 255);
        else if (sub && df.type == kSurfaceXBGR8888)
            out = WithByte(out, 3, 0);
    }
    return out;
}

// Kind 10.
uint32_t AlphaBlend(const RefFormat& df, const RefFormat& sf, uint32_t d, uint32_t s) {
    int sa = AlphaOf(sf, s);
    uint32_t out = d;
    if (IsWord(df) && !IsCell(df)) {
        uint32_t sw = ScaledWord(df, s, sa), dw = ScaledWord(df, d, 15 - sa);
        return sw + dw;
    }
    if (IsCell(df)) {
        int S = 16 * sa, D = 16 * AlphaOf(df, d);
        int share = D * (240 - S) / 255, sum = share + S;
        out = WithByte(out, 2, sum >> 4);
        if (sum == 0) return out;
        int ls = 15 * S / sum, ld = 15 * share / sum;
        return (out & ~0xFFFFu) | (ScaledWord(df, s, ls) + ScaledWord(df, d, ld));
    }
    if (IsAlpha8(df)) {
        int share = AlphaOf(df, d) * (255 - sa) / 255, sum = sa + share;
        out = WithByte(out, 3, sum);
        if (sum == 0) return out;
        int fs = 255 * sa / sum, fd = 255 * share / sum;
        for (auto c : kColours) out = WithField(out, df.*c, Mul(fs, Field(sf.*c, s)) + Mul(fd, Field(df.*c, d)));
        return out;
    }
    if (SameColour(df, sf, d, s)) return d;
    for (auto c : kColours) out = WithField(out, df.*c, Mul(sa, Field(sf.*c, s)) + Comp(sa, Field(df.*c, d)));
    return df.size == 4 ? WithByte(out, 3, 0) : out;
}

// Kinds 14 and 15.
uint32_t BlendConst(const RefBlendArgs& args, const RefFormat& df, const RefFormat& sf, uint32_t d, uint32_t s) {
    int a = args.a, sa = AlphaOf(sf, s);
    uint32_t out = d;
    if (args.vector_formula) {
        for (auto c : kColours)
            out = WithField(out, df.*c, std::min(255, (Field(sf.*c, s) * a >> 8) + (Field(df.*c, d) * (255 - a) >> 8)));
        return WithByte(out, 3, 0);
    }
    if (IsWord(df) && !IsCell(df)) {
        int level;
        if (IsCell(sf)) {
            level = Mul(a, 16 * sa) >> 4;
        } else {
            if ((s & 0xFFFF) == (d & 0xFFFF)) return d;
            level = a >> 4;
        }
        return ScaledWord(df, s, level) + ScaledWord(df, d, 15 - level);
    }
    if (IsCell(df)) {
        int f = IsCell(sf) ? Mul(16 * sa, a) : a;
        uint32_t word = 0;
        for (auto c : kColours) {
            int shift = 8 - (df.*c).bits;
            int s8 = Field(sf.*c, s) << shift, d8 = Field(df.*c, d) << shift;
            word = WithField(word, df.*c, (Mul(f, s8) + Comp(f, d8)) >> shift);
        }
        return (d & ~0xFFFFu) | word;
    }
    if (SameColour(df, sf, d, s)) return d;
    int f = IsAlpha8(sf) ? Mul(sa, a) : a;
    for (auto c : kColours) out = WithField(out, df.*c, Mul(f, Field(sf.*c, s)) + Comp(f, Field(df.*c, d)));
    if (IsAlpha8(df)) return WithByte(out, 3, 255);
    return df.size == 4 ? WithByte(out, 3, 0) : out;
}

// Kinds 16 and 17: no test, sums wrap.
uint32_t BlendRates(const RefBlendArgs& args, const RefFormat& df, const RefFormat& sf, uint32_t d, uint32_t s) {
    int a = args.a, b = args.b, sa = AlphaOf(sf, s);
    uint32_t out = d;
    if (IsWord(df) && !IsCell(df)) {
        int ls = IsCell(sf) ? Mul(a, 16 * sa) >> 4 : a >> 4;
        int ld = IsCell(sf) ? Mul(b, 240) >> 4 : b >> 4;
        return (ScaledWord(df, s, ls) + ScaledWord(df, d, ld)) & 0xFFFF;
    }
    if (IsCell(df)) {
        int fs = IsCell(sf) ? Mul(16 * sa, a) : a, fd = Mul(16 * AlphaOf(df, d), b);
        uint32_t word = 0;
        for (auto c : kColours) {
            int shift = 8 - (df.*c).bits;
            int s8 = Field(sf.*c, s) << shift, d8 = Field(df.*c, d) << shift;
            word = WithField(word, df.*c, ((Mul(fs, s8) + Mul(fd, d8)) % 256) >> shift);
        }
        return (d & ~0xFFFFu) | word;
    }
    int fs = IsAlpha8(sf) ? Mul(sa, a) : a;
    int fd = IsAlpha8(df) ? Mul(AlphaOf(df, d), b) : b;
    for (auto c : kColours) out = WithField(out, df.*c, (Mul(fs, Field(sf.*c, s)) + Mul(fd, Field(df.*c, d))) % 256);
    if (IsAlpha8(df)) return WithByte(out, 3, 255);
    return df.size == 4 ? WithByte(out, 3, 0) : out;
}

bool IsKeyed(int kind) {
    return kind == kBltAddKeyed || kind == kBltSubKeyed || kind == kBltBlendConstKeyed || kind == kBltBlendRatesKeyed;
}

} // namespace

uint32_t RefBlendPixel(const RefBlendArgs& args, int dst_type, int src_type, uint32_t d, uint32_t s) {
    const RefFormat &df = Format(dst_type), &sf = Format(src_type);
    switch (args.kind) {
    case kBltAdd:
    case kBltSub:
    case kBltAddKeyed:
    case kBltSubKeyed: return AddSub(args.kind, df, sf, d, s);
    case kBltAlphaBlend: return AlphaBlend(df, sf, d, s);
    case kBltBlendConst:
    case kBltBlendConstKeyed: return BlendConst(args, df, sf, d, s);
    case kBltBlendRates:
    case kBltBlendRatesKeyed: return BlendRates(args, df, sf, d, s);
    default: return d;
    }
}

void RefBlendBlt(TestSurface& dest, TestSurface& source, const BltInfo& info, const RefBlendArgs& args) {
    const RefFormat &df = Format(dest.type), &sf = Format(source.type);
    RefForEachPixel(dest, source, info, [&](uint8_t* d, const uint8_t* sp) {
        uint32_t s = RefLoad(sf, sp);
        if (IsKeyed(args.kind) && RefKeyMatches(sf, s, args.key_argb)) return;
        RefStore(df, d, RefBlendPixel(args, dest.type, source.type, RefLoad(df, d), s));
    });
}

} // namespace blit_test
