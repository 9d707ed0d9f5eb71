// BltDispatch.cpp -- CSurfaceInfo::GeneralBlt, its sub-dispatchers and the routine lookup.
#include "sdk/draw/BltDispatch.h"

#include <cstring>

#include "sdk/base/ErrorLog.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/BltForward.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr int kKindCount = 18;
constexpr int kTypeCount = 14;

constexpr uint32_t TypeBit(int type) {
    return type >= 0 && type < 32 ? 1u << type : 0u;
}
// The types that have routines. Two equal types outside this set are answered 0, not 2.
constexpr uint32_t kRoutineTypes = TypeBit(kSurfaceRGB565) | TypeBit(kSurfaceRGB555) | TypeBit(kSurfaceRGB888) |
                                   TypeBit(kSurfaceBGR888) | TypeBit(kSurfaceXRGB8888) | TypeBit(kSurfaceXBGR8888) |
                                   TypeBit(kSurfaceARGB4565) | TypeBit(kSurfaceARGB4555) |
                                   TypeBit(kSurfaceARGB8888) | TypeBit(kSurfaceABGR8888);

// Pairs that a kind serves with the routine of another pair.
struct BltRouting {
    int kind, dst, src;             // the pair asked for
    int served_dst, served_src;     // the pair whose routine runs
};
constexpr BltRouting kRoutings[] = {
    {kBltSub, kSurfaceARGB8888, kSurfaceXRGB8888, kSurfaceARGB8888, kSurfaceARGB8888},
    {kBltSub, kSurfaceABGR8888, kSurfaceXBGR8888, kSurfaceABGR8888, kSurfaceABGR8888},
    {kBltSub, kSurfaceXBGR8888, kSurfaceXBGR8888, kSurfaceXRGB8888, kSurfaceXRGB8888},
    {kBltAdd, kSurfaceARGB8888, kSurfaceXRGB8888, kSurfaceARGB8888, kSurfaceARGB8888},
    {kBltAdd, kSurfaceABGR8888, kSurfaceXBGR8888, kSurfaceABGR8888, kSurfaceABGR8888},
    {kBltAdd, kSurfaceXBGR8888, kSurfaceXBGR8888, kSurfaceXRGB8888, kSurfaceXRGB8888},
    {kBltAddKeyed, kSurfaceXBGR8888, kSurfaceXBGR8888, kSurfaceXRGB8888, kSurfaceXRGB8888},
    {kBltSubKeyed, kSurfaceXBGR8888, kSurfaceXBGR8888, kSurfaceXRGB8888, kSurfaceXRGB8888},
};

// [kind][destination type][source type], built once from the registry and the routings.
struct BltLookup {
    BltRoutine at[kKindCount][kTypeCount][kTypeCount] = {};

    BltLookup() {
        for (const BltRoutineEntry& e : GetBltRegistry())
            if (InRange(e.kind, e.dst_type, e.src_type)) at[e.kind][e.dst_type][e.src_type] = e.routine;
        for (const BltRouting& r : kRoutings)
            at[r.kind][r.dst][r.src] = at[r.kind][r.served_dst][r.served_src];
        for (const BltForwarding& f : GetBltForwardings())
            if (InRange(f.kind, f.dst_type, f.src_type)) at[f.kind][f.dst_type][f.src_type] = f.routine;
    }
    static bool InRange(int kind, int dst, int src) {
        return kind >= 0 && kind < kKindCount && dst >= 0 && dst < kTypeCount && src >= 0 && src < kTypeCount;
    }
};

const BltLookup& Lookup() {
    static const BltLookup lookup;
    return lookup;
}

// The first byte the caller's parameter points to (the constant alpha); false when there is none.
bool ReadParamByte(int kind, const void* param, uint8_t& byte) {
    if (!param) {
        CErrorLog::Out("CSurfaceInfo::GeneralBltに失敗 (種類 %d のパラメータがない)", kind);
        return false;
    }
    std::memcpy(&byte, param, 1);
    return true;
}

// The low bytes of the two fields of a BltRatesParam; false when there is none.
bool ReadParamRates(int kind, const void* param, uint8_t& rate_a, uint8_t& rate_b) {
    if (!param) {
        CErrorLog::Out("CSurfaceInfo::GeneralBltに失敗 (種類 %d のパラメータがない)", kind);
        return false;
    }
    BltRatesParam rates;
    std::memcpy(&rates, param, sizeof rates);
    rate_a = static_cast<uint8_t>(rates.src_rate);
    rate_b = static_cast<uint8_t>(rates.dst_rate);
    return true;
}

uint32_t SourceKey(const CSurfaceInfo& source, KeyAlpha key_alpha) {
    return ConvertColorKey(source.GetSurfaceType(), source.GetColorKey(), key_alpha);
}

} // namespace

BltRoutine FindBltRoutine(int kind, int dst_type, int src_type) {
    if (!BltLookup::InRange(kind, dst_type, src_type)) return nullptr;
    return Lookup().at[kind][dst_type][src_type];
}

