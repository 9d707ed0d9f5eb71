// Rand.h -- CRand: the random generator, the standard 32-bit Mersenne Twister (MT19937).
#pragma once

#include <cstdint>

#include "sdk/app/Serializable.h"

namespace zuderadeDoruVAV3ed {

// Unseeded it gives the standard sequence of seed 5489.
class CRand : public ISerializable {
public:
    CRand() { SetSeed(5489u); }

    void SetSeed(uint32_t seed);
    // The next 32-bit number.
    uint32_t Get();

private:
    void Twist();

    static constexpr int kN = 624;
    uint32_t state_[kN];   // the generator's words
    int index_ = kN;       // next word to temper; kN: twist first
};

} // namespace zuderadeDoruVAV3ed
