// midi_sequencer.h -- plays a MIDI song into a synthesiser by rendered sample count.
//
// Time is counted in frames of the mix (kMixRate), not read from a clock: the same song rendered
// in any slicing of frames dispatches every event at the same frame, so a manual audio device
// makes MIDI playback exact and repeatable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/midi_file.h"

namespace platform {

// What the sequencer drives: a synthesiser, or a recorder in tests.
class MidiSink {
public:
    virtual ~MidiSink() = default;
    virtual void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) = 0;
    // System exclusive bytes after 0xF0, without the final 0xF7.
    virtual void SysEx(const uint8_t* data, size_t size) = 0;
    // Every sounding note on every channel is released.
    virtual void AllNotesOff() = 0;
    // Programs and controllers back to their defaults, every sound cut.
    virtual void Reset() = 0;
};

inline constexpr uint32_t kRepeatForever = 0xFFFFFFFF;

class MidiSequencer {
public:
    // Starts song from tick (clamped to its length) with repeats more passes from the start
    // after the first; the sink is reset and given the programs and controllers in force at tick.
    void Start(std::shared_ptr<const MidiSong> song, uint32_t tick, uint32_t repeats, MidiSink& sink);
    // Releases the sounding notes and keeps the position.
    void Stop(MidiSink& sink);
    bool IsPlaying() const { return playing_; }
    // Where play is (or stopped), in ticks of the song; 0 without a song.
    uint32_t PositionTick() const;
    const MidiSong* Song() const { return song_.get(); }

    // Dispatches every event due at the current frame, passing on to the next repeat or ending
    // play at the song's end, and answers how many frames (1..max_frames) can be rendered before
    // anything else falls due; Advance then moves time on by the frames rendered.
    int Step(MidiSink& sink, int max_frames);
    void Advance(int frames);
    // True once after play reached the song's end by itself (not after Stop).
    bool TakeFinished();

private:
    int64_t FrameOf(uint32_t tick) const;
    void BeginPass(uint32_t tick);

    std::shared_ptr<const MidiSong> song_;
    size_t next_ = 0;            // next event to dispatch
    int64_t origin_us_ = 0;      // song time at frame 0 of this pass
    int64_t frame_ = 0;          // frames rendered in this pass
    int64_t end_frame_ = 0;      // the song's end in this pass
    uint32_t repeats_left_ = 0;
    bool playing_ = false;
    bool finished_ = false;
};

} // namespace platform
