// CpuFeature.cpp -- detects the processor features once, at start-up.
#include "sdk/draw/CpuFeature.h"

namespace zuderadeDoruVAV3ed {

namespace {

uint32_t DetectCpuFeatures() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("mmx") ? kCpuFeatureMmx : 0u;
#else
    return 0u;
#endif
}

} // namespace

const uint32_t CpuFeatureCache = DetectCpuFeatures();

} // namespace zuderadeDoruVAV3ed
