// AddSubOps.h -- the per-pixel operations of the saturating add and subtract kinds 2 to 5: one
// operation per way of combining, each for both directions (P is AddOps or SubOps), and the
// names by which the tables and the rest of the SDK know them.
#pragma once

#include <cstdint>

#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltParam.h"
#include "sdk/draw/blit/AddSubArith.h"
#include "sdk/draw/blit/BltVector.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

// One direction: the packed forms, the clamp of one 8-bit channel, and its vector rows.
struct AddOps {
    using Arith = SatAddArith;
    static int Clamp(int d, int s) { return d + s > 255 ? 255 : d + s; }
    static constexpr BltVectorRow BltVectorRows::*kRow565 = &BltVectorRows::add565;
    static constexpr BltVectorRow BltVectorRows::*kRow555 = &BltVectorRows::add555;
    static constexpr BltVectorRow BltVectorRows::*kRow32 = &BltVectorRows::add32;
    static constexpr BltVectorRow BltVectorRows::*kRowAlpha32 = &BltVectorRows::add_alpha32;
};
struct SubOps {
    using Arith = SatSubArith;
    static int Clamp(int d, int s) { return d - s < 0 ? 0 : d - s; }
    static constexpr BltVectorRow BltVectorRows::*kRow565 = &BltVectorRows::sub565;
    static constexpr BltVectorRow BltVectorRows::*kRow555 = &BltVectorRows::sub555;
    static constexpr BltVectorRow BltVectorRows::*kRow32 = &BltVectorRows::sub32;
    static constexpr BltVectorRow BltVectorRows::*kRowAlpha32 = &BltVectorRows::sub_alpha32;
};

// The colour channels of dc combined with those of sc of the same name, each clamped in 8 bits.
template <class P>
inline void CombineChannels(Rgba8& dc, Rgba8 sc) {
    dc.r = static_cast<uint8_t>(P::Clamp(dc.r, sc.r));
    dc.g = static_cast<uint8_t>(P::Clamp(dc.g, sc.g));
    dc.b = static_cast<uint8_t>(P::Clamp(dc.b, sc.b));
}

// Two packed 16-bit colours of the plain type D (one pixel in the low half, or two); a source's
// bit 15 of RGB555 is masked first so that it never carries into the neighbour, the
// destination's passes through.
template <class D, class P>
inline uint32_t SatWords(uint32_t s, uint32_t d) {
    if constexpr (D::kGBits == 6)
        return P::Arith::Bits565x2(s, d);
    else
        return P::Arith::Bits555x2(s & 0x7FFF7FFFu, d);
}

// Plain 16-bit onto the same type. The 1:1 row runs two pixels per 32-bit word (a pixel at an
// odd position first alone), or the vector rows, which give the same words.
template <class D, class S, class P>
struct SatWordOp {
    explicit SatWordOp(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        D::Store(d, SatWords<D, P>(S::Load(s), D::Load(d)) & 0xFFFFu);
    }
    void Row(uint8_t* d, const uint8_t* s, int width) const {
        int i = 0;
        if (width > 0 && (reinterpret_cast<uintptr_t>(d) & 2)) {
            (*this)(d, s);
            i = 1;
        }
        if (const BltVectorRows* rows = CurrentBltVectorRows())
            i += (rows->*(D::kGBits == 6 ? P::kRow565 : P::kRow555))(d + 2 * i, s + 2 * i, width - i, 0);
        for (; i + 2 <= width; i += 2)
            StorePixelValue<4>(d + 2 * i, SatWords<D, P>(LoadPixelValue<4>(s + 2 * i), LoadPixelValue<4>(d + 2 * i)));
        if (i < width) (*this)(d + 2 * i, s + 2 * i);
    }
};

// A 16-bit alpha cell onto its plain twin: the colour is first scaled by the alpha level, of which
// RGB565 uses only the even levels (alpha & 0x0E) and RGB555 all sixteen.
template <class D, class S, class P>
struct SatWordScaledOp {
    explicit SatWordScaledOp(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t v = S::Load(s);
        uint32_t level = (v >> 16) & (D::kGBits == 6 ? 0x0Eu : 0x0Fu);
        uint32_t scaled = D::kGBits == 6 ? AlphaTable565[level][v & 0xFFFF] : AlphaTable555[level][v & 0xFFFF];
        D::Store(d, SatWords<D, P>(scaled, D::Load(d)) & 0xFFFFu);
    }
};

// Onto a 16-bit alpha cell: channel by channel, widened to 8 bits, combined, narrowed; only the
// colour word is written (alpha and the fourth byte stay), a source cell gives only its colour.
template <class D, class S, class P>
struct SatCellOp {
    explicit SatCellOp(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        Rgba8 dc = D::Unpack(D::Load(d));
        CombineChannels<P>(dc, S::Unpack(S::Load(s)));
        StorePixelValue<2>(d, D::Pack(dc) & 0xFFFFu);
    }
};

