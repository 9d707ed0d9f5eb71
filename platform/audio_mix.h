// audio_mix.h -- what the software audio mixer shares with everything it mixes: the mixer lines'
// software gains (process-local: nothing outside the program changes) and sources, such as the
// MIDI synthesiser, that render into the mix beside the sound buffers.
//
// The mix is 44100 Hz interleaved stereo float. A source's Mix runs on the mixer's thread (the
// audio callback, or the caller of a manual device's render); Detach returns only once no Mix of
// that source runs, so its owner may then destroy it.
#pragma once

namespace platform {

inline constexpr int kMixRate = 44100;

enum class AudioLine { kSpeakers, kWave, kSynth, kCD, kCount };

// A line's gain, 0..1; every line starts at 1. The mixer scales sound buffers by kWave, sources by
// their own line, and everything by kSpeakers; it follows a change of kWave or kSpeakers over
// about 6 ms rather than in one step.
float GetAudioLineGain(AudioLine line);
void SetAudioLineGain(AudioLine line, float gain);
// Every line back to 1.
void ResetAudioLineGains();

class IAudioSource {
public:
    virtual ~IAudioSource() = default;
    // Adds frames of 44100 Hz stereo into stereo (2 x frames floats), unscaled by the line gains.
    virtual void Mix(float* stereo, int frames) = 0;
};

void AttachAudioSource(IAudioSource* source, AudioLine line);
void DetachAudioSource(IAudioSource* source);

// The mixer's side: adds every attached source's frames, each scaled by its line's gain (the
// speakers' gain is the mixer's to apply).
void MixAudioSources(float* stereo, int frames);

} // namespace platform
