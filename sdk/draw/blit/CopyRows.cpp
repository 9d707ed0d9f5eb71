// CopyRows.cpp -- picks the vector route of a copy row by the usable processor features.
#include "sdk/draw/blit/CopyRows.h"

#include "sdk/draw/CpuFeature.h"

namespace zuderadeDoruVAV3ed {

CopyRowRoute FindCopyRowRoute(int dst_type, int src_type) {
#if defined(__x86_64__)
    const uint32_t features = UsableCpuFeatures();
    if (features & kCpuFeatureAvx2) return CopyRowRouteAvx2(dst_type, src_type);
    if (features & kCpuFeatureSse2) return CopyRowRouteSse2(dst_type, src_type);
#endif
    return {};
}

} // namespace zuderadeDoruVAV3ed
