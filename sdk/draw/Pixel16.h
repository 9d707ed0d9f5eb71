// Pixel16.h -- the 16-bit pixel setters: 8-bit channels narrowed by truncation.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// An RGB565 pixel: red bits 11-15, green 5-10, blue 0-4.
struct CPixel565 {
    uint16_t value = 0;
    void SetRGB(uint8_t r, uint8_t g, uint8_t b) {
        value = static_cast<uint16_t>((r & 0xF8) << 8 | (g & 0xFC) << 3 | b >> 3);
    }
};

// An RGB555 pixel: red bits 10-14, green 5-9, blue 0-4; bit 15 is always written 0.
struct CPixel555 {
    uint16_t value = 0;
    void SetRGB(uint8_t r, uint8_t g, uint8_t b) {
        value = static_cast<uint16_t>((r & 0xF8) << 7 | (g & 0xF8) << 2 | b >> 3);
    }
};

} // namespace zuderadeDoruVAV3ed
