// BltVector.cpp -- the choice between the scalar route and the vector rows.
#include "sdk/draw/blit/BltVector.h"

#include <atomic>

namespace zuderadeDoruVAV3ed {

namespace {

BltVectorLevel DetectBest() {
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (kBltVectorRowsAvx2 && __builtin_cpu_supports("avx2")) return BltVectorLevel::kAvx2;
    return BltVectorLevel::kSse2;
#else
    return BltVectorLevel::kScalar;
#endif
}

std::atomic<int>& Level() {
    static std::atomic<int> level{static_cast<int>(BltVectorBest())};
    return level;
}

} // namespace

BltVectorLevel BltVectorBest() {
    static const BltVectorLevel best = DetectBest();
    return best;
}

BltVectorLevel GetBltVectorLevel() {
    return static_cast<BltVectorLevel>(Level().load(std::memory_order_relaxed));
}

BltVectorLevel SetBltVectorLevel(BltVectorLevel level) {
    if (static_cast<int>(level) > static_cast<int>(BltVectorBest())) level = BltVectorBest();
    if (static_cast<int>(level) < 0) level = BltVectorLevel::kScalar;
    Level().store(static_cast<int>(level), std::memory_order_relaxed);
    return level;
}

const BltVectorRows* CurrentBltVectorRows() {
    switch (GetBltVectorLevel()) {
    case BltVectorLevel::kAvx2: return kBltVectorRowsAvx2;
    case BltVectorLevel::kSse2: return &kBltVectorRowsSse2;
    default: return nullptr;
    }
}

} // namespace zuderadeDoruVAV3ed
