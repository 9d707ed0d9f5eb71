// BltRoutines.h -- the named rectangle blitter routines and the registry that lists them.
#pragma once

#include <cstdint>
#include <span>

#include "sdk/draw/BltParam.h"
#include "sdk/draw/SurfaceInfo.h"

namespace zuderadeDoruVAV3ed {

// One routine serves one (kind, destination type, source type): both surfaces locked by the
// caller; 1 when the clip leaves nothing to draw, else 0.
using BltRoutine = int (*)(const CSurfaceInfo& source, const CSurfaceInfo& dest, BltParam param, const BltInfo& info);

// Declarations of every routine, named <kind name>_<destination>_<source>.
#define BLT_ROW(kind, name, dst, src, op, key) int name##_##dst##_##src(const CSurfaceInfo&, const CSurfaceInfo&, BltParam, const BltInfo&);
#include "sdk/draw/blit/BltTables.def"
#undef BLT_ROW

struct BltRoutineEntry {
    int kind;            // BltKind
    int dst_type;        // SurfaceType of the destination
    int src_type;        // SurfaceType of the source
    const char* name;    // the routine's name
    BltRoutine routine;
};

// Every routine of the tables, in table order.
std::span<const BltRoutineEntry> GetBltRegistry();

} // namespace zuderadeDoruVAV3ed
