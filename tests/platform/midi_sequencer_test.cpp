// The sequencer dispatches events at the frame their time falls on, however the frames are
// sliced; it follows tempo changes, chases the set-up before a start point, repeats and ends.
#include <gtest/gtest.h>

#include <random>

#include "platform/audio_mix.h"
#include "platform/midi_sequencer.h"
#include "tests/midi_builder.h"

using namespace platform;
using testutil::MakeSmf;
using testutil::SmfTrack;

namespace {

struct Dispatched {
    int64_t frame;
    uint8_t status, data1, data2;
    bool operator==(const Dispatched&) const = default;
};

// Records what the sequencer sends, stamped with the frame being rendered.
class RecordingSink : public MidiSink {
public:
    void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override { log.push_back({frame, status, data1, data2}); }
    void SysEx(const uint8_t*, size_t size) override { log.push_back({frame, 0xF0, uint8_t(size), 0}); }
    void AllNotesOff() override { log.push_back({frame, 0xFF, 1, 0}); }
    void Reset() override { log.push_back({frame, 0xFF, 2, 0}); }
    int64_t frame = 0;
    std::vector<Dispatched> log;
};

std::shared_ptr<const MidiSong> Song(const std::vector<uint8_t>& bytes) {
    auto song = std::make_shared<MidiSong>();
    std::string error;
    EXPECT_TRUE(ParseMidiFile(bytes.data(), bytes.size(), *song, error)) << error;
    return song;
}

// Renders total frames in slices chosen by next_slice, as a mixer would.
template <class Slicer>
void Render(MidiSequencer& seq, RecordingSink& sink, int64_t total, Slicer next_slice) {
    while (sink.frame < total) {
        int room = static_cast<int>(std::min<int64_t>(next_slice(), total - sink.frame));
        for (int done = 0; done < room;) {
            int n = seq.Step(sink, room - done);
            ASSERT_GE(n, 1);
            ASSERT_LE(n, room - done);
            seq.Advance(n);
            sink.frame += n;
            done += n;
        }
    }
}

// 480 ticks a quarter; 120 a minute, then 60 a minute from tick 960.
std::shared_ptr<const MidiSong> TempoSong() {
    SmfTrack t;
    t.Event(0, {0xC0, 3}).Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0})
        .Tempo(480, 1000000).Event(0, {0x90, 62, 100}).Event(240, {0x80, 62, 0}).End(240);
    return Song(MakeSmf(0, 480, {t}));
}

TEST(MidiSequencer, EventsFallOnTheirFrameWhateverTheSlicing) {
    // Tick 480 = 0.5 s = 22050 frames; tick 960 = 1 s; tick 1200 = 1.5 s; the end 2 s.
    std::vector<Dispatched> want = {{0, 0xFF, 2, 0},      {0, 0xC0, 3, 0},      {0, 0x90, 60, 100},
                                    {22050, 0x80, 60, 0}, {44100, 0x90, 62, 100}, {66150, 0x80, 62, 0},
                                    {88200, 0xFF, 1, 0}};
    std::mt19937 random(7);
    struct Slicing {
        const char* name;
        std::function<int()> next;
    } slicings[] = {
        {"one frame", [] { return 1; }},
        {"512 frames", [] { return 512; }},
        {"a second", [] { return 44100; }},
        {"random", [&] { return 1 + static_cast<int>(random() % 3000); }},
    };
    for (Slicing& s : slicings) {
        MidiSequencer seq;
        RecordingSink sink;
        seq.Start(TempoSong(), 0, 0, sink);
        Render(seq, sink, 100000, s.next);
        EXPECT_EQ(sink.log, want) << s.name;
        EXPECT_FALSE(seq.IsPlaying()) << s.name;
        EXPECT_TRUE(seq.TakeFinished()) << s.name;
        EXPECT_FALSE(seq.TakeFinished()) << s.name;   // told once
        EXPECT_EQ(seq.PositionTick(), 1440u) << s.name;
    }
}

