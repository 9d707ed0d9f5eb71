// ConstAlphaVector.cpp -- the SSE2 row kernels of the constant-alpha kinds and the choice of route.
#include "sdk/draw/blit/ConstAlphaVector.h"

#include "sdk/draw/CpuFeature.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define CONST_ALPHA_X86 1
#endif

namespace zuderadeDoruVAV3ed {

#if CONST_ALPHA_X86
#define CA_V __m128i
#define CA_I(op) _mm_##op
#define CA_SI(op) _mm_##op##_si128
#define CA_TARGET
#define CA_NAME(n) Sse2##n
#include "sdk/draw/blit/ConstAlphaKernels.inc"
#undef CA_V
#undef CA_I
#undef CA_SI
#undef CA_TARGET
#undef CA_NAME

int Avx2ConstAlphaRow16(uint8_t* d, const uint8_t* s, int width, int level, bool is565, bool sub, const uint32_t* key);
int Avx2ConstAlphaRow32(uint8_t* d, const uint8_t* s, int width, uint8_t a, bool sub, const uint32_t* key);
#endif

namespace {

bool HasAvx2() {
    return (UsableCpuFeatures() & kCpuFeatureAvx2) != 0;
}

} // namespace

// The switch is the vector route limit that every blitter family shares (CpuFeature.h).
void SetConstAlphaVectorRoutes(bool on) {
    LimitCpuFeatures(on ? ~0u : 0u);
}
bool ConstAlphaVectorRoutes() {
    return (UsableCpuFeatures() & kCpuFeatureSse2) != 0;
}

int ConstAlphaRow16(uint8_t* d, const uint8_t* s, int width, int level, bool is565, bool sub, const uint32_t* key) {
#if CONST_ALPHA_X86
    if (!ConstAlphaVectorRoutes()) return 0;
    int done = HasAvx2() ? Avx2ConstAlphaRow16(d, s, width, level, is565, sub, key) : 0;
    return done + Sse2ConstAlphaRow16(d + 2 * done, s + 2 * done, width - done, level, is565, sub, key);
#else
    return 0;
#endif
}

int ConstAlphaRow32(uint8_t* d, const uint8_t* s, int width, uint8_t a, bool sub, const uint32_t* key) {
#if CONST_ALPHA_X86
    if (!ConstAlphaVectorRoutes()) return 0;
    int done = HasAvx2() ? Avx2ConstAlphaRow32(d, s, width, a, sub, key) : 0;
    return done + Sse2ConstAlphaRow32(d + 4 * done, s + 4 * done, width - done, a, sub, key);
#else
    return 0;
#endif
}

} // namespace zuderadeDoruVAV3ed
