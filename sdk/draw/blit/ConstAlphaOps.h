// ConstAlphaOps.h -- the per-pixel operations of the constant-alpha add and subtract kinds 6 to 9:
// the source scaled by the blend tables, then added to or subtracted from the destination with
// saturation, branch-free over the whole pixel where the pixel allows it.
#pragma once

#include <cstdint>

#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltParam.h"
#include "sdk/draw/blit/BltFrame.h"
#include "sdk/draw/blit/ConstAlphaVector.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

// ---- Saturating add and subtract of whole pixels, without branches ----------------------------
// d and s are pixel values; s has every bit that is no colour field clear (bit 15 of RGB555,
// byte 3 of a 24-bit colour). Bits of d outside the fields come through unchanged.

// The mask of every field of a 565 value (one pixel in the low 16 bits) that overflowed, from
// the halved field sums t: the top bit of each field, spread over the field.
inline uint32_t OverflowMask565(uint32_t t) {
    uint32_t f = t & 0x8410u;
    f = static_cast<uint32_t>(static_cast<int16_t>(static_cast<uint16_t>(f + 0x3DF0u)) >> 5);
    return ((f & 0xFBFFu) + 0x200u) ^ 0x3EFu;
}
inline uint32_t AddSat565(uint32_t d, uint32_t s) {
    uint32_t f = OverflowMask565((((s ^ d) >> 1) & 0x7BEFu) + (s & d));
    return (((s - f) + d) | f) & 0xFFFFu;
}
inline uint32_t SubSat565(uint32_t d, uint32_t s) {
    uint32_t f = OverflowMask565((((~d ^ s) >> 1) & 0x7BEFu) + (~d & s));
    return ((f | d) - (f | s)) & 0xFFFFu;
}

// Two 565 pixels in one word, the left one in the low half.
inline uint32_t OverflowMask565x2(uint32_t t) {
    uint32_t f = t & 0x84108410u;
    f = static_cast<uint32_t>(static_cast<int32_t>(f + 0x3DF7BDF0u) >> 5);
    return ((f & 0xFBFF7BFFu) + 0x2004200u) ^ 0x3EF7BEFu;
}
inline uint32_t AddSat565x2(uint32_t d, uint32_t s) {
    uint32_t f = OverflowMask565x2((((s ^ d) >> 1) & 0x7BEF7BEFu) + (s & d));
    return ((s - f) + d) | f;
}
inline uint32_t SubSat565x2(uint32_t d, uint32_t s) {
    uint32_t f = OverflowMask565x2((((~d ^ s) >> 1) & 0x7BEF7BEFu) + (~d & s));
    return (f | d) - (f | s);
}

// 555, one pixel (Lanes 1) or two in one word (Lanes 2); bit 15 (and 31) of d is kept.
template <int Lanes>
inline uint32_t OverflowMask555(uint32_t t) {
    constexpr uint32_t kCarry = Lanes == 1 ? 0x421u : 0x4210421u, kFill = Lanes == 1 ? 0x3DEFu : 0x3DEF3DEFu;
    return (((t >> 5) & kCarry) + kFill) ^ kFill;
}
template <int Lanes = 1>
inline uint32_t AddSat555(uint32_t d, uint32_t s) {
    constexpr uint32_t kHalf = Lanes == 1 ? 0x7BDEu : 0x7BDE7BDEu;
    uint32_t m = OverflowMask555<Lanes>(((s ^ d) & kHalf) + 2 * (s & d));
    return ((s - m) + d) | m;
}
template <int Lanes = 1>
inline uint32_t SubSat555(uint32_t d, uint32_t s) {
    constexpr uint32_t kHalf = Lanes == 1 ? 0x7BDEu : 0x7BDE7BDEu;
    uint32_t m = OverflowMask555<Lanes>(((~d ^ s) & kHalf) + 2 * (~d & s));
    return (m | d) - (m | s);
}

// Three bytes of colour in the low 24 bits; byte 3 of d is kept.
inline uint32_t OverflowMask24(uint32_t t) {
    return (((t >> 8) & 0x10101u) + 0x7F7F7Fu) ^ 0x7F7F7Fu;
}
inline uint32_t AddSat24(uint32_t d, uint32_t s) {
    uint32_t m = OverflowMask24(((s ^ d) & 0xFEFEFEu) + 2 * (s & d));
    return ((s - m) + d) | m;
}
inline uint32_t SubSat24(uint32_t d, uint32_t s) {
    uint32_t m = OverflowMask24(((~d ^ s) & 0xFEFEFEu) + 2 * (~d & s));
    return (m | d) - (m | s);
}

