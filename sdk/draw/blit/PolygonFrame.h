// PolygonFrame.h -- the one rasteriser of every polygon blitter: a convex destination polygon
// walked row by row in 14.18 fixed point with the source positions that travel along its
// edges; only the per-pixel operation varies.
//
// PolygonScan does the walk (vertex search, left and right chains, clipped top, per-row span
// set-up, horizontal clip) and hands out one clipped span per row; PolyBltFrame runs the
// operation over each span's pixels with nearest-texel addressing. An operation is the same
// small object as a rectangle blitter's: op(d, s) reads the texel at s, reads and writes the
// destination pixel at d.
//
// Input that the walk cannot draw safely is rejected before anything is drawn (CheckPolygon),
// the clip is clamped to the destination, and a span whose first or last pixel would read a
// texel outside the source takes its end texels clamped into the source, so no pixel outside
// either surface is ever read or written. For polygons inside those limits the clamps change
// nothing. Every texel that the walk reaches lies between the source points (steps truncate
// toward zero and never pass an edge's or a span's far end), so the spans of a polygon whose
// source points all lie inside the source are not checked at all, and in the other polygons
// only the rows with an end texel outside the source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sdk/draw/SurfaceInfo.h"

namespace zuderadeDoruVAV3ed {

// Every coordinate, and the spread of each coordinate over the polygon, within signed 14 bits:
// shifted left by the 18 fraction bits it still fits 32 bits.
inline constexpr int32_t kPolygonCoordMin = -8192, kPolygonCoordMax = 8191;

// 14.18 fixed point: an integer coordinate enters as the middle of its pixel.
inline constexpr int kPolyFracBits = 18;
inline constexpr int32_t kPolyOne = 1 << kPolyFracBits;
inline constexpr int32_t kPolyHalf = kPolyOne >> 1;
constexpr int32_t PolyFixed(int32_t c) {
    return c * kPolyOne + kPolyHalf;
}

// One edge between two vertices in chain order: destination (x, y) of a and b, or the source
// positions that the same vertices carry.
struct PolySegment {
    int32_t xa, ya, xb, yb;
};

// Where the two chains of a polygon run.
struct PolygonShape {
    int top = 0, bottom = 0;          // vertex indices
    int left_dir = 1;                 // +1 forward through the arrays, -1 backward; right the other way
    int left_len = 0;                 // left chain: from top, left_len edges
    int right_start = 0, right_len = 0;   // right chain: from right_start, right_len edges to bottom
    RECT src_bounds{};                // least and greatest source x and y, all four included
};

// nullptr when the walk can draw the polygon (shape filled), else why not (a log text): a count
// below 2, missing arrays, coordinates out of range, all vertices on one row,
// a zero-height edge inside a chain, or a polygon that is not convex.
const char* CheckPolygon(const PolygonInfo& polygon, PolygonShape& shape);

// One clipped span of one row.
struct PolygonSpan {
    uint8_t* row = nullptr;             // the destination row
    int first = 0, last = 0;            // its pixels, both drawn; first <= last
    const uint8_t* texels = nullptr;    // the texel of the first pixel
    int32_t au = 0, av = 0;             // accumulators of the first pixel: its texel fractions << 18
    int32_t su = 0, sv = 0;             // their steps per pixel
};

class PolygonScan {
public:
    // Prepares the walk; false when nothing is to be drawn (rejected polygon, empty clip, the
    // polygon wholly above or below the clip rows, a source without pixels).
    bool Begin(const CSurfaceInfo& source, int src_pixel_size, const CSurfaceInfo& dest, const PolygonInfo& polygon);
    // The next row that draws something; false after the last row.
    bool NextSpan(PolygonSpan& span);
    // Whether rows check their texels against the source: some source point lies outside it.
    bool ChecksTexels() const { return check_; }

private:
    friend struct PolygonScanProbe;   // the benchmark's walk without the check
    // A chain's position at one row: destination x and source (u, v), 14.18 fixed point.
    struct ChainAt {
        int32_t x, u, v;
    };
    // One chain's walk: its current edge, position and source position with their steps.
    struct Chain {
        const PolySegment* dst = nullptr;   // edges, then the end mark (a copy of the last edge)
        const PolySegment* src = nullptr;
        int count = 0;                      // edges without the end mark
        int next = 0;                       // edge that starts at a later row
        int32_t x = 0, dx = 0, u = 0, du = 0, v = 0, dv = 0;

