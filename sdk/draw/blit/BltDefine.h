// BltDefine.h -- makes BLT_ROW define the routine of a table row; included only by the .cpp
// files that instantiate one table each (split so that the build runs them in parallel).
#pragma once

#include "sdk/draw/blit/BltFrame.h"
#include "sdk/draw/blit/BltRoutines.h"

namespace zuderadeDoruVAV3ed {

// The body shared by every routine: the frame over the pair with the row's operation.
template <class D, class S, template <class, class> class Op, class KeyWidth>
int BltRoutineBody(const CSurfaceInfo& source, const CSurfaceInfo& dest, BltParam param, const BltInfo& info) {
    using RowOp = typename BltOpOf<Op, KeyWidth, D, S>::type;
    return BltRect<D, S>(source, dest, info, RowOp(param));
}

} // namespace zuderadeDoruVAV3ed

#undef BLT_ROW
#define BLT_ROW(kind, name, dst, src, op, key) int name##_##dst##_##src(const CSurfaceInfo& s, const CSurfaceInfo& d, BltParam p, const BltInfo& i) { return BltRoutineBody<Pixel##dst, Pixel##src, op, key>(s, d, p, i); }
