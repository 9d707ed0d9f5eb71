// PixelTraits.h -- per-format pixel traits (size, channel layout, unaligned load/store) and
// generic access to one pixel of any SurfaceType as 8-bit channels.
//
// Whole rows are converted by ConvertPixelRow, declared in sdk/draw/PixelConvert.h.
//
// Conversion rules, shared by every copy and conversion in the SDK:
//  - narrowing keeps the high bits (truncation, as CPixel565::SetRGB does);
//  - widening shifts left and fills with zeros (a 5-bit 31 reads as 248);
//  - an 8-bit alpha becomes the 4-bit level a >> 4, a level L reads as L * 17;
//  - alpha is dropped onto types without alpha; types without alpha read as 255 (level 15);
//  - spare bytes and bit 15 of RGB555 are written 0.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "sdk/draw/SurfaceInfo.h"

namespace zuderadeDoruVAV3ed {

static_assert(std::endian::native == std::endian::little, "pixel values are little-endian words");

// One pixel as four 8-bit channels.
struct Rgba8 {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    friend bool operator==(const Rgba8&, const Rgba8&) = default;
};

// The pixel at p as an unsigned value of Size bytes (little-endian, any alignment).
template <int Size>
inline uint32_t LoadPixelValue(const uint8_t* p) {
    if constexpr (Size == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else if constexpr (Size == 3) {
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    } else {
        static_assert(Size == 4);
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
}

// Writes the low Size bytes of v at p (any alignment).
template <int Size>
inline void StorePixelValue(uint8_t* p, uint32_t v) {
    if constexpr (Size == 2) {
        uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, 2);
    } else if constexpr (Size == 3) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    } else {
        static_assert(Size == 4);
        std::memcpy(p, &v, 4);
    }
}

// Types of three or four 8-bit channels: red in byte RByte, green in byte 1, blue in byte
// 2 - RByte, then (4-byte types) alpha or a spare byte in byte 3.
template <int Type, int Size, int RByte, bool Alpha>
struct BytePixel {
    static constexpr int kType = Type;
    static constexpr int kSize = Size;
    static constexpr bool kHasAlpha = Alpha;
    static constexpr bool kByteChannels = true;
    static constexpr int kRShift = RByte * 8, kRBits = 8;
    static constexpr int kGShift = 8, kGBits = 8;
    static constexpr int kBShift = (2 - RByte) * 8, kBBits = 8;
    static constexpr int kAShift = 24, kABits = Alpha ? 8 : 0;
    // The bits that carry the value; the rest is written 0 (spare byte).
    static constexpr uint32_t kValueMask = Alpha ? 0xFFFFFFFFu : 0x00FFFFFFu;

    static uint32_t Load(const uint8_t* p) { return LoadPixelValue<Size>(p); }
    static void Store(uint8_t* p, uint32_t v) { StorePixelValue<Size>(p, v); }
    static constexpr Rgba8 Unpack(uint32_t v) {
        return {uint8_t(v >> kRShift), uint8_t(v >> 8), uint8_t(v >> kBShift),
                Alpha ? uint8_t(v >> 24) : uint8_t(255)};
    }
    static constexpr uint32_t Pack(Rgba8 c) {
        return uint32_t(c.r) << kRShift | uint32_t(c.g) << 8 | uint32_t(c.b) << kBShift |
               (Alpha ? uint32_t(c.a) << 24 : 0u);
    }
};

// A 16-bit colour word (5-bit red on top, GBits of green, 5-bit blue at the bottom), alone or,
// as a Cell, in a 4-byte cell with the alpha level 0..15 in the low four bits of byte 2.
template <int Type, int GBits, bool Cell>
struct WordPixel {
    static constexpr int kType = Type;
    static constexpr int kSize = Cell ? 4 : 2;
    static constexpr bool kHasAlpha = Cell;
    static constexpr bool kByteChannels = false;
    static constexpr int kRShift = 5 + GBits, kRBits = 5;
    static constexpr int kGShift = 5, kGBits = GBits;
    static constexpr int kBShift = 0, kBBits = 5;
    static constexpr int kAShift = 16, kABits = Cell ? 4 : 0;
    static constexpr uint32_t kGMask = (1u << GBits) - 1;
    static constexpr uint32_t kColourMask = (31u << kRShift) | (kGMask << 5) | 31u;
    static constexpr uint32_t kValueMask = kColourMask | (Cell ? 0x000F0000u : 0u);

