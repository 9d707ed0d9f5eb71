// midi_sequencer.cpp -- event dispatch by frame count, repeats and chasing of the state before a start point.
#include "platform/midi_sequencer.h"

#include <algorithm>

#include "platform/audio_mix.h"

namespace platform {

namespace {

// Channel messages that set up a channel rather than sound a note: they are replayed, in order,
// when play starts past them.
bool IsSetUpMessage(uint8_t status) {
    switch (status & 0xF0) {
    case 0xB0:   // controller
    case 0xC0:   // program
    case 0xD0:   // channel pressure
    case 0xE0:   // pitch bend
        return true;
    default:
        return false;
    }
}

void Send(const MidiSong& song, const MidiEvent& e, MidiSink& sink) {
    if (e.status == 0xF0)
        sink.SysEx(song.sysex_data.data() + e.sysex_offset, e.sysex_length);
    else
        sink.ShortMessage(e.status, e.data1, e.data2);
}

// Conversions split at whole seconds, so that the hours a broken tempo can give never overflow.
int64_t MicrosecondsToFrames(int64_t us) { return us / 1000000 * kMixRate + us % 1000000 * kMixRate / 1000000; }
int64_t FramesToMicroseconds(int64_t frames) {
    return frames / kMixRate * 1000000 + frames % kMixRate * 1000000 / kMixRate;
}

} // namespace

int64_t MidiSequencer::FrameOf(uint32_t tick) const {
    return MicrosecondsToFrames(song_->TickToMicroseconds(tick) - origin_us_);
}

void MidiSequencer::BeginPass(uint32_t tick) {
    origin_us_ = song_->TickToMicroseconds(tick);
    frame_ = 0;
    end_frame_ = FrameOf(song_->length_ticks);
    next_ = static_cast<size_t>(std::lower_bound(song_->events.begin(), song_->events.end(), tick,
                                                 [](const MidiEvent& e, uint32_t t) { return e.tick < t; }) -
                                song_->events.begin());
}

void MidiSequencer::Start(std::shared_ptr<const MidiSong> song, uint32_t tick, uint32_t repeats, MidiSink& sink) {
    song_ = std::move(song);
    playing_ = false;
    finished_ = false;
    if (!song_) return;
    tick = std::min(tick, song_->length_ticks);
    sink.Reset();
    BeginPass(tick);
    for (size_t i = 0; i < next_; ++i) {
        const MidiEvent& e = song_->events[i];
        if (e.status == 0xF0 || IsSetUpMessage(e.status)) Send(*song_, e, sink);
    }
    repeats_left_ = repeats;
    playing_ = true;
}

void MidiSequencer::Stop(MidiSink& sink) {
    if (!playing_) return;
    playing_ = false;
    sink.AllNotesOff();
}

uint32_t MidiSequencer::PositionTick() const {
    if (!song_) return 0;
    return std::min(song_->MicrosecondsToTick(origin_us_ + FramesToMicroseconds(frame_)), song_->length_ticks);
}

int MidiSequencer::Step(MidiSink& sink, int max_frames) {
    max_frames = std::max(max_frames, 1);
    if (!playing_) return max_frames;
    // A song of length 0 ends at once rather than repeating without end in one step.
    for (int passes = 0; passes < 2; ++passes) {
        const auto& events = song_->events;
        while (next_ < events.size() && FrameOf(events[next_].tick) <= frame_) Send(*song_, events[next_++], sink);
        if (frame_ < end_frame_) break;
        if (repeats_left_ == 0 || song_->length_ticks == 0) {
            playing_ = false;
            finished_ = true;
            sink.AllNotesOff();
            return max_frames;
        }
        if (repeats_left_ != kRepeatForever) --repeats_left_;
        BeginPass(0);
    }
    int64_t until = end_frame_;
    if (next_ < song_->events.size()) until = std::min(until, FrameOf(song_->events[next_].tick));
    return static_cast<int>(std::clamp<int64_t>(until - frame_, 1, max_frames));
}

void MidiSequencer::Advance(int frames) {
    if (playing_ && frames > 0) frame_ += frames;
}

bool MidiSequencer::TakeFinished() {
    bool finished = finished_;
    finished_ = false;
    return finished;
}

} // namespace platform