TEST(MidiSequencer, StartPastTheBeginningChasesSetUpButNotNotes) {
    SmfTrack t;
    t.Event(0, {0xC0, 9}).Event(0, {0xB0, 7, 50}).Event(0, {0x90, 60, 100}).Event(0, {0xF0, 0x02, 0x01, 0xF7})
        .Event(100, {0xE0, 0, 0x50}).Event(100, {0x80, 60, 0}).Event(100, {0x90, 61, 100}).End(100);
    MidiSequencer seq;
    RecordingSink sink;
    seq.Start(Song(MakeSmf(0, 480, {t})), 300, 0, sink);
    // The note-off at tick 200 lies before the start and is not sent; the note at 300 is.
    Render(seq, sink, 100, [] { return 100; });
    std::vector<Dispatched> want = {{0, 0xFF, 2, 0}, {0, 0xC0, 9, 0}, {0, 0xB0, 7, 50}, {0, 0xF0, 1, 0},
                                    {0, 0xE0, 0, 0x50}, {0, 0x90, 61, 100}};
    EXPECT_EQ(sink.log, want);
    EXPECT_EQ(seq.PositionTick(), 302u);   // 100 frames later
}

TEST(MidiSequencer, RepeatsReturnToTheStartAndStopKeepsThePosition) {
    SmfTrack t;
    t.Event(0, {0x90, 60, 1}).End(480);   // 0.5 s = 22050 frames
    auto song = Song(MakeSmf(0, 480, {t}));
    MidiSequencer seq;
    RecordingSink sink;
    seq.Start(song, 240, 2, sink);   // half a pass, then two whole ones
    Render(seq, sink, 80000, [] { return 4096; });
    std::vector<Dispatched> want = {{0, 0xFF, 2, 0}, {11025, 0x90, 60, 1}, {33075, 0x90, 60, 1}, {55125, 0xFF, 1, 0}};
    EXPECT_EQ(sink.log, want);
    EXPECT_TRUE(seq.TakeFinished());

    RecordingSink endless;
    seq.Start(song, 0, kRepeatForever, endless);
    Render(seq, endless, 22050 * 10 + 100, [] { return 1000; });
    EXPECT_TRUE(seq.IsPlaying());
    EXPECT_EQ(endless.log.size(), 1u + 11u);
    seq.Stop(endless);
    EXPECT_FALSE(seq.IsPlaying());
    EXPECT_FALSE(seq.TakeFinished());   // a stop is no end of play
    uint32_t at = seq.PositionTick();
    EXPECT_EQ(at, 2u);   // 100 frames into the eleventh pass
    Render(seq, endless, 22050 * 11, [] { return 1000; });
    EXPECT_EQ(seq.PositionTick(), at);   // rendering on while stopped moves nothing
}

TEST(MidiSequencer, TheSlowestTempoAtTheLastTickDoesNotOverflow) {
    // One tick a quarter, 16.7 s a quarter: the last tick lies a thousand years in.
    SmfTrack t;
    t.Tempo(0, 0xFFFFFF).Event(0x0FFFFFFF, {0x90, 1, 1});
    for (int i = 0; i < 6; ++i) t.Event(0x0FFFFFFF, {0x90, 2, 1});
    t.Event(0x0FFFFFF7, {0x90, 3, 1}).End(4);
    auto song = Song(MakeSmf(0, 1, {t}));
    ASSERT_EQ(song->length_ticks, 0x7FFFFFF4u);
    MidiSequencer seq;
    RecordingSink sink;
    seq.Start(song, 0, 0, sink);
    EXPECT_EQ(seq.Step(sink, 4096), 4096);   // the first note is 140 years away
    seq.Start(song, 0x7FFFFFEF, 0, sink);
    sink.log.clear();
    Render(seq, sink, 44100, [] { return 4096; });
    EXPECT_TRUE(sink.log.empty());   // the next note is 16.7 s away
    EXPECT_EQ(seq.PositionTick(), 0x7FFFFFEFu);
    seq.Start(song, 0x7FFFFFF0, 0, sink);
    EXPECT_EQ(seq.Step(sink, 100), 100);
    EXPECT_EQ(sink.log.back().data1, 3);
}

TEST(MidiSequencer, EmptyAndFinishedSongsNeverSpin) {
    SmfTrack t;
    t.End(0);
    MidiSequencer seq;
    RecordingSink sink;
    seq.Start(Song(MakeSmf(0, 480, {t})), 0, kRepeatForever, sink);
    EXPECT_EQ(seq.Step(sink, 256), 256);
    EXPECT_FALSE(seq.IsPlaying());
    EXPECT_TRUE(seq.TakeFinished());
    // Nothing started: Step answers the whole slice.
    MidiSequencer idle;
    EXPECT_EQ(idle.Step(sink, 300), 300);
    EXPECT_EQ(idle.Step(sink, 0), 1);
    EXPECT_EQ(idle.PositionTick(), 0u);
}

} // namespace
