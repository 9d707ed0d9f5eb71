// BltConstAlpha.cpp -- instantiates the constant-alpha blitters of BltConstAlpha.def, their
// direct forms and their forwarding thunks.
#include "sdk/draw/blit/ConstAlphaOps.h"
#include "sdk/draw/blit/ConstAlphaRoutines.h"
// Last: it defines BLT_ROW as the definition of a routine.
#include "sdk/draw/blit/BltDefine.h"

namespace zuderadeDoruVAV3ed {

// The routines; a direct one is the frame over its pair operation, and its registry form passes
// the one parameter as both copies.
#define BLT_ROW_DIRECT(kind, name, dst, src, op, key)                                                               \
    int name##_##dst##_##src(const CSurfaceInfo& s, const CSurfaceInfo& d, BltParam lone, BltParam pair,           \
                             const BltInfo& i) {                                                                   \
        return BltRect<Pixel##dst, Pixel##src>(s, d, i, op<Pixel##dst, Pixel##src>(lone, pair));                   \
    }                                                                                                               \
    int name##_##dst##_##src(const CSurfaceInfo& s, const CSurfaceInfo& d, BltParam p, const BltInfo& i) {         \
        return name##_##dst##_##src(s, d, p, p, i);                                                                 \
    }
#include "sdk/draw/blit/BltConstAlpha.def"
#undef BLT_ROW
#undef BLT_ROW_DIRECT

// The thunks.
#define BLT_ROW(kind, name, dst, src, op, key)                                                                      \
    int Call##name##_##dst##_##src(const CSurfaceInfo& s, const CSurfaceInfo& d, BltParam p, const BltInfo& i) {   \
        return name##_##dst##_##src(s, d, p, i);                                                                    \
    }
#define BLT_ROW_DIRECT(kind, name, dst, src, op, key)
#include "sdk/draw/blit/BltConstAlpha.def"
#undef BLT_ROW

namespace {

#define BLT_ROW(kind, name, dst, src, op, key) \
    {kind, kSurface##dst, kSurface##src, "Call" #name "_" #dst "_" #src, &Call##name##_##dst##_##src},
const BltThunkEntry kThunks[] = {
#include "sdk/draw/blit/BltConstAlpha.def"
};
#undef BLT_ROW
#undef BLT_ROW_DIRECT

} // namespace

std::span<const BltThunkEntry> GetConstAlphaThunks() {
    return kThunks;
}

} // namespace zuderadeDoruVAV3ed
