// BltForward.h -- routines that the dispatch reaches through a forwarding step rather than by
// the tables alone: the vector form of the constant-alpha blend on XRGB8888 <- XRGB8888.
#pragma once

#include <span>

#include "sdk/draw/blit/BltRoutines.h"

namespace zuderadeDoruVAV3ed {

// Kind 14 on XRGB8888 <- XRGB8888 with its own formula: each colour byte
// min(255, (s a >> 8) + (d (255 - a) >> 8)), spare byte 0, no equality test.
int BltBlendConstMmx_XRGB8888_XRGB8888(const CSurfaceInfo& source, const CSurfaceInfo& dest, BltParam param,
                                       const BltInfo& info);

// The forwarding step of kind 14 on XRGB8888 <- XRGB8888: reads CpuFeatureCache on every call and
// runs the vector form when the MMX bit is set, else BltBlendConst_XRGB8888_XRGB8888.
int CallBltBlendConst_XRGB8888_XRGB8888(const CSurfaceInfo& source, const CSurfaceInfo& dest, BltParam param,
                                        const BltInfo& info);

// A pair whose dispatch runs a forwarding step in place of its table routine.
struct BltForwarding {
    int kind, dst_type, src_type;
    BltRoutine routine;
};
std::span<const BltForwarding> GetBltForwardings();

} // namespace zuderadeDoruVAV3ed
