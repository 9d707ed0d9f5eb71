// AlphaTables.cpp -- fills the blend tables once (truncating integer arithmetic).
#include "sdk/draw/AlphaTables.h"

#include <mutex>

namespace zuderadeDoruVAV3ed {

alignas(64) uint8_t AlphaMulTable[256][256];
alignas(64) uint8_t AlphaComplementTable[256][256];
alignas(64) uint16_t AlphaTable565[16][65536];
alignas(64) uint16_t AlphaTable555[16][65536];

namespace {

void FillAlphaTables() {
    for (unsigned x = 0; x < 256; ++x) {
        for (unsigned v = 0; v < 256; ++v) {
            AlphaMulTable[x][v] = static_cast<uint8_t>(x * v / 255);
            AlphaComplementTable[x][v] = static_cast<uint8_t>(v * (255 - x) / 255);
        }
    }
    // Scaling each field by L / 15 can only shrink it, so no field spills into its neighbour.
    for (unsigned level = 0; level < 16; ++level) {
        for (unsigned p = 0; p < 65536; ++p) {
            unsigned r = (p >> 11) * level / 15, g = ((p >> 5) & 63) * level / 15, b = (p & 31) * level / 15;
            AlphaTable565[level][p] = static_cast<uint16_t>(r << 11 | g << 5 | b);
            r = ((p >> 10) & 31) * level / 15, g = ((p >> 5) & 31) * level / 15, b = (p & 31) * level / 15;
            AlphaTable555[level][p] = static_cast<uint16_t>(r << 10 | g << 5 | b);
        }
    }
}

} // namespace

void InitAlphaTables() {
    static std::once_flag filled;
    std::call_once(filled, FillAlphaTables);
}

// Filled while the program starts, so that a blend through any surface reads full tables even
// when no display object (whose set-up also calls InitAlphaTables) was ever made.
static const bool kFilledAtStart = (InitAlphaTables(), true);

} // namespace zuderadeDoruVAV3ed
