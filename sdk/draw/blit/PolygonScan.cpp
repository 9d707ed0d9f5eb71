// PolygonScan.cpp -- the polygon walk: validation, chains, clipped top and per-row spans.
#include "sdk/draw/blit/PolygonFrame.h"

#include <algorithm>

namespace zuderadeDoruVAV3ed {

namespace {

int Wrap(int i, int n) {
    return i < 0 ? i + n : i >= n ? i - n : i;
}

// Steps from vertex a to vertex b going in direction dir around n vertices.
int StepsBetween(int a, int b, int dir, int n) {
    return dir > 0 ? Wrap(b - a, n) : Wrap(a - b, n);
}

// (a - o) x (b - o) in the orientation of the chain rule: (ay - oy)(bx - ox) - (by - oy)(ax - ox).
int64_t Cross(const POINT& o, const POINT& a, const POINT& b) {
    return int64_t(a.y - o.y) * (b.x - o.x) - int64_t(b.y - o.y) * (a.x - o.x);
}

// Each coordinate within range and its spread over the points too; bounds: the least and the
// greatest x and y, all four included.
bool InRange(const POINT* p, int n, RECT& bounds) {
    // Gathered in a local, which stays in registers: writes through bounds could alias p.
    RECT b{p[0].x, p[0].y, p[0].x, p[0].y};
    for (int i = 1; i < n; ++i) {
        b.left = std::min(b.left, p[i].x), b.right = std::max(b.right, p[i].x);
        b.top = std::min(b.top, p[i].y), b.bottom = std::max(b.bottom, p[i].y);
    }
    bounds = b;
    auto ok = [](int32_t lo, int32_t hi) {
        return lo >= kPolygonCoordMin && hi <= kPolygonCoordMax && int64_t(hi) - lo <= kPolygonCoordMax;
    };
    return ok(b.left, b.right) && ok(b.top, b.bottom);
}

// Why the chain of len edges from start in direction dir cannot be walked; nullptr when every
// edge goes strictly down.
const char* CheckChain(const POINT* p, int n, int start, int dir, int len) {
    for (int k = 0, i = start; k < len; ++k, i = Wrap(i + dir, n)) {
        int32_t ya = p[i].y, yb = p[Wrap(i + dir, n)].y;
        if (yb == ya) return "高さのない辺がある";
        if (yb < ya) return "凸多角形でない";
    }
    return nullptr;
}

bool In(int64_t c, uint32_t size) {
    return c >= 0 && c < size;
}

int32_t Clamp(int32_t c, uint32_t size) {
    return std::clamp<int32_t>(c, 0, static_cast<int32_t>(size) - 1);
}

// A span's walk over the source: its end texels (u0, v0) at pixel xl and (u1, v1) at xr, the
// steps per pixel, and the accumulators of its first pixel.
struct SpanTexels {
    int32_t u0, v0, u1, v1;
    int32_t su = 0, sv = 0;
    int64_t au = kPolyHalf, av = kPolyHalf;

