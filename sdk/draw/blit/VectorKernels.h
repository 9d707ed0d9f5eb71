// VectorKernels.h -- the vector rows of BltVector.h written once over GCC vector types of N
// bytes; BltVectorSse2.cpp and BltVectorAvx2.cpp instantiate them for 16 and 32 bytes under
// their own target options. Everything here has internal linkage, so the two instantiations
// never meet at link time. The 16-bit arithmetic works on the even and the odd bytes of each
// 32-bit pixel as two 16-bit halves, so products and sums stay within their half.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "sdk/draw/blit/AddSubArith.h"
#include "sdk/draw/blit/BltVector.h"

namespace zuderadeDoruVAV3ed {
namespace {

template <int N>
struct VectorKernels {
    typedef uint32_t U32 __attribute__((vector_size(N)));
    typedef int32_t I32 __attribute__((vector_size(N)));
    typedef uint16_t U16 __attribute__((vector_size(N)));
    static constexpr int kLanes = N / 4;

    static U32 Load(const uint8_t* p) {
        U32 v;
        std::memcpy(&v, p, N);
        return v;
    }
    static void Store(uint8_t* p, U32 v) { std::memcpy(p, &v, N); }

    // n / 255, truncated, for every 16-bit n: the high half of n * 0x8081, shifted right by 7
    // (the same quotient as (n + 1 + (n >> 8)) >> 8, in two instructions).
    static U16 Div255(U16 n) {
        if constexpr (N == 16)
            return (U16)_mm_srli_epi16(_mm_mulhi_epu16((__m128i)n, _mm_set1_epi16(short(0x8081))), 7);
        else
            return (U16)_mm256_srli_epi16(_mm256_mulhi_epu16((__m256i)n, _mm256_set1_epi16(short(0x8081))), 7);
    }
    static U16 Even(U32 v) { return (U16)(v & 0x00FF00FFu); }
    static U16 Odd(U32 v) { return (U16)((v >> 8) & 0x00FF00FFu); }
    static U32 Join(U16 even, U16 odd) { return (U32)even | ((U32)odd << 8); }
    static U32 Broadcast(uint32_t x) { return U32{} + x; }
    // x (below 65536) in every 16-bit lane.
    static U16 Splat16(uint32_t x) { return (U16)Broadcast(x * 0x10001u); }
    // The factor x in both halves of every pixel.
    static U16 Factor(U32 x) { return (U16)(x | (x << 16)); }
    // Where the three colour bytes of s and d agree: all ones.
    static I32 SameColour(U32 s, U32 d) { return ((s ^ d) & 0x00FFFFFFu) == 0; }

    // Each byte: fs * s / 255 + fd * d / 255 (16-bit halves), factors given per pixel; Wrap keeps
    // the sum modulo 256 where it may pass 255.
    template <bool Wrap>
    static U32 Mix(U32 s, U32 d, U16 fs, U16 fd) {
        U16 even = Div255(fs * Even(s)) + Div255(fd * Even(d));
        U16 odd = Div255(fs * Odd(s)) + Div255(fd * Odd(d));
        if constexpr (Wrap) return Join(even & 0xFF, odd & 0xFF);
        return Join(even, odd);
    }

    // The constants of one row: the two 16-bit factors of the 8-bit blends, the two levels of the
    // 16-bit ones.
    struct Ctx {
        U16 fs, fd, ls, ld;
    };
    static Ctx ConstFactors(uint32_t param) {
        uint32_t a = param & 255;
        return {Factor(Broadcast(a)), Factor(Broadcast(255 - a)), Splat16(a >> 4), Splat16(15 - (a >> 4))};
    }
    static Ctx RateFactors(uint32_t param) {
        uint32_t a = param & 255, b = param >> 8 & 255;
        return {Factor(Broadcast(a)), Factor(Broadcast(b)), Splat16(a >> 4), Splat16(b >> 4)};
    }

