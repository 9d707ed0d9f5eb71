// BlendOps.h -- the per-pixel operations of the blend kinds: 10 (per-pixel alpha), 14 and 15
// (constant alpha a), 16 and 17 (source rate a, destination rate b); one operation per rule, and
// the names by which the tables know them. All arithmetic goes through the blend tables
// (truncating); a 16-bit alpha level uses only its low four bits.
#pragma once

#include <cstdint>

#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltParam.h"
#include "sdk/draw/blit/BltVector.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

// The 16-bit scaling table of a colour word type.
template <class P>
inline const uint16_t (&WordTable())[16][65536] {
    if constexpr (P::kGBits == 6)
        return AlphaTable565;
    else
        return AlphaTable555;
}

// The alpha level 0..15 of a 16-bit cell, and the alpha byte of an 8888 pixel.
inline uint32_t CellLevel(uint32_t v) { return (v >> 16) & 15u; }
inline uint32_t ByteAlpha(uint32_t v) { return v >> 24; }

// The keyed kinds 15 and 17 receive the key pixel first and their alpha or rates directly after
// it; Base reads its alpha or rates from byte 0, so the bytes after the key are moved there.
template <template <class, class> class Base>
struct ParamAfterKey {
    template <class D, class S>
    struct Op : Base<D, S> {
        explicit Op(BltParam p) : Base<D, S>(Shift(p)) {}
        static BltParam Shift(BltParam p) {
            BltParam q;
            for (int i = 0; i + S::kSize < 8; ++i) q.bytes[i] = p.bytes[i + S::kSize];
            return q;
        }
    };
};

// Rows of pixels of Size bytes go to the vector rows where a level is chosen, the rest pixel by
// pixel.
template <int Size = 4, class Op>
inline void VectorThenScalar(const Op& op, BltVectorRow BltVectorRows::*row, uint8_t* d, const uint8_t* s,
                             int width, uint32_t param) {
    int i = 0;
    if (const BltVectorRows* rows = CurrentBltVectorRows()) i = (rows->*row)(d, s, width, param);
    for (; i < width; ++i) op(d + Size * i, s + Size * i);
}

// The three colour bytes (0..2) of two values of the same byte order, mixed byte by byte.
template <class Mix>
inline uint32_t MixBytes(uint32_t s, uint32_t d, Mix mix) {
    return mix(s & 255, d & 255) | mix((s >> 8) & 255, (d >> 8) & 255) << 8 | mix((s >> 16) & 255, (d >> 16) & 255) << 16;
}

// True when the three colour channels of s and d agree, matched by name.
template <class D, class S>
inline bool SameColour(uint32_t s, uint32_t d) {
    Rgba8 sc = S::Unpack(s), dc = D::Unpack(d);
    return sc.r == dc.r && sc.g == dc.g && sc.b == dc.b;
}

// The colour channels of s mixed into those of d of the same name: d.c := mix(s.c, d.c).
template <class Mix>
inline Rgba8 MixChannels(Rgba8 s, Rgba8 d, Mix mix) {
    d.r = static_cast<uint8_t>(mix(s.r, d.r));
    d.g = static_cast<uint8_t>(mix(s.g, d.g));
    d.b = static_cast<uint8_t>(mix(s.b, d.b));
    return d;
}

// Both colours widened to 8-bit channels, each channel mixed, narrowed into the destination's
// colour word; the cell's alpha and fourth byte are not written.
template <class D, class S, class Mix>
inline void MixIntoCell(uint8_t* d, const uint8_t* s, Mix mix) {
    StorePixelValue<2>(d, D::Pack(MixChannels(S::Unpack(S::Load(s)), D::Unpack(D::Load(d)), mix)) & 0xFFFFu);
}

// Channels matched by name onto an 8888 alpha destination, whose alpha then becomes 255.
template <class D, class S, class Mix>
inline void MixIntoAlpha32(uint8_t* d, uint32_t s, uint32_t dv, Mix mix) {
    Rgba8 dc = MixChannels(S::Unpack(s), D::Unpack(dv), mix);
    dc.a = 255;
    D::Store(d, D::Pack(dc));
}

// ---- Kind 10: the source's own alpha ----

