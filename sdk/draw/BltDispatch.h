// BltDispatch.h -- the blit dispatch behind CSurfaceInfo::GeneralBlt: per kind, lock both
// surfaces, choose the routine of the (destination type, source type) pair, run it, unlock.
//
// Results of every dispatcher: 0 done (also when nothing was drawn), 1 a lock failed, the kind
// is not served or the arguments are unusable, 2 the pair of types is not served by the kind
// (two equal types that have no routines at all give 0 instead). The routine's own result is
// dropped. Locks: destination first, then source; released in reverse order, also when an
// exception passes through.
//
// What GeneralBlt reads from its parameter pointer, per kind:
//   0, 1, 2, 3, 4, 5, 10   nothing (1, 4, 5 take the source's colour key instead)
//   6, 7, 14               the byte it points to: the constant alpha
//   8, 9, 15               the byte it points to (the alpha), with the source's key
//   16, 17                 a BltRatesParam: the low bytes of source rate a and destination rate b
#pragma once

#include <cstdint>

#include "sdk/draw/BltParam.h"
#include "sdk/draw/SurfaceInfo.h"
#include "sdk/draw/blit/BltRoutines.h"

namespace zuderadeDoruVAV3ed {

// The sub-dispatchers (source, destination, blit record, parameter word).
int DispatchBltCopy(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info);                   // kind 0
int DispatchBltAdd(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param);        // 2
int DispatchBltSub(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param);        // 3
int DispatchBltAddAlpha(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param);   // 6
int DispatchBltSubAlpha(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param);   // 7
int DispatchBltAlphaBlend(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param); // 10
int DispatchBltBlendConst(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param); // 14
int DispatchBltBlendRates(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param); // 16

// The routine that serves a kind and pair after the dispatch's routings (DispatchBltAdd and
// DispatchBltSub serve ARGB8888 <- XRGB8888, ABGR8888 <- XBGR8888 and XBGR8888 <- XBGR8888 with
// the routine of another pair, kinds 4 and 5 the last of them) and forwarding steps (kind 14 on
// XRGB8888 <- XRGB8888 by the processor's features); null when none does.
BltRoutine FindBltRoutine(int kind, int dst_type, int src_type);

// The common step of every dispatcher: lock, choose, run, unlock, with the results above.
int DispatchBltKind(int kind, CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, BltParam param);

} // namespace zuderadeDoruVAV3ed
