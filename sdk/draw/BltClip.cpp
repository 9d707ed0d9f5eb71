// BltClip.cpp -- ClipBltRect: source rectangle, anchor, clip and the stretch error terms.
#include "sdk/draw/BltClip.h"

#include <algorithm>

namespace zuderadeDoruVAV3ed {

namespace {

// One direction of a stretch clipped at its start. On entry left is the source start, pos the
// unclipped destination start; the walk's error term starts at -dst_len and gains src_len for
// every destination pixel. Skipping the clipped pixels moves the source on by every whole
// dst_len the error has reached. The advance happens as soon as the error is 0 or more (not only
// above 0): with equal lengths and one clipped pixel the error is exactly 0, and keeping the
// source there would shift every visible pixel by one against the unclipped blit.
struct StretchAxis {
    int64_t error;
    int64_t src_start;
};
StretchAxis ClipStretchStart(int64_t src_start, int64_t pos, int64_t clip_start, int64_t src_len, int64_t dst_len) {
    int64_t error = -dst_len;
    if (clip_start > pos) {
        error += (clip_start - pos) * src_len;   // 64-bit: positions far outside do not wrap
        if (error >= 0) {
            int64_t k = error / dst_len + 1;
            src_start += k;
            error -= k * dst_len;
        }
    }
    return {error, src_start};
}

int32_t Narrow(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

int ClipBltRect(const CSurfaceInfo& dest, const CSurfaceInfo& source, const BltInfo& info, BltClipState& state) {
    // (1) Source rectangle within the source surface.
    int64_t sl = 0, st = 0, sr = source.GetWidth(), sb = source.GetHeight();
    if (info.src) {
        sl = std::max<int64_t>(sl, info.src->left);
        st = std::max<int64_t>(st, info.src->top);
        sr = std::min<int64_t>(sr, info.src->right);
        sb = std::min<int64_t>(sb, info.src->bottom);
        if (sl >= sr || st >= sb) return 1;
    }
    int64_t sw = sr - sl, sh = sb - st;

    // (2), (3) Position, size and anchor (>> 1 is an arithmetic shift of the signed size).
    int64_t x = info.pos ? info.pos->x : 0, y = info.pos ? info.pos->y : 0;
    int64_t w = info.size ? info.size->cx : sw, h = info.size ? info.size->cy : sh;
    switch (info.anchor) {
    case 1: x -= w >> 1; break;
    case 2: x -= w; break;
    case 3: y -= h >> 1; break;
    case 4: x -= w >> 1; y -= h >> 1; break;
    case 5: x -= w; y -= h >> 1; break;
    case 6: y -= h; break;
    case 7: x -= w >> 1; y -= h; break;
    case 8: x -= w; y -= h; break;
    default: break;
    }

    // (4) Clip rectangle within the destination surface.
    int64_t vl = 0, vt = 0, vr = dest.GetWidth(), vb = dest.GetHeight();
    if (info.clip) {
        vl = std::max<int64_t>(0, info.clip->left);
        vt = std::max<int64_t>(0, info.clip->top);
        vr = std::min<int64_t>(vr, info.clip->right);
        vb = std::min<int64_t>(vb, info.clip->bottom);
    }

    int64_t dl = x, dt = y, dr, db;
    if (w == sw && h == sh) {
        // (5) 1:1: whatever the clip cuts from the destination it cuts from the source too.
        state.same_size = 1;
        dr = x + sw;
        db = y + sh;
        if (vl > dl) { sl += vl - dl; dl = vl; }
        if (vt > dt) { st += vt - dt; dt = vt; }
        if (dr > vr) { sr -= dr - vr; dr = vr; }
        if (db > vb) { sb -= db - vb; db = vb; }
        if (sl >= sr || st >= sb) return 1;
    } else {
        // (6) Stretch. A negative size draws nothing, as a zero one does (and never divides).
        state.same_size = 0;
        if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return 1;
        dr = x + w;
        db = y + h;
        StretchAxis ax = ClipStretchStart(sl, x, vl, sw, w);
        StretchAxis ay = ClipStretchStart(st, y, vt, sh, h);
        sl = ax.src_start;
        st = ay.src_start;
        dl = std::max(dl, vl);
        dt = std::max(dt, vt);
        dr = std::min(dr, vr);
        db = std::min(db, vb);
        if (sl >= sr || st >= sb || dl >= dr || dt >= db) return 1;
        state.x_error = Narrow(ax.error - 1);
        state.x_remainder = Narrow(sw % w);
        state.x_denominator = Narrow(w);
        state.x_step = Narrow(sw / w);
        state.y_error = Narrow(ay.error - 1);
        state.y_remainder = Narrow(sh % h);
        state.y_denominator = Narrow(h);
        state.y_step = Narrow(sh / h);
    }

    // (7) The three rectangles. Every drawn coordinate lies inside a surface, so all fit 32 bits.
    state.src = {Narrow(sl), Narrow(st), Narrow(sr), Narrow(sb)};
    state.dst = {Narrow(dl), Narrow(dt), Narrow(dr), Narrow(db)};
    state.clip = {Narrow(vl), Narrow(vt), Narrow(vr), Narrow(vb)};
    return 0;
}

} // namespace zuderadeDoruVAV3ed
