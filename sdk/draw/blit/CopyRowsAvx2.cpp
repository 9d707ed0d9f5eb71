// CopyRowsAvx2.cpp -- the copy rows with 256-bit vectors (AVX2), chosen at run time. Only the
// functions marked with the target attribute use AVX2; nothing shared with other files does.
#include "sdk/draw/blit/CopyRows.h"

#if defined(__x86_64__)

// The pixel rule runs here on 256-bit lanes; it is always inlined into the AVX2 functions, so
// the warning about passing such vectors between functions without AVX does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

#include <immintrin.h>

#include <cstring>

#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

namespace {

#define COPY_ROWS_TARGET __attribute__((target("avx2")))

struct Lanes {
    using V = uint32_t __attribute__((vector_size(32)));
    static constexpr int kCount = 8;

    template <int Size>
    [[gnu::always_inline]] COPY_ROWS_TARGET static V Load(const uint8_t* p) {
        if constexpr (Size == 4) {
            return reinterpret_cast<V>(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
        } else if constexpr (Size == 2) {
            return reinterpret_cast<V>(_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
        } else {
            // Bytes 0-15 and 8-23 side by side; each half picks its four 3-byte pixels.
            __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
            __m256i x = _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
            const __m256i pick = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,
                                                  4, 5, 6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
            return reinterpret_cast<V>(_mm256_shuffle_epi8(x, pick));
        }
    }

    template <int Size>
    [[gnu::always_inline]] COPY_ROWS_TARGET static void Store(uint8_t* p, V v) {
        __m256i x = reinterpret_cast<__m256i>(v);
        if constexpr (Size == 4) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), x);
        } else if constexpr (Size == 2) {
            // Lanes hold at most 16 bits, so the unsigned pack keeps them; then the halves meet.
            __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(x, x), 0x08);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
        } else {
            // Each half drops its spare bytes (12 bytes left), then the halves are joined into 24.
            const __m256i drop = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                                  0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
            __m256i joined = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(x, drop), _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(joined));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 16), _mm256_extracti128_si256(joined, 1));
        }
    }
};

#include "sdk/draw/blit/CopyRowsKernel.h"

} // namespace

CopyRowRoute CopyRowRouteAvx2(int dst_type, int src_type) {
    static const CopyRowTable table;
    return table.Find(dst_type, src_type);
}

} // namespace zuderadeDoruVAV3ed

#endif