// One field at Shift of Bits bits, added or subtracted on its own and clamped.
template <bool Sub, int Shift, int Bits>
inline uint32_t ClampField(uint32_t d, uint32_t s) {
    constexpr int kMax = (1 << Bits) - 1;
    int x = static_cast<int>((d >> Shift) & kMax), y = static_cast<int>((s >> Shift) & kMax);
    int r = Sub ? x - y : x + y;
    r = r < 0 ? 0 : r > kMax ? kMax : r;
    return static_cast<uint32_t>(r) << Shift;
}
// The three colour fields of a pixel of traits P, each on its own.
template <bool Sub, class P>
inline uint32_t ClampFields(uint32_t d, uint32_t s) {
    return ClampField<Sub, P::kRShift, P::kRBits>(d, s) | ClampField<Sub, P::kGShift, P::kGBits>(d, s) |
           ClampField<Sub, P::kBShift, P::kBBits>(d, s);
}

// ---- Levels of the 16-bit tables ---------------------------------------------------------------

// The level of a constant alpha on the 16-bit tables: RGB565 takes the even levels only
// ((a & 0xE0) >> 4) on every pixel of every pair, RGB555 all sixteen (a >> 4).
template <int GBits>
constexpr int ConstLevel(uint8_t a) {
    return GBits == 6 ? (a & 0xE0) >> 4 : a >> 4;
}
template <int GBits>
inline uint32_t ScaleWord(int level, uint32_t word) {
    return GBits == 6 ? AlphaTable565[level][word & 0xFFFF] : AlphaTable555[level][word & 0xFFFF];
}

// ---- The operation of one pair ------------------------------------------------------------------

// Adds (Sub false) or subtracts the source, scaled by the constant alpha taken from byte
// AlphaByte of the parameter, onto one destination pixel. What scales the source:
//  - an alpha type onto itself: nothing, the whole colour counts;
//  - an alpha source onto its plain twin: the source's own alpha times the constant alpha;
//  - any other pair: the constant alpha alone.
// What becomes of the destination's other bits: RGB555 bit 15 and a spare byte are kept (but
// XBGR8888 from ABGR8888 subtracted writes 0 there); a cell keeps its bytes 2 and 3 and ARGB4555
// cells write colour bit 15 as 0; ARGB8888 and ABGR8888 come out opaque.
template <class D, class S, bool Sub, int AlphaByte>
struct ConstAlphaOp {
    uint8_t a;

    explicit ConstAlphaOp(BltParam p) : a(p.bytes[AlphaByte]) {}

    static constexpr bool kSameType = D::kType == S::kType;

    uint32_t Apply(uint32_t d, uint32_t s) const {
        if constexpr (!D::kByteChannels)
            return ApplyWord(d, s);
        else
            return ApplyBytes(d, s);
    }
    void operator()(uint8_t* d, const uint8_t* s) const { D::Store(d, Apply(D::Load(d), S::Load(s))); }

    // The branch-free form of a keyed pixel: a skipped pixel is written back unchanged.
    void Select(uint8_t* d, const uint8_t* s, bool skip) const {
        uint32_t dv = D::Load(d);
        uint32_t v = Apply(dv, S::Load(s));
        D::Store(d, skip ? dv : v);
    }

    // Whole 1:1 rows of the same-type types that have vector routes: XRGB8888 and XBGR8888
    // (plain and keyed), RGB565 and RGB555 (keyed; the plain ones take ConstAlphaPairOp).
    static constexpr bool kRow32 = kSameType && D::kSize == 4 && D::kByteChannels && !D::kHasAlpha;
    static constexpr bool kRow16 = kSameType && D::kSize == 2;