// [sum][x] = 255 * x / sum (truncated) for x <= sum <= 255: the shares of the 8888 compose
// without a division per pixel (row 0 unused).
struct ShareTable {
    uint8_t at[256][256] = {};
    constexpr ShareTable() {
        for (int sum = 1; sum < 256; ++sum)
            for (int x = 0; x <= sum; ++x) at[sum][x] = static_cast<uint8_t>(255 * x / sum);
    }
};
inline constexpr ShareTable kShareTable{};

// Plain 16-bit from its alpha twin: T[L][s] + T[15 - L][d], every pixel written.
template <class D, class S>
struct OpAlphaBlendWord {
    explicit OpAlphaBlendWord(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t v = S::Load(s), level = CellLevel(v);
        const auto& t = WordTable<D>();
        D::Store(d, uint32_t(t[level][v & 0xFFFF]) + t[15 - level][D::Load(d)]);
    }
};

// 3- and 4-byte plain from the 8888 alpha twin: skipped where the colours agree; a 4-byte
// destination's spare byte becomes 0.
template <class D, class S>
struct OpAlphaBlendBytes {
    explicit OpAlphaBlendBytes(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s), dv = D::Load(d);
        if (((sv ^ dv) & 0x00FFFFFFu) == 0) return;
        const uint8_t *mul = AlphaMulTable[ByteAlpha(sv)], *comp = AlphaComplementTable[ByteAlpha(sv)];
        D::Store(d, MixBytes(sv, dv, [=](uint32_t sc, uint32_t dc) { return uint32_t(mul[sc]) + comp[dc]; }));
    }
    void Row(uint8_t* d, const uint8_t* s, int width) const
        requires(D::kSize == 4)
    {
        VectorThenScalar(*this, &BltVectorRows::alpha_blend32, d, s, width, 0);
    }
};

// A 16-bit cell over the same type: the two alphas composed (measured with 240 as full), the
// colours weighted by their shares of the result.
template <class D, class S>
struct OpComposeAlphaCell {
    explicit OpComposeAlphaCell(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s), dv = D::Load(d);
        uint32_t sa = 16 * CellLevel(sv), da = 16 * CellLevel(dv);
        uint32_t share = AlphaMulTable[da][240 - sa], sum = share + sa;
        d[2] = static_cast<uint8_t>(sum >> 4);
        if (sum == 0) return;
        uint32_t ls = 15 * sa / sum, ld = 15 * share / sum;
        const auto& t = WordTable<D>();
        StorePixelValue<2>(d, uint32_t(t[ls][sv & 0xFFFF]) + t[ld][dv & 0xFFFF]);
    }
};

// An 8888 alpha pixel over the same type: alphas composed, colours weighted by their shares;
// the composed alpha stays in the destination.
template <class D, class S>
struct OpComposeAlpha8888 {
    explicit OpComposeAlpha8888(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s), dv = D::Load(d);
        uint32_t sa = ByteAlpha(sv), share = AlphaMulTable[ByteAlpha(dv)][255 - sa], sum = sa + share;
        if (sum == 0) {
            d[3] = 0;
            return;
        }
        const uint8_t *ms = AlphaMulTable[kShareTable.at[sum][sa]], *md = AlphaMulTable[kShareTable.at[sum][share]];
        uint32_t colour = MixBytes(sv, dv, [=](uint32_t sc, uint32_t dc) { return uint32_t(ms[sc]) + md[dc]; });
        D::Store(d, colour | sum << 24);
    }
    void Row(uint8_t* d, const uint8_t* s, int width) const {
        VectorThenScalar(*this, &BltVectorRows::compose32, d, s, width, 0);
    }
};

// ---- Kinds 14 and 15: constant alpha a ----

struct ConstAlpha {
    uint32_t a;
    explicit ConstAlpha(BltParam p) : a(p.bytes[0]) {}
};

// Plain 16-bit, same type: skipped where the words agree; level L = a >> 4.
template <class D, class S>
struct OpBlendConstWord : ConstAlpha {
    using ConstAlpha::ConstAlpha;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s), dv = D::Load(d);
        if (sv == dv) return;
        uint32_t level = a >> 4;
        const auto& t = WordTable<D>();
        D::Store(d, uint32_t(t[level][sv]) + t[15 - level][dv]);
    }
    void Row(uint8_t* d, const uint8_t* s, int width) const {
        VectorThenScalar<2>(*this, D::kGBits == 6 ? &BltVectorRows::blend_const565 : &BltVectorRows::blend_const555,
                            d, s, width, a);
    }
};

