// MIDISeek.h -- the music time of a position in milliseconds, for seeking in a MIDI sound.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// The music time ms milliseconds into a piece of length_music music time and length_ms
// milliseconds: length_music x ms / length_ms in 64 bits, held to 0..length_music. false (seek
// unchanged) when length_ms is 0 or less, as it is when the length could not be had.
bool MIDISeekPoint(int32_t length_music, int64_t length_ms, int64_t ms, int32_t& seek);

} // namespace zuderadeDoruVAV3ed
