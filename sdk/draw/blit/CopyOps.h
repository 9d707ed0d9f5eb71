// CopyOps.h -- the per-pixel operation of the copy kinds 0 and 1: one pixel converted by the
// rules of PixelTraits.h; whole 1:1 rows go through the vector routes of CopyRows.h.
#pragma once

#include <cstdint>
#include <cstring>

#include "sdk/draw/BltParam.h"
#include "sdk/draw/blit/BltFrame.h"
#include "sdk/draw/blit/CopyRows.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

// Copies one pixel of type S onto one of type D; reads no parameter.
template <class D, class S>
struct OpCopy {
    CopyRowRoute route;   // the vector route of the pair, or none (the scalar rule below)

    explicit OpCopy(BltParam) : route(FindCopyRowRoute(D::kType, S::kType)) {}
    void operator()(uint8_t* d, const uint8_t* s) const { D::Store(d, ConvertPixelValue<D, S>(S::Load(s))); }

    // The keyed form without a branch: a skipped pixel is written back unchanged. The choice is
    // mask arithmetic, so that the compiler cannot turn it into a branch that random keys
    // mispredict (the stretched walk draws keyed pixels one by one).
    void Select(uint8_t* d, const uint8_t* s, bool skip) const {
        const uint32_t v = ConvertPixelValue<D, S>(S::Load(s));
        const uint32_t keep = 0u - static_cast<uint32_t>(skip);
        D::Store(d, (D::Load(d) & keep) | (v & ~keep));
    }

    void Row(uint8_t* d, const uint8_t* s, int width) const {
        if (route.copy) {
            route.copy(d, s, width);
            return;
        }
        if constexpr (kByteCopy)
            std::memmove(d, s, static_cast<size_t>(width) * D::kSize);
        else
            BltRowPixels<D, S>(*this, d, s, width);
    }

    template <class Key>
    void RowKeyed(uint8_t* d, const uint8_t* s, int width, const Key& key) const {
        if (route.keyed)
            route.keyed(d, s, width, key.key, Key::kMask);
        else
            BltRowPixels<D, S>([&](uint8_t* dp, const uint8_t* sp) { Select(dp, sp, key.Matches(sp)); }, d, s, width);
    }

    // Same type, every bit of the pixel kept: a 1:1 row is a byte copy (the vector route copies
    // it in whole vectors, which measured faster than memmove on rows of a screen's width).
    static constexpr bool kByteCopy = CopyIsByteCopy<D, S>();
    static constexpr bool kRowFromSourceOnly = true;
};

} // namespace zuderadeDoruVAV3ed
