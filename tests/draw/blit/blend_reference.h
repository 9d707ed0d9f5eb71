// blend_reference.h -- a slow model of the saturating add and subtract kinds (2 to 5) and the
// blend kinds (10, 14 to 17), written channel by channel with plain integer division from the
// descriptions of the arithmetic, using neither the SDK's operations nor its tables.
#pragma once

#include <cstdint>

#include "blit_reference.h"

namespace blit_test {

// What one blit of these kinds is given: the key (keyed kinds), the alpha or rate a, the rate b,
// and whether kind 14 runs its vector formula.
struct RefBlendArgs {
    int kind = 0;
    uint32_t key_argb = 0;
    int a = 0, b = 0;
    bool vector_formula = false;
};

// The destination pixel value after one pixel of the kind (d itself where the kind skips it).
uint32_t RefBlendPixel(const RefBlendArgs& args, int dst_type, int src_type, uint32_t d, uint32_t s);

// The whole blit drawn into dest.memory, key test included.
void RefBlendBlt(TestSurface& dest, TestSurface& source, const BltInfo& info, const RefBlendArgs& args);

} // namespace blit_test
