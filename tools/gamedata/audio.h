// audio.h -- the generator's sound: a small synthesiser and the WAV, MP3 (LAME), Ogg Vorbis and
// standard MIDI file writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gamedata {

enum class Wave { kSine, kTriangle, kSquare, kSaw, kNoise, kBell };

// Floating-point samples, interleaved by channel, -1..1.
struct Pcm {
    int rate = 22050;
    int channels = 1;
    std::vector<float> samples;

    size_t Frames() const { return channels ? samples.size() / channels : 0; }
    void EnsureFrames(size_t frames) {
        if (Frames() < frames) samples.resize(frames * channels, 0.0f);
    }
};

struct Note {
    double start = 0;          // seconds
    double length = 0.1;       // seconds (the release follows)
    double freq = 440;         // Hz at the start
    double freq_end = 0;       // Hz at the end; 0: no sweep
    Wave wave = Wave::kSine;
    double volume = 0.5;
    double attack = 0.005;     // seconds
    double release = 0.05;     // seconds after length
    double pan = 0.5;          // 0 left .. 1 right (stereo only)
    double vibrato = 0;        // depth in semitones (5.5 Hz)
    double lowpass = 0;        // noise smoothing 0..0.99
};

// Adds the note to the buffer (growing it).
void Render(Pcm& pcm, const Note& note);
// Scales so that the loudest sample reaches peak.
void Normalize(Pcm& pcm, double peak);
// Scales the parts (same rate and channels) by one gain, so that their sum, all started at
// once, reaches peak at its loudest.
void NormalizeTogether(const std::vector<Pcm*>& parts, double peak);
// Rises from silence over the first fade_in seconds and falls back to it over the last fade_out
// (raised-cosine curves), so that a sound played once neither starts nor stops with a step.
void FadeEdges(Pcm& pcm, double fade_in, double fade_out);
// Frequency of a MIDI note number.
double MidiFreq(int note);

// 16-bit PCM, or with mu_law a compressed WAV of 8-bit mu-law samples.
std::vector<uint8_t> EncodeWav(const Pcm& pcm, bool mu_law = false);
// MPEG-1 layer III at a constant bit rate; empty when the encoder fails.
std::vector<uint8_t> EncodeMp3(const Pcm& pcm, int kbps);
// Ogg Vorbis at a quality of -0.1..1; empty when the encoder fails.
std::vector<uint8_t> EncodeOgg(const Pcm& pcm, float quality, int serial);

struct MidiNote {
    uint32_t tick = 0;         // start, in ticks of the file's division
    uint32_t length = 0;
    uint8_t channel = 0;
    uint8_t note = 60;
    uint8_t velocity = 96;
};
// A format-0 standard MIDI file: tempo (microseconds per quarter), programs per channel
// (0..15; -1 leaves a channel unset), the notes.
std::vector<uint8_t> EncodeMidi(uint16_t division, uint32_t tempo, const std::vector<int>& programs,
                                const std::vector<MidiNote>& notes);

} // namespace gamedata
