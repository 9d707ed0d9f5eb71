// BltClip.h -- the clip and stretch set-up that every rectangle blitter runs once per call.
#pragma once

#include <cstdint>

#include "sdk/draw/SurfaceInfo.h"

namespace zuderadeDoruVAV3ed {

// What ClipBltRect hands the blitter's walk. The stretch words are written only for a stretch.
struct BltClipState {
    uint8_t same_size = 0;   // 1: destination size equals the source rectangle's (1:1 walk)
    RECT src{};              // source rectangle, clipped
    RECT dst{};              // destination rectangle, clipped
    RECT clip{};             // the clip rectangle, limited to the destination
    int32_t x_error = 0;     // x error start (already past the columns clipped at the left)
    int32_t x_remainder = 0; // source width mod destination width
    int32_t x_denominator = 0; // the unclipped destination width
    int32_t x_step = 0;      // whole source pixels per destination pixel
    int32_t y_error = 0;     // the same four words for rows
    int32_t y_remainder = 0;
    int32_t y_denominator = 0;
    int32_t y_step = 0;
};

// Fills state for a blit of source onto dest described by info; 0 when something is left to
// draw (the destination rectangle is then at least one pixel wide and high), 1 when not.
// Reads only the widths and heights of the two descriptors.
int ClipBltRect(const CSurfaceInfo& dest, const CSurfaceInfo& source, const BltInfo& info, BltClipState& state);

} // namespace zuderadeDoruVAV3ed
