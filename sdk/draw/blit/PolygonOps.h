// PolygonOps.h -- the per-pixel operations of the polygon blitters: copy (plain or keyed through
// the rectangle blitters' key wrapper) and alpha blend, each over a (destination, source) pair
// of pixel traits.
#pragma once

#include <cstdint>
#include <cstring>

#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltParam.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

// The texel's bytes unchanged: the pair shares one layout, spare bits and alpha included.
template <class D, class S>
struct OpPolyCopy {
    static_assert(D::kSize == S::kSize);
    explicit OpPolyCopy(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const { std::memcpy(d, s, D::kSize); }
};

// Onto an alpha cell: the 16-bit colour word as it is, byte 2 the source cell's alpha byte or
// level 15 (opaque) for a plain 16-bit source; byte 3 of the cell keeps its value.
template <class D, class S>
struct OpPolyCopyToCell {
    explicit OpPolyCopyToCell(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        std::memcpy(d, s, 2);
        d[2] = S::kHasAlpha ? s[2] : uint8_t{0x0F};
    }
};

// The colour in the destination's layout, channels by name: the source alpha dropped onto a
// plain type (spare byte 0, bit 15 clear), alpha 255 onto an alpha type from a plain one.
template <class D, class S>
struct OpPolyCopyConvert {
    explicit OpPolyCopyConvert(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const { D::Store(d, ConvertPixelValue<D, S>(S::Load(s))); }
};

// One 8-bit channel blended at row a: source share plus destination share, never above 255.
inline uint8_t BlendChannel(unsigned a, unsigned s, unsigned d) {
    return static_cast<uint8_t>(AlphaMulTable[a][s] + AlphaComplementTable[a][d]);
}

// 16-bit colour words of one layout, unpacked to 8-bit channels (value in the top bits), blended
// at row 255 for a plain source or 16 x the source cell's level (low four bits), packed again.
// No equality test; only the destination's colour word is written (bit 15 of 555 cleared).
template <class D, class S>
struct OpPolyBlendWord {
    static_assert(D::kGBits == S::kGBits, "one colour layout");
    explicit OpPolyBlendWord(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        const unsigned a = S::kHasAlpha ? 16u * (s[2] & 15u) : 255u;
        const Rgba8 t = D::Unpack(LoadPixelValue<2>(s)), o = D::Unpack(LoadPixelValue<2>(d));
        const unsigned r = BlendChannel(a, t.r, o.r), g = BlendChannel(a, t.g, o.g), b = BlendChannel(a, t.b, o.b);
        StorePixelValue<2>(d, (r >> 3) << D::kRShift | (g >> (8 - D::kGBits)) << D::kGShift | b >> 3);
    }
};

// An alpha cell onto its plain 16-bit twin: whole words scaled in fifteenths by the 16-bit
// tables, T[L][texel] + T[15 - L][destination], L the low four bits of the cell's byte 2.
template <class D, class S>
struct OpPolyBlendLevels {
    static_assert(D::kGBits == S::kGBits, "one colour layout");
    explicit OpPolyBlendLevels(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        const auto& table = D::kGBits == 6 ? AlphaTable565 : AlphaTable555;
        const unsigned level = s[2] & 15u;
        StorePixelValue<2>(d, table[level][LoadPixelValue<2>(s)] + table[15 - level][LoadPixelValue<2>(d)]);
    }
};

// Three 8-bit channels, matched by name (bytes 0 and 2 exchanged between B, G, R and R, G, B
// orders), blended at the source's alpha byte or at 255 for a plain source. A destination whose
// colour already equals the texel's is left alone; otherwise a 4-byte destination's byte 3
// becomes 255 (alpha) or 0 (spare).
template <class D, class S>
struct OpPolyBlendBytes {
    static constexpr bool kExchanged = D::kRShift != S::kRShift;
    explicit OpPolyBlendBytes(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const {
        const uint8_t t0 = s[kExchanged ? 2 : 0], t1 = s[1], t2 = s[kExchanged ? 0 : 2];
        if (d[0] == t0 && d[1] == t1 && d[2] == t2) return;
        const unsigned a = S::kHasAlpha ? s[3] : 255u;
        d[0] = BlendChannel(a, t0, d[0]);
        d[1] = BlendChannel(a, t1, d[1]);
        d[2] = BlendChannel(a, t2, d[2]);
        if constexpr (D::kSize == 4) d[3] = D::kHasAlpha ? 255 : 0;
    }
};

} // namespace zuderadeDoruVAV3ed