// Plain 16-bit from its alpha twin: no equality test; L = AlphaMulTable[a][16 sA] >> 4.
template <class D, class S>
struct OpBlendConstWordAlpha : ConstAlpha {
    using ConstAlpha::ConstAlpha;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s), level = AlphaMulTable[a][16 * CellLevel(sv)] >> 4;
        const auto& t = WordTable<D>();
        D::Store(d, uint32_t(t[level][sv & 0xFFFF]) + t[15 - level][D::Load(d)]);
    }
};

// 3- and 4-byte plain destinations, same byte order: skipped where the colours agree; factor a,
// scaled by the source's alpha where it has one; a 4-byte destination's spare byte becomes 0.
template <class D, class S>
struct OpBlendConstBytes : ConstAlpha {
    using ConstAlpha::ConstAlpha;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s), dv = D::Load(d);
        if (((sv ^ dv) & 0x00FFFFFFu) == 0) return;
        uint32_t f = S::kHasAlpha ? AlphaMulTable[ByteAlpha(sv)][a] : a;
        const uint8_t *mul = AlphaMulTable[f], *comp = AlphaComplementTable[f];
        D::Store(d, MixBytes(sv, dv, [=](uint32_t sc, uint32_t dc) { return uint32_t(mul[sc]) + comp[dc]; }));
    }
    void Row(uint8_t* d, const uint8_t* s, int width) const
        requires(D::kSize == 4)
    {
        VectorThenScalar(*this, S::kHasAlpha ? &BltVectorRows::blend_const_alpha32 : &BltVectorRows::blend_const32, d,
                         s, width, a);
    }
};

// Onto ARGB8888 / ABGR8888: skipped where the colours agree, compared channel by channel (so a
// source of the other byte order compares red with red); alpha 255 where drawn.
template <class D, class S>
struct OpBlendConstToAlpha32 : ConstAlpha {
    using ConstAlpha::ConstAlpha;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s), dv = D::Load(d);
        if (SameColour<D, S>(sv, dv)) return;
        uint32_t f = S::kHasAlpha ? AlphaMulTable[ByteAlpha(sv)][a] : a;
        const uint8_t *mul = AlphaMulTable[f], *comp = AlphaComplementTable[f];
        MixIntoAlpha32<D, S>(d, sv, dv, [=](uint32_t sc, uint32_t dc) { return uint32_t(mul[sc]) + comp[dc]; });
    }
};

// Onto a 16-bit cell: no equality test; factor a, scaled by a source cell's level times 16.
template <class D, class S>
struct OpBlendConstCell : ConstAlpha {
    using ConstAlpha::ConstAlpha;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t f = S::kHasAlpha ? AlphaMulTable[16 * CellLevel(S::Load(s))][a] : a;
        const uint8_t *mul = AlphaMulTable[f], *comp = AlphaComplementTable[f];
        MixIntoCell<D, S>(d, s, [=](uint32_t sc, uint32_t dc) { return uint32_t(mul[sc]) + comp[dc]; });
    }
};

// The vector form of kind 14 on XRGB8888 <- XRGB8888, with its own formula: each colour byte
// min(255, (s a >> 8) + (d (255 - a) >> 8)), spare byte 0, no equality test.
template <class D, class S>
struct OpBlendConstMmx : ConstAlpha {
    using ConstAlpha::ConstAlpha;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t na = 255 - a;
        D::Store(d, MixBytes(S::Load(s), D::Load(d), [=, this](uint32_t sc, uint32_t dc) {
                     uint32_t c = (sc * a >> 8) + (dc * na >> 8);
                     return c > 255 ? 255u : c;
                 }));
    }
    void Row(uint8_t* d, const uint8_t* s, int width) const {
        VectorThenScalar(*this, &BltVectorRows::blend_const_mmx32, d, s, width, a);
    }
};

// ---- Kinds 16 and 17: source rate a, destination rate b; sums wrap, nothing is tested ----

struct Rates {
    uint32_t a, b;
    explicit Rates(BltParam p) : a(p.bytes[0]), b(p.bytes[1]) {}
};

// Plain 16-bit, same type: T[a >> 4][s] + T[b >> 4][d], a plain 16-bit sum.
template <class D, class S>
struct OpBlendRatesWord : Rates {
    using Rates::Rates;
    void operator()(uint8_t* d, const uint8_t* s) const {
        const auto& t = WordTable<D>();
        D::Store(d, uint32_t(t[a >> 4][S::Load(s)]) + t[b >> 4][D::Load(d)]);
    }
    void Row(uint8_t* d, const uint8_t* s, int width) const {
        VectorThenScalar<2>(*this, D::kGBits == 6 ? &BltVectorRows::blend_rates565 : &BltVectorRows::blend_rates555,
                            d, s, width, a | b << 8);
    }
};

