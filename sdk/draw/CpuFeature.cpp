// CpuFeature.cpp -- detects the processor features once, at start-up, and holds the route limit.
#include "sdk/draw/CpuFeature.h"

#include <atomic>

namespace zuderadeDoruVAV3ed {

namespace {

uint32_t DetectCpuFeatures() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    uint32_t f = 0;
    if (__builtin_cpu_supports("mmx")) f |= kCpuFeatureMmx;
    if (__builtin_cpu_supports("sse2")) f |= kCpuFeatureSse2;
    // Set only when the system also saves the 256-bit registers.
    if (__builtin_cpu_supports("avx2")) f |= kCpuFeatureAvx2;
    return f;
#else
    return 0u;
#endif
}

std::atomic<uint32_t> g_feature_limit{~0u};

} // namespace

const uint32_t CpuFeatureCache = DetectCpuFeatures();

uint32_t UsableCpuFeatures() {
    return CpuFeatureCache & g_feature_limit.load(std::memory_order_relaxed);
}

void LimitCpuFeatures(uint32_t mask) {
    g_feature_limit.store(mask, std::memory_order_relaxed);
}

} // namespace zuderadeDoruVAV3ed
