// BltBlendConst.cpp -- instantiates the constant-alpha blend blitters of BltBlendConst.def.
#include "sdk/draw/blit/BltDefine.h"
#include "sdk/draw/blit/BlendOps.h"

namespace zuderadeDoruVAV3ed {
#include "sdk/draw/blit/BltBlendConst.def"
} // namespace zuderadeDoruVAV3ed

#include "sdk/draw/CpuFeature.h"
#include "sdk/draw/blit/BltForward.h"

namespace zuderadeDoruVAV3ed {

int BltBlendConstMmx_XRGB8888_XRGB8888(const CSurfaceInfo& s, const CSurfaceInfo& d, BltParam p, const BltInfo& i) {
    return BltRoutineBody<PixelXRGB8888, PixelXRGB8888, OpBlendConstMmx, KeyNone>(s, d, p, i);
}

int CallBltBlendConst_XRGB8888_XRGB8888(const CSurfaceInfo& s, const CSurfaceInfo& d, BltParam p, const BltInfo& i) {
    if (CpuFeatureCache & kCpuFeatureMmx) return BltBlendConstMmx_XRGB8888_XRGB8888(s, d, p, i);
    return BltBlendConst_XRGB8888_XRGB8888(s, d, p, i);
}

std::span<const BltForwarding> GetBltForwardings() {
    static const BltForwarding forwardings[] = {
        {kBltBlendConst, kSurfaceXRGB8888, kSurfaceXRGB8888, &CallBltBlendConst_XRGB8888_XRGB8888},
    };
    return forwardings;
}

} // namespace zuderadeDoruVAV3ed
