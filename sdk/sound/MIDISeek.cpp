// MIDISeek.cpp -- milliseconds to music time without overflow.
#include "sdk/sound/MIDISeek.h"

#include <algorithm>

namespace zuderadeDoruVAV3ed {

bool MIDISeekPoint(int32_t length_music, int64_t length_ms, int64_t ms, int32_t& seek) {
    if (length_ms <= 0 || length_music < 0) return false;
    ms = std::clamp<int64_t>(ms, 0, length_ms);
    // Both factors are below 2^31 here, so the product fits in 64 bits.
    seek = static_cast<int32_t>(static_cast<int64_t>(length_music) * ms / length_ms);
    return true;
}

} // namespace zuderadeDoruVAV3ed
