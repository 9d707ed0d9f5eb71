// audio.cpp -- synthesis and the sound file writers of the content generator.
#include "audio.h"

#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>

namespace gamedata {

namespace {

constexpr double kPi = 3.14159265358979323846;

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void PutBe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void PutVarLen(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[5];
    int n = 0;
    do {
        bytes[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n--) out.push_back(static_cast<uint8_t>(bytes[n] | (n ? 0x80 : 0)));
}

double Oscillator(Wave wave, double phase, std::minstd_rand& noise) {
    const double p = phase - std::floor(phase);
    switch (wave) {
    case Wave::kSine: return std::sin(2 * kPi * p);
    case Wave::kTriangle: return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
    case Wave::kSquare: {
        // Softened: a few odd harmonics instead of a hard edge.
        double s = 0;
        for (int k = 1; k <= 7; k += 2) s += std::sin(2 * kPi * k * p) / k;
        return s * 0.9;
    }
    case Wave::kSaw: {
        double s = 0;
        for (int k = 1; k <= 6; ++k) s += std::sin(2 * kPi * k * p) / k;
        return s * 0.6;
    }
    case Wave::kNoise: return std::uniform_real_distribution<double>(-1.0, 1.0)(noise);
    case Wave::kBell: return std::sin(2 * kPi * p) + 0.35 * std::sin(2 * kPi * 2.76 * p) + 0.2 * std::sin(2 * kPi * 5.4 * p);
    }
    return 0;
}

int16_t ToS16(float v) { return static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f)); }

// G.711 mu-law: sign, a 3-bit exponent and a 4-bit mantissa of the biased magnitude, inverted.
uint8_t MuLaw(int16_t sample) {
    const int sign = sample < 0 ? 0x80 : 0;
    const int magnitude = std::min(sign ? -int{sample} : int{sample}, 32635) + 0x84;
    int exponent = 7;
    while (exponent > 0 && !(magnitude & (0x80 << exponent))) --exponent;
    return static_cast<uint8_t>(~(sign | exponent << 4 | ((magnitude >> (exponent + 3)) & 0x0F)));
}

} // namespace

double MidiFreq(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

void Render(Pcm& pcm, const Note& note) {
    const double total = note.length + note.release;
    const size_t first = static_cast<size_t>(note.start * pcm.rate);
    const size_t count = static_cast<size_t>(total * pcm.rate);
    pcm.EnsureFrames(first + count);
    std::minstd_rand noise(static_cast<uint32_t>(note.freq * 1000 + note.start * 7919 + 1));
    double phase = 0, smooth = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / pcm.rate;
        double freq = note.freq;
        if (note.freq_end > 0) freq = note.freq * std::pow(note.freq_end / note.freq, std::min(t / note.length, 1.0));
        if (note.vibrato > 0) freq *= std::pow(2.0, note.vibrato * std::sin(2 * kPi * 5.5 * t) / 12.0);
        phase += freq / pcm.rate;
        double env = t < note.attack ? t / note.attack : 1.0;
        if (t > note.length) env *= std::max(0.0, 1.0 - (t - note.length) / note.release);
        if (note.wave == Wave::kBell) env *= std::exp(-3.0 * t / total);
        double v = Oscillator(note.wave, phase, noise);
        if (note.wave == Wave::kNoise && note.lowpass > 0) v = smooth = smooth * note.lowpass + v * (1 - note.lowpass);
        v *= env * note.volume;
        const size_t frame = first + i;
        if (pcm.channels == 1) {
            pcm.samples[frame] += static_cast<float>(v);
        } else {
            pcm.samples[frame * 2] += static_cast<float>(v * std::sqrt(1 - note.pan));
            pcm.samples[frame * 2 + 1] += static_cast<float>(v * std::sqrt(note.pan));
        }
    }
}

void Normalize(Pcm& pcm, double peak) { NormalizeTogether({&pcm}, peak); }

void NormalizeTogether(const std::vector<Pcm*>& parts, double peak) {
    std::vector<float> sum;
    for (const Pcm* part : parts) {
        sum.resize(std::max(sum.size(), part->samples.size()), 0.0f);
        for (size_t i = 0; i < part->samples.size(); ++i) sum[i] += part->samples[i];
    }
    float loudest = 0;
    for (float s : sum) loudest = std::max(loudest, std::fabs(s));
    if (loudest <= 0) return;
    const float gain = static_cast<float>(peak / loudest);
    for (Pcm* part : parts)
        for (float& s : part->samples) s *= gain;
}

void FadeEdges(Pcm& pcm, double fade_in, double fade_out) {
    const size_t frames = pcm.Frames();
    const double in = fade_in * pcm.rate, out = fade_out * pcm.rate;
    for (size_t i = 0; i < frames; ++i) {
        // Frames from the nearer edge, against the length of that edge's fade; the edge frames are 0.
        const double from_start = static_cast<double>(i), from_end = static_cast<double>(frames - 1 - i);
        const double t = std::min(in > 0 ? from_start / in : 1.0, out > 0 ? from_end / out : 1.0);
        if (t >= 1.0) continue;
        const float gain = static_cast<float>(0.5 - 0.5 * std::cos(kPi * t));
        for (int c = 0; c < pcm.channels; ++c) pcm.samples[i * pcm.channels + c] *= gain;
    }
}

