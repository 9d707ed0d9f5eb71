// DrawListPlane.h -- the deferred-draw surface: drawing calls are recorded with copies of their
// arguments and the current layer, and replayed onto the back plane once per frame, larger
// layers first (further back); equal layers keep the order of their calls.
#pragma once

#include <cstdint>
#include <vector>

#include "sdk/draw/BltArgs.h"
#include "sdk/draw/Surface.h"
#include "sdk/ktl/function_callback.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

// A recorded surface operation: invoked later on the target set just before.
class CBoundCall : public KTL::function_callback {
public:
    void SetObject(ISurface* target) { target_ = target; }
    int GetResult() const { return result_; }

protected:
    ISurface* target_ = nullptr;
    int result_ = 0;   // of the last invocation
};

// What a recorded call was, for those who inspect the records.
enum class DrawOp : int32_t { kBlt, kEffect, kPolygon, kColorKey, kColorKeyPos, kClear, kFillColor };

struct DrawRecord {
    int32_t layer = 0;
    DrawOp op = DrawOp::kBlt;
    int32_t kind = 0;                             // blit kind, effect kind or polygon mode
    KTL::smart_ptr<CBoundCall> call;
    KTL::smart_ptr<BltArgBlock> args;             // copies of the pointed-to arguments
    KTL::smart_ptr<CSurfaceInfo> source;          // a blit's source, kept until the flush
};

class CDrawListPlane : public ISurface {
public:
    CDrawListPlane() = default;
    ~CDrawListPlane() override;

    // --- recorded: each returns 0 at once and draws nothing
    int GeneralBlt(int kind, CSurfaceInfo* source, const BltInfo* info, const void* param) override;
    int GeneralEffect(int kind, const RECT* rect, const void* param) override;
    int PolygonBlt(int mode, CSurfaceInfo* source, const PolygonInfo* info, const void* param) override;
    int SetColorKey(uint32_t rgb) override;
    int SetColorKeyPos(int x, int y) override;
    int Clear(const RECT* rect) override;   // the rectangle is copied
    int SetFillColor(uint32_t argb) override;
    // A blit whose source descriptor is held by the record until the flush.
    int RecordBlt(int kind, const KTL::smart_ptr<CSurfaceInfo>& source, const BltInfo* info, const void* param);

    // --- answering 0 and doing nothing
    uint32_t GetColorKey() override { return 0; }
    uint32_t GetFillColor() override { return 0; }
    int Load(const std::string&) override { return 0; }

    KTL::smart_ptr<ISurface> CreateInstance() override;

    void SetLayer(int32_t layer) { layer_ = layer; }
    int32_t GetLayer() const { return layer_; }
    // Destroys every record and frees the storage.
    void ClearRecords();
    const std::vector<DrawRecord>& GetRecords() const { return records_; }

private:
    friend void FlushDrawRecords(CDrawListPlane& plane, ISurface* target);

    template <class F>
    int Record(DrawOp op, int32_t kind, KTL::smart_ptr<BltArgBlock> args, KTL::smart_ptr<CSurfaceInfo> source, F call);

    std::vector<DrawRecord> records_;
    int32_t layer_ = 0;
};

// A surface of the same interface that draws, keys, clears and loads nothing (answering 0).
class CDrawListSubPlane : public ISurface {
public:
    int GeneralBlt(int, CSurfaceInfo*, const BltInfo*, const void*) override { return 0; }
    int GeneralEffect(int, const RECT*, const void*) override { return 0; }
    int PolygonBlt(int, CSurfaceInfo*, const PolygonInfo*, const void*) override { return 0; }
    int SetColorKey(uint32_t) override { return 0; }
    int SetColorKeyPos(int, int) override { return 0; }
    int Clear(const RECT*) override { return 0; }
    int SetFillColor(uint32_t) override { return 0; }
    int Load(const std::string&) override { return 0; }
    KTL::smart_ptr<ISurface> CreateInstance() override;
};

// Sorts the records by layer (largest first, equal layers in call order), replays each on
// target, clears them and sets the layer to 0. A null target only clears.
void FlushDrawRecords(CDrawListPlane& plane, ISurface* target);

// Sprite blits with the position as the top-left corner: copy (kind 0), colour-keyed copy
// (kind 1), colour-keyed constant-alpha blend (kind 15, alpha 0..255). size null: the source
// rectangle's size; source_rect null: the whole source; clip null: the whole destination. On a
// deferred-draw destination the source's descriptor is kept until the flush. 0 done; 1 when
// either surface is missing, else the destination's result.
int DrawPlaneCopy(ISurface* dest, ISurface* source, int x, int y, const SIZE* size, const RECT* source_rect,
                  const RECT* clip, int anchor = 0);
int DrawPlaneCopyKeyed(ISurface* dest, ISurface* source, int x, int y, const SIZE* size, const RECT* source_rect,
                       const RECT* clip, int anchor = 0);
// Constant-alpha blend without a colour key (kind 14, alpha 0..255).
int DrawPlaneBlendConst(ISurface* dest, ISurface* source, int x, int y, uint32_t alpha, const SIZE* size,
                        const RECT* source_rect, const RECT* clip, int anchor = 0);
int DrawPlaneBlendConstKeyed(ISurface* dest, ISurface* source, int x, int y, uint32_t alpha, const SIZE* size,
                             const RECT* source_rect, const RECT* clip, int anchor = 0);

// A sprite blit of any kind without a parameter block (copy, keyed copy, add, alpha blend).
int DrawPlaneKind(ISurface* dest, ISurface* source, int kind, int x, int y, const RECT* source_rect);

} // namespace zuderadeDoruVAV3ed