    // Runs F(d, s) -> new d on every whole vector of a row of 4-byte pixels (Pixels = kLanes) or
    // of 2-byte pixels (Pixels = 2 * kLanes, two to a 32-bit lane).
    template <U32 (*F)(U32, U32, const Ctx&), int Pixels>
    static int Rows(uint8_t* d, const uint8_t* s, int width, const Ctx& c) {
        int done = 0;
        for (; done + Pixels <= width; done += Pixels, d += N, s += N) Store(d, F(Load(d), Load(s), c));
        return done;
    }
    template <U32 (*F)(U32, U32, const Ctx&)>
    static int Row16(uint8_t* d, const uint8_t* s, int w, uint32_t) { return Rows<F, 2 * kLanes>(d, s, w, Ctx{}); }
    template <U32 (*F)(U32, U32, const Ctx&)>
    static int Row16Const(uint8_t* d, const uint8_t* s, int w, uint32_t p) { return Rows<F, 2 * kLanes>(d, s, w, ConstFactors(p)); }
    template <U32 (*F)(U32, U32, const Ctx&)>
    static int Row16Rates(uint8_t* d, const uint8_t* s, int w, uint32_t p) { return Rows<F, 2 * kLanes>(d, s, w, RateFactors(p)); }
    template <U32 (*F)(U32, U32, const Ctx&)>
    static int Row32(uint8_t* d, const uint8_t* s, int w, uint32_t) { return Rows<F, kLanes>(d, s, w, Ctx{}); }
    template <U32 (*F)(U32, U32, const Ctx&)>
    static int Row32Const(uint8_t* d, const uint8_t* s, int w, uint32_t p) { return Rows<F, kLanes>(d, s, w, ConstFactors(p)); }
    template <U32 (*F)(U32, U32, const Ctx&)>
    static int Row32Rates(uint8_t* d, const uint8_t* s, int w, uint32_t p) { return Rows<F, kLanes>(d, s, w, RateFactors(p)); }

    static U32 Add565(U32 d, U32 s, const Ctx&) { return SatAddArith::Bits565x2<U32, I32>(s, d); }
    static U32 Sub565(U32 d, U32 s, const Ctx&) { return SatSubArith::Bits565x2<U32, I32>(s, d); }
    static U32 Add555(U32 d, U32 s, const Ctx&) { return SatAddArith::Bits555x2<U32>(s & 0x7FFF7FFFu, d); }
    static U32 Sub555(U32 d, U32 s, const Ctx&) { return SatSubArith::Bits555x2<U32>(s & 0x7FFF7FFFu, d); }
    static U32 Add32(U32 d, U32 s, const Ctx&) { return SatAddArith::Bytes<U32>(s, d); }
    static U32 Sub32(U32 d, U32 s, const Ctx&) { return SatSubArith::Bytes<U32>(s, d); }

    // The three colour bytes of an 8888 alpha pixel times its alpha / 255, the fourth byte 0.
    static U32 Premultiplied(U32 s) {
        U16 a = Factor(s >> 24);
        return Join(Div255(a * Even(s)), Div255(a * Odd(s))) & 0x00FFFFFFu;
    }
    static U32 AddAlpha32(U32 d, U32 s, const Ctx&) { return SatAddArith::Bytes<U32>(Premultiplied(s), d); }
    static U32 SubAlpha32(U32 d, U32 s, const Ctx&) { return SatSubArith::Bytes<U32>(Premultiplied(s), d); }

