// Seeking in a MIDI sound: milliseconds to music time in 64 bits, held to the piece, and a
// length of 0 or less refused.
#include <gtest/gtest.h>

#include "sdk/sound/MIDISeek.h"

using namespace zuderadeDoruVAV3ed;

TEST(MIDISeek, MillisecondsBecomeMusicTimeWithoutOverflow) {
    struct Case {
        int32_t music;
        int64_t length_ms;
        int64_t ms;
        bool ok;
        int32_t seek;
    } cases[] = {
        {1920, 2000, 500, true, 480},
        {1920, 2000, 0, true, 0},
        {1920, 2000, 2000, true, 1920},
        {1920, 2000, 999999, true, 1920},                         // past the end: the end
        {1920, 2000, -5, true, 0},
        {0x7FFFFFFF, 0x7FFFFFFF, 0x40000000, true, 0x40000000},   // 32-bit products would overflow
        {3000000, 600000, 300000, true, 1500000},                 // ten minutes: 9e11 in the product
        {1920, 0, 100, false, -7},                                // no length
        {1920, -3, 100, false, -7},                               // a failed length query
        {-1, 2000, 100, false, -7},
    };
    for (const Case& c : cases) {
        int32_t seek = -7;
        EXPECT_EQ(MIDISeekPoint(c.music, c.length_ms, c.ms, seek), c.ok) << c.music << " " << c.length_ms << " " << c.ms;
        EXPECT_EQ(seek, c.seek) << c.music << " " << c.length_ms << " " << c.ms;
    }
}