// Plain 16-bit from its alpha twin; the destination counts as alpha 240.
template <class D, class S>
struct OpBlendRatesWordAlpha : Rates {
    using Rates::Rates;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s);
        uint32_t ls = AlphaMulTable[a][16 * CellLevel(sv)] >> 4, ld = AlphaMulTable[b][240] >> 4;
        const auto& t = WordTable<D>();
        D::Store(d, uint32_t(t[ls][sv & 0xFFFF]) + t[ld][D::Load(d)]);
    }
};

// 3- and 4-byte plain destinations, same byte order: each byte (s fs + d b) / 255 modulo 256;
// fs = a, scaled by the source's alpha where it has one; a 4-byte destination's spare byte 0.
template <class D, class S>
struct OpBlendRatesBytes : Rates {
    using Rates::Rates;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s);
        uint32_t fs = S::kHasAlpha ? AlphaMulTable[ByteAlpha(sv)][a] : a;
        const uint8_t *ms = AlphaMulTable[fs], *md = AlphaMulTable[b];
        D::Store(d, MixBytes(sv, D::Load(d), [=](uint32_t sc, uint32_t dc) { return (uint32_t(ms[sc]) + md[dc]) & 255; }));
    }
    void Row(uint8_t* d, const uint8_t* s, int width) const
        requires(D::kType == S::kType && D::kSize == 4)
    {
        VectorThenScalar(*this, &BltVectorRows::blend_rates32, d, s, width, a | b << 8);
    }
};

// Onto ARGB8888 / ABGR8888: the destination rate scaled by the destination's alpha, channels by
// name, alpha 255.
template <class D, class S>
struct OpBlendRatesToAlpha32 : Rates {
    using Rates::Rates;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = S::Load(s), dv = D::Load(d);
        uint32_t fs = S::kHasAlpha ? AlphaMulTable[ByteAlpha(sv)][a] : a;
        const uint8_t *ms = AlphaMulTable[fs], *md = AlphaMulTable[AlphaMulTable[ByteAlpha(dv)][b]];
        MixIntoAlpha32<D, S>(d, sv, dv, [=](uint32_t sc, uint32_t dc) { return (uint32_t(ms[sc]) + md[dc]) & 255; });
    }
};

// Onto a 16-bit cell: both rates scaled by the cells' levels times 16, channels widened.
template <class D, class S>
struct OpBlendRatesCell : Rates {
    using Rates::Rates;
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t fs = S::kHasAlpha ? AlphaMulTable[16 * CellLevel(S::Load(s))][a] : a;
        uint32_t fd = AlphaMulTable[16 * CellLevel(D::Load(d))][b];
        const uint8_t *ms = AlphaMulTable[fs], *md = AlphaMulTable[fd];
        MixIntoCell<D, S>(d, s, [=](uint32_t sc, uint32_t dc) { return (uint32_t(ms[sc]) + md[dc]) & 255; });
    }
};

// ---- The names of the operators ----

template <class D, class S> using OpAlphaBlend_RGB888_ARGB8888 = OpAlphaBlendBytes<D, S>;
template <class D, class S> using OpAlphaBlend_BGR888_ABGR8888 = OpAlphaBlendBytes<D, S>;
template <class D, class S> using OpAlphaBlend_XRGB8888_ARGB8888 = OpAlphaBlendBytes<D, S>;
template <class D, class S> using OpAlphaBlend_XBGR8888_ABGR8888 = OpAlphaBlendBytes<D, S>;
template <class D, class S> using OpComposeAlpha_ARGB4565_ARGB4565 = OpComposeAlphaCell<D, S>;
template <class D, class S> using OpComposeAlpha_ARGB4555_ARGB4555 = OpComposeAlphaCell<D, S>;
template <class D, class S> using OpComposeAlpha_ARGB8888_ARGB8888 = OpComposeAlpha8888<D, S>;
template <class D, class S> using OpComposeAlpha_ABGR8888_ABGR8888 = OpComposeAlpha8888<D, S>;

