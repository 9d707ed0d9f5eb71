// CopyOps.h -- the per-pixel operation of the copy kinds 0 and 1: one pixel converted by the
// rules of PixelTraits.h.
#pragma once

#include <cstdint>

#include "sdk/draw/BltParam.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

// Copies one pixel of type S onto one of type D; reads no parameter.
template <class D, class S>
struct OpCopy {
    explicit OpCopy(BltParam) {}
    void operator()(uint8_t* d, const uint8_t* s) const { D::Store(d, ConvertPixelValue<D, S>(S::Load(s))); }

    // The keyed form without a branch: a skipped pixel is written back unchanged, which lets
    // the compiler vectorise keyed rows too.
    void Select(uint8_t* d, const uint8_t* s, bool skip) const {
        uint32_t v = ConvertPixelValue<D, S>(S::Load(s));
        D::Store(d, skip ? D::Load(d) : v);
    }

    // Same type, every bit of the pixel kept: a 1:1 row is a byte copy.
    static constexpr bool kRowIsByteCopy =
        D::kType == S::kType && D::kValueMask == (D::kSize == 4 ? 0xFFFFFFFFu : (1u << (8 * D::kSize)) - 1);
};

} // namespace zuderadeDoruVAV3ed
