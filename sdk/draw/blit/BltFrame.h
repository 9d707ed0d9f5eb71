// BltFrame.h -- the one walk of every rectangle blitter: clip set-up, a 1:1 walk in groups of
// eight, a stretched error walk, the colour-key test; only the per-pixel operation varies.
//
// An operation is a small object built once per call from the BltParam:
//     struct SomeOp { explicit SomeOp(BltParam); void operator()(uint8_t* d, const uint8_t* s) const; };
// It reads the source pixel at s, reads and writes the destination pixel at d. Optional:
//     void Select(uint8_t* d, const uint8_t* s, bool skip) const;   // keyed form, no branch
//     static constexpr bool kRowIsByteCopy;                          // a 1:1 row is a memcpy
//     void Row(uint8_t* d, const uint8_t* s, int width) const;       // a whole 1:1 row (vector routes)
//     void RowKeyed(uint8_t* d, const uint8_t* s, int width, const Key& key) const;  // the same, keyed
//     static constexpr bool kRowFromSourceOnly;  // reads no destination: a stretch may copy a
//                                                // repeated row from the finished one
// A Row must give exactly the pixels of the per-pixel operation.
// The frame locks nothing and tests no pointer: the dispatcher hands it locked surfaces.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sdk/draw/BltClip.h"
#include "sdk/draw/BltParam.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

// Key widths of keyed kinds: which low bits of the source pixel are compared with the key.
struct KeyNone {};
template <int Bits> struct KeyBits {};
using Key16 = KeyBits<16>;
using Key24 = KeyBits<24>;
using Key32 = KeyBits<32>;

// The key test: the source pixel's low Bits bits against the key's (the key comes from the
// parameter's first bytes, already a pixel value of the source type).
template <class S, int Bits>
struct KeyTest {
    static constexpr uint32_t kMask = Bits >= 32 ? 0xFFFFFFFFu : (1u << Bits) - 1;
    static_assert(Bits <= S::kSize * 8, "key wider than the source pixel");
    uint32_t key;
    explicit KeyTest(BltParam p) : key(p.Word() & kMask) {}
    bool Matches(const uint8_t* s) const { return (S::Load(s) & kMask) == key; }
};

// A keyed kind: the operation runs only on source pixels that differ from the key.
template <class Op, class Key>
struct Keyed {
    Op op;
    Key key;
    explicit Keyed(BltParam p) : op(p), key(p) {}
    void Row(uint8_t* d, const uint8_t* s, int width) const
        requires requires(const Op& o) { o.RowKeyed(d, s, width, key); }
    {
        op.RowKeyed(d, s, width, key);
    }
    void operator()(uint8_t* d, const uint8_t* s) const {
        if constexpr (requires { op.Select(d, s, true); })
            op.Select(d, s, key.Matches(s));
        else if (!key.Matches(s))
            op(d, s);
    }
};

// The operation object of one routine: Op<D, S>, wrapped in the key test for keyed kinds.
template <template <class, class> class Op, class KeyWidth, class D, class S>
struct BltOpOf { using type = Op<D, S>; };
template <template <class, class> class Op, int Bits, class D, class S>
struct BltOpOf<Op, KeyBits<Bits>, D, S> { using type = Keyed<Op<D, S>, KeyTest<S, Bits>>; };

// One row of the 1:1 walk pixel by pixel: groups of eight pixels, then the rest one by one. The
// group is a loop of fixed count over rows declared not to overlap, so the compiler may turn plain
// operations into vector code. Two descriptors over the same memory are the caller's affair:
// overlapping rows then give arbitrary pixels, never an access outside the rows. pixel_op is the
// operation or any callable of the same form (a Row hook's scalar route passes its keyed form).
template <class D, class S, class PixelOp>
inline void BltRowPixels(const PixelOp& pixel_op, uint8_t* __restrict d, const uint8_t* __restrict s, int width) {
    for (int g = width >> 3; g > 0; --g, s += 8 * S::kSize, d += 8 * D::kSize)
        for (int k = 0; k < 8; ++k) pixel_op(d + k * D::kSize, s + k * S::kSize);
    for (int t = width & 7; t > 0; --t, s += S::kSize, d += D::kSize) pixel_op(d, s);
}

// One row of the 1:1 walk: a byte copy, the operation's own Row, or pixel by pixel.
template <class D, class S, class Op>
inline void BltRow(const Op& op, uint8_t* __restrict d, const uint8_t* __restrict s, int width) {
    if constexpr (requires { Op::kRowIsByteCopy; }) {
        if constexpr (Op::kRowIsByteCopy) {
            std::memmove(d, s, static_cast<size_t>(width) * D::kSize);
            return;
        }
    }
    if constexpr (requires { op.Row(d, s, width); }) {
        op.Row(d, s, width);
        return;
    }
    BltRowPixels<D, S>(op, d, s, width);
}

// True when the operation writes each destination pixel from its source pixel alone (it reads
// no destination), so two destination rows drawn from one source row come out the same.
template <class Op>
constexpr bool BltRowFromSourceOnly() {
    if constexpr (requires { Op::kRowFromSourceOnly; })
        return Op::kRowFromSourceOnly;
    else
        return false;
}

