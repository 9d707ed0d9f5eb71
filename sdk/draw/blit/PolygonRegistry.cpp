// PolygonRegistry.cpp -- every polygon blitter routine, instantiated from the table, and their
// registry.
#include "sdk/draw/blit/BltFrame.h"
#include "sdk/draw/blit/PolygonFrame.h"
#include "sdk/draw/blit/PolygonOps.h"
#include "sdk/draw/blit/PolygonRoutines.h"

namespace zuderadeDoruVAV3ed {

namespace {

// The body shared by every routine: the frame over the pair with the row's operation, keyed
// through the rectangle blitters' key wrapper.
template <class D, class S, template <class, class> class Op, class KeyWidth>
int PolyBltRoutineBody(const CSurfaceInfo* source, const CSurfaceInfo* dest, BltParam param, const PolygonInfo* polygon) {
    using PixelOp = typename BltOpOf<Op, KeyWidth, D, S>::type;
    return PolyBltFrame(S{}, source, D{}, dest, PixelOp(param), polygon);
}

} // namespace

#define POLY_ROW(mode, name, dst, src, op, key)                                                                   \
    int name##_##dst##_##src(const CSurfaceInfo* s, const CSurfaceInfo* d, BltParam p, const PolygonInfo* poly) { \
        return PolyBltRoutineBody<Pixel##dst, Pixel##src, op, key>(s, d, p, poly);                              \
    }
#include "sdk/draw/blit/PolygonTables.def"
#undef POLY_ROW

namespace {

#define POLY_ROW(mode, name, dst, src, op, key) {mode, kSurface##dst, kSurface##src, #name "_" #dst "_" #src, &name##_##dst##_##src},
const PolyBltRoutineEntry kPolyBltRegistry[] = {
#include "sdk/draw/blit/PolygonTables.def"
};
#undef POLY_ROW

} // namespace

std::span<const PolyBltRoutineEntry> GetPolyBltRegistry() {
    return kPolyBltRegistry;
}

} // namespace zuderadeDoruVAV3ed
