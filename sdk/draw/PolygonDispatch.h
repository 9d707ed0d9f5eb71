// PolygonDispatch.h -- the polygon blit dispatch behind CSurfaceInfo::PolygonBlt: per mode, lock
// both surfaces, choose the routine of the (destination type, source type) pair, run it, unlock.
//
// Results: 0 done (also when nothing was drawn, the polygon is missing or is rejected as
// undrawable), 1 no source, the source is the destination's own descriptor, a lock failed or
// the mode is not served, 2 the pair of types is not served (two equal types without routines
// give 0). Locks: destination first, then source; released in reverse order, also when an
// exception passes through. The routine's own result is dropped.
#pragma once

#include "sdk/draw/BltParam.h"
#include "sdk/draw/SurfaceInfo.h"
#include "sdk/draw/blit/PolygonRoutines.h"

namespace zuderadeDoruVAV3ed {

// Mode 0 and mode 10 (source, destination, polygon, the mode's empty operation).
int DispatchPolyBltCopy(CSurfaceInfo* source, CSurfaceInfo* dest, const PolygonInfo* polygon, BltParam op);
int DispatchPolyBltAlphaBlend(CSurfaceInfo* source, CSurfaceInfo* dest, const PolygonInfo* polygon, BltParam op);

// The common step of every mode; op is the mode's operation (mode 1: the key).
int DispatchPolyBltMode(int mode, CSurfaceInfo* source, CSurfaceInfo* dest, const PolygonInfo* polygon, BltParam op);

// The routine that serves a mode and pair, routings included; null when none does.
PolyBltRoutine FindPolyBltRoutine(int mode, int dst_type, int src_type);

// The source's colour key as the routine of mode 1 receives it: a pixel of the source type, a
// 32-bit alpha source's key opaque onto its own type and with its own alpha otherwise.
uint32_t PolyBltKey(const CSurfaceInfo& source, int dst_type);

} // namespace zuderadeDoruVAV3ed
