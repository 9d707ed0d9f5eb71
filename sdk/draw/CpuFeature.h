// CpuFeature.h -- the processor-feature value that forwarding steps read to pick a vector form.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

constexpr uint32_t kCpuFeatureMmx = 1u << 2;   // 64-bit integer vectors

// Detected once at start-up; 0 (no vector forms) until then and on processors without them.
extern const uint32_t CpuFeatureCache;

} // namespace zuderadeDoruVAV3ed
