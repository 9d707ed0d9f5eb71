// BltRegistry.cpp -- the registry of every rectangle blitter routine, expanded from the tables.
#include "sdk/draw/blit/BltRoutines.h"

namespace zuderadeDoruVAV3ed {

namespace {

#define BLT_ROW(kind, name, dst, src, op, key) {kind, kSurface##dst, kSurface##src, #name "_" #dst "_" #src, &name##_##dst##_##src},
const BltRoutineEntry kBltRegistry[] = {
#include "sdk/draw/blit/BltTables.def"
};
#undef BLT_ROW

} // namespace

std::span<const BltRoutineEntry> GetBltRegistry() {
    return kBltRegistry;
}

} // namespace zuderadeDoruVAV3ed
