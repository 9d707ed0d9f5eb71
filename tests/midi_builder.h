// midi_builder.h -- builds small standard MIDI files in memory for tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testutil {

// One track's events, each after a delta time in ticks.
class SmfTrack {
public:
    SmfTrack& Event(uint32_t delta, std::initializer_list<uint8_t> bytes) {
        VarLen(delta);
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    SmfTrack& Tempo(uint32_t delta, uint32_t us_per_quarter) {
        return Event(delta, {0xFF, 0x51, 0x03, uint8_t(us_per_quarter >> 16), uint8_t(us_per_quarter >> 8),
                             uint8_t(us_per_quarter)});
    }
    SmfTrack& End(uint32_t delta = 0) { return Event(delta, {0xFF, 0x2F, 0x00}); }
    // Raw bytes with no delta time before them.
    SmfTrack& Raw(std::initializer_list<uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    SmfTrack& VarLen(uint32_t value) {
        uint8_t groups[5];
        int n = 0;
        do {
            groups[n++] = value & 0x7F;
            value >>= 7;
        } while (value);
        while (n > 1) bytes_.push_back(groups[--n] | 0x80);
        bytes_.push_back(groups[0]);
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v >> 16);
    PutU16(out, v);
}

inline std::vector<uint8_t> MakeSmf(int format, uint16_t division, const std::vector<SmfTrack>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    PutU32(out, 6);
    PutU16(out, format);
    PutU16(out, static_cast<uint32_t>(tracks.size()));
    PutU16(out, division);
    for (const SmfTrack& t : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        PutU32(out, static_cast<uint32_t>(t.Bytes().size()));
        out.insert(out.end(), t.Bytes().begin(), t.Bytes().end());
    }
    return out;
}

// A short piano phrase: program 0 on channel 0, four loud quarter notes at 480 ticks a quarter
// and 120 quarters a minute (two seconds in all).
inline std::vector<uint8_t> MakePianoPhrase() {
    SmfTrack t;
    t.Tempo(0, 500000).Event(0, {0xC0, 0x00}).Event(0, {0xB0, 0x07, 0x7F});
    for (uint8_t key : {60, 64, 67, 72}) t.Event(0, {0x90, key, 0x7F}).Event(480, {0x80, key, 0x40});
    t.End();
    return MakeSmf(0, 480, {t});
}

} // namespace testutil
