// ConstAlphaVector.h -- vector routes of the constant-alpha add and subtract rows: the same
// pixels as the one-pixel operations, many at a time (SSE2 always, AVX2 where the processor has it).
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// Whether the vector routes run (on by default): the shared route limit of CpuFeature.h, all or
// nothing. Tests switch them off to see the scalar rule.
void SetConstAlphaVectorRoutes(bool on);
bool ConstAlphaVectorRoutes();

// The leading pixels of a 1:1 row of RGB565 (is565) or RGB555 pixels onto the same type that a
// vector route treated: the source scaled by table level `level`, added or (sub) subtracted per
// field with saturation, RGB555 bit 15 of the destination kept. key: null, or a 16-bit pixel
// value whose source pixels are skipped. 0 when no route runs; the caller treats the rest.
int ConstAlphaRow16(uint8_t* d, const uint8_t* s, int width, int level, bool is565, bool sub, const uint32_t* key);

// The same for XRGB8888 or XBGR8888 onto the same type: colour bytes scaled by AlphaMulTable row
// a, the spare byte kept; key: null, or a whole 32-bit pixel value whose source pixels are skipped.
int ConstAlphaRow32(uint8_t* d, const uint8_t* s, int width, uint8_t a, bool sub, const uint32_t* key);

} // namespace zuderadeDoruVAV3ed
