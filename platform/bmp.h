// bmp.h -- BGRA pixel rows as a BMP file image: the frame dumps and the SDK's picture saving.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// Numbers of the BMP file format shared by the writer here and the SDK's reader.
namespace bmp {
constexpr uint32_t kBiRgb = 0;              // compression: plain rows
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;        // channel masks follow the info header
constexpr uint32_t kBiAlphaBitFields = 6;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;
} // namespace bmp

// Encodes height rows of width 4-byte pixels (bytes B, G, R, A; the picture's top row at
// pixels, each next row pitch bytes on, so a negative pitch walks a bottom-up frame) as a
// bottom-up BMP file image: 24 bits per pixel (the fourth byte dropped), or with with_alpha
// 32 bits with an alpha channel (BITMAPV4 header, bit fields A8 R8 G8 B8). Empty when pixels
// is null or a side is not positive.
std::vector<uint8_t> EncodeBmp(const void* pixels, std::ptrdiff_t pitch, int width, int height, bool with_alpha);

} // namespace platform
