// music.h -- a music performance that plays MIDI segments on its own synthesiser.
//
//   MusicLoader loader;
//   auto segment = loader.LoadSegment(data, size, error);     // a standard MIDI file image
//   segment->Download(*performance);                          // instruments ready
//   segment->SetRepeats(kRepeatForever);
//   auto state = performance->PlaySegment(*segment);          // from the segment's start point
//   performance->IsPlaying(segment.get(), state.get());
//   performance->Stop(segment.get(), state.get());  state->GetSeek(seek);
//
// Music time is counted in the segment's own ticks; reference time in units of 100 ns. A
// performance plays one segment at a time: playing a segment replaces the one that played.
// Every call may come from any thread; the synthesiser renders on the mixer's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/midi_file.h"
#include "platform/midi_sequencer.h"

namespace platform {

using MusicTime = int32_t;
using ReferenceTime = int64_t;

// Master volume in hundredths of a decibel.
inline constexpr int32_t kMusicVolumeMin = -20000;
inline constexpr int32_t kMusicVolumeMax = 2000;

class MusicPerformance;
class MidiPlayer;

class MusicSegment {
public:
    // Further passes after the first (kRepeatForever: endless); taken by the next PlaySegment.
    void SetRepeats(uint32_t repeats) { repeats_ = repeats; }
    uint32_t GetRepeats() const { return repeats_; }
    // Where the next PlaySegment starts; false (nothing changed) outside 0..length.
    bool SetStartPoint(MusicTime start);
    MusicTime GetStartPoint() const { return start_; }
    MusicTime GetLength() const { return static_cast<MusicTime>(song_->length_ticks); }
    // Makes the performance's instruments ready for this segment and lets them go again. The
    // performance's General MIDI sound font holds every instrument, so both always succeed.
    bool Download(MusicPerformance&) { return true; }
    bool Unload(MusicPerformance&) { return true; }

    const std::shared_ptr<const MidiSong>& Song() const { return song_; }

private:
    friend class MusicLoader;
    explicit MusicSegment(std::shared_ptr<const MidiSong> song) : song_(std::move(song)) {}

    std::shared_ptr<const MidiSong> song_;
    uint32_t repeats_ = 0;
    MusicTime start_ = 0;
};

class MusicLoader {
public:
    // A segment of a standard MIDI file image (copied); null with error set when it is not one.
    std::unique_ptr<MusicSegment> LoadSegment(const void* data, size_t size, std::string& error);
};

// One play of a segment.
class MusicSegmentState {
public:
    // Where the play is, or where it stopped or ended, in the segment's music time.
    bool GetSeek(MusicTime& seek) const;

private:
    friend class MusicPerformance;
    struct Shared;
    explicit MusicSegmentState(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    std::shared_ptr<Shared> shared_;   // the performance's player record (outlives the performance)
    // Under the shared lock: set once this play no longer runs on the player.
    bool frozen_ = false;
    MusicTime seek_ = 0;
};

class MusicPerformance {
public:
    // Whether a performance can be made at all: a sound font is installed.
    static bool CanCreate();
    // null with error set when the synthesiser cannot be made.
    static std::unique_ptr<MusicPerformance> Create(std::string& error);
    ~MusicPerformance();

    // Plays segment from its start point with its repeats, replacing what played.
    std::shared_ptr<MusicSegmentState> PlaySegment(const MusicSegment& segment);
    // Stops that play (null state: any play of the segment; null segment: any play); the
    // state keeps where it stopped. false when nothing matched.
    bool Stop(const MusicSegment* segment, const MusicSegmentState* state);
    bool IsPlaying(const MusicSegment* segment, const MusicSegmentState* state);
    // Reference time of music time in segment's tempo map, counted from the segment's start.
    bool MusicToReferenceTime(const MusicSegment& segment, MusicTime time, ReferenceTime& reference) const;

    // Clamped to kMusicVolumeMin..kMusicVolumeMax; 0 (full level) at the start.
    void SetMasterVolume(int32_t hundredths_db);
    int32_t GetMasterVolume() const { return volume_; }

private:
    explicit MusicPerformance(std::shared_ptr<MusicSegmentState::Shared> shared);
    // Under the shared lock: the current play's state keeps its position and is let go.
    void FreezeCurrent();
    // Under the shared lock: whether the current play is of segment and state (null: any).
    bool Matches(const MusicSegment* segment, const MusicSegmentState* state) const;

    std::shared_ptr<MusicSegmentState::Shared> shared_;
    int32_t volume_ = 0;
};

} // namespace platform
