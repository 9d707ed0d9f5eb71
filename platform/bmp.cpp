// bmp.cpp -- writing a BMP file image: the headers, then the rows bottom-up, each padded to 4 bytes.
#include "platform/bmp.h"

#include <cstring>

namespace platform {

namespace {

using namespace bmp;

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

std::vector<uint8_t> EncodeBmp(const void* pixels, std::ptrdiff_t pitch, int width, int height, bool with_alpha) {
    if (!pixels || width <= 0 || height <= 0) return {};
    const uint32_t header_size = with_alpha ? kV4HeaderSize : kInfoHeaderSize;
    const uint32_t bytes_per_pixel = with_alpha ? 4 : 3;
    const uint32_t stride = (width * bytes_per_pixel + 3) & ~3u;
    const uint32_t offset = kFileHeaderSize + header_size;
    const uint32_t image_size = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out(offset + image_size, 0);

    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, offset + image_size);
    Put32(out, 10, offset);
    Put32(out, 14, header_size);
    Put32(out, 18, static_cast<uint32_t>(width));
    Put32(out, 22, static_cast<uint32_t>(height));   // positive: bottom row first
    Put16(out, 26, 1);
    Put16(out, 28, bytes_per_pixel * 8);
    Put32(out, 30, with_alpha ? kBiBitFields : kBiRgb);
    Put32(out, 34, image_size);
    Put32(out, 38, 2835);   // 72 dots per inch
    Put32(out, 42, 2835);
    if (with_alpha) {
        Put32(out, 54, 0x00FF0000);
        Put32(out, 58, 0x0000FF00);
        Put32(out, 62, 0x000000FF);
        Put32(out, 66, 0xFF000000);
        Put32(out, 70, 0x73524742);   // colour space "sRGB"
    }

    const uint8_t* top = static_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = top + static_cast<std::ptrdiff_t>(height - 1 - y) * pitch;
        uint8_t* dst = out.data() + offset + static_cast<size_t>(y) * stride;
        if (with_alpha) {
            std::memcpy(dst, src, static_cast<size_t>(width) * 4);
        } else {
            for (int x = 0; x < width; ++x) std::memcpy(dst + 3 * x, src + 4 * x, 3);
        }
    }
    return out;
}

} // namespace platform