template <class D, class S> using OpBlendConst_RGB888_RGB888 = OpBlendConstBytes<D, S>;
template <class D, class S> using OpBlendConst_BGR888_BGR888 = OpBlendConstBytes<D, S>;
template <class D, class S> using OpBlendConst_XRGB8888_XRGB8888 = OpBlendConstBytes<D, S>;
template <class D, class S> using OpBlendConst_XBGR8888_XBGR8888 = OpBlendConstBytes<D, S>;
template <class D, class S> using OpBlendConst_RGB888_ARGB8888 = OpBlendConstBytes<D, S>;
template <class D, class S> using OpBlendConst_BGR888_ABGR8888 = OpBlendConstBytes<D, S>;
template <class D, class S> using OpBlendConst_XRGB8888_ARGB8888 = OpBlendConstBytes<D, S>;
template <class D, class S> using OpBlendConst_XBGR8888_ABGR8888 = OpBlendConstBytes<D, S>;
template <class D, class S> using OpBlendConst_ARGB8888_RGB888 = OpBlendConstToAlpha32<D, S>;
template <class D, class S> using OpBlendConst_ARGB8888_XRGB8888 = OpBlendConstToAlpha32<D, S>;
template <class D, class S> using OpBlendConst_ARGB8888_BGR888 = OpBlendConstToAlpha32<D, S>;
template <class D, class S> using OpBlendConst_ABGR8888_RGB888 = OpBlendConstToAlpha32<D, S>;
template <class D, class S> using OpBlendConst_ABGR8888_XRGB8888 = OpBlendConstToAlpha32<D, S>;
template <class D, class S> using OpBlendConst_ABGR8888_BGR888 = OpBlendConstToAlpha32<D, S>;
template <class D, class S> using OpBlendConst_ARGB8888_ARGB8888 = OpBlendConstToAlpha32<D, S>;
template <class D, class S> using OpBlendConst_ABGR8888_ABGR8888 = OpBlendConstToAlpha32<D, S>;
template <class D, class S> using OpBlendConst_ARGB4565_RGB565 = OpBlendConstCell<D, S>;
template <class D, class S> using OpBlendConst_ARGB4555_RGB555 = OpBlendConstCell<D, S>;
template <class D, class S> using OpBlendConst_ARGB4565_ARGB4565 = OpBlendConstCell<D, S>;
template <class D, class S> using OpBlendConst_ARGB4555_ARGB4555 = OpBlendConstCell<D, S>;

template <class D, class S> using OpBlendRates_XRGB8888_XRGB8888 = OpBlendRatesBytes<D, S>;
template <class D, class S> using OpBlendRates_XBGR8888_XBGR8888 = OpBlendRatesBytes<D, S>;
template <class D, class S> using OpBlendRates_RGB888_ARGB8888 = OpBlendRatesBytes<D, S>;
template <class D, class S> using OpBlendRates_BGR888_ABGR8888 = OpBlendRatesBytes<D, S>;
template <class D, class S> using OpBlendRates_XRGB8888_ARGB8888 = OpBlendRatesBytes<D, S>;
template <class D, class S> using OpBlendRates_XBGR8888_ABGR8888 = OpBlendRatesBytes<D, S>;
template <class D, class S> using OpBlendRates_ARGB8888_RGB888 = OpBlendRatesToAlpha32<D, S>;
template <class D, class S> using OpBlendRates_ARGB8888_BGR888 = OpBlendRatesToAlpha32<D, S>;
template <class D, class S> using OpBlendRates_ABGR8888_RGB888 = OpBlendRatesToAlpha32<D, S>;
template <class D, class S> using OpBlendRates_ABGR8888_BGR888 = OpBlendRatesToAlpha32<D, S>;
template <class D, class S> using OpBlendRates_ARGB8888_ARGB8888 = OpBlendRatesToAlpha32<D, S>;
template <class D, class S> using OpBlendRates_ABGR8888_ABGR8888 = OpBlendRatesToAlpha32<D, S>;
template <class D, class S> using OpBlendRates_ARGB4565_RGB565 = OpBlendRatesCell<D, S>;
template <class D, class S> using OpBlendRates_ARGB4555_RGB555 = OpBlendRatesCell<D, S>;
template <class D, class S> using OpBlendRates_ARGB4565_ARGB4565 = OpBlendRatesCell<D, S>;
template <class D, class S> using OpBlendRates_ARGB4555_ARGB4555 = OpBlendRatesCell<D, S>;

} // namespace zuderadeDoruVAV3ed
