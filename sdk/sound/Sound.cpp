// Sound.cpp -- the time conversions shared by every sound.
#include "sdk/sound/Sound.h"

#include <cstdint>
#include <limits>

namespace zuderadeDoruVAV3ed {

int ISound::ConvertFromMilliseconds(int ms, int* hour, int* minute, int* second, int* millisecond) {
    if (ms < 0) return -1;
    const int64_t total = ms;
    const int64_t seconds = total / 1000, minutes = seconds / 60;
    if (millisecond) *millisecond = static_cast<int>(total % 1000);
    if (second) *second = static_cast<int>(seconds % 60);
    if (minute) *minute = static_cast<int>(minutes % 60);
    if (hour) *hour = static_cast<int>(minutes / 60);
    return 0;
}

int ISound::ConvertToMilliseconds(int* ms, int hour, int minute, int second, int millisecond) {
    if (hour < 0 || minute < 0 || second < 0 || millisecond < 0) return -1;
    // In 64 bits, so a sum past the int range is refused instead of wrapping.
    const int64_t total = ((static_cast<int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    if (total > std::numeric_limits<int>::max()) return -1;
    if (ms) *ms = static_cast<int>(total);
    return 0;
}

} // namespace zuderadeDoruVAV3ed