    void Row(uint8_t* d, const uint8_t* s, int width) const
        requires(kRow32)
    {
        int done = ConstAlphaRow32(d, s, width, a, Sub, nullptr);
        for (int i = done; i < width; ++i) (*this)(d + 4 * i, s + 4 * i);
    }
    template <class Key>
    void RowKeyed(uint8_t* d, const uint8_t* s, int width, const Key& key) const
        requires(kRow32 || kRow16)
    {
        int done;
        if constexpr (kRow32)
            done = ConstAlphaRow32(d, s, width, a, Sub, &key.key);
        else
            done = ConstAlphaRow16(d, s, width, ConstLevel<D::kGBits>(a), D::kGBits == 6, Sub, &key.key);
        for (int i = done; i < width; ++i)
            if (!key.Matches(s + i * S::kSize)) (*this)(d + i * D::kSize, s + i * S::kSize);
    }

private:
    // 16-bit colour words, alone or in cells.
    uint32_t ApplyWord(uint32_t d, uint32_t s) const {
        static_assert(!S::kByteChannels && S::kGBits == D::kGBits, "16-bit pairs share one word layout");
        constexpr int kG = D::kGBits;
        uint32_t sw;
        if constexpr (kSameType && D::kHasAlpha) {
            sw = s & D::kColourMask;
        } else if constexpr (S::kHasAlpha) {
            int level = AlphaMulTable[a][16 * ((s >> 16) & 15)] >> 4;
            if constexpr (kG == 6) level &= ~1;
            sw = ScaleWord<kG>(level, s);
        } else {
            sw = ScaleWord<kG>(ConstLevel<kG>(a), s);
        }
        if constexpr (D::kHasAlpha) {
            return (d & 0xFFFF0000u) | ClampFields<Sub, D>(d, sw);
        } else if constexpr (kG == 6) {
            return Sub ? SubSat565(d, sw) : AddSat565(d, sw);
        } else {
            return Sub ? SubSat555(d, sw) : AddSat555(d, sw);
        }
    }

    // Byte channels, matched by colour.
    uint32_t ApplyBytes(uint32_t d, uint32_t s) const {
        static_assert(S::kByteChannels, "byte pairs only");
        const uint8_t* row = AlphaMulTable[a];
        if constexpr (kSameType && D::kHasAlpha) {
            row = AlphaMulTable[255];
        } else if constexpr (S::kHasAlpha) {
            row = AlphaMulTable[AlphaMulTable[a][s >> 24]];
        }
        uint32_t sc = uint32_t(row[(s >> S::kRShift) & 255]) << D::kRShift |
                      uint32_t(row[(s >> 8) & 255]) << 8 | uint32_t(row[(s >> S::kBShift) & 255]) << D::kBShift;
        if constexpr (D::kHasAlpha) {
            return ClampFields<Sub, D>(d, sc) | 0xFF000000u;
        } else if constexpr (Sub && D::kType == kSurfaceXBGR8888 && S::kType == kSurfaceABGR8888) {
            return ClampFields<Sub, D>(d, sc);   // this pair writes its spare byte as 0
        } else {
            return Sub ? SubSat24(d, sc) : AddSat24(d, sc);
        }
    }
};

// The byte of a keyed kind's parameter that holds the alpha: right after the key pixel.
template <class S>
inline constexpr int kKeyAlphaByte = S::kSize < 2 ? 2 : S::kSize > 4 ? 4 : S::kSize;

// The operation of each kind, as the routine tables name it.
template <class D, class S> using OpAddConst = ConstAlphaOp<D, S, false, 0>;
template <class D, class S> using OpSubConst = ConstAlphaOp<D, S, true, 0>;
template <class D, class S> using OpAddConstKeyed = ConstAlphaOp<D, S, false, kKeyAlphaByte<S>>;
template <class D, class S> using OpSubConstKeyed = ConstAlphaOp<D, S, true, kKeyAlphaByte<S>>;

// The same-type RGB565 and RGB555 routines of kinds 6 and 7: two pixels per 32-bit access in a
// 1:1 row, a lone pixel where a row starts or ends off a word. The lone-pixel operation and the
// pair operation each carry their own copy of the parameter (they hold the same alpha).
template <class D, class S, bool Sub>
struct ConstAlphaPairOp {
    static_assert(D::kType == S::kType && D::kSize == 2, "16-bit same-type pairs only");
    static constexpr int kG = D::kGBits;
    using Lone = ConstAlphaOp<D, S, Sub, 0>;

    Lone lone;
    uint8_t pair_level;

    ConstAlphaPairOp(BltParam lone_param, BltParam pair_param)
        : lone(lone_param), pair_level(static_cast<uint8_t>(ConstLevel<kG>(pair_param.bytes[0]))) {}
    explicit ConstAlphaPairOp(BltParam p) : ConstAlphaPairOp(p, p) {}

    void operator()(uint8_t* d, const uint8_t* s) const { lone(d, s); }

