// Rand.cpp -- MT19937 (Matsumoto and Nishimura), 32-bit, with the standard initialisation.
#include "sdk/app/Rand.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kM = 397;
constexpr uint32_t kMatrixA = 0x9908B0DFu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7FFFFFFFu;
} // namespace

void CRand::SetSeed(uint32_t seed) {
    state_[0] = seed;
    for (int i = 1; i < kN; ++i) {
        state_[i] = 1812433253u * (state_[i - 1] ^ (state_[i - 1] >> 30)) + static_cast<uint32_t>(i);
    }
    index_ = kN;
}

// Regenerates all kN words at once.
void CRand::Twist() {
    for (int i = 0; i < kN; ++i) {
        uint32_t y = (state_[i] & kUpperMask) | (state_[(i + 1) % kN] & kLowerMask);
        state_[i] = state_[(i + kM) % kN] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
    }
    index_ = 0;
}

uint32_t CRand::Get() {
    if (index_ >= kN) Twist();
    uint32_t y = state_[index_++];
    // Tempering.
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

} // namespace zuderadeDoruVAV3ed
