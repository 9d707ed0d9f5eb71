// CpuFeature.h -- the processor-feature value that forwarding steps read to pick a vector form.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

constexpr uint32_t kCpuFeatureMmx = 1u << 2;    // 64-bit integer vectors
constexpr uint32_t kCpuFeatureSse2 = 1u << 4;   // 128-bit integer vectors
constexpr uint32_t kCpuFeatureAvx2 = 1u << 8;   // 256-bit integer vectors, usable by the system

// Detected once at start-up; 0 (no vector forms) until then and on processors without them.
extern const uint32_t CpuFeatureCache;

// The features that the vector row routes may use: CpuFeatureCache within the limit below.
uint32_t UsableCpuFeatures();

// Limits the vector row routes to the features in mask (0: the scalar routes only; ~0u: all that
// the processor has). Tests compare the routes this way; the limit applies to later calls.
void LimitCpuFeatures(uint32_t mask);

} // namespace zuderadeDoruVAV3ed
