// PolygonDispatch.cpp -- CSurfaceInfo::PolygonBlt, its dispatchers and the routine lookup.
#include "sdk/draw/PolygonDispatch.h"

#include "sdk/base/ErrorLog.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/PixelTraits.h"
#include "sdk/draw/blit/PolygonFrame.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr int kTypeCount = 14;

// Lookup row of a mode; -1 for a mode without routines.
int ModeIndex(int mode) {
    switch (mode) {
    case kPolyBltCopy: return 0;
    case kPolyBltCopyKeyed: return 1;
    case kPolyBltAlphaBlend: return 2;
    default: return -1;
    }
}

// Pairs that modes 0 and 1 serve with the routine of another pair of the same pixel work.
struct PolyRouting {
    int mode, dst, src;            // the pair asked for
    int served_dst, served_src;    // the pair whose routine runs
};
constexpr PolyRouting kRoutings[] = {
    {kPolyBltCopy, kSurfaceRGB555, kSurfaceRGB555, kSurfaceRGB565, kSurfaceRGB565},
    {kPolyBltCopy, kSurfaceXBGR8888, kSurfaceXBGR8888, kSurfaceXRGB8888, kSurfaceXRGB8888},
    {kPolyBltCopy, kSurfaceARGB8888, kSurfaceARGB8888, kSurfaceXRGB8888, kSurfaceXRGB8888},
    {kPolyBltCopy, kSurfaceABGR8888, kSurfaceABGR8888, kSurfaceXRGB8888, kSurfaceXRGB8888},
    {kPolyBltCopy, kSurfaceARGB4555, kSurfaceARGB4555, kSurfaceARGB4565, kSurfaceARGB4565},
    {kPolyBltCopy, kSurfaceARGB4555, kSurfaceRGB555, kSurfaceARGB4565, kSurfaceRGB565},
    {kPolyBltCopyKeyed, kSurfaceRGB555, kSurfaceRGB555, kSurfaceRGB565, kSurfaceRGB565},
    {kPolyBltCopyKeyed, kSurfaceXBGR8888, kSurfaceXBGR8888, kSurfaceXRGB8888, kSurfaceXRGB8888},
    {kPolyBltCopyKeyed, kSurfaceABGR8888, kSurfaceABGR8888, kSurfaceARGB8888, kSurfaceARGB8888},
    {kPolyBltCopyKeyed, kSurfaceARGB4555, kSurfaceARGB4555, kSurfaceARGB4565, kSurfaceARGB4565},
    {kPolyBltCopyKeyed, kSurfaceARGB4555, kSurfaceRGB555, kSurfaceARGB4565, kSurfaceRGB565},
};

// [mode row][destination type][source type], built once from the registry and the routings.
struct PolyLookup {
    PolyBltRoutine at[3][kTypeCount][kTypeCount] = {};

    PolyLookup() {
        for (const PolyBltRoutineEntry& e : GetPolyBltRegistry()) at[ModeIndex(e.mode)][e.dst_type][e.src_type] = e.routine;
        for (const PolyRouting& r : kRoutings) {
            int m = ModeIndex(r.mode);
            at[m][r.dst][r.src] = at[m][r.served_dst][r.served_src];
        }
    }
};

const PolyLookup& Lookup() {
    static const PolyLookup lookup;
    return lookup;
}

int Dispatch(int mode, CSurfaceInfo* source, CSurfaceInfo* dest, const PolygonInfo* polygon, BltParam op) {
    if (ModeIndex(mode) < 0) {
        CErrorLog::Out("CSurfaceInfo::PolygonBltに失敗 (モード %d は扱えない)", mode);
        return 1;
    }
    if (!source || !dest) {
        CErrorLog::Out("CSurfaceInfo::PolygonBltに失敗 (転送元がない)");
        return 1;
    }
    // The same descriptor cannot be locked twice: refuse before locking anything.
    if (source == dest) {
        CErrorLog::Out("CSurfaceInfo::PolygonBltに失敗 (転送元と転送先が同じサーフェス)");
        return 1;
    }
    CSurfaceLockGuard dest_lock(*dest);
    if (dest_lock.Failed()) return 1;
    CSurfaceLockGuard source_lock(*source);
    if (source_lock.Failed()) return 1;

    const int dst_type = dest->GetSurfaceType(), src_type = source->GetSurfaceType();
    PolyBltRoutine routine = FindPolyBltRoutine(mode, dst_type, src_type);
    if (!routine) return dst_type == src_type && !IsPixelType(dst_type) ? 0 : 2;

    // Undrawable input is refused here, with a log text; the routine would draw nothing either.
    PolygonShape shape;
    const char* why = polygon ? CheckPolygon(*polygon, shape) : "多角形がない";
    if (why) {
        CErrorLog::Out("CSurfaceInfo::PolygonBltに失敗 (%s)", why);
        return 0;
    }
    if (mode == kPolyBltCopyKeyed) op = BltParam::FromWord(PolyBltKey(*source, dst_type));
    routine(source, dest, op, polygon);
    return 0;
}

} // namespace

PolyBltRoutine FindPolyBltRoutine(int mode, int dst_type, int src_type) {
    int m = ModeIndex(mode);
    if (m < 0 || dst_type < 0 || dst_type >= kTypeCount || src_type < 0 || src_type >= kTypeCount) return nullptr;
    return Lookup().at[m][dst_type][src_type];
}

uint32_t PolyBltKey(const CSurfaceInfo& source, int dst_type) {
    const int src_type = source.GetSurfaceType();
    return ConvertColorKey(src_type, source.GetColorKey(), src_type == dst_type ? KeyAlpha::kOpaque : KeyAlpha::kOwn);
}

int DispatchPolyBltMode(int mode, CSurfaceInfo* source, CSurfaceInfo* dest, const PolygonInfo* polygon, BltParam op) {
    return Dispatch(mode, source, dest, polygon, op);
}

int DispatchPolyBltCopy(CSurfaceInfo* source, CSurfaceInfo* dest, const PolygonInfo* polygon, BltParam op) {
    return Dispatch(kPolyBltCopy, source, dest, polygon, op);
}

int DispatchPolyBltAlphaBlend(CSurfaceInfo* source, CSurfaceInfo* dest, const PolygonInfo* polygon, BltParam op) {
    return Dispatch(kPolyBltAlphaBlend, source, dest, polygon, op);
}

int CSurfaceInfo::PolygonBlt(int mode, CSurfaceInfo* source, const PolygonInfo* info, const void* /*param: no mode reads it*/) {
    switch (mode) {
    case kPolyBltCopy:
        return DispatchPolyBltCopy(source, this, info, BltParam{});
    case kPolyBltAlphaBlend:
        return DispatchPolyBltAlphaBlend(source, this, info, BltParam{});
    default:
        // Mode 1 (the key is converted once the pair is known) and the modes not served.
        return DispatchPolyBltMode(mode, source, this, info, BltParam{});
    }
}

} // namespace zuderadeDoruVAV3ed
