// BltArgs.cpp -- copies of deferred blit, effect and polygon arguments.
#include "sdk/draw/BltArgs.h"

#include <cstring>
#include <utility>

namespace zuderadeDoruVAV3ed {

namespace {

// How many parameter dwords a blit kind (or polygon mode) reads.
int BltParamDwords(int kind) {
    switch (kind) {
    case kBltAddAlpha: case kBltSubAlpha: case kBltAddAlphaKeyed: case kBltSubAlphaKeyed:
    case kBltBlendConst: case kBltBlendConstKeyed:
        return 1;
    case kBltBlendRates: case kBltBlendRatesKeyed:
        return 2;
    default:
        return 0;
    }
}

// Copies dwords parameter words into the block and repoints param (null when none is copied).
void CopyParam(BltArgBlock& block, int dwords, const void*& param) {
    if (dwords == 0 || !param) {
        param = nullptr;
        return;
    }
    std::memcpy(block.param, param, sizeof(uint32_t) * dwords);
    param = block.param;
}

template <class T>
const T* CopyOne(T& slot, const T* from) {
    if (!from) return nullptr;
    slot = *from;
    return &slot;
}


} // namespace

void CopyBltArgs(KTL::smart_ptr<BltArgBlock>& block, int kind, const BltInfo*& info, const void*& param) {
    // Filled before it replaces block: the arguments may point into the block it replaces.
    KTL::smart_ptr<BltArgBlock> fresh(new BltArgBlock);
    BltArgBlock& b = *fresh;
    if (info) {
        b.info = *info;
        b.info.pos = CopyOne(b.pos, info->pos);
        b.info.size = CopyOne(b.size, info->size);
        b.info.src = CopyOne(b.src, info->src);
        b.info.clip = CopyOne(b.clip, info->clip);
        info = &b.info;
    }
    CopyParam(b, BltParamDwords(kind), param);
    block = std::move(fresh);
}

void CopyEffectArgs(KTL::smart_ptr<BltArgBlock>& block, int kind, const RECT*& rect, const void*& param) {
    // Filled before it replaces block: the arguments may point into the block it replaces.
    KTL::smart_ptr<BltArgBlock> fresh(new BltArgBlock);
    BltArgBlock& b = *fresh;
    rect = CopyOne(b.rect, rect);
    bool has_param = kind == 1 || kind == 2 || kind == 3 || kind == 5;
    CopyParam(b, has_param ? 1 : 0, param);
    block = std::move(fresh);
}

void CopyPolygonBltArgs(KTL::smart_ptr<BltArgBlock>& block, int mode, const PolygonInfo*& info, const void*& param) {
    // Filled before it replaces block: the arguments may point into the block it replaces.
    KTL::smart_ptr<BltArgBlock> fresh(new BltArgBlock);
    BltArgBlock& b = *fresh;
    if (info) {
        b.polygon = *info;
        size_t n = info->count > 0 ? static_cast<size_t>(info->count) : 0;
        if (info->srcPoints && n) b.src_points.assign(info->srcPoints, info->srcPoints + n);
        if (info->dstPoints && n) b.dst_points.assign(info->dstPoints, info->dstPoints + n);
        b.polygon.srcPoints = info->srcPoints && n ? b.src_points.data() : nullptr;
        b.polygon.dstPoints = info->dstPoints && n ? b.dst_points.data() : nullptr;
        b.polygon.clip = CopyOne(b.polygon_clip, info->clip);
        info = &b.polygon;
    }
    CopyParam(b, BltParamDwords(mode), param);
    block = std::move(fresh);
}

} // namespace zuderadeDoruVAV3ed
