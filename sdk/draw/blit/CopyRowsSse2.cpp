// CopyRowsSse2.cpp -- the copy rows with 128-bit vectors (SSE2, present on every x86-64).
#include "sdk/draw/blit/CopyRows.h"

#if defined(__x86_64__)

#include <emmintrin.h>

#include <cstring>

#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

namespace {

#define COPY_ROWS_TARGET

struct Lanes {
    using V = uint32_t __attribute__((vector_size(16)));
    static constexpr int kCount = 4;

    template <int Size>
    [[gnu::always_inline]] static V Load(const uint8_t* p) {
        if constexpr (Size == 4) {
            return reinterpret_cast<V>(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        } else if constexpr (Size == 2) {
            __m128i w = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            return reinterpret_cast<V>(_mm_unpacklo_epi16(w, _mm_setzero_si128()));
        } else {
            // Bytes 0-7 and 6-11 as two 64-bit halves, then each half split into two 3-byte lanes.
            __m128i lo = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            __m128i hi = _mm_srli_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 4)), 16);
            __m128i u = _mm_unpacklo_epi64(lo, hi);
            const __m128i even = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
            const __m128i odd = _mm_set_epi32(0x00FFFFFF, 0, 0x00FFFFFF, 0);
            return reinterpret_cast<V>(_mm_or_si128(_mm_and_si128(u, even), _mm_and_si128(_mm_slli_epi64(u, 8), odd)));
        }
    }

    template <int Size>
    [[gnu::always_inline]] static void Store(uint8_t* p, V v) {
        __m128i x = reinterpret_cast<__m128i>(v);
        if constexpr (Size == 4) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), x);
        } else if constexpr (Size == 2) {
            // Sign-extended low halves pack without saturating.
            x = _mm_srai_epi32(_mm_slli_epi32(x, 16), 16);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(x, x));
        } else {
            // Two lanes per 64-bit half joined into 6 bytes, then the halves joined into 12.
            const __m128i even = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
            const __m128i odd = _mm_set_epi32(0x0000FFFF, 0xFF000000, 0x0000FFFF, 0xFF000000);
            __m128i h = _mm_or_si128(_mm_and_si128(x, even), _mm_and_si128(_mm_srli_epi64(x, 8), odd));
            __m128i joined = _mm_or_si128(_mm_move_epi64(h), _mm_srli_si128(_mm_unpackhi_epi64(_mm_setzero_si128(), h), 2));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(p), joined);
            uint32_t tail = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(joined, 8)));
            std::memcpy(p + 8, &tail, 4);
        }
    }
};

#include "sdk/draw/blit/CopyRowsKernel.h"

} // namespace

CopyRowRoute CopyRowRouteSse2(int dst_type, int src_type) {
    static const CopyRowTable table;
    return table.Find(dst_type, src_type);
}

} // namespace zuderadeDoruVAV3ed

#endif
