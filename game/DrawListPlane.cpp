// DrawListPlane.cpp -- recording drawing calls, replaying them by layer, and the sprite blits.
#include "game/DrawListPlane.h"

#include <algorithm>
#include <utility>

namespace zuderadeDoruVAV3ed {

namespace {

// A bound call whose operation is a callable taking the target surface.
template <class F>
class CSurfaceCall final : public CBoundCall {
public:
    explicit CSurfaceCall(F call) : call_(std::move(call)) {}
    void Invoke() override {
        if (target_) result_ = call_(*target_);
    }

private:
    F call_;
};

} // namespace

CDrawListPlane::~CDrawListPlane() { ClearRecords(); }

template <class F>
int CDrawListPlane::Record(DrawOp op, int32_t kind, KTL::smart_ptr<BltArgBlock> args,
                           KTL::smart_ptr<CSurfaceInfo> source, F call) {
    DrawRecord record;
    record.layer = layer_;
    record.op = op;
    record.kind = kind;
    record.call.reset(new CSurfaceCall<F>(std::move(call)));
    record.args = std::move(args);
    record.source = std::move(source);
    records_.push_back(std::move(record));
    return 0;
}

int CDrawListPlane::GeneralBlt(int kind, CSurfaceInfo* source, const BltInfo* info, const void* param) {
    KTL::smart_ptr<BltArgBlock> args;
    CopyBltArgs(args, kind, info, param);
    return Record(DrawOp::kBlt, kind, args, nullptr, [=](ISurface& target) {
        return target.GeneralBlt(kind, source, info, param);
    });
}

int CDrawListPlane::RecordBlt(int kind, const KTL::smart_ptr<CSurfaceInfo>& source, const BltInfo* info,
                              const void* param) {
    KTL::smart_ptr<BltArgBlock> args;
    CopyBltArgs(args, kind, info, param);
    CSurfaceInfo* raw = source.get();
    return Record(DrawOp::kBlt, kind, args, source, [=](ISurface& target) {
        return target.GeneralBlt(kind, raw, info, param);
    });
}

int CDrawListPlane::GeneralEffect(int kind, const RECT* rect, const void* param) {
    KTL::smart_ptr<BltArgBlock> args;
    CopyEffectArgs(args, kind, rect, param);
    return Record(DrawOp::kEffect, kind, args, nullptr, [=](ISurface& target) {
        return target.GeneralEffect(kind, rect, param);
    });
}

int CDrawListPlane::PolygonBlt(int mode, CSurfaceInfo* source, const PolygonInfo* info, const void* param) {
    KTL::smart_ptr<BltArgBlock> args;
    CopyPolygonBltArgs(args, mode, info, param);
    return Record(DrawOp::kPolygon, mode, args, nullptr, [=](ISurface& target) {
        return target.PolygonBlt(mode, source, info, param);
    });
}

int CDrawListPlane::SetColorKey(uint32_t rgb) {
    return Record(DrawOp::kColorKey, 0, nullptr, nullptr, [=](ISurface& target) { return target.SetColorKey(rgb); });
}

int CDrawListPlane::SetColorKeyPos(int x, int y) {
    return Record(DrawOp::kColorKeyPos, 0, nullptr, nullptr,
                  [=](ISurface& target) { return target.SetColorKeyPos(x, y); });
}

int CDrawListPlane::Clear(const RECT* rect) {
    // The caller's rectangle may be gone by the flush: the record keeps its own copy.
    KTL::smart_ptr<BltArgBlock> args(new BltArgBlock);
    const RECT* copy = nullptr;
    if (rect) {
        args->rect = *rect;
        copy = &args->rect;
    }
    return Record(DrawOp::kClear, 0, args, nullptr, [=](ISurface& target) { return target.Clear(copy); });
}

int CDrawListPlane::SetFillColor(uint32_t argb) {
    return Record(DrawOp::kFillColor, 0, nullptr, nullptr,
                  [=](ISurface& target) { return target.SetFillColor(argb); });
}

KTL::smart_ptr<ISurface> CDrawListPlane::CreateInstance() {
    return KTL::smart_ptr<ISurface>(new CDrawListSubPlane());
}

void CDrawListPlane::ClearRecords() {
    records_.clear();
    records_.shrink_to_fit();
}

KTL::smart_ptr<ISurface> CDrawListSubPlane::CreateInstance() {
    return KTL::smart_ptr<ISurface>(new CDrawListSubPlane());
}

void FlushDrawRecords(CDrawListPlane& plane, ISurface* target) {
    std::stable_sort(plane.records_.begin(), plane.records_.end(),
                     [](const DrawRecord& a, const DrawRecord& b) { return a.layer > b.layer; });
    if (target) {
        for (DrawRecord& record : plane.records_) {
            record.call->SetObject(target);
            record.call->Invoke();
        }
    }
    plane.ClearRecords();
    plane.layer_ = 0;
}

namespace {

int DrawPlaneBlt(ISurface* dest, ISurface* source, int kind, int x, int y, const void* param, const SIZE* size,
                 const RECT* source_rect, const RECT* clip, int anchor) {
    if (!dest || !source) return 1;
    POINT pos{x, y};
    BltInfo info;
    info.pos = &pos;
    info.size = size;
    info.src = source_rect;
    info.clip = clip;
    info.anchor = anchor;
    if (auto* list = dynamic_cast<CDrawListPlane*>(dest))
        return list->RecordBlt(kind, source->GetSurfaceInfoHolder(), &info, param);
    return dest->GeneralBlt(kind, source->GetSurfaceInfo(), &info, param);
}

} // namespace

int DrawPlaneCopy(ISurface* dest, ISurface* source, int x, int y, const SIZE* size, const RECT* source_rect,
                  const RECT* clip, int anchor) {
    return DrawPlaneBlt(dest, source, kBltCopy, x, y, nullptr, size, source_rect, clip, anchor);
}

int DrawPlaneCopyKeyed(ISurface* dest, ISurface* source, int x, int y, const SIZE* size, const RECT* source_rect,
                       const RECT* clip, int anchor) {
    return DrawPlaneBlt(dest, source, kBltCopyKeyed, x, y, nullptr, size, source_rect, clip, anchor);
}

int DrawPlaneBlendConst(ISurface* dest, ISurface* source, int x, int y, uint32_t alpha, const SIZE* size,
                        const RECT* source_rect, const RECT* clip, int anchor) {
    return DrawPlaneBlt(dest, source, kBltBlendConst, x, y, &alpha, size, source_rect, clip, anchor);
}

int DrawPlaneBlendConstKeyed(ISurface* dest, ISurface* source, int x, int y, uint32_t alpha, const SIZE* size,
                             const RECT* source_rect, const RECT* clip, int anchor) {
    return DrawPlaneBlt(dest, source, kBltBlendConstKeyed, x, y, &alpha, size, source_rect, clip, anchor);
}

int DrawPlaneKind(ISurface* dest, ISurface* source, int kind, int x, int y, const RECT* source_rect) {
    return DrawPlaneBlt(dest, source, kind, x, y, nullptr, nullptr, source_rect, nullptr, 0);
}

} // namespace zuderadeDoruVAV3ed
