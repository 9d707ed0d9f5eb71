// AlphaTables.h -- the blend tables: filled once when the program starts, only read afterwards.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// [x][v] = x * v / 255 (truncated): symmetric; row 255 gives v, row 0 gives 0.
extern uint8_t AlphaMulTable[256][256];
// [x][v] = v * (255 - x) / 255 (truncated): row 0 gives v, row 255 gives 0;
// AlphaMulTable[x][v] + AlphaComplementTable[x][w] <= 255 for any x, v, w.
extern uint8_t AlphaComplementTable[256][256];
// [L][p], L = 0..15, p an RGB565 word: each field of p times L / 15 (truncated), packed again.
// Row 15 gives p, row 0 gives 0; a row-L plus a row-M entry never carries when L + M <= 15.
extern uint16_t AlphaTable565[16][65536];
// The same for RGB555 words: bit 15 of p is ignored and every entry has bit 15 clear.
extern uint16_t AlphaTable555[16][65536];

// Fills the four tables; thread-safe, the work is done by the first call only (which happens
// during static initialisation; callers that may run before it call this themselves).
void InitAlphaTables();

} // namespace zuderadeDoruVAV3ed
