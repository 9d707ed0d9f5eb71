// ConstAlphaVectorAvx2.cpp -- the AVX2 row kernels of the constant-alpha kinds; run only on
// processors that have AVX2 (chosen at run time in ConstAlphaVector.cpp).
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <cstdint>

namespace zuderadeDoruVAV3ed {

#define CA_V __m256i
#define CA_I(op) _mm256_##op
#define CA_SI(op) _mm256_##op##_si256
#define CA_TARGET __attribute__((target("avx2")))
#define CA_NAME(n) Avx2##n
#include "sdk/draw/blit/ConstAlphaKernels.inc"

} // namespace zuderadeDoruVAV3ed
#endif
