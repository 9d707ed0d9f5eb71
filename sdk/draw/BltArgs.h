// BltArgs.h -- private copies of the pointed-to arguments of a blit, effect or polygon blit,
// for callers that run the call later (the deferred-draw surface).
#pragma once

#include <cstdint>
#include <vector>

#include "sdk/draw/SurfaceInfo.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

// Holds the copies; the pointers handed back by the Copy functions point into it, so it must
// live as long as the call is pending.
struct BltArgBlock {
    BltInfo info;                       // blit record, its pointers repointed at the copies below
    POINT pos{};
    SIZE size{};
    RECT src{};
    RECT clip{};
    RECT rect{};                        // effect rectangle
    PolygonInfo polygon;                // polygon record, repointed at the copies below
    std::vector<POINT> src_points;
    std::vector<POINT> dst_points;
    RECT polygon_clip{};
    uint32_t param[2] = {};             // the kind's parameter dwords
};

// Copies the record and its POINT, SIZE and two RECTs (null stays null) and the kind's
// parameter (one dword for kinds 6-9, 14 and 15, two for 16 and 17), then repoints info and
// param at the copies. A kind whose parameter is not copied gets a null param.
void CopyBltArgs(KTL::smart_ptr<BltArgBlock>& block, int kind, const BltInfo*& info, const void*& param);
// Copies the rectangle when given and, for effect kinds 1, 2, 3 and 5, the one-dword parameter.
void CopyEffectArgs(KTL::smart_ptr<BltArgBlock>& block, int kind, const RECT*& rect, const void*& param);
// Copies the record, both vertex arrays (count points each; a negative count copies none) and
// the clip rectangle, and the parameter as CopyBltArgs does for the mode's number.
void CopyPolygonBltArgs(KTL::smart_ptr<BltArgBlock>& block, int mode, const PolygonInfo*& info, const void*& param);

} // namespace zuderadeDoruVAV3ed
