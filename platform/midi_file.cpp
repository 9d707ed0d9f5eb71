// midi_file.cpp -- the standard-MIDI-file reader: chunks, tracks, running status, meta events.
#include "platform/midi_file.h"

#include <algorithm>
#include <limits>

namespace platform {

namespace {

constexpr uint32_t kDefaultTempo = 500000;   // 120 quarter notes a minute
// A tick beyond this is taken as a broken file (about 2^31 ticks: days of music).
constexpr uint64_t kMaxTick = 0x7FFFFFFF;

// Bounds-checked reading of one chunk's bytes.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool AtEnd() const { return pos_ >= size_; }
    size_t Remaining() const { return size_ - pos_; }
    size_t Position() const { return pos_; }
    bool Byte(uint8_t& b) {
        if (pos_ >= size_) return false;
        b = data_[pos_++];
        return true;
    }
    bool Peek(uint8_t& b) const {
        if (pos_ >= size_) return false;
        b = data_[pos_];
        return true;
    }
    bool Skip(size_t n) {
        if (n > Remaining()) return false;
        pos_ += n;
        return true;
    }
    bool Bytes(size_t n, const uint8_t*& p) {
        if (n > Remaining()) return false;
        p = data_ + pos_;
        pos_ += n;
        return true;
    }
    bool U16(uint32_t& v) {
        const uint8_t* p;
        if (!Bytes(2, p)) return false;
        v = (uint32_t(p[0]) << 8) | p[1];
        return true;
    }
    bool U32(uint32_t& v) {
        const uint8_t* p;
        if (!Bytes(4, p)) return false;
        v = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
        return true;
    }
    // A variable-length quantity: at most four bytes, seven bits each.
    bool VarLen(uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!Byte(b)) return false;
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Data bytes of a channel message by its high nibble.
int DataBytes(uint8_t status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }

struct TrackEvent {
    MidiEvent event;
    uint32_t track;
    uint32_t order;
};

class Parser {
public:
    Parser(MidiSong& song, std::string& error) : song_(song), error_(error) {}

    bool Parse(const uint8_t* data, size_t size) {
        Reader file(data, size);
        const uint8_t* id;
        uint32_t header_length, format, tracks, division;
        if (!file.Bytes(4, id) || std::string(reinterpret_cast<const char*>(id), 4) != "MThd")
            return Fail("no MThd header");
        if (!file.U32(header_length) || header_length < 6 || header_length > file.Remaining())
            return Fail("header chunk cut short");
        Reader header(data + file.Position(), header_length);
        file.Skip(header_length);
        header.U16(format);
        header.U16(tracks);
        header.U16(division);
        if (format > 1) return Fail("format " + std::to_string(format) + " is not supported");
        if (tracks == 0) return Fail("no tracks");
        if (format == 0 && tracks != 1) return Fail("format 0 with more than one track");
        if (division == 0) return Fail("division of 0");
        song_.format = static_cast<int>(format);
        if (division & 0x8000) {
            // Time code: frames a second (as a negative byte) times ticks a frame.
            int fps = -static_cast<int8_t>(division >> 8);
            uint32_t per_frame = division & 0xFF;
            if (fps != 24 && fps != 25 && fps != 29 && fps != 30) return Fail("bad time-code frame rate");
            if (per_frame == 0) return Fail("time code of 0 ticks a frame");
            song_.time_code = true;
            // 29 stands for 29.97 drop-frame; 30 is close enough for timing music.
            song_.ticks_per_quarter = static_cast<uint32_t>(fps == 29 ? 30 : fps) * per_frame;
        } else {
            song_.ticks_per_quarter = division;
        }

        uint32_t track = 0;
        while (track < tracks) {
            uint32_t length;
            if (!file.Bytes(4, id) || !file.U32(length))
                return Fail("track " + std::to_string(track) + " missing");
            if (length > file.Remaining()) return Fail("track " + std::to_string(track) + " cut short");
            const uint8_t* body;
            file.Bytes(length, body);
            // Chunks of other kinds are skipped, as the format asks.
            if (std::string(reinterpret_cast<const char*>(id), 4) != "MTrk") continue;
            if (!ParseTrack(track, body, length)) return false;
            ++track;
        }
        Finish();
        return true;
    }

private:
    bool Fail(const std::string& why) {
        error_ = why;
        return false;
    }

