// BltVector.h -- the vector routes of the add/subtract and blend rows, and the run-time switch
// between them and the scalar table route (tests force each route in turn).
//
// A vector row function draws the longest prefix of a row that fills whole vectors and returns
// how many pixels it drew; the caller draws the rest with its scalar operation. Every function
// gives exactly the pixels of the scalar operation: the table entry x * v / 255 is computed from
// n = x * v as (n * 0x8081) >> 23, which equals the truncated quotient for every 16-bit n.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

enum class BltVectorLevel {
    kScalar = 0,   // the table route only
    kSse2 = 1,     // 128-bit vectors (always there on x86-64)
    kAvx2 = 2,     // 256-bit vectors, where the processor has them
};

// The best level this processor runs.
BltVectorLevel BltVectorBest();
// The level in use; at start the best one.
BltVectorLevel GetBltVectorLevel();
// Chooses the level through the shared route limit of CpuFeature.h, which every blitter family
// follows (lowered to the best one the processor runs); returns the level now in use.
BltVectorLevel SetBltVectorLevel(BltVectorLevel level);

// d: destination row, s: source row, width in pixels, param: the row's constant (alpha a in
// byte 0, rate b in byte 1). Returns the pixels drawn (a prefix of the row).
using BltVectorRow = int (*)(uint8_t* d, const uint8_t* s, int width, uint32_t param);

struct BltVectorRows {
    BltVectorRow add565, sub565;         // RGB565 <- RGB565, saturating
    BltVectorRow add555, sub555;         // RGB555 <- RGB555, saturating (source bit 15 masked)
    BltVectorRow add32, sub32;           // 4-byte same type: colour bytes saturate, spare wraps
    BltVectorRow alpha_blend32;          // 4-byte plain <- same-order 8888 alpha source, equal skipped
    BltVectorRow compose32;              // 8888 alpha <- the same type, the alphas composed
    BltVectorRow blend_const32;          // 4-byte plain same type, constant alpha, equal skipped
    BltVectorRow blend_const_mmx32;      // the vector formula of the constant-alpha blend
    BltVectorRow blend_rates32;          // 4-byte plain same type, two rates, bytes wrap
    BltVectorRow blend_const565, blend_const555;   // 16-bit plain same type, level a >> 4, equal skipped
    BltVectorRow blend_rates565, blend_rates555;   // 16-bit plain same type, levels a >> 4 and b >> 4
    BltVectorRow add_alpha32, sub_alpha32;         // 4-byte plain <- same-order 8888 alpha, scaled by it
    BltVectorRow blend_const_alpha32;              // 4-byte plain <- same-order 8888 alpha, a scaled by it
};

// The rows of the level in use; null at the scalar level.
const BltVectorRows* CurrentBltVectorRows();

// The rows of each vector level (AVX2 null where the build cannot make it).
extern const BltVectorRows kBltVectorRowsSse2;
extern const BltVectorRows* const kBltVectorRowsAvx2;

} // namespace zuderadeDoruVAV3ed