// One row of the stretched walk: the x error walk over the source row at s.
template <class D, class S, class Op>
inline void BltStretchRow(const Op& op, uint8_t* d, const uint8_t* s, int width, int32_t xe, int32_t x_remainder,
                          int32_t x_denominator, ptrdiff_t x_step) {
    ptrdiff_t sx = 0;   // offset of the source pixel from s: no pointer past the row is formed
    for (int i = 0; i < width; ++i, d += D::kSize) {
        xe += x_remainder;
        if (xe >= 0) {
            sx += S::kSize;
            xe -= x_denominator;
        }
        op(d, s + sx);
        sx += x_step;
    }
}

// The same row from the x walk's source offsets, found once per call (every row walks alike).
template <class D, class S, class Op>
inline void BltStretchRowFrom(const Op& op, uint8_t* __restrict d, const uint8_t* __restrict s,
                              const int32_t* __restrict offsets, int width) {
    int i = 0;
    for (; i + 4 <= width; i += 4) {
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k) op(d + (i + k) * D::kSize, s + offsets[i + k]);
    }
    for (; i < width; ++i) op(d + i * D::kSize, s + offsets[i]);
}

// Rows up to this width take their source offsets from a table on the stack.
inline constexpr int kBltStretchTableWidth = 1024;

// The frame. Result 1 when the clip leaves nothing to draw, else 0.
template <class D, class S, class Op>
int BltRect(const CSurfaceInfo& source, const CSurfaceInfo& dest, const BltInfo& info, const Op& op) {
    BltClipState cs;
    if (ClipBltRect(dest, source, info, cs) != 0) return 1;

    // Signed pitches: a bottom-up surface is walked upwards in memory. Rows are addressed from
    // the base each time, so no pointer is ever formed outside the two surfaces.
    const ptrdiff_t sp = source.GetPitch(), dp = dest.GetPitch();
    const uint8_t* const s0 = source.GetPtr() + cs.src.top * sp + ptrdiff_t(cs.src.left) * S::kSize;
    uint8_t* const d0 = dest.GetPtr() + cs.dst.top * dp + ptrdiff_t(cs.dst.left) * D::kSize;
    const int rows = cs.dst.bottom - cs.dst.top;
    const int width = cs.dst.right - cs.dst.left;
    if (rows < 1) return 0;

    if (cs.same_size) {
        for (int y = 0; y < rows; ++y) BltRow<D, S>(op, d0 + y * dp, s0 + y * sp, width);
        return 0;
    }

    // Nearest-pixel stretch by integer error terms: the error gains the remainder per pixel and
    // the source moves on one extra pixel whenever it reaches 0; the error starts already
    // account for what the clip cut away at the left and top. The step state lives in locals
    // whose address never escapes, so it stays in registers while the operation writes pixels.
    const int32_t x_error = cs.x_error, x_remainder = cs.x_remainder, x_denominator = cs.x_denominator;
    const int32_t y_remainder = cs.y_remainder, y_denominator = cs.y_denominator;
    const ptrdiff_t x_step = ptrdiff_t(cs.x_step) * S::kSize;
    const ptrdiff_t y_step = ptrdiff_t(cs.y_step) * sp;
    // Equal widths (step 1, remainder 0): the error starts below 0 and never reaches it, so every
    // row is a 1:1 row of its source row.
    const bool rows_one_to_one = cs.x_step == 1 && cs.x_remainder == 0;
    // The x walk done once: each destination column's source offset within its row.
    int32_t offsets[kBltStretchTableWidth];
    // (Offsets are 32-bit: a source rectangle too wide for them walks each row instead.)
    const bool use_offsets = !rows_one_to_one && rows > 1 && width <= kBltStretchTableWidth &&
                             int64_t(cs.src.right - cs.src.left + 1) * S::kSize <= INT32_MAX;
    if (use_offsets) {
        int32_t xe = x_error;
        ptrdiff_t sx = 0;
        for (int i = 0; i < width; ++i) {
            xe += x_remainder;
            if (xe >= 0) {
                sx += S::kSize;
                xe -= x_denominator;
            }
            offsets[i] = static_cast<int32_t>(sx);
            sx += x_step;
        }
    }
    ptrdiff_t src_row = 0;     // offset of the current source row from s0
    ptrdiff_t drawn_row = 0;   // the source row of the destination row above (y > 0)
    int32_t ye = cs.y_error;
    for (int y = 0; y < rows; ++y) {
        ye += y_remainder;
        if (ye >= 0) {
            src_row += sp;
            ye -= y_denominator;
        }
        uint8_t* d = d0 + y * dp;
        if constexpr (BltRowFromSourceOnly<Op>()) {
            // The same source row again: the finished row above is the result.
            if (y > 0 && src_row == drawn_row) {
                std::memcpy(d, d - dp, static_cast<size_t>(width) * D::kSize);
                src_row += y_step;
                continue;
            }
            drawn_row = src_row;
        }
        if (rows_one_to_one)
            BltRow<D, S>(op, d, s0 + src_row, width);
        else if (use_offsets)
            BltStretchRowFrom<D, S>(op, d, s0 + src_row, offsets, width);
        else
            BltStretchRow<D, S>(op, d, s0 + src_row, width, x_error, x_remainder, x_denominator, x_step);
        src_row += y_step;
    }
    return 0;
}

} // namespace zuderadeDoruVAV3ed
