// AddSubArith.h -- branch-free saturating add and subtract of packed colours: each channel
// stops at its maximum (add) or at 0 (subtract) and never carries or borrows into its neighbour.
// Written over a word type W (uint32_t, or a vector of them) so the vector rows use the very same
// expressions; I is the signed word type of the same width. Templates only: the vector files
// instantiate them under their own target options.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// The add: the mask m flags each channel whose sum overflows; ((s - m) + d) | m then gives the
// sum in the other channels and the maximum in the flagged ones.
struct SatAddArith {
    // Two RGB565 pixels in one word (one pixel: the high half 0 in both).
    template <class W, class I = int32_t>
    static W Bits565x2(W s, W d) {
        W h = (((s ^ d) >> 1) & 0x7BEF7BEFu) + (s & d);
        W c = h & 0x84108410u;
        W m = (W)((I)(c + 0x3DF7BDF0u) >> 5);
        m = ((m & 0xFBFF7BFFu) + 0x02004200u) ^ 0x03EF7BEFu;
        return ((s - m) + d) | m;
    }
    // Two RGB555 pixels in one word; bit 15 of both source halves must be 0, the destination's
    // bit 15 passes through.
    template <class W>
    static W Bits555x2(W s, W d) {
        W x = ((s ^ d) & 0x7BDE7BDEu) + 2 * (s & d);
        W c = (x >> 5) & 0x04210421u;
        W m = (c + 0x3DEF3DEFu) ^ 0x3DEF3DEFu;
        return ((s - m) + d) | m;
    }
    // The three low bytes saturate; the fourth is the sum modulo 256.
    template <class W>
    static W Bytes(W s, W d) {
        W x = ((s ^ d) & 0xFEFEFEu) + 2 * (s & d);
        W c = (x >> 8) & 0x010101u;
        W m = (c + 0x7F7F7Fu) ^ 0x7F7F7Fu;
        return ((s - m) + d) | m;
    }
};

// The subtract: m flags each channel where the source is greater (the carry out of that channel
// in NOT d + s); (m | d) - (m | s) is then 0 there and d - s, without borrow, elsewhere.
struct SatSubArith {
    template <class W, class I = int32_t>
    static W Bits565x2(W s, W d) {
        W nd = ~d;
        W h = (((nd ^ s) >> 1) & 0x7BEF7BEFu) + (nd & s);
        W c = h & 0x84108410u;
        W m = (W)((I)(c + 0x3DF7BDF0u) >> 5);
        m = ((m & 0xFBFF7BFFu) + 0x02004200u) ^ 0x03EF7BEFu;
        return (m | d) - (m | s);
    }
    template <class W>
    static W Bits555x2(W s, W d) {
        W nd = ~d;
        W x = ((nd ^ s) & 0x7BDE7BDEu) + 2 * (nd & s);
        W c = (x >> 5) & 0x04210421u;
        W m = (c + 0x3DEF3DEFu) ^ 0x3DEF3DEFu;
        return (m | d) - (m | s);
    }
    // The three low bytes stop at 0; the fourth is the difference modulo 256.
    template <class W>
    static W Bytes(W s, W d) {
        W nd = ~d;
        W x = ((nd ^ s) & 0xFEFEFEu) + 2 * (nd & s);
        W c = (x >> 8) & 0x010101u;
        W m = (c + 0x7F7F7Fu) ^ 0x7F7F7Fu;
        return (m | d) - (m | s);
    }
};

} // namespace zuderadeDoruVAV3ed