std::vector<uint8_t> EncodeWav(const Pcm& pcm, bool mu_law) {
    const uint32_t sample_bytes = mu_law ? 1 : 2;
    const uint32_t fmt_bytes = mu_law ? 18 : 16;   // a compressed format carries its extra-data size
    const uint32_t data_bytes = static_cast<uint32_t>(pcm.samples.size() * sample_bytes);
    const uint32_t align = static_cast<uint32_t>(pcm.channels) * sample_bytes;
    std::vector<uint8_t> out;
    out.reserve(28 + fmt_bytes + data_bytes + 1);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLe(out, 20 + fmt_bytes + data_bytes + (data_bytes & 1), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(out, fmt_bytes, 4);
    PutLe(out, mu_law ? 7 : 1, 2);                             // mu-law or PCM
    PutLe(out, static_cast<uint32_t>(pcm.channels), 2);
    PutLe(out, static_cast<uint32_t>(pcm.rate), 4);
    PutLe(out, static_cast<uint32_t>(pcm.rate) * align, 4);
    PutLe(out, align, 2);
    PutLe(out, sample_bytes * 8, 2);
    if (mu_law) PutLe(out, 0, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe(out, data_bytes, 4);
    for (float s : pcm.samples) {
        if (mu_law) out.push_back(MuLaw(ToS16(s)));
        else PutLe(out, static_cast<uint16_t>(ToS16(s)), 2);
    }
    if (data_bytes & 1) out.push_back(0);
    return out;
}

std::vector<uint8_t> EncodeMp3(const Pcm& pcm, int kbps) {
    lame_global_flags* lame = lame_init();
    if (!lame) return {};
    // Only 32, 44.1 and 48 kHz make MPEG-1 frames (lower rates give MPEG-2, which the game's MP3
    // reader refuses): other rates are resampled to 44.1 kHz.
    const bool mpeg1_rate = pcm.rate == 32000 || pcm.rate == 44100 || pcm.rate == 48000;
    lame_set_in_samplerate(lame, pcm.rate);
    lame_set_out_samplerate(lame, mpeg1_rate ? pcm.rate : 44100);
    lame_set_num_channels(lame, pcm.channels);
    lame_set_mode(lame, pcm.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, kbps);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 0);
    std::vector<uint8_t> out;
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return out;
    }
    const size_t frames = pcm.Frames();
    std::vector<short> left(frames), right(frames);
    for (size_t i = 0; i < frames; ++i) {
        left[i] = ToS16(pcm.samples[i * pcm.channels]);
        right[i] = ToS16(pcm.samples[i * pcm.channels + (pcm.channels - 1)]);
    }
    std::vector<unsigned char> buffer(frames * 5 / 4 + 7200 + 16384);
    int n = lame_encode_buffer(lame, left.data(), right.data(), static_cast<int>(frames), buffer.data(),
                               static_cast<int>(buffer.size()));
    if (n >= 0) {
        out.assign(buffer.begin(), buffer.begin() + n);
        n = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
        if (n >= 0) out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    }
    if (n < 0) out.clear();
    lame_close(lame);
    return out;
}

std::vector<uint8_t> EncodeOgg(const Pcm& pcm, float quality, int serial) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, pcm.channels, pcm.rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "flyingfish gamedata");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);
    ogg_page page;
    ogg_packet packet;
    auto put_page = [&out](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &header_comment);
    ogg_stream_packetin(&stream, &header_code);
    while (ogg_stream_flush(&stream, &page) != 0) put_page(page);

    auto drain = [&] {
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) put_page(page);
            }
        }
    };
    const size_t frames = pcm.Frames();
    constexpr size_t kChunk = 4096;
    for (size_t at = 0; at < frames; at += kChunk) {
        const size_t n = std::min(kChunk, frames - at);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
        for (size_t i = 0; i < n; ++i)
            for (int c = 0; c < pcm.channels; ++c) buffer[c][i] = pcm.samples[(at + i) * pcm.channels + c];
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&stream, &page) != 0) put_page(page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<uint8_t> EncodeMidi(uint16_t division, uint32_t tempo, const std::vector<int>& programs,
                                const std::vector<MidiNote>& notes) {
    // Events by tick; note-offs sort before note-ons of the same tick.
    std::multimap<std::pair<uint32_t, int>, std::vector<uint8_t>> events;
    for (const MidiNote& n : notes) {
        events.insert({{n.tick, 1}, {static_cast<uint8_t>(0x90 | n.channel), n.note, n.velocity}});
        events.insert({{n.tick + n.length, 0}, {static_cast<uint8_t>(0x80 | n.channel), n.note, 0}});
    }
    std::vector<uint8_t> track;
    PutVarLen(track, 0);
    track.insert(track.end(), {0xFF, 0x51, 0x03});
    PutBe(track, tempo, 3);
    for (size_t c = 0; c < programs.size() && c < 16; ++c) {
        if (programs[c] < 0) continue;
        PutVarLen(track, 0);
        track.push_back(static_cast<uint8_t>(0xC0 | c));
        track.push_back(static_cast<uint8_t>(programs[c]));
    }
    uint32_t now = 0;
    for (const auto& [key, bytes] : events) {
        PutVarLen(track, key.first - now);
        now = key.first;
        track.insert(track.end(), bytes.begin(), bytes.end());
    }
    PutVarLen(track, 0);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    PutBe(out, 6, 4);
    PutBe(out, 0, 2);
    PutBe(out, 1, 2);
    PutBe(out, division, 2);
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutBe(out, static_cast<uint32_t>(track.size()), 4);
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

} // namespace gamedata
