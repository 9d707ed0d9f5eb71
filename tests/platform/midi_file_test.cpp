// Standard MIDI files: running status, tempo map, merging of format-1 tracks, system exclusive,
// time code, refusal of broken files, and truncated or scrambled files never read past the data.
#include <gtest/gtest.h>

#include <random>

#include "platform/midi_file.h"
#include "tests/midi_builder.h"

using namespace platform;
using testutil::MakeSmf;
using testutil::SmfTrack;

namespace {

MidiSong Parse(const std::vector<uint8_t>& bytes) {
    MidiSong song;
    std::string error;
    EXPECT_TRUE(ParseMidiFile(bytes.data(), bytes.size(), song, error)) << error;
    return song;
}

struct Ev {
    uint32_t tick;
    uint8_t status, data1, data2;
    bool operator==(const Ev&) const = default;
};

std::vector<Ev> Events(const MidiSong& song) {
    std::vector<Ev> out;
    for (const MidiEvent& e : song.events) out.push_back({e.tick, e.status, e.data1, e.data2});
    return out;
}

TEST(MidiFile, RunningStatusAndOneByteMessages) {
    SmfTrack t;
    t.Event(0, {0x90, 60, 100}).Event(10, {62, 90})   // running note-on
        .Event(5, {0xC1, 7}).Event(0, {8})            // running program change: one data byte
        .Event(5, {0xE0, 0x00, 0x40}).Event(0, {0x80, 60, 0}).End(20);
    MidiSong song = Parse(MakeSmf(0, 96, {t}));
    std::vector<Ev> want = {{0, 0x90, 60, 100}, {10, 0x90, 62, 90}, {15, 0xC1, 7, 0},
                            {15, 0xC1, 8, 0},   {20, 0xE0, 0, 0x40}, {20, 0x80, 60, 0}};
    EXPECT_EQ(Events(song), want);
    EXPECT_EQ(song.length_ticks, 40u);
    EXPECT_EQ(song.ticks_per_quarter, 96u);
}

TEST(MidiFile, FormatOneTracksMergeByTimeThenTrack) {
    SmfTrack conductor, a, b;
    conductor.Tempo(0, 400000).Tempo(960, 250000).End(0);
    a.Event(0, {0x90, 60, 1}).Event(480, {0x80, 60, 0}).End(0);
    b.Event(0, {0x91, 40, 2}).Event(240, {0x81, 40, 0}).Event(240, {0x91, 41, 3}).End(600);
    MidiSong song = Parse(MakeSmf(1, 480, {conductor, a, b}));
    std::vector<Ev> want = {{0, 0x90, 60, 1}, {0, 0x91, 40, 2}, {240, 0x81, 40, 0},
                            {480, 0x80, 60, 0}, {480, 0x91, 41, 3}};
    EXPECT_EQ(Events(song), want);
    EXPECT_EQ(song.length_ticks, 1080u);   // the longest track
    ASSERT_EQ(song.tempo_map.size(), 2u);
    EXPECT_EQ(song.tempo_map[0].us_per_quarter, 400000u);
    EXPECT_EQ(song.tempo_map[1].tick, 960u);
}

TEST(MidiFile, TempoMapConvertsBothWays) {
    SmfTrack t;
    // 120 a minute to start (no tempo at tick 0), 60 a minute from tick 480, 240 from 960.
    t.Tempo(480, 1000000).Tempo(480, 250000).End(480);
    MidiSong song = Parse(MakeSmf(0, 480, {t}));
    struct Case {
        uint32_t tick;
        int64_t us;
    } cases[] = {{0, 0}, {240, 250000}, {480, 500000}, {720, 1000000}, {960, 1500000}, {1440, 1750000}};
    for (const Case& c : cases) {
        EXPECT_EQ(song.TickToMicroseconds(c.tick), c.us) << c.tick;
        EXPECT_EQ(song.MicrosecondsToTick(c.us), c.tick) << c.us;
    }
    EXPECT_EQ(song.LengthMicroseconds(), 1750000);
    EXPECT_EQ(song.MicrosecondsToTick(-5), 0u);
    EXPECT_EQ(song.MicrosecondsToTick(500000 + 1999), 480u);   // rounds down
}

TEST(MidiFile, SystemExclusiveMetaEventsAndTrailingData) {
    SmfTrack t;
    t.Event(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7})   // General MIDI on
        .Event(0, {0xFF, 0x03, 0x04, 'P', 'i', 'a', 'n'})    // track name: skipped
        .Event(0, {0xF7, 0x02, 0x01, 0x02})                  // escaped packet: skipped
        .Event(3, {0xB0, 7, 100}).End(1)
        .Raw({0x00, 0x90, 1, 1});                            // after the end: ignored
    MidiSong song = Parse(MakeSmf(0, 480, {t}));
    ASSERT_EQ(song.events.size(), 2u);
    EXPECT_EQ(song.events[0].status, 0xF0);
    std::vector<uint8_t> sysex(song.sysex_data.begin() + song.events[0].sysex_offset,
                               song.sysex_data.begin() + song.events[0].sysex_offset + song.events[0].sysex_length);
    EXPECT_EQ(sysex, (std::vector<uint8_t>{0x7E, 0x7F, 0x09, 0x01}));
    EXPECT_EQ(song.events[1].status, 0xB0);
    EXPECT_EQ(song.length_ticks, 4u);
}

