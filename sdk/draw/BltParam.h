// BltParam.h -- the parameter block every blitter routine receives by value, and its packings.
#pragma once

#include <cstdint>
#include <cstring>

namespace zuderadeDoruVAV3ed {

// Eight bytes laid out per kind: nothing (copy, plain add/subtract, alpha blend); one word
// (constant alpha in byte 0, or the rates a and b in bytes 0 and 1); a key pixel of the
// source's type (keyed copy, keyed add/subtract); or a key pixel in the source's own layout
// (2, 3 or 4 bytes) directly followed by the alpha byte or the two rate bytes.
struct BltParam {
    uint8_t bytes[8] = {};

    // Bytes 0-3 as a little-endian word.
    uint32_t Word() const {
        uint32_t w;
        std::memcpy(&w, bytes, 4);
        return w;
    }
    static BltParam FromWord(uint32_t word) {
        BltParam p;
        std::memcpy(p.bytes, &word, 4);
        return p;
    }
};

// Kinds 8, 9 and 15: the key pixel followed by the alpha byte.
using BltKeyAlphaParam = BltParam;
// Kind 17: the key pixel followed by rate a and rate b.
using BltKeyRatesParam = BltParam;

// key_size bytes of the key (2, 3 or 4, clamped to that range), then the alpha.
inline BltKeyAlphaParam MakeKeyAlphaParam(uint32_t key, int key_size, uint8_t alpha) {
    key_size = key_size < 2 ? 2 : key_size > 4 ? 4 : key_size;
    BltParam p = BltParam::FromWord(key);
    for (int i = key_size; i < 4; ++i) p.bytes[i] = 0;
    p.bytes[key_size] = alpha;
    return p;
}

// key_size bytes of the key, then rate a, then rate b (for a 3-byte source: the low 16 bits of
// the key, bits 16-23, a, b).
inline BltKeyRatesParam MakeKeyRatesParam(uint32_t key, int key_size, uint8_t rate_a, uint8_t rate_b) {
    BltParam p = MakeKeyAlphaParam(key, key_size, rate_a);
    key_size = key_size < 2 ? 2 : key_size > 4 ? 4 : key_size;
    p.bytes[key_size + 1] = rate_b;
    return p;
}

} // namespace zuderadeDoruVAV3ed