        void Load(int k, int e);
        // The position at the next row: the next edge loaded at its first row, else a step on.
        // Handed back so that the row's work keeps it in registers instead of reading back
        // fields just written (a wide read of fresh narrow stores waits for them to drain);
        // defined here, inline, so that the walk inlines it in position-independent code too.
        ChainAt Advance(int row, int e) {
            if (dst[next].ya == row) {
                Load(next++, e);
                return {x, u, v};
            }
            x += dx;
            u += du;
            v += dv;
            return {x, u, v};
        }
        void Place(int row, int e);
    };

    std::vector<PolySegment> segments_;   // left dst, right dst, left src, right src
    Chain left_, right_;
    int e_ = 0;                           // 1 when source steps end short of the far vertex
    bool check_ = true;                   // see ChecksTexels
    int row_ = 0, last_row_ = -1;
    RECT clip_{};
    int64_t lim_left_ = 0, lim_right_ = 0;
    const CSurfaceInfo* source_ = nullptr;
    const CSurfaceInfo* dest_ = nullptr;
    int src_pixel_size_ = 0;
    uint32_t src_w_ = 0, src_h_ = 0;
};

// a + step in 32 bits with wrap-around: steps past a span's last pixel may leave the range and
// are never used; every position inside the span is exact.
inline int32_t PolyStep(int32_t a, uint32_t step) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + step);
}

// Runs the operation over every span of a begun walk; sp is the source's pitch.
template <class D, class S, class Op>
void PolyDrawSpans(PolygonScan& scan, ptrdiff_t sp, Op op) {
    PolygonSpan span;
    while (scan.NextSpan(span)) {
        uint8_t* d = span.row + ptrdiff_t(span.first) * D::kSize;
        int32_t au = span.au, av = span.av;
        const int n = span.last - span.first + 1;
        if (span.sv == 0) {
            // The span stays on one source row (the common case of an upright texture).
            const uint8_t* t = span.texels + ptrdiff_t(av >> kPolyFracBits) * sp;
            // Four pixels at a time, their positions independent of one another.
            const uint32_t su = static_cast<uint32_t>(span.su);
            int k = n;
            for (; k >= 4; k -= 4, d += 4 * D::kSize) {
                op(d, t + ptrdiff_t(au >> kPolyFracBits) * S::kSize);
                op(d + D::kSize, t + ptrdiff_t(PolyStep(au, su) >> kPolyFracBits) * S::kSize);
                op(d + 2 * D::kSize, t + ptrdiff_t(PolyStep(au, 2 * su) >> kPolyFracBits) * S::kSize);
                op(d + 3 * D::kSize, t + ptrdiff_t(PolyStep(au, 3 * su) >> kPolyFracBits) * S::kSize);
                au = PolyStep(au, 4 * su);
            }
            for (; k > 0; --k, d += D::kSize) {
                op(d, t + ptrdiff_t(au >> kPolyFracBits) * S::kSize);
                au = PolyStep(au, span.su);
            }
            continue;
        }
        for (int k = n; k > 0; --k, d += D::kSize) {
            op(d, span.texels + ptrdiff_t(av >> kPolyFracBits) * sp + ptrdiff_t(au >> kPolyFracBits) * S::kSize);
            au = PolyStep(au, span.su);
            av = PolyStep(av, span.sv);
        }
    }
}

// The frame of every polygon routine. The tags select the pixel types; both surfaces are locked
// by the caller. -1 for a null source, destination or polygon, else 0 (drawn or not).
template <class D, class S, class Op>
int PolyBltFrame(S, const CSurfaceInfo* source, D, const CSurfaceInfo* dest, Op op, const PolygonInfo* polygon) {
    if (!source || !dest || !polygon) return -1;
    PolygonScan scan;
    if (scan.Begin(*source, S::kSize, *dest, *polygon)) PolyDrawSpans<D, S>(scan, source->GetPitch(), op);
    return 0;
}

} // namespace zuderadeDoruVAV3ed