// 3- and 4-byte plain destinations from the same type or from the 8888 alpha twin (same byte
// order). An alpha source is scaled by its alpha first (its fourth byte then 0, so a spare byte
// stays); a same-type 4-byte source takes part with its spare byte, which wraps. ClearSpare sets
// the destination's spare byte to 0 instead.
template <class D, class S, class P, bool ClearSpare = false>
struct SatBytesOp {
    explicit SatBytesOp(BltParam) {}
    static uint32_t Source(uint32_t v) {
        if constexpr (S::kHasAlpha) {
            const uint8_t* mul = AlphaMulTable[v >> 24];
            return uint32_t(mul[v & 255]) | uint32_t(mul[(v >> 8) & 255]) << 8 | uint32_t(mul[(v >> 16) & 255]) << 16;
        } else {
            return v;
        }
    }
    void operator()(uint8_t* d, const uint8_t* s) const {
        uint32_t r = P::Arith::Bytes(Source(S::Load(s)), D::Load(d));
        D::Store(d, ClearSpare ? r & 0x00FFFFFFu : r);
    }
    // 4-byte destinations from the same type, or from the alpha twin where the spare byte stays.
    void Row(uint8_t* d, const uint8_t* s, int width) const
        requires(D::kSize == 4 && (D::kType == S::kType || !ClearSpare))
    {
        int i = 0;
        if (const BltVectorRows* rows = CurrentBltVectorRows())
            i = (rows->*(S::kHasAlpha ? P::kRowAlpha32 : P::kRow32))(d, s, width, 0);
        for (; i < width; ++i) (*this)(d + 4 * i, s + 4 * i);
    }
};

// Onto ARGB8888 / ABGR8888: each colour channel with the source channel of the same name, in
// 8 bits, clamped; alpha 0xFF. The source's fourth byte is never read.
template <class D, class S, class P>
struct SatToAlpha32Op {
    explicit SatToAlpha32Op(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        Rgba8 dc = D::Unpack(D::Load(d));
        CombineChannels<P>(dc, S::Unpack(S::Load(s)));
        dc.a = 255;
        D::Store(d, D::Pack(dc));
    }
};

// The operations as the tables name them.
template <class D, class S> using OpAddWord = SatWordOp<D, S, AddOps>;
template <class D, class S> using OpSubWord = SatWordOp<D, S, SubOps>;
template <class D, class S> using OpAddWordScaled = SatWordScaledOp<D, S, AddOps>;
template <class D, class S> using OpSubWordScaled = SatWordScaledOp<D, S, SubOps>;
template <class D, class S> using OpAddCell = SatCellOp<D, S, AddOps>;
template <class D, class S> using OpSubCell = SatCellOp<D, S, SubOps>;
template <class D, class S> using OpAddBytes = SatBytesOp<D, S, AddOps>;
template <class D, class S> using OpSubBytes = SatBytesOp<D, S, SubOps>;
template <class D, class S> using OpAddToAlpha32 = SatToAlpha32Op<D, S, AddOps>;
template <class D, class S> using OpSubToAlpha32 = SatToAlpha32Op<D, S, SubOps>;

template <class D, class S> using OpAddSat_RGB565 = OpAddCell<D, S>;
template <class D, class S> using OpAddSat_RGB555 = OpAddCell<D, S>;
template <class D, class S> using OpAddPixelAlpha_RGB565_ARGB4565 = OpAddWordScaled<D, S>;
template <class D, class S> using OpAddPixelAlpha_RGB888_ARGB8888 = OpAddBytes<D, S>;
template <class D, class S> using OpAddPixelAlpha_BGR888_ABGR8888 = OpAddBytes<D, S>;
template <class D, class S> using OpAddPixelAlpha_XRGB8888_ARGB8888 = OpAddBytes<D, S>;
template <class D, class S> using OpAddPixelAlpha_XBGR8888_ABGR8888 = OpAddBytes<D, S>;
template <class D, class S> using OpAddSat_ARGB8888_ARGB8888 = OpAddToAlpha32<D, S>;
template <class D, class S> using OpAddSat_ABGR8888_ABGR8888 = OpAddToAlpha32<D, S>;
template <class D, class S> using OpAddSat_ARGB8888_BGR888 = OpAddToAlpha32<D, S>;
template <class D, class S> using OpAddSat_ABGR8888_RGB888 = OpAddToAlpha32<D, S>;

template <class D, class S> using OpSubSatBits_RGB565 = OpSubWord<D, S>;
template <class D, class S> using OpSubSatBits_RGB888 = OpSubBytes<D, S>;
template <class D, class S> using OpSubSat_RGB565 = OpSubCell<D, S>;
template <class D, class S> using OpSubSat_RGB555 = OpSubCell<D, S>;
template <class D, class S> using OpSubPixelAlpha_RGB888_ARGB8888 = OpSubBytes<D, S>;
template <class D, class S> using OpSubPixelAlpha_BGR888_ABGR8888 = OpSubBytes<D, S>;
template <class D, class S> using OpSubPixelAlpha_XRGB8888_ARGB8888 = OpSubBytes<D, S>;
template <class D, class S> using OpSubPixelAlpha_XBGR8888_ABGR8888 = SatBytesOp<D, S, SubOps, true>;

} // namespace zuderadeDoruVAV3ed
