// midi_player.h -- a General MIDI synthesiser with one sequencer, mixed on the synthesiser line.
//
// The synthesiser is FluidSynth with a General MIDI sound font from the system's sound-font
// folders; it has no audio driver of its own: the project's mixer pulls its frames through
// IAudioSource::Mix, and the sequencer dispatches events by the frames rendered.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio_mix.h"
#include "platform/midi_sequencer.h"

namespace platform {

// The General MIDI sound font to load: the first of the system's usual files that exists
// ("" when none does).
std::string FindGeneralMidiSoundFont();
// For tests: use path instead of searching (an empty path: no sound font); null restores the search.
void SetSoundFontForTest(const std::string* path);

class MidiPlayer final : public IAudioSource {
public:
    // A synthesiser with the sound font loaded, attached to the mix on AudioLine::kSynth; null
    // with error set when there is no sound font or the synthesiser cannot be made.
    static std::unique_ptr<MidiPlayer> Create(std::string& error);
    ~MidiPlayer() override;   // detaches from the mix first

    // Plays song from tick with repeats further passes (kRepeatForever: endless), replacing what
    // played. on_finished runs on the mixer's thread, outside the player's lock, once when play
    // reaches the end by itself.
    void Play(std::shared_ptr<const MidiSong> song, uint32_t tick, uint32_t repeats,
              std::function<void()> on_finished = {});
    // Releases the notes and keeps the position; no end notification follows.
    void Stop();
    bool IsPlaying();
    // The position in ticks of the song last played (0 when none).
    uint32_t PositionTick();
    // Scale of the synthesiser's output, 0 or more.
    void SetGain(float gain);

    void Mix(float* stereo, int frames) override;

private:
    class Synth;
    explicit MidiPlayer(std::unique_ptr<Synth> synth);

    std::mutex mutex_;   // guards everything below; Mix holds it while it renders
    std::unique_ptr<Synth> synth_;
    MidiSequencer sequencer_;
    std::function<void()> on_finished_;
    float gain_ = 1.0f;
    std::vector<float> scratch_;
};

} // namespace platform
