// BltVector.cpp -- the choice between the scalar route and the vector rows.
#include "sdk/draw/blit/BltVector.h"

#include "sdk/draw/CpuFeature.h"

namespace zuderadeDoruVAV3ed {

namespace {

// The level that a feature set allows.
BltVectorLevel LevelOf(uint32_t features) {
    if ((features & kCpuFeatureAvx2) && kBltVectorRowsAvx2) return BltVectorLevel::kAvx2;
    if (features & kCpuFeatureSse2) return BltVectorLevel::kSse2;
    return BltVectorLevel::kScalar;
}

} // namespace

// The level is the vector route limit that every blitter family shares (CpuFeature.h), seen as
// the rows this family has.
BltVectorLevel BltVectorBest() {
    return LevelOf(CpuFeatureCache);
}

BltVectorLevel GetBltVectorLevel() {
    return LevelOf(UsableCpuFeatures());
}

BltVectorLevel SetBltVectorLevel(BltVectorLevel level) {
    switch (level) {
    case BltVectorLevel::kAvx2: LimitCpuFeatures(~0u); break;
    case BltVectorLevel::kSse2: LimitCpuFeatures(~kCpuFeatureAvx2); break;
    default: LimitCpuFeatures(0); break;
    }
    return GetBltVectorLevel();
}

const BltVectorRows* CurrentBltVectorRows() {
    switch (GetBltVectorLevel()) {
    case BltVectorLevel::kAvx2: return kBltVectorRowsAvx2;
    case BltVectorLevel::kSse2: return &kBltVectorRowsSse2;
    default: return nullptr;
    }
}

} // namespace zuderadeDoruVAV3ed
