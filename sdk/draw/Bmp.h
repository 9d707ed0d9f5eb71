// Bmp.h -- the project's own BMP reader and writer, working on whole file images in memory.
//
// The reader takes 1, 4, 8 (palette), 16 (555 or 565 bit fields), 24 and 32 bits per pixel,
// stored bottom-up or top-down, and yields top-down ARGB8888 rows. Anything it does not
// understand fails with a reason and leaves the caller's picture untouched; it never reads
// outside the given bytes and refuses sizes that cannot be held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zuderadeDoruVAV3ed {

// A picture in memory: top-down rows of ARGB8888 pixels (bytes B, G, R, A), no row padding.
struct CBmpImage {
    int32_t width = 0;
    int32_t height = 0;
    bool has_alpha = false;       // the file carried an alpha channel
    std::vector<uint8_t> pixels;  // width * height * 4 bytes

    uint8_t* Row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width * 4; }
    const uint8_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width * 4; }
};

// Largest picture the reader accepts (per side and in total), so a forged header cannot make
// it allocate without bound.
constexpr int32_t kBmpMaxSide = 16384;
constexpr int64_t kBmpMaxPixels = int64_t{1} << 26;

// Decodes a BMP file image. 0 on success; otherwise non-zero, `reason` says what was wrong and
// `image` is unchanged.
int DecodeBmp(const uint8_t* data, size_t size, CBmpImage& image, std::string& reason);

// Encodes a picture as a bottom-up BMP file image: 24 bits per pixel (alpha dropped), or with
// with_alpha 32 bits with an alpha channel (BITMAPV4 header, bit fields A8 R8 G8 B8).
std::vector<uint8_t> EncodeBmp(const CBmpImage& image, bool with_alpha);

} // namespace zuderadeDoruVAV3ed