    // The steps over width = xr - xl pixels plus e; a span cut by the clip starts j pixels in
    // (j >= 0) without the half texel. The end texels lie between the source points, whose
    // spread fits 14 bits, so the differences shifted by the fraction bits fit 32 bits.
    void Steps(int32_t width, int e, int32_t j) {
        if (width != 0) {
            su = (u1 - u0) * kPolyOne / (width + e);
            sv = (v1 - v0) * kPolyOne / (width + e);
        }
        if (j >= 0) au = int64_t(j) * su, av = int64_t(j) * sv;
    }
};

// Whether the texels of the span's first pixel and of the pixel n steps on lie inside a
// w x h source; those between them do too.
bool ReadsInside(const SpanTexels& t, int32_t n, uint32_t w, uint32_t h) {
    const int64_t u_last = t.u0 + ((t.au + int64_t(n) * t.su) >> kPolyFracBits);
    const int64_t v_last = t.v0 + ((t.av + int64_t(n) * t.sv) >> kPolyFracBits);
    return In(t.u0 + (t.au >> kPolyFracBits), w) && In(u_last, w) && In(t.v0 + (t.av >> kPolyFracBits), h) && In(v_last, h);
}

} // namespace

const char* CheckPolygon(const PolygonInfo& polygon, PolygonShape& shape) {
    // Any count of 2 or more: the chains that pass hold edges that each go down at least one row
    // within the coordinate range, so their arrays stay small whatever the count.
    const int n = polygon.count;
    if (n < 2) return "頂点が2つ未満";
    if (!polygon.srcPoints || !polygon.dstPoints) return "頂点の配列がない";
    const POINT* p = polygon.dstPoints;
    RECT dst_bounds, src_bounds;
    if (!InRange(p, n, dst_bounds) || !InRange(polygon.srcPoints, n, src_bounds)) return "座標が範囲外";

    // Top: the first vertex of least y, least x among those; bottom: the first of greatest y,
    // greatest x among those.
    int t = 0, b = 0;
    for (int i = 1; i < n; ++i) {
        if (p[i].y < p[t].y || (p[i].y == p[t].y && p[i].x < p[t].x))
            t = i;
        else if (p[i].y > p[b].y || (p[i].y == p[b].y && p[i].x > p[b].x))
            b = i;
    }
    if (p[t].y == p[b].y) return "全頂点が同じ行";

    // The left chain runs forward when the turn at the top says so (zero: backward).
    const int left_dir = Cross(p[t], p[Wrap(t + 1, n)], p[Wrap(t - 1, n)]) > 0 ? 1 : -1;
    const int right_dir = -left_dir;
    // The horizontal edge into the bottom belongs to no chain; nor does the one out of the top.
    int left_len = StepsBetween(t, b, left_dir, n);
    if (p[Wrap(b - left_dir, n)].y == p[b].y) --left_len;
    int right_start = t, right_len = StepsBetween(t, b, right_dir, n);
    if (p[Wrap(t + right_dir, n)].y == p[t].y) right_start = Wrap(t + right_dir, n), --right_len;
    if (left_len < 1 || right_len < 1) return "高さのない辺がある";
    if (const char* why = CheckChain(p, n, t, left_dir, left_len)) return why;
    if (const char* why = CheckChain(p, n, right_start, right_dir, right_len)) return why;

    // Convex: every turn the same way (straight runs allowed).
    int sign = 0;
    for (int i = 0; i < n && n > 2; ++i) {
        int64_t c = Cross(p[i], p[Wrap(i + 1, n)], p[Wrap(i - 1, n)]);
        int s = c > 0 ? 1 : c < 0 ? -1 : 0;
        if (s != 0 && sign != 0 && s != sign) return "凸多角形でない";
        if (s != 0) sign = s;
    }

    shape.top = t;
    shape.bottom = b;
    shape.left_dir = left_dir;
    shape.left_len = left_len;
    shape.right_start = right_start;
    shape.right_len = right_len;
    shape.src_bounds = src_bounds;
    return nullptr;
}

void PolygonScan::Chain::Load(int k, int e) {
    const PolySegment& d = dst[k];
    const PolySegment& s = src[k];
    const int32_t h = d.yb - d.ya;   // > 0: CheckPolygon refuses flat edges inside chains
    x = PolyFixed(d.xa);
    dx = (d.xb - d.xa) * kPolyOne / h;
    u = PolyFixed(s.xa);
    du = (s.xb - s.xa) * kPolyOne / (h + e);
    v = PolyFixed(s.ya);
    dv = (s.yb - s.ya) * kPolyOne / (h + e);
}

// At a row above the clip's top: the edge that spans it (or the last edge), walked to that row
// in one multiplication per value.
void PolygonScan::Chain::Place(int row, int e) {
    int k = 0;
    while (k < count - 1 && !(dst[k].ya <= row && row < dst[k].yb)) ++k;
    Load(k, e);
    const int32_t r = row - dst[k].ya;
    x += r * dx;
    u += r * du;
    v += r * dv;
    next = k + 1;
}

bool PolygonScan::Begin(const CSurfaceInfo& source, int src_pixel_size, const CSurfaceInfo& dest, const PolygonInfo& polygon) {
    PolygonShape shape;
    if (CheckPolygon(polygon, shape)) return false;
    if (source.GetWidth() <= 0 || source.GetHeight() <= 0) return false;
    source_ = &source;
    dest_ = &dest;
    src_pixel_size_ = src_pixel_size;
    src_w_ = static_cast<uint32_t>(source.GetWidth());
    src_h_ = static_cast<uint32_t>(source.GetHeight());
    e_ = polygon.srcEndExclusive ? 1 : 0;
    const RECT& b = shape.src_bounds;
    check_ = b.left < 0 || b.top < 0 || uint32_t(b.right) >= src_w_ || uint32_t(b.bottom) >= src_h_;

    // The clip, limited to the destination.
    RECT clip = polygon.clip ? *polygon.clip : RECT{0, 0, dest.GetWidth(), dest.GetHeight()};
    clip.left = std::max(clip.left, 0);
    clip.top = std::max(clip.top, 0);
    clip.right = std::min(clip.right, dest.GetWidth());
    clip.bottom = std::min(clip.bottom, dest.GetHeight());
    if (clip.left >= clip.right || clip.top >= clip.bottom) return false;
    clip_ = clip;

    const POINT* dp = polygon.dstPoints;
    const POINT* sp = polygon.srcPoints;
    const int n = polygon.count;
    const int32_t y_top = dp[shape.top].y, y_bottom = dp[shape.bottom].y;
    if (clip.bottom - 1 < y_top || y_bottom < clip.top) return false;

    // The four chain arrays, each with its end mark.
    const int L = shape.left_len, R = shape.right_len;
    segments_.assign(size_t(2 * (L + 1) + 2 * (R + 1)), PolySegment{});
    PolySegment* left_dst = segments_.data();
    PolySegment* right_dst = left_dst + L + 1;
    PolySegment* left_src = right_dst + R + 1;
    PolySegment* right_src = left_src + L + 1;
    auto fill = [&](PolySegment* d, PolySegment* s, int start, int dir, int len) {
        for (int k = 0, i = start; k < len; ++k, i = Wrap(i + dir, n)) {
            int j = Wrap(i + dir, n);
            d[k] = {dp[i].x, dp[i].y, dp[j].x, dp[j].y};
            s[k] = {sp[i].x, sp[i].y, sp[j].x, sp[j].y};
        }
        d[len] = d[len - 1];
        s[len] = s[len - 1];
    };
    fill(left_dst, left_src, shape.top, shape.left_dir, L);
    fill(right_dst, right_src, shape.right_start, -shape.left_dir, R);
    left_ = Chain{left_dst, left_src, L};
    right_ = Chain{right_dst, right_src, R};

    if (clip.top <= y_top) {
        row_ = y_top;   // both chains load their first edge on the first row
    } else {
        row_ = clip.top;
        left_.Place(clip.top - 1, e_);
        right_.Place(clip.top - 1, e_);
    }
    last_row_ = std::min(y_bottom, clip.bottom - 1);
    lim_left_ = int64_t(clip.left) * kPolyOne + kPolyHalf;
    lim_right_ = int64_t(clip.right) * kPolyOne - kPolyHalf;
    return true;
}

bool PolygonScan::NextSpan(PolygonSpan& span) {
    while (row_ <= last_row_) {
        const int row = row_++;
        const ChainAt l = left_.Advance(row, e_), r = right_.Advance(row, e_);
        const int32_t xL = l.x, xR = r.x;
        if (lim_right_ < xL || xR < lim_left_) continue;

        const int xl = xL >> kPolyFracBits, xr = xR >> kPolyFracBits;
        const int first = xL < lim_left_ ? clip_.left : xl;
        const int last = xR > lim_right_ ? clip_.right - 1 : xr;
        if (first > last) continue;   // so xr >= xl from here on

        // The span's end texels, whole texels first. Pixel m of the span reads between them, so
        // a row whose end texels lie inside the source reads inside it; the other rows test the
        // texels of their first and last pixel and, when either lies outside, take the end
        // texels clamped into the source instead.
        const int32_t j = xL < lim_left_ ? static_cast<int32_t>((lim_left_ - xL) >> kPolyFracBits) : -1;
        SpanTexels t{l.u >> kPolyFracBits, l.v >> kPolyFracBits, r.u >> kPolyFracBits, r.v >> kPolyFracBits};
        t.Steps(xr - xl, e_, j);
        if (check_ && !(In(t.u0, src_w_) && In(t.u1, src_w_) && In(t.v0, src_h_) && In(t.v1, src_h_)) &&
            !ReadsInside(t, last - first, src_w_, src_h_)) {
            t = {Clamp(t.u0, src_w_), Clamp(t.v0, src_h_), Clamp(t.u1, src_w_), Clamp(t.v1, src_h_)};
            t.Steps(xr - xl, e_, j);
            if (!ReadsInside(t, last - first, src_w_, src_h_)) continue;
        }

        span.row = dest_->GetPtr() + ptrdiff_t(row) * dest_->GetPitch();
        span.first = first;
        span.last = last;
        // The texel pointer at the first pixel's texel; the accumulators keep their fractions.
        span.texels = source_->GetPtr() + ptrdiff_t(t.v0 + (t.av >> kPolyFracBits)) * source_->GetPitch() +
                      ptrdiff_t(t.u0 + (t.au >> kPolyFracBits)) * src_pixel_size_;
        span.au = static_cast<int32_t>(t.au & (kPolyOne - 1));
        span.av = static_cast<int32_t>(t.av & (kPolyOne - 1));
        span.su = t.su;
        span.sv = t.sv;
        return true;
    }
    return false;
}

} // namespace zuderadeDoruVAV3ed