int DispatchBltKind(int kind, CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, BltParam param) {
    // The same descriptor cannot be locked twice: refuse before locking anything.
    if (&source == &dest) {
        CErrorLog::Out("CSurfaceInfo::GeneralBltに失敗 (転送元と転送先が同じサーフェス)");
        return 1;
    }
    CSurfaceLockGuard dest_lock(dest);
    if (dest_lock.Failed()) return 1;
    CSurfaceLockGuard source_lock(source);
    if (source_lock.Failed()) return 1;
    // The routines read and write rows that must not alias.
    if (source.SharesMemoryWith(dest)) {
        CErrorLog::Out("CSurfaceInfo::GeneralBltに失敗 (転送元と転送先のメモリが重なる)");
        return 1;
    }

    int dst_type = dest.GetSurfaceType(), src_type = source.GetSurfaceType();
    BltRoutine routine = FindBltRoutine(kind, dst_type, src_type);
    if (!routine) return dst_type == src_type && !(kRoutineTypes & TypeBit(dst_type)) ? 0 : 2;
    routine(source, dest, param, info);
    return 0;
}

int DispatchBltCopy(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info) {
    return DispatchBltKind(kBltCopy, source, dest, info, BltParam{});
}
int DispatchBltAdd(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param) {
    return DispatchBltKind(kBltAdd, source, dest, info, BltParam::FromWord(param));
}
int DispatchBltSub(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param) {
    return DispatchBltKind(kBltSub, source, dest, info, BltParam::FromWord(param));
}
int DispatchBltAddAlpha(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param) {
    return DispatchBltKind(kBltAddAlpha, source, dest, info, BltParam::FromWord(param));
}
int DispatchBltSubAlpha(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param) {
    return DispatchBltKind(kBltSubAlpha, source, dest, info, BltParam::FromWord(param));
}
int DispatchBltAlphaBlend(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param) {
    return DispatchBltKind(kBltAlphaBlend, source, dest, info, BltParam::FromWord(param));
}
int DispatchBltBlendConst(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param) {
    return DispatchBltKind(kBltBlendConst, source, dest, info, BltParam::FromWord(param));
}
int DispatchBltBlendRates(CSurfaceInfo& source, CSurfaceInfo& dest, const BltInfo& info, uint32_t param) {
    return DispatchBltKind(kBltBlendRates, source, dest, info, BltParam::FromWord(param));
}

int CSurfaceInfo::GeneralBlt(int kind, CSurfaceInfo* source, const BltInfo* info, const void* param) {
    if (!source) {
        CErrorLog::Out("CSurfaceInfo::GeneralBltに失敗 (転送元がない)");
        return 1;
    }
    const BltInfo defaults;
    const BltInfo& bi = info ? *info : defaults;
    CSurfaceInfo& src = *source;
    const int key_size = PixelSize(src.GetSurfaceType());
    uint8_t alpha = 0, rate_a = 0, rate_b = 0;

    switch (kind) {
    case kBltCopy:
        return DispatchBltCopy(src, *this, bi);
    case kBltCopyKeyed:
        return DispatchBltKind(kind, src, *this, bi, BltParam::FromWord(SourceKey(src, KeyAlpha::kOwn)));
    case kBltAdd:
        return DispatchBltAdd(src, *this, bi, 0);
    case kBltSub:
        return DispatchBltSub(src, *this, bi, 0);
    case kBltAddKeyed:
    case kBltSubKeyed: {
        // A 32-bit alpha key onto its own type compares as opaque.
        KeyAlpha ka = src.GetSurfaceType() == GetSurfaceType() ? KeyAlpha::kOpaque : KeyAlpha::kOwn;
        return DispatchBltKind(kind, src, *this, bi, BltParam::FromWord(SourceKey(src, ka)));
    }
    case kBltAddAlpha:
        if (!ReadParamByte(kind, param, alpha)) return 1;
        return DispatchBltAddAlpha(src, *this, bi, alpha);
    case kBltSubAlpha:
        if (!ReadParamByte(kind, param, alpha)) return 1;
        return DispatchBltSubAlpha(src, *this, bi, alpha);
    case kBltAddAlphaKeyed:
    case kBltSubAlphaKeyed:
    case kBltBlendConstKeyed:
        if (!ReadParamByte(kind, param, alpha)) return 1;
        return DispatchBltKind(kind, src, *this, bi, MakeKeyAlphaParam(SourceKey(src, KeyAlpha::kOwn), key_size, alpha));
    case kBltAlphaBlend:
        return DispatchBltAlphaBlend(src, *this, bi, 0);
    case kBltBlendConst:
        if (!ReadParamByte(kind, param, alpha)) return 1;
        return DispatchBltBlendConst(src, *this, bi, alpha);
    case kBltBlendRates:
        if (!ReadParamRates(kind, param, rate_a, rate_b)) return 1;
        return DispatchBltBlendRates(src, *this, bi, uint32_t(rate_a) | uint32_t(rate_b) << 8);
    case kBltBlendRatesKeyed:
        if (!ReadParamRates(kind, param, rate_a, rate_b)) return 1;
        return DispatchBltKind(kind, src, *this, bi, MakeKeyRatesParam(SourceKey(src, KeyAlpha::kOwn), key_size, rate_a, rate_b));
    default:
        CErrorLog::Out("CSurfaceInfo::GeneralBltに失敗 (種類 %d は扱えない)", kind);
        return 1;
    }
}

} // namespace zuderadeDoruVAV3ed