    static uint32_t Load(const uint8_t* p) { return LoadPixelValue<kSize>(p); }
    static void Store(uint8_t* p, uint32_t v) { StorePixelValue<kSize>(p, v); }
    static constexpr Rgba8 Unpack(uint32_t v) {
        return {uint8_t(((v >> kRShift) & 31) << 3), uint8_t(((v >> 5) & kGMask) << (8 - GBits)),
                uint8_t((v & 31) << 3), Cell ? uint8_t(((v >> 16) & 15) * 17) : uint8_t(255)};
    }
    static constexpr uint32_t Pack(Rgba8 c) {
        return uint32_t(c.r >> 3) << kRShift | uint32_t(c.g >> (8 - GBits)) << 5 | uint32_t(c.b >> 3) |
               (Cell ? uint32_t(c.a >> 4) << 16 : 0u);
    }
};

using PixelRGB565 = WordPixel<kSurfaceRGB565, 6, false>;
using PixelRGB555 = WordPixel<kSurfaceRGB555, 5, false>;
using PixelRGB888 = BytePixel<kSurfaceRGB888, 3, 2, false>;
using PixelBGR888 = BytePixel<kSurfaceBGR888, 3, 0, false>;
using PixelXRGB8888 = BytePixel<kSurfaceXRGB8888, 4, 2, false>;
using PixelXBGR8888 = BytePixel<kSurfaceXBGR8888, 4, 0, false>;
using PixelARGB4565 = WordPixel<kSurfaceARGB4565, 6, true>;
using PixelARGB4555 = WordPixel<kSurfaceARGB4555, 5, true>;
using PixelARGB8888 = BytePixel<kSurfaceARGB8888, 4, 2, true>;
using PixelABGR8888 = BytePixel<kSurfaceABGR8888, 4, 0, true>;

// One colour channel of SBits at SShift moved to DBits at DShift: widening to 8 bits with zero
// fill and narrowing by truncation together are a single shift of the field.
// V is uint32_t or a vector of uint32_t lanes (the vector row routes run the same rule per lane);
// always inlined, so a vector form is only ever compiled inside its caller's instruction set.
template <int SShift, int SBits, int DShift, int DBits, class V = uint32_t>
[[gnu::always_inline]] constexpr V MoveChannel(V v) {
    if constexpr (SBits >= DBits)
        return ((v >> (SShift + SBits - DBits)) & ((1u << DBits) - 1)) << DShift;
    else
        return ((v >> SShift) & ((1u << SBits) - 1)) << (DShift + DBits - SBits);
}

// A pixel value of type S as a pixel value of type D, by the rules at the top of this file;
// the same as D::Pack(S::Unpack(v)), written as shifts and masks so that rows vectorise.
template <class D, class S, class V = uint32_t>
[[gnu::always_inline]] constexpr V ConvertPixelValue(V v) {
    if constexpr (D::kType == S::kType) {
        return v & D::kValueMask;
    } else {
        V c = MoveChannel<S::kRShift, S::kRBits, D::kRShift, D::kRBits>(v) |
              MoveChannel<S::kGShift, S::kGBits, D::kGShift, D::kGBits>(v) |
              MoveChannel<S::kBShift, S::kBBits, D::kBShift, D::kBBits>(v);
        if constexpr (D::kABits == 0) {
            return c;   // alpha dropped
        } else if constexpr (S::kABits == 0) {
            return c | ((1u << D::kABits) - 1) << D::kAShift;   // opaque
        } else if constexpr (S::kABits == 4 && D::kABits == 8) {
            V level = (v >> S::kAShift) & 15u;
            return c | (level << 4 | level) << D::kAShift;   // level L reads as L * 17
        } else {
            return c | MoveChannel<S::kAShift, S::kABits, D::kAShift, D::kABits>(v);
        }
    }
}

// Calls f(Traits{}) with the traits of a runtime type; false (f not called) for a type without
// pixel traits (palette, 9, anything outside 3..13).
template <class F>
bool VisitPixelType(int type, F&& f) {
    switch (type) {
    case kSurfaceRGB565: f(PixelRGB565{}); return true;
    case kSurfaceRGB555: f(PixelRGB555{}); return true;
    case kSurfaceRGB888: f(PixelRGB888{}); return true;
    case kSurfaceBGR888: f(PixelBGR888{}); return true;
    case kSurfaceXRGB8888: f(PixelXRGB8888{}); return true;
    case kSurfaceXBGR8888: f(PixelXBGR8888{}); return true;
    case kSurfaceARGB4565: f(PixelARGB4565{}); return true;
    case kSurfaceARGB4555: f(PixelARGB4555{}); return true;
    case kSurfaceARGB8888: f(PixelARGB8888{}); return true;
    case kSurfaceABGR8888: f(PixelABGR8888{}); return true;
    default: return false;
    }
}

// True for the ten types that have pixel traits.
inline bool IsPixelType(int type) {
    return VisitPixelType(type, [](auto) {});
}

// The pixel at p of a runtime type as 8-bit channels ({0, 0, 0, 255} for a type without traits).
inline Rgba8 ReadPixel(int type, const uint8_t* p) {
    Rgba8 c{0, 0, 0, 255};
    VisitPixelType(type, [&](auto t) { c = decltype(t)::Unpack(decltype(t)::Load(p)); });
    return c;
}

// Writes 8-bit channels as one pixel of a runtime type at p (nothing for a type without traits).
inline void WritePixel(int type, uint8_t* p, Rgba8 c) {
    VisitPixelType(type, [&](auto t) { decltype(t)::Store(p, decltype(t)::Pack(c)); });
}

} // namespace zuderadeDoruVAV3ed
