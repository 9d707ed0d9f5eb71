// midi_file.h -- standard MIDI files (formats 0 and 1) read into one time-ordered event list.
//
// The reader checks every length against the data it has: a broken file is refused with a
// reason, never read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One channel message or system-exclusive message, at an absolute tick of the file.
struct MidiEvent {
    uint32_t tick = 0;
    uint8_t status = 0;            // 0x80..0xEF channel messages, 0xF0 system exclusive
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint32_t sysex_offset = 0;     // system exclusive: its bytes (after 0xF0, without a final 0xF7)
    uint32_t sysex_length = 0;     //   in MidiSong::sysex_data
};

struct TempoChange {
    uint32_t tick;
    uint32_t us_per_quarter;
};

struct MidiSong {
    int format = 0;
    // Ticks per quarter note; with a time-code division, ticks per second instead.
    uint32_t ticks_per_quarter = 480;
    bool time_code = false;
    std::vector<MidiEvent> events;            // by tick; equal ticks keep track order, then file order
    std::vector<TempoChange> tempo_map;       // by tick; the first entry is always at tick 0
    std::vector<uint8_t> sysex_data;
    uint32_t length_ticks = 0;                // the latest end of a track

    // Microseconds from the start to tick, along the tempo map (64-bit all the way).
    int64_t TickToMicroseconds(uint32_t tick) const;
    // The tick reached after us microseconds (rounded down); negative us gives 0.
    uint32_t MicrosecondsToTick(int64_t us) const;
    int64_t LengthMicroseconds() const { return TickToMicroseconds(length_ticks); }
};

// Reads a whole file image. false with error set (an English reason) when the data is not a
// standard MIDI file of format 0 or 1 or is cut short or inconsistent.
bool ParseMidiFile(const void* data, size_t size, MidiSong& song, std::string& error);

} // namespace platform