    static U32 AlphaBlend32(U32 d, U32 s, const Ctx&) {
        U32 a = s >> 24;
        U32 mixed = Mix<false>(s, d, Factor(a), Factor(255 - a)) & 0x00FFFFFFu;
        return SameColour(s, d) ? d : mixed;
    }
    // The high halves of the 16-bit products.
    static U16 MulHigh(U16 x, U16 y) {
        if constexpr (N == 16)
            return (U16)_mm_mulhi_epu16((__m128i)x, (__m128i)y);
        else
            return (U16)_mm256_mulhi_epu16((__m256i)x, (__m256i)y);
    }
    // A 16-bit colour word per 16-bit lane with every field times level / 15, truncated:
    // field * level <= 945, for which (n * 4370) >> 16 is n / 15 exactly.
    template <int GBits>
    static U16 ScaleWord(U16 p, U16 level) {
        const U16 k = Splat16(4370);
        U16 r = MulHigh((p >> (5 + GBits) & 31) * level, k);
        U16 g = MulHigh((p >> 5 & ((1 << GBits) - 1)) * level, k);
        U16 b = MulHigh((p & 31) * level, k);
        return r << (5 + GBits) | g << 5 | b;
    }
    template <int GBits>
    static U32 BlendConst16(U32 d, U32 s, const Ctx& c) {
        U16 dw = (U16)d, sw = (U16)s;
        U16 mixed = ScaleWord<GBits>(sw, c.ls) + ScaleWord<GBits>(dw, c.ld);
        return (U32)(sw == dw ? dw : mixed);
    }
    template <int GBits>
    static U32 BlendRates16(U32 d, U32 s, const Ctx& c) {
        return (U32)(ScaleWord<GBits>((U16)s, c.ls) + ScaleWord<GBits>((U16)d, c.ld));
    }

    // x * 255 / sum, truncated, where x <= sum <= 255: the single-precision quotient is never
    // within its rounding error of the next integer, so truncating it is exact.
    static U32 Share(U32 x, U32 sum) {
        if constexpr (N == 16)
            return (U32)_mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps((__m128i)(x * 255)), _mm_cvtepi32_ps((__m128i)sum)));
        else
            return (U32)_mm256_cvttps_epi32(
                _mm256_div_ps(_mm256_cvtepi32_ps((__m256i)(x * 255)), _mm256_cvtepi32_ps((__m256i)sum)));
    }
    static U32 Compose32(U32 d, U32 s, const Ctx&) {
        U32 sa = s >> 24, da = d >> 24;
        U32 share = (U32)Div255((U16)(da * (255 - sa)));
        U32 sum = sa + share;
        U32 mixed = (Mix<false>(s, d, Factor(Share(sa, sum)), Factor(Share(share, sum))) & 0x00FFFFFFu) | sum << 24;
        return sum == 0 ? d & 0x00FFFFFFu : mixed;
    }
    static U32 BlendConst32(U32 d, U32 s, const Ctx& c) {
        return SameColour(s, d) ? d : Mix<false>(s, d, c.fs, c.fd) & 0x00FFFFFFu;
    }
    // The constant alpha scaled by the source's own: f = sA * a / 255 per pixel.
    static U32 BlendConstAlpha32(U32 d, U32 s, const Ctx& c) {
        U32 f = (U32)Div255((U16)(s >> 24) * c.fs) & 0xFFFFu;
        U32 mixed = Mix<false>(s, d, Factor(f), Factor(255 - f)) & 0x00FFFFFFu;
        return SameColour(s, d) ? d : mixed;
    }
    static U32 BlendConstMmx32(U32 d, U32 s, const Ctx& c) {
        U16 even = ((c.fs * Even(s)) >> 8) + ((c.fd * Even(d)) >> 8);
        U16 odd = ((c.fs * Odd(s)) >> 8) + ((c.fd * Odd(d)) >> 8);
        even = even > 255 ? 255 : even;
        odd = odd > 255 ? 255 : odd;
        return Join(even, odd) & 0x00FFFFFFu;
    }
    static U32 BlendRates32(U32 d, U32 s, const Ctx& c) { return Mix<true>(s, d, c.fs, c.fd) & 0x00FFFFFFu; }

    static constexpr BltVectorRows kRows = {
        Row16<Add565>,           Row16<Sub565>,           Row16<Add555>,
        Row16<Sub555>,           Row32<Add32>,            Row32<Sub32>,
        Row32<AlphaBlend32>,     Row32<Compose32>,        Row32Const<BlendConst32>,
        Row32Const<BlendConstMmx32>, Row32Rates<BlendRates32>,
        Row16Const<BlendConst16<6>>, Row16Const<BlendConst16<5>>,
        Row16Rates<BlendRates16<6>>, Row16Rates<BlendRates16<5>>,
        Row32<AddAlpha32>,       Row32<SubAlpha32>,       Row32Const<BlendConstAlpha32>};
};

} // namespace
} // namespace zuderadeDoruVAV3ed