TEST(MidiFile, TimeCodeDivisionCountsTicksPerSecond) {
    SmfTrack t;
    t.Event(0, {0x90, 60, 1}).Tempo(0, 1000000).End(100);   // tempo is meaningless with time code
    MidiSong song = Parse(MakeSmf(0, uint16_t((uint8_t(-25) << 8) | 40), {t}));
    EXPECT_TRUE(song.time_code);
    EXPECT_EQ(song.ticks_per_quarter, 1000u);
    EXPECT_EQ(song.TickToMicroseconds(100), 100000);
    EXPECT_EQ(song.MicrosecondsToTick(100000), 100u);
}

TEST(MidiFile, UnknownChunksAreSkipped) {
    SmfTrack t;
    t.Event(0, {0x90, 60, 1}).End(1);
    std::vector<uint8_t> bytes = MakeSmf(0, 480, {t});
    std::vector<uint8_t> junk = {'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 0xAA, 0xBB};
    bytes.insert(bytes.begin() + 14, junk.begin(), junk.end());
    EXPECT_EQ(Parse(bytes).events.size(), 1u);
}

TEST(MidiFile, BrokenFilesAreRefusedWithAReason) {
    SmfTrack good;
    good.Event(0, {0x90, 60, 1}).End(1);
    auto with_track = [](std::initializer_list<uint8_t> raw) {
        SmfTrack t;
        t.Raw(raw);
        return MakeSmf(0, 480, {t});
    };
    std::vector<uint8_t> header_short = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0};
    std::vector<uint8_t> track_cut = MakeSmf(0, 480, {good});
    track_cut.resize(track_cut.size() - 2);
    std::vector<uint8_t> track_missing = MakeSmf(1, 480, {good});
    track_missing[11] = 2;   // claims two tracks
    SmfTrack endless;
    for (int i = 0; i < 9; ++i) endless.Event(0x0FFFFFFF, {0x90, 1, 1});
    std::vector<uint8_t> too_long = MakeSmf(0, 480, {endless});
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"not a MIDI file", {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0}},
        {"header cut short", header_short},
        {"format 2", MakeSmf(2, 480, {good})},
        {"no tracks", MakeSmf(1, 480, {})},
        {"format 0 with two tracks", MakeSmf(0, 480, {good, good})},
        {"division 0", MakeSmf(0, 0, {good})},
        {"bad time-code rate", MakeSmf(0, uint16_t((uint8_t(-26) << 8) | 4), {good})},
        {"track cut short", track_cut},
        {"track missing", track_missing},
        {"data byte without running status", with_track({0x00, 0x40, 0x40})},
        {"channel message cut short", with_track({0x00, 0x90, 0x40})},
        {"data byte out of range", with_track({0x00, 0x90, 0x40, 0x80})},
        {"delta time of five bytes", with_track({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 1, 1})},
        {"system exclusive cut short", with_track({0x00, 0xF0, 0x10, 0x01})},
        {"meta event cut short", with_track({0x00, 0xFF, 0x01, 0x05, 'a'})},
        {"tempo of two bytes", with_track({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1})},
        {"tempo of 0", with_track({0x00, 0xFF, 0x51, 0x03, 0, 0, 0})},
        {"system common message", with_track({0x00, 0xF2, 0x00, 0x00})},
        {"time past the range", too_long},
    };
    for (const Case& c : cases) {
        MidiSong song;
        song.events.push_back({});   // a refused file leaves an empty song
        std::string error;
        EXPECT_FALSE(ParseMidiFile(c.bytes.data(), c.bytes.size(), song, error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_TRUE(song.events.empty()) << c.name;
    }
}

// Every prefix of a valid file, and many scrambled copies, either parse or give a reason; the
// data is copied into an exactly sized buffer so that the address sanitizer sees any overread.
TEST(MidiFile, TruncatedAndScrambledFilesNeverOverread) {
    SmfTrack conductor, a;
    conductor.Tempo(0, 600000).Event(0, {0xF0, 0x03, 0x41, 0x10, 0xF7}).Event(0, {0xFF, 0x01, 0x02, 'h', 'i'}).End(10);
    a.Event(0, {0xC0, 5}).Event(0, {0x90, 60, 100}).Event(100, {61, 100}).Event(100, {0x80, 60, 0}).End(1);
    const std::vector<uint8_t> valid = MakeSmf(1, 480, {conductor, a});
    auto check = [](const std::vector<uint8_t>& bytes) {
        std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        MidiSong song;
        std::string error;
        bool ok = ParseMidiFile(exact.get(), bytes.size(), song, error);
        EXPECT_TRUE(ok || !error.empty());
        for (const MidiEvent& e : song.events) {
            if (e.status == 0xF0) {
                EXPECT_LE(size_t(e.sysex_offset) + e.sysex_length, song.sysex_data.size());
            }
        }
    };
    for (size_t n = 0; n <= valid.size(); ++n) check(std::vector<uint8_t>(valid.begin(), valid.begin() + n));
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = valid;
        int flips = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
        if (random() % 4 == 0) bytes.resize(random() % bytes.size());
        check(bytes);
    }
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes(random() % 64);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        if (bytes.size() >= 4 && round % 2) std::copy_n("MThd", 4, bytes.begin());
        check(bytes);
    }
}

} // namespace