    bool ParseTrack(uint32_t track, const uint8_t* body, size_t length) {
        Reader r(body, length);
        uint64_t tick = 0;
        uint8_t running = 0;
        auto where = [&] { return "track " + std::to_string(track) + " at byte " + std::to_string(r.Position()); };
        while (!r.AtEnd()) {
            uint32_t delta;
            if (!r.VarLen(delta)) return Fail(where() + ": bad delta time");
            tick += delta;
            if (tick > kMaxTick) return Fail(where() + ": time past the end of the range");
            uint8_t status;
            if (!r.Peek(status)) return Fail(where() + ": event missing");
            if (status & 0x80) {
                r.Skip(1);
            } else {
                if (!running) return Fail(where() + ": data byte without a running status");
                status = running;
            }
            if (status < 0xF0) {
                running = status;
                MidiEvent e;
                e.tick = static_cast<uint32_t>(tick);
                e.status = status;
                if (!r.Byte(e.data1) || (DataBytes(status) == 2 && !r.Byte(e.data2)))
                    return Fail(where() + ": channel message cut short");
                if ((e.data1 | e.data2) & 0x80) return Fail(where() + ": data byte out of range");
                Add(e, track);
            } else if (status == 0xF0 || status == 0xF7) {
                // System exclusive (F0) or an escaped packet (F7): a length, then the bytes.
                running = 0;
                uint32_t n;
                const uint8_t* p;
                if (!r.VarLen(n) || !r.Bytes(n, p)) return Fail(where() + ": system exclusive cut short");
                if (status == 0xF0) {
                    if (n > 0 && p[n - 1] == 0xF7) --n;
                    MidiEvent e;
                    e.tick = static_cast<uint32_t>(tick);
                    e.status = 0xF0;
                    e.sysex_offset = static_cast<uint32_t>(song_.sysex_data.size());
                    e.sysex_length = n;
                    song_.sysex_data.insert(song_.sysex_data.end(), p, p + n);
                    Add(e, track);
                }
            } else if (status == 0xFF) {
                running = 0;
                uint8_t type;
                uint32_t n;
                const uint8_t* p;
                if (!r.Byte(type) || !r.VarLen(n) || !r.Bytes(n, p)) return Fail(where() + ": meta event cut short");
                if (type == 0x51) {
                    if (n != 3) return Fail(where() + ": tempo of " + std::to_string(n) + " bytes");
                    uint32_t us = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
                    if (us == 0) return Fail(where() + ": tempo of 0");
                    tempos_.push_back({TempoChange{static_cast<uint32_t>(tick), us}, track, order_++});
                } else if (type == 0x2F) {
                    break;   // end of track: anything after it is ignored
                }
            } else {
                return Fail(where() + ": system message " + std::to_string(status) + " in a file");
            }
        }
        song_.length_ticks = std::max(song_.length_ticks, static_cast<uint32_t>(tick));
        return true;
    }

    void Add(const MidiEvent& e, uint32_t track) { events_.push_back({e, track, order_++}); }

    void Finish() {
        auto by_time = [](const auto& a, const auto& b) {
            if (a.tick != b.tick) return a.tick < b.tick;
            if (a.track != b.track) return a.track < b.track;
            return a.order < b.order;
        };
        std::sort(events_.begin(), events_.end(), [&](const TrackEvent& a, const TrackEvent& b) {
            return by_time(Key{a.event.tick, a.track, a.order}, Key{b.event.tick, b.track, b.order});
        });
        song_.events.reserve(events_.size());
        for (const TrackEvent& e : events_) song_.events.push_back(e.event);

        std::sort(tempos_.begin(), tempos_.end(), [&](const TempoEntry& a, const TempoEntry& b) {
            return by_time(Key{a.change.tick, a.track, a.order}, Key{b.change.tick, b.track, b.order});
        });
        song_.tempo_map.push_back({0, kDefaultTempo});
        for (const TempoEntry& t : tempos_) {
            // A later change at the same tick replaces an earlier one.
            if (song_.tempo_map.back().tick == t.change.tick)
                song_.tempo_map.back() = t.change;
            else
                song_.tempo_map.push_back(t.change);
        }
    }

    struct Key {
        uint32_t tick, track, order;
    };
    struct TempoEntry {
        TempoChange change;
        uint32_t track;
        uint32_t order;
    };

    MidiSong& song_;
    std::string& error_;
    std::vector<TrackEvent> events_;
    std::vector<TempoEntry> tempos_;
    uint32_t order_ = 0;
};

} // namespace

int64_t MidiSong::TickToMicroseconds(uint32_t tick) const {
    if (time_code) return static_cast<int64_t>(tick) * 1000000 / ticks_per_quarter;
    int64_t us = 0;
    uint32_t from = 0;
    uint32_t tempo = kDefaultTempo;
    for (const TempoChange& t : tempo_map) {
        if (t.tick >= tick) break;
        us += static_cast<int64_t>(t.tick - from) * tempo / ticks_per_quarter;
        from = t.tick;
        tempo = t.us_per_quarter;
    }
    return us + static_cast<int64_t>(tick - from) * tempo / ticks_per_quarter;
}

uint32_t MidiSong::MicrosecondsToTick(int64_t us) const {
    if (us <= 0) return 0;
    auto clamp_tick = [](int64_t t) {
        return static_cast<uint32_t>(std::min<int64_t>(t, std::numeric_limits<uint32_t>::max()));
    };
    if (time_code) return clamp_tick(static_cast<int64_t>(static_cast<__int128>(us) * ticks_per_quarter / 1000000));
    int64_t at = 0;   // microseconds at the start of the current tempo
    uint32_t from = 0;
    uint32_t tempo = kDefaultTempo;
    for (const TempoChange& t : tempo_map) {
        if (t.tick > from) {
            int64_t span = static_cast<int64_t>(t.tick - from) * tempo / ticks_per_quarter;
            if (at + span > us) break;
            at += span;
        }
        from = t.tick;
        tempo = t.us_per_quarter;
    }
    return clamp_tick(from + static_cast<int64_t>(static_cast<__int128>(us - at) * ticks_per_quarter / tempo));
}

bool ParseMidiFile(const void* data, size_t size, MidiSong& song, std::string& error) {
    song = MidiSong{};
    error.clear();
    if (!data && size) {
        error = "no data";
        return false;
    }
    Parser parser(song, error);
    if (!parser.Parse(static_cast<const uint8_t*>(data), size)) {
        song = MidiSong{};
        return false;
    }
    return true;
}

} // namespace platform
