// PolygonRoutines.h -- the named polygon blitter routines and the registry that lists them.
#pragma once

#include <span>

#include "sdk/draw/BltParam.h"
#include "sdk/draw/SurfaceInfo.h"

namespace zuderadeDoruVAV3ed {

// One routine serves one (mode, destination type, source type) or, through the dispatch's
// routings, pairs of the same pixel work. Both surfaces locked by the caller; op carries the
// colour key (a pixel of the source type) in mode 1 and nothing otherwise. -1 for a null
// source, destination or polygon, else 0.
using PolyBltRoutine = int (*)(const CSurfaceInfo* source, const CSurfaceInfo* dest, BltParam op, const PolygonInfo* polygon);

// Declarations of every routine, named <mode name>_<destination>_<source>.
#define POLY_ROW(mode, name, dst, src, op, key) int name##_##dst##_##src(const CSurfaceInfo*, const CSurfaceInfo*, BltParam, const PolygonInfo*);
#include "sdk/draw/blit/PolygonTables.def"
#undef POLY_ROW

struct PolyBltRoutineEntry {
    int mode;            // PolyBltMode
    int dst_type;        // SurfaceType of the destination
    int src_type;        // SurfaceType of the source
    const char* name;    // the routine's name
    PolyBltRoutine routine;
};

// Every polygon routine of the table, in table order.
std::span<const PolyBltRoutineEntry> GetPolyBltRegistry();

} // namespace zuderadeDoruVAV3ed