    // Two adjacent pixels: both halves of the source word scaled on their own.
    void Pair(uint8_t* d, const uint8_t* s) const {
        uint32_t sv = LoadPixelValue<4>(s), dv = LoadPixelValue<4>(d);
        uint32_t sc = ScaleWord<kG>(pair_level, sv) | ScaleWord<kG>(pair_level, sv >> 16) << 16;
        uint32_t r;
        if constexpr (kG == 6)
            r = Sub ? SubSat565x2(dv, sc) : AddSat565x2(dv, sc);
        else
            r = Sub ? SubSat555<2>(dv, sc) : AddSat555<2>(dv, sc);
        StorePixelValue<4>(d, r);
    }

    // A 1:1 row. Pairs follow the destination's 32-bit words: a row that starts in the middle
    // of a word (an odd column on a word-aligned surface) begins with a lone pixel.
    void Row(uint8_t* d, const uint8_t* s, int width) const {
        if (width > 0 && (reinterpret_cast<uintptr_t>(d) & 2) != 0) {
            lone(d, s);
            d += 2, s += 2, --width;
        }
        int done = ConstAlphaRow16(d, s, width, pair_level, kG == 6, Sub, nullptr);
        d += 2 * done, s += 2 * done, width -= done;
        for (int g = width >> 3; g > 0; --g, d += 16, s += 16)
            for (int k = 0; k < 4; ++k) Pair(d + 4 * k, s + 4 * k);
        for (int w = (width & 7) >> 1; w > 0; --w, d += 4, s += 4) Pair(d, s);
        if (width & 1) lone(d, s);
    }
};
template <class D, class S> using OpAddConstPairs = ConstAlphaPairOp<D, S, false>;
template <class D, class S> using OpSubConstPairs = ConstAlphaPairOp<D, S, true>;

// ---- The operators by name ----------------------------------------------------------------------
// Each is the operation of the routine that uses it; the ones that compute the same share a type.
// Operators of kinds 6 and 7 read the alpha from the parameter word, the keyed ones from the
// byte after the key. The saturating operators without a constant alpha (OpAddSat_*, OpSubSat_*,
// OpSubSatBits_*, Op{Add,Sub}PixelAlpha_*) are those of the add and subtract kinds (AddSubOps.h).
using OpAddConst_RGB565_RGB565 = OpAddConst<PixelRGB565, PixelRGB565>;
using OpAddConst_RGB555_RGB555 = OpAddConst<PixelRGB555, PixelRGB555>;
using OpAddConst_RGB555_ARGB4555 = OpAddConst<PixelRGB555, PixelARGB4555>;
using OpAddConst_RGB888_RGB888 = OpAddConst<PixelRGB888, PixelRGB888>;
using OpAddConst_BGR888_BGR888 = OpAddConst<PixelBGR888, PixelBGR888>;
using OpAddConst_XRGB8888_XRGB8888 = OpAddConst<PixelXRGB8888, PixelXRGB8888>;
using OpAddConst_XBGR8888_XBGR8888 = OpAddConst<PixelXBGR8888, PixelXBGR8888>;
using OpSubConst_RGB555_RGB555 = OpSubConst<PixelRGB555, PixelRGB555>;
using OpSubConst_BGR888_BGR888 = OpSubConst<PixelBGR888, PixelBGR888>;
using OpSubConst_XRGB8888_XRGB8888 = OpSubConst<PixelXRGB8888, PixelXRGB8888>;
using OpSubConst_XBGR8888_XBGR8888 = OpSubConst<PixelXBGR8888, PixelXBGR8888>;
// Two RGB565 pixels of one word (the pair step of the same-type subtract).
using OpSubConstDual_RGB565_RGB565 = OpSubConstPairs<PixelRGB565, PixelRGB565>;
// The keyed kinds on the 24- and 32-bit plain types: the key test in front of the above.
using OpAddConstKeyed_BGR888_BGR888 = BltOpOf<OpAddConstKeyed, Key24, PixelBGR888, PixelBGR888>::type;
using OpAddConstKeyed_XRGB8888_XRGB8888 = BltOpOf<OpAddConstKeyed, Key32, PixelXRGB8888, PixelXRGB8888>::type;
using OpAddConstKeyed_XBGR8888_XBGR8888 = BltOpOf<OpAddConstKeyed, Key32, PixelXBGR8888, PixelXBGR8888>::type;
using OpSubConstKeyed_XRGB8888_XRGB8888 = BltOpOf<OpSubConstKeyed, Key32, PixelXRGB8888, PixelXRGB8888>::type;
using OpSubConstKeyed_XBGR8888_XBGR8888 = BltOpOf<OpSubConstKeyed, Key32, PixelXBGR8888, PixelXBGR8888>::type;

} // namespace zuderadeDoruVAV3ed
