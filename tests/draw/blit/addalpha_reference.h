// addalpha_reference.h -- a plain model of the constant-alpha add and subtract kinds 6 to 9,
// channel by channel in integer arithmetic, beside the format model of blit_reference.h.
#pragma once

#include <cstdint>

#include "blit_reference.h"

namespace blit_test {

// One destination pixel value after adding (sub false) or subtracting the source pixel value
// scaled by the constant alpha a, for a pair of kinds 6 and 7 (or one type onto itself, 8 and 9).
uint32_t RefConstAlphaPixel(int dst_type, int src_type, bool sub, int a, uint32_t d, uint32_t s);

// What kind 6, 7, 8 or 9 draws into dest.memory with alpha a; the keyed kinds skip source pixels
// equal to the colour key key_argb converted to the source type.
void RefConstAlphaBlt(TestSurface& dest, TestSurface& source, const BltInfo& info, int kind, int a,
                      uint32_t key_argb);

} // namespace blit_test
