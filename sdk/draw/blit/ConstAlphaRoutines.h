// ConstAlphaRoutines.h -- the entry points of the constant-alpha add and subtract kinds 6 to 9
// beyond the registry's routines: the same-type RGB565 and RGB555 routines of kinds 6 and 7
// with their two copies of the parameter word, and the forwarding thunks of every other routine.
#pragma once

#include <span>

#include "sdk/draw/blit/BltRoutines.h"

namespace zuderadeDoruVAV3ed {

// BltAddAlpha_RGB565_RGB565 and the three like it, as the dispatch calls them: lone pixels take
// the alpha of `lone`, pixel pairs that of `pair` (the dispatch passes the same word twice).
// Their registry form (one parameter) is this call with the parameter twice.
#define BLT_ROW(kind, name, dst, src, op, key) int Call##name##_##dst##_##src(const CSurfaceInfo&, const CSurfaceInfo&, BltParam, const BltInfo&);
#define BLT_ROW_DIRECT(kind, name, dst, src, op, key) int name##_##dst##_##src(const CSurfaceInfo&, const CSurfaceInfo&, BltParam lone, BltParam pair, const BltInfo&);
#include "sdk/draw/blit/BltConstAlpha.def"
#undef BLT_ROW
#undef BLT_ROW_DIRECT

// CallBltAddAlpha_RGB565_ARGB4565 and the others: pass everything on to the routine of the same
// name without "Call" and return its result.
struct BltThunkEntry {
    int kind;
    int dst_type;
    int src_type;
    const char* name;   // the thunk's name
    BltRoutine thunk;
};
std::span<const BltThunkEntry> GetConstAlphaThunks();

} // namespace zuderadeDoruVAV3ed
