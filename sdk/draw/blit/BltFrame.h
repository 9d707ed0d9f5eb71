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
// A Row must give exactly the pixels of the per-pixel operation.
// The frame locks nothing and tests no pointer: the dispatcher hands it locked surfaces.
#pragma once

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

// One row of the 1:1 walk: groups of eight pixels, then the rest one by one. The group is a
// loop of fixed count over rows declared not to overlap, so the compiler may turn plain
// operations into vector code. Two descriptors over the same memory are the caller's affair:
// overlapping rows then give arbitrary pixels, never an access outside the rows.
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
    for (int g = width >> 3; g > 0; --g, s += 8 * S::kSize, d += 8 * D::kSize)
        for (int k = 0; k < 8; ++k) op(d + k * D::kSize, s + k * S::kSize);
    for (int t = width & 7; t > 0; --t, s += S::kSize, d += D::kSize) op(d, s);
}

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
    // account for what the clip cut away at the left and top.
    const ptrdiff_t x_step = ptrdiff_t(cs.x_step) * S::kSize;
    const ptrdiff_t y_step = ptrdiff_t(cs.y_step) * sp;
    ptrdiff_t src_row = 0;   // offset of the current source row from s0
    int32_t ye = cs.y_error;
    for (int y = 0; y < rows; ++y) {
        ye += cs.y_remainder;
        if (ye >= 0) {
            src_row += sp;
            ye -= cs.y_denominator;
        }
        int32_t xe = cs.x_error;
        ptrdiff_t sx = src_row;
        uint8_t* d = d0 + y * dp;
        for (int i = 0; i < width; ++i, d += D::kSize) {
            xe += cs.x_remainder;
            if (xe >= 0) {
                sx += S::kSize;
                xe -= cs.x_denominator;
            }
            op(d, s0 + sx);
            sx += x_step;
        }
        src_row += y_step;
    }
    return 0;
}

} // namespace zuderadeDoruVAV3ed
