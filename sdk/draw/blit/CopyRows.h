// CopyRows.h -- whole rows of the copy kinds by vector routes: SSE2 always on x86-64, AVX2 when
// the processor has it. Each route gives exactly the pixels of the scalar rule of PixelTraits.h.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// width pixels of the source type converted onto the destination type (width >= 0).
using CopyRowFn = void (*)(uint8_t* d, const uint8_t* s, int width);
// The same, leaving every destination pixel whose source pixel has (value & key_mask) == key.
using CopyRowKeyedFn = void (*)(uint8_t* d, const uint8_t* s, int width, uint32_t key, uint32_t key_mask);

// True when a copy from S onto D keeps every byte: the same type with no bit cleared.
template <class D, class S>
constexpr bool CopyIsByteCopy() {
    return D::kType == S::kType && D::kValueMask == (D::kSize == 4 ? 0xFFFFFFFFu : (1u << (8 * D::kSize)) - 1);
}

struct CopyRowRoute {
    CopyRowFn copy = nullptr;
    CopyRowKeyedFn keyed = nullptr;
};

// The route for a pair of pixel types by the usable processor features (UsableCpuFeatures);
// both null when the scalar rule is to be used, or for a type without pixel traits.
CopyRowRoute FindCopyRowRoute(int dst_type, int src_type);

// The routes of one instruction set; callers go through FindCopyRowRoute.
CopyRowRoute CopyRowRouteSse2(int dst_type, int src_type);
CopyRowRoute CopyRowRouteAvx2(int dst_type, int src_type);

} // namespace zuderadeDoruVAV3ed
