// PixelConvert.h -- whole-row pixel conversion between surface types (image loading, presentation)
// and the colour key as a pixel of a surface type.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// Converts count pixels from src (of src_type) to dst (of dst_type) by the rules of
// sdk/draw/blit/PixelTraits.h. The rows must not overlap (the same address is fine when the
// destination pixel is not larger than the source pixel). A type without pixels of its own
// logs a text and converts nothing; count <= 0 converts nothing.
void ConvertPixelRow(void* dst, int dst_type, const void* src, int src_type, int count);

// Which alpha a converted key of an ARGB8888 / ABGR8888 source carries.
enum class KeyAlpha {
    kOwn,      // the key's own alpha byte
    kOpaque,   // 0xFF (kinds 4 and 5 onto a destination of the same type)
};

// The colour key 0xAARRGGBB as a pixel value of a source type (0 for a type without pixels):
// RGB565 / RGB555 the packed colour; ARGB4565 / ARGB4555 the packed colour and alpha >> 4 in
// byte 2; 3-byte types the three bytes in the type's order; XRGB8888 / XBGR8888 the same with a
// spare byte of 0; ARGB8888 / ABGR8888 the same with the alpha chosen by key_alpha.
uint32_t ConvertColorKey(int src_type, uint32_t key_argb, KeyAlpha key_alpha = KeyAlpha::kOwn);

} // namespace zuderadeDoruVAV3ed
