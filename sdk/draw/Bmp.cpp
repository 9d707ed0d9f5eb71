// Bmp.cpp -- BMP reading and writing: bounded parsing of every header field before any pixel is read.
#include "sdk/draw/Bmp.h"

#include <bit>
#include <cstring>
#include <new>

#include "platform/bmp.h"

namespace zuderadeDoruVAV3ed {

namespace {

using namespace platform::bmp;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// One channel of a bit-field pixel: where it sits and how wide it is.
struct Field {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

// false when the mask's bits are not one contiguous run.
bool MakeField(uint32_t mask, Field& field) {
    field = Field{};
    if (mask == 0) return true;
    field.mask = mask;
    field.shift = std::countr_zero(mask);
    const uint32_t run = mask >> field.shift;
    if ((run & (run + 1)) != 0) return false;
    field.bits = std::popcount(run);
    return true;
}

// Colour channels widen by shifting with zero fill (as the copy blitters widen 5 and 6 bits),
// so a picture gives the same pixels whichever surface type it is loaded into first.
uint8_t ExtractColor(uint32_t pixel, const Field& f) {
    if (f.bits == 0) return 0;
    const uint32_t v = (pixel & f.mask) >> f.shift;
    return static_cast<uint8_t>(f.bits >= 8 ? v >> (f.bits - 8) : v << (8 - f.bits));
}
// Alpha scales to the full range instead, so that an opaque 1- or 4-bit alpha stays opaque.
uint8_t ExtractAlpha(uint32_t pixel, const Field& f) {
    const uint32_t v = (pixel & f.mask) >> f.shift;
    if (f.bits >= 8) return static_cast<uint8_t>(v >> (f.bits - 8));
    return static_cast<uint8_t>(v * 255 / ((1u << f.bits) - 1));
}

int Fail(std::string& reason, const char* text) {
    reason = text;
    return 1;
}

} // namespace

int DecodeBmp(const uint8_t* data, size_t size, CBmpImage& image, std::string& reason) {
    if (!data || size < kFileHeaderSize + 4) return Fail(reason, "ヘッダが足りない");
    if (data[0] != 'B' || data[1] != 'M') return Fail(reason, "BMPではない");
    const uint32_t pixel_offset = U32(data + 10);
    const uint32_t header_size = U32(data + 14);
    if (header_size == 12) return Fail(reason, "未対応のヘッダ形式");
    if (header_size < kInfoHeaderSize || header_size > size - kFileHeaderSize)
        return Fail(reason, "情報ヘッダが不正");

    const uint8_t* info = data + kFileHeaderSize;
    const int32_t width = static_cast<int32_t>(U32(info + 4));
    const int32_t raw_height = static_cast<int32_t>(U32(info + 8));
    const int bit_count = U16(info + 14);
    const uint32_t compression = U32(info + 16);
    const uint32_t colors_used = U32(info + 32);

    if (width <= 0 || raw_height == 0 || raw_height == INT32_MIN) return Fail(reason, "サイズが不正");
    const bool top_down = raw_height < 0;
    const int32_t height = top_down ? -raw_height : raw_height;
    if (width > kBmpMaxSide || height > kBmpMaxSide || int64_t{width} * height > kBmpMaxPixels)
        return Fail(reason, "サイズが大きすぎる");
    if (compression == kBiRle8 || compression == kBiRle4) return Fail(reason, "未対応の圧縮形式");

    // Pixel layout: a palette, or bit fields (the defaults when the file gives none).
    size_t table_at = kFileHeaderSize + header_size;
    Field red, green, blue, alpha;
    const bool palette = bit_count == 1 || bit_count == 4 || bit_count == 8;
    if (palette || bit_count == 24) {
        if (compression != kBiRgb) return Fail(reason, "未対応の圧縮形式");
    } else if (bit_count == 16 || bit_count == 32) {
        uint32_t masks[4] = {0, 0, 0, 0};
        if (compression == kBiRgb) {
            if (bit_count == 16) {
                masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
            } else {
                masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF;
            }
        } else if (compression == kBiBitFields || compression == kBiAlphaBitFields) {
            const int count = compression == kBiAlphaBitFields ? 4 : 3;
            if (header_size >= 52) {
                // The masks are part of a longer header (the alpha mask from 56 bytes on).
                const int in_header = header_size >= 56 ? 4 : 3;
                for (int i = 0; i < in_header; ++i) masks[i] = U32(info + 40 + 4 * i);
            } else {
                if (table_at + 4 * count > size) return Fail(reason, "ビットフィールドが足りない");
                for (int i = 0; i < count; ++i) masks[i] = U32(data + table_at + 4 * i);
                table_at += 4 * count;
            }
        } else {
            return Fail(reason, "未対応の圧縮形式");
        }
        if (!MakeField(masks[0], red) || !MakeField(masks[1], green) || !MakeField(masks[2], blue) ||
            !MakeField(masks[3], alpha) || (masks[0] | masks[1] | masks[2]) == 0)
            return Fail(reason, "ビットフィールドが不正");
        if (bit_count == 16 && ((masks[0] | masks[1] | masks[2] | masks[3]) >> 16) != 0)
            return Fail(reason, "ビットフィールドが不正");
    } else {
        return Fail(reason, "未対応のビット数");
    }

    if (pixel_offset < table_at || pixel_offset >= size) return Fail(reason, "画素データの位置が不正");

    // The palette lies between the headers and the pixels; entries it lacks read as black.
    uint8_t colors[256][4];
    for (auto& entry : colors) {
        entry[0] = entry[1] = entry[2] = 0;
        entry[3] = 255;   // entries the palette lacks are opaque black
    }
    if (palette) {
        size_t count = colors_used != 0 ? colors_used : (size_t{1} << bit_count);
        if (count > (size_t{1} << bit_count)) count = size_t{1} << bit_count;
        const size_t room = (pixel_offset - table_at) / 4;
        if (count > room) count = room;
        if (count == 0) return Fail(reason, "パレットが無い");
        for (size_t i = 0; i < count; ++i) std::memcpy(colors[i], data + table_at + 4 * i, 3);
    }

    // Rows are padded to 4 bytes; the last row's padding may be missing from the file.
    const uint64_t row_bytes = (static_cast<uint64_t>(width) * bit_count + 7) / 8;
    const uint64_t stride = (static_cast<uint64_t>(width) * bit_count + 31) / 32 * 4;
    const uint64_t needed = stride * static_cast<uint64_t>(height - 1) + row_bytes;
    if (needed > size - pixel_offset) return Fail(reason, "画素データが足りない");

    std::vector<uint8_t> pixels;
    try {
        pixels.resize(static_cast<size_t>(width) * height * 4);
    } catch (const std::bad_alloc&) {
        return Fail(reason, "メモリが足りない");
    }

    bool any_alpha = false;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src = data + pixel_offset + stride * static_cast<uint64_t>(top_down ? y : height - 1 - y);
        uint8_t* dst = pixels.data() + static_cast<size_t>(y) * width * 4;
        for (int32_t x = 0; x < width; ++x, dst += 4) {
            switch (bit_count) {
            case 1: case 4: case 8: {
                // Indices are packed from the high bits of each byte.
                const int per_byte = 8 / bit_count;
                const int shift = 8 - bit_count * (x % per_byte + 1);
                const int index = (src[x / per_byte] >> shift) & ((1 << bit_count) - 1);
                std::memcpy(dst, colors[index], 4);
                break;
            }
            case 24:
                std::memcpy(dst, src + 3 * x, 3);
                dst[3] = 255;
                break;
            default: {
                const uint32_t value = bit_count == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
                dst[0] = ExtractColor(value, blue);
                dst[1] = ExtractColor(value, green);
                dst[2] = ExtractColor(value, red);
                dst[3] = alpha.bits ? ExtractAlpha(value, alpha) : 255;
                any_alpha |= alpha.bits && dst[3] != 0;
            }
            }
        }
    }
    // Some writers declare an alpha mask but leave it all 0: such a picture is opaque.
    const bool has_alpha = alpha.bits != 0 && any_alpha;
    if (alpha.bits != 0 && !any_alpha) {
        for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    }

    image.width = width;
    image.height = height;
    image.has_alpha = has_alpha;
    image.pixels = std::move(pixels);
    return 0;
}

// The file form is the platform's, which the frame dumps write too.
std::vector<uint8_t> EncodeBmp(const CBmpImage& image, bool with_alpha) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<size_t>(image.width) * image.height * 4)
        return {};
    return platform::EncodeBmp(image.pixels.data(), std::ptrdiff_t{image.width} * 4, image.width, image.height,
                               with_alpha);
}

} // namespace zuderadeDoruVAV3ed
