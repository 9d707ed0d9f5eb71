// PixelConvert.cpp -- row conversion between any two of the ten pixel types, and key conversion.
#include "sdk/draw/PixelConvert.h"

#include "sdk/base/ErrorLog.h"
#include "sdk/draw/blit/CopyRows.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

namespace {

template <class D, class S>
void ConvertRow(uint8_t* d, const uint8_t* s, int count) {
    for (int i = 0; i < count; ++i, d += D::kSize, s += S::kSize)
        D::Store(d, ConvertPixelValue<D, S>(S::Load(s)));
}

} // namespace

void ConvertPixelRow(void* dst, int dst_type, const void* src, int src_type, int count) {
    if (count <= 0) return;
    auto* d = static_cast<uint8_t*>(dst);
    auto* s = static_cast<const uint8_t*>(src);
    if (CopyRowFn vector_row = FindCopyRowRoute(dst_type, src_type).copy) {
        vector_row(d, s, count);
        return;
    }
    bool served = false;
    VisitPixelType(dst_type, [&](auto dt) {
        served = VisitPixelType(src_type, [&](auto st) { ConvertRow<decltype(dt), decltype(st)>(d, s, count); });
    });
    if (!served) CErrorLog::Out("ConvertPixelRowに失敗 (変換元 %d, 変換先 %d)", src_type, dst_type);
}

uint32_t ConvertColorKey(int src_type, uint32_t key_argb, KeyAlpha key_alpha) {
    Rgba8 c{uint8_t(key_argb >> 16), uint8_t(key_argb >> 8), uint8_t(key_argb), uint8_t(key_argb >> 24)};
    uint32_t key = 0;
    VisitPixelType(src_type, [&](auto t) { key = decltype(t)::Pack(c); });
    if (key_alpha == KeyAlpha::kOpaque && (src_type == kSurfaceARGB8888 || src_type == kSurfaceABGR8888))
        key |= 0xFF000000u;
    return key;
}

} // namespace zuderadeDoruVAV3ed
