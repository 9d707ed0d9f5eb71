// audio.cpp -- the software mixer, its sound buffers and the output device behind them.
#include "platform/audio.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/audio_feed.h"
#include "platform/audio_mix.h"
#include "platform/clock.h"
#include "platform/log.h"

namespace platform {

namespace {

constexpr int kChunkFrames = 1024;                 // frames mixed per pass, as SDL asks for them
// A stopped buffer fades out over these frames (about 6 ms) beside the mix, a start whose first
// frame is louder than kQuietStart fades in over them, and a mixer line's gain moves to a new
// value over them: none clicks.
constexpr int kRampFrames = 256;
constexpr float kQuietStart = 1.0f / 128.0f;
constexpr int kFeedFrames = 2 * kChunkFrames;      // the most the clock-driven mix plays between refills
constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;
constexpr uint32_t kMinBufferBytes = 4;
constexpr uint32_t kMinFrequency = 100;
constexpr uint32_t kMaxFrequency = 200000;

std::atomic<AudioFault> g_fault{AudioFault::kNone};
std::atomic<bool> g_focus{true};
std::atomic<uint64_t> g_commits{0};

float VolumeToGain(int hundredths_db) {
    if (hundredths_db <= kVolumeMin) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredths_db / 2000.0));
}

// SDL reaches the sound card through ALSA, whose own error printer writes to stderr when there
// is none; the program logs the fallback itself.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

bool IsPlayablePcm(const WaveFormatEx& f) {
    return f.format_tag == kWaveFormatPcm && (f.channels == 1 || f.channels == 2) &&
           (f.bits_per_sample == 8 || f.bits_per_sample == 16) &&
           f.block_align == f.channels * f.bits_per_sample / 8 && f.samples_per_sec >= kMinFrequency &&
           f.samples_per_sec <= kMaxFrequency;
}

class Voice;

// A gain that moves to a new value linearly over kRampFrames instead of in one step.
class GainRamp {
public:
    explicit GainRamp(float gain) : from_(gain), to_(gain) {}
    // From the next frame on, the gain moves from one value to the other.
    void Start(float from, float to) {
        from_ = from;
        to_ = to;
        at_ = 0;
    }
    // A new value to move to, from the gain reached.
    void MoveTo(float to) {
        if (to != to_) Start(At(0), to);
    }
    bool Done() const { return at_ >= kRampFrames; }
    // The gain at frame i from here.
    float At(int i) const {
        return at_ + i >= kRampFrames ? to_ : from_ + (to_ - from_) * static_cast<float>(at_ + i) / kRampFrames;
    }
    // Scales frames of stereo by the gain and moves on by them.
    void Apply(float* stereo, int frames) {
        if (Done() && to_ == 1.0f) return;
        for (int i = 0; i < frames; ++i) {
            const float gain = At(i);
            stereo[2 * i] *= gain;
            stereo[2 * i + 1] *= gain;
        }
        at_ = std::min(at_ + frames, kRampFrames);
    }

private:
    float from_, to_;
    int at_ = kRampFrames;
};

// The faded end of a stopped buffer: what would have followed, gains and fade applied.
struct Tail {
    float samples[kRampFrames * 2];
    int at;              // frames already mixed
    bool global_focus;
};

// The one mixer: every secondary buffer, guarded by one lock that the output's thread takes per
// chunk and Lock/Unlock take for their copies.
class Mixer {
public:
    std::mutex mutex;
    std::vector<Voice*> voices;   // every live secondary buffer
    std::vector<Tail> tails;      // the ends still fading out
    // False until the first chunk of an output: that chunk starts at the lines' gains.
    bool gains_settled = false;

    // Mixes frames (at most kChunkFrames) into out as 16-bit stereo.
    void RenderChunk(int16_t* out, int frames);

private:
    float accum_[kChunkFrames * 2];
    float fade_in_[kChunkFrames * 2];   // a starting buffer's chunk before its fade
    // The wave and speakers lines' gains as the mix follows them.
    GainRamp wave_{1.0f}, speakers_{1.0f};
};

Mixer& TheMixer() {
    static Mixer mixer;
    return mixer;
}

// A secondary buffer: its own cursor and settings over memory shared with its duplicates.
class Voice final : public SoundBuffer {
public:
    Voice(std::shared_ptr<std::vector<uint8_t>> memory, const WaveFormatEx& format, uint32_t flags)
        : memory_(std::move(memory)), format_(format), flags_(flags), frequency_(format.samples_per_sec) {
        frames_ = static_cast<uint32_t>(memory_->size() / format_.block_align);
        UpdateStep();
        Mixer& mixer = TheMixer();
        std::lock_guard<std::mutex> lock(mixer.mutex);
        mixer.voices.push_back(this);
    }
    ~Voice() override {
        Mixer& mixer = TheMixer();
        std::lock_guard<std::mutex> lock(mixer.mutex);
        FadeOut();
        std::erase(mixer.voices, this);
    }

    // A duplicate: same memory, format and settings, stopped at 0.
    std::unique_ptr<Voice> Duplicate() {
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        auto copy = std::make_unique<Voice>(memory_, format_, flags_, volume_, pan_, frequency_);
        return copy;
    }
    Voice(std::shared_ptr<std::vector<uint8_t>> memory, const WaveFormatEx& format, uint32_t flags, int volume,
          int pan, uint32_t frequency)
        : memory_(std::move(memory)), format_(format), flags_(flags), volume_(volume), pan_(pan),
          frequency_(frequency) {
        frames_ = static_cast<uint32_t>(memory_->size() / format_.block_align);
        UpdateStep();
        UpdateGains();
        TheMixer().voices.push_back(this);   // the caller holds the mixer's lock
    }

    AudioResult GetStatus(uint32_t* status) override {
        if (!status) return AudioResult::kInvalidParam;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        *status = lost_ ? uint32_t{kStatusBufferLost}
                        : (playing_ ? kStatusPlaying | (looping_ ? uint32_t{kStatusLooping} : 0u) : 0u);
        return AudioResult::kOk;
    }
    AudioResult SetFormat(const WaveFormatEx*) override { return AudioResult::kInvalidCall; }
    AudioResult GetFormat(WaveFormatEx* format, uint32_t size, uint32_t* written) override {
        uint32_t n = std::min<uint32_t>(size, sizeof(WaveFormatEx));
        if (format) std::memcpy(format, &format_, n);
        if (written) *written = format ? n : sizeof(WaveFormatEx);
        return AudioResult::kOk;
    }
    AudioResult SetCurrentPosition(uint32_t offset) override {
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        if (lost_) return AudioResult::kBufferLost;
        if (offset >= memory_->size()) return AudioResult::kInvalidParam;
        // A jump while playing ends what was heard and starts anew.
        FadeOut();
        starting_ = playing_;
        position_ = static_cast<uint64_t>(offset / format_.block_align) << 32;
        play_cursor_ = write_cursor_ = CursorBytes();
        return AudioResult::kOk;
    }
    AudioResult GetCurrentPosition(uint32_t* play, uint32_t* write) override {
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        if (lost_) return AudioResult::kBufferLost;
        if (!playing_) play_cursor_ = write_cursor_ = CursorBytes();
        if (play) *play = play_cursor_;
        if (write) *write = write_cursor_;
        return AudioResult::kOk;
    }
    AudioResult SetVolume(int volume) override {
        if (!(flags_ & kBufferCtrlVolume)) return AudioResult::kControlUnavailable;
        if (volume < kVolumeMin || volume > 0) return AudioResult::kInvalidParam;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        volume_ = volume;
        UpdateGains();
        return AudioResult::kOk;
    }
    AudioResult GetVolume(int* volume) override {
        if (!(flags_ & kBufferCtrlVolume)) return AudioResult::kControlUnavailable;
        if (!volume) return AudioResult::kInvalidParam;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        *volume = volume_;
        return AudioResult::kOk;
    }
    AudioResult SetPan(int pan) override {
        if (!(flags_ & kBufferCtrlPan)) return AudioResult::kControlUnavailable;
        if (pan < kPanLeft || pan > kPanRight) return AudioResult::kInvalidParam;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        pan_ = pan;
        UpdateGains();
        return AudioResult::kOk;
    }
    AudioResult GetPan(int* pan) override {
        if (!(flags_ & kBufferCtrlPan)) return AudioResult::kControlUnavailable;
        if (!pan) return AudioResult::kInvalidParam;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        *pan = pan_;
        return AudioResult::kOk;
    }
    AudioResult SetFrequency(uint32_t frequency) override {
        if (!(flags_ & kBufferCtrlFrequency)) return AudioResult::kControlUnavailable;
        if (frequency == 0) frequency = format_.samples_per_sec;
        if (frequency < kMinFrequency || frequency > kMaxFrequency) return AudioResult::kInvalidParam;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        frequency_ = frequency;
        UpdateStep();
        return AudioResult::kOk;
    }
    AudioResult GetFrequency(uint32_t* frequency) override {
        if (!(flags_ & kBufferCtrlFrequency)) return AudioResult::kControlUnavailable;
        if (!frequency) return AudioResult::kInvalidParam;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        *frequency = frequency_;
        return AudioResult::kOk;
    }

    AudioResult Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2, uint32_t* size2,
                     uint32_t) override {
        const uint32_t total = static_cast<uint32_t>(memory_->size());
        if (!part1 || !size1 || bytes == 0 || bytes > total || offset >= total) return AudioResult::kInvalidParam;
        if (locked_) return AudioResult::kInvalidCall;
        const uint32_t first = std::min(bytes, total - offset);
        const uint32_t second = bytes - first;
        if (second && (!part2 || !size2)) return AudioResult::kInvalidParam;
        staging_.resize(bytes);
        {
            std::lock_guard<std::mutex> lock(TheMixer().mutex);
            if (lost_) return AudioResult::kBufferLost;
            std::memcpy(staging_.data(), memory_->data() + offset, first);
            if (second) std::memcpy(staging_.data() + first, memory_->data(), second);
        }
        locked_ = true;
        lock_offset_ = offset;
        *part1 = staging_.data();
        *size1 = first;
        if (part2) *part2 = second ? staging_.data() + first : nullptr;
        if (size2) *size2 = second;
        return AudioResult::kOk;
    }
    AudioResult Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) override {
        if (!locked_ || part1 != staging_.data()) return AudioResult::kInvalidParam;
        const uint32_t total = static_cast<uint32_t>(memory_->size());
        const uint32_t first = std::min<uint32_t>({size1, total - lock_offset_, static_cast<uint32_t>(staging_.size())});
        uint32_t second = 0;
        if (part2 == staging_.data() + first && first == total - lock_offset_)
            second = std::min<uint32_t>(size2, static_cast<uint32_t>(staging_.size()) - first);
        locked_ = false;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        if (lost_) return AudioResult::kBufferLost;
        std::memcpy(memory_->data() + lock_offset_, staging_.data(), first);
        if (second) std::memcpy(memory_->data(), staging_.data() + first, second);
        g_commits.fetch_add(1);
        return AudioResult::kOk;
    }
    AudioResult Play(uint32_t flags) override {
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        if (lost_) return AudioResult::kBufferLost;
        looping_ = (flags & kPlayLooping) != 0;
        if (!playing_) {
            play_cursor_ = write_cursor_ = CursorBytes();
            starting_ = true;
            sounding_ = false;
        }
        playing_ = true;
        return AudioResult::kOk;
    }
    AudioResult Stop() override {
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        FadeOut();
        playing_ = false;
        play_cursor_ = write_cursor_ = CursorBytes();
        return AudioResult::kOk;
    }
    AudioResult Restore() override {
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        lost_ = false;
        return AudioResult::kOk;
    }

    // Under the mixer's lock.
    void Lose() {
        lost_ = true;
        playing_ = false;
        position_ = 0;
        play_cursor_ = write_cursor_ = 0;
        std::fill(memory_->begin(), memory_->end(), uint8_t{0});
    }

    // Under the mixer's lock: adds frames into accum (the buffer's own gains included) and moves
    // the cursors; scratch holds a starting chunk before its fade.
    void MixInto(float* accum, float* scratch, int frames, bool focused) {
        if (!playing_ || lost_ || frames_ == 0) return;
        play_cursor_ = CursorBytes();
        const bool audible = (focused || (flags_ & kBufferGlobalFocus)) && (gain_l_ > 0.0f || gain_r_ > 0.0f);
        if (starting_) {
            starting_ = false;
            fade_in_ = GainRamp(1.0f);
            if (audible && FirstFrameLevel() * std::max(gain_l_, gain_r_) > kQuietStart) fade_in_.Start(0.0f, 1.0f);
        }
        sounding_ = true;
        if (!audible) {
            Advance(static_cast<uint64_t>(frames) * step_);
        } else if (!fade_in_.Done()) {
            std::fill(scratch, scratch + 2 * frames, 0.0f);
            WalkAny(scratch, frames, gain_l_, gain_r_);
            fade_in_.Apply(scratch, frames);
            for (int i = 0; i < 2 * frames; ++i) accum[i] += scratch[i];
        } else {
            WalkAny(accum, frames, gain_l_, gain_r_);
        }
        write_cursor_ = CursorBytes();
    }

private:
    // Under the mixer's lock: when the buffer has been heard since it started, what would have
    // followed is handed to the mixer to fade out. The position and the state stay as they are.
    void FadeOut() {
        if (!playing_ || !sounding_ || lost_ || (gain_l_ <= 0.0f && gain_r_ <= 0.0f)) return;
        sounding_ = false;
        Tail& tail = TheMixer().tails.emplace_back();   // zeroed
        tail.global_focus = (flags_ & kBufferGlobalFocus) != 0;
        const uint64_t position = position_;
        WalkAny(tail.samples, kRampFrames, gain_l_, gain_r_);
        position_ = position;
        playing_ = true;
        GainRamp fade_in = fade_in_, fade_out(1.0f);   // a fade-in still running goes on under the fade-out
        fade_out.Start(1.0f, 0.0f);
        fade_in.Apply(tail.samples, kRampFrames);
        fade_out.Apply(tail.samples, kRampFrames);
    }
    // The loudest channel of the frame at the position.
    float FirstFrameLevel() const {
        const uint8_t* frame = memory_->data() + static_cast<size_t>(position_ >> 32) * format_.block_align;
        float level = 0.0f;
        for (int c = 0; c < format_.channels; ++c) {
            float v;
            if (format_.bits_per_sample == 16) {
                int16_t sample;
                std::memcpy(&sample, frame + 2 * c, 2);
                v = ToFloat(sample);
            } else {
                v = ToFloat(frame[c]);
            }
            level = std::max(level, std::fabs(v));
        }
        return level;
    }
    void WalkAny(float* accum, int frames, float l, float r) {
        if (format_.bits_per_sample == 16)
            format_.channels == 2 ? Walk<int16_t, 2>(accum, frames, l, r) : Walk<int16_t, 1>(accum, frames, l, r);
        else
            format_.channels == 2 ? Walk<uint8_t, 2>(accum, frames, l, r) : Walk<uint8_t, 1>(accum, frames, l, r);
    }

    uint32_t CursorBytes() const { return static_cast<uint32_t>(position_ >> 32) * format_.block_align; }
    void UpdateStep() { step_ = (static_cast<uint64_t>(frequency_) << 32) / kMixRate; }
    void UpdateGains() {
        float g = VolumeToGain(volume_);
        gain_l_ = g * (pan_ > 0 ? VolumeToGain(-pan_) : 1.0f);
        gain_r_ = g * (pan_ < 0 ? VolumeToGain(pan_) : 1.0f);
    }
    // Moves the position by delta; false when a one-shot ran off its end (it is stopped then).
    bool Advance(uint64_t delta) {
        const uint64_t end = static_cast<uint64_t>(frames_) << 32;
        position_ += delta;
        if (position_ < end) return true;
        if (looping_) {
            position_ %= end;
            return true;
        }
        position_ = 0;
        playing_ = false;
        return false;
    }

    template <class Sample>
    static float ToFloat(Sample s) {
        if constexpr (sizeof(Sample) == 2) return s * (1.0f / 32768.0f);
        else return (static_cast<int>(s) - 128) * (1.0f / 128.0f);
    }

    template <class Sample, int Channels>
    void Walk(float* accum, int frames, float gain_l, float gain_r) {
        const Sample* data = reinterpret_cast<const Sample*>(memory_->data());
        const uint32_t n = frames_;
        int i = 0;
        if (step_ == (uint64_t{1} << 32) && (position_ & 0xFFFFFFFFu) == 0) {
            // Same rate: straight copy, no interpolation.
            uint32_t at = static_cast<uint32_t>(position_ >> 32);
            while (i < frames) {
                const int run = static_cast<int>(std::min<uint64_t>(frames - i, n - at));
                const Sample* s = data + static_cast<size_t>(at) * Channels;
                float* out = accum + 2 * i;
                for (int k = 0; k < run; ++k) {
                    const float left = ToFloat(s[k * Channels]);
                    const float right = Channels == 2 ? ToFloat(s[k * Channels + 1]) : left;
                    out[2 * k] += left * gain_l;
                    out[2 * k + 1] += right * gain_r;
                }
                i += run;
                at += run;
                if (at >= n) {
                    if (!looping_) {
                        position_ = 0;
                        playing_ = false;
                        return;
                    }
                    at = 0;
                }
            }
            position_ = static_cast<uint64_t>(at) << 32;
            return;
        }
        for (; i < frames; ++i) {
            const uint32_t at = static_cast<uint32_t>(position_ >> 32);
            const float frac = static_cast<float>(position_ & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
            uint32_t next = at + 1;
            if (next >= n) next = looping_ ? 0 : at;
            const Sample* a = data + static_cast<size_t>(at) * Channels;
            const Sample* b = data + static_cast<size_t>(next) * Channels;
            const float l0 = ToFloat(a[0]), l1 = ToFloat(b[0]);
            const float left = l0 + (l1 - l0) * frac;
            float right = left;
            if constexpr (Channels == 2) {
                const float r0 = ToFloat(a[1]), r1 = ToFloat(b[1]);
                right = r0 + (r1 - r0) * frac;
            }
            accum[2 * i] += left * gain_l;
            accum[2 * i + 1] += right * gain_r;
            if (!Advance(step_)) return;
        }
    }

    std::shared_ptr<std::vector<uint8_t>> memory_;   // shared with duplicates
    const WaveFormatEx format_;
    const uint32_t flags_;
    uint32_t frames_ = 0;
    // Under the mixer's lock.
    bool playing_ = false, looping_ = false, lost_ = false;
    bool starting_ = false;   // the next mix is the first since Play or a jump
    bool sounding_ = false;   // mixed since then: a stop fades out
    GainRamp fade_in_{1.0f};   // a loud start's, from 0
    uint64_t position_ = 0;   // frames, 32.32 fixed point
    uint64_t step_ = 0;       // position advance per mixed frame
    uint32_t play_cursor_ = 0, write_cursor_ = 0;
    int volume_ = 0, pan_ = 0;
    uint32_t frequency_;
    float gain_l_ = 1.0f, gain_r_ = 1.0f;
    // The caller's side (one lock at a time).
    std::vector<uint8_t> staging_;
    bool locked_ = false;
    uint32_t lock_offset_ = 0;
};

void Mixer::RenderChunk(int16_t* out, int frames) {
    std::fill(accum_, accum_ + 2 * frames, 0.0f);
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!gains_settled) {
            wave_ = GainRamp(GetAudioLineGain(AudioLine::kWave));
            speakers_ = GainRamp(GetAudioLineGain(AudioLine::kSpeakers));
            gains_settled = true;
        }
        const bool focused = g_focus.load(std::memory_order_relaxed);
        for (Voice* voice : voices) voice->MixInto(accum_, fade_in_, frames, focused);
        for (Tail& tail : tails) {
            const int n = std::min(frames, kRampFrames - tail.at);
            if (focused || tail.global_focus)
                for (int i = 0; i < 2 * n; ++i) accum_[i] += tail.samples[2 * tail.at + i];
            tail.at += n;
        }
        std::erase_if(tails, [](const Tail& tail) { return tail.at >= kRampFrames; });
        wave_.MoveTo(GetAudioLineGain(AudioLine::kWave));
        wave_.Apply(accum_, frames);
    }
    MixAudioSources(accum_, frames);
    // The main volume: brought back at once while a stopped sound still fades out, it rises as a
    // loud start does instead of stepping out of silence.
    speakers_.MoveTo(GetAudioLineGain(AudioLine::kSpeakers));
    speakers_.Apply(accum_, frames);
    for (int i = 0; i < 2 * frames; ++i) {
        const float v = accum_[i] * 32768.0f;
        out[i] = static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
    }
}

// The primary buffer: it only keeps the output format, settable at priority level.
WaveFormatEx g_primary_format{kWaveFormatPcm, 2, 22050, 44100, 2, 8, 0};

struct DeviceState {
    std::atomic<int> level{0};
};

class PrimaryBuffer final : public SoundBuffer {
public:
    explicit PrimaryBuffer(std::shared_ptr<DeviceState> device) : device_(std::move(device)) {}
    AudioResult GetStatus(uint32_t* status) override {
        if (!status) return AudioResult::kInvalidParam;
        *status = kStatusPlaying | kStatusLooping;
        return AudioResult::kOk;
    }
    AudioResult SetFormat(const WaveFormatEx* format) override {
        if (!format || !IsPlayablePcm(*format)) return AudioResult::kBadFormat;
        if (device_->level.load() < kCooperativePriority) return AudioResult::kPriorityNeeded;
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        g_primary_format = *format;
        g_primary_format.cb_size = 0;
        return AudioResult::kOk;
    }
    AudioResult GetFormat(WaveFormatEx* format, uint32_t size, uint32_t* written) override {
        uint32_t n = std::min<uint32_t>(size, sizeof(WaveFormatEx));
        std::lock_guard<std::mutex> lock(TheMixer().mutex);
        if (format) std::memcpy(format, &g_primary_format, n);
        if (written) *written = format ? n : sizeof(WaveFormatEx);
        return AudioResult::kOk;
    }
    AudioResult SetCurrentPosition(uint32_t) override { return AudioResult::kInvalidCall; }
    AudioResult GetCurrentPosition(uint32_t* play, uint32_t* write) override {
        if (play) *play = 0;
        if (write) *write = 0;
        return AudioResult::kOk;
    }
    AudioResult SetVolume(int volume) override {
        if (volume < kVolumeMin || volume > 0) return AudioResult::kInvalidParam;
        volume_ = volume;
        return AudioResult::kOk;
    }
    AudioResult GetVolume(int* volume) override {
        if (!volume) return AudioResult::kInvalidParam;
        *volume = volume_;
        return AudioResult::kOk;
    }
    AudioResult SetPan(int pan) override {
        if (pan < kPanLeft || pan > kPanRight) return AudioResult::kInvalidParam;
        pan_ = pan;
        return AudioResult::kOk;
    }
    AudioResult GetPan(int* pan) override {
        if (!pan) return AudioResult::kInvalidParam;
        *pan = pan_;
        return AudioResult::kOk;
    }
    AudioResult SetFrequency(uint32_t) override { return AudioResult::kControlUnavailable; }
    AudioResult GetFrequency(uint32_t*) override { return AudioResult::kControlUnavailable; }
    AudioResult Lock(uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*, uint32_t) override {
        return AudioResult::kInvalidCall;
    }
    AudioResult Unlock(void*, uint32_t, void*, uint32_t) override { return AudioResult::kInvalidCall; }
    AudioResult Play(uint32_t) override { return AudioResult::kOk; }
    AudioResult Stop() override { return AudioResult::kOk; }
    AudioResult Restore() override { return AudioResult::kOk; }

private:
    std::shared_ptr<DeviceState> device_;
    int volume_ = 0, pan_ = 0;
};

// The output: opened by the first initialised device, closed with the last.
class Output {
public:
    // false when no output (not even SDL's dummy driver) opens.
    bool Acquire() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (users_ > 0) {
            ++users_;
            return true;
        }
        if (manual_) {
            name_ = "manual";
        } else if (FollowVirtualClock(&Output::FollowClock)) {
            // The virtual clock drives the mix: each advance mixes the time gone by.
            std::lock_guard<std::mutex> render(render_mutex_);
            clock_driven_ = true;
            clock_frames_ = FramesAt(FrameClock().NowUs());
            DriveMixFeeders(true);
            name_ = "virtual";
        } else if (!OpenSdl()) {
            return false;
        }
        ++users_;
        return true;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (users_ == 0 || --users_ > 0) return;
        if (clock_driven_) {
            FollowVirtualClock(nullptr);
            std::lock_guard<std::mutex> render(render_mutex_);
            clock_driven_ = false;
            DriveMixFeeders(false);
        }
        CloseSdl();
        name_ = "";
        // Fades of stopped buffers and of line gains end with the output.
        std::lock_guard<std::mutex> mix(TheMixer().mutex);
        TheMixer().tails.clear();
        TheMixer().gains_settled = false;
    }

    void SetManual(bool manual) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (users_ == 0) manual_ = manual;
    }
    void RenderManual(int frames) {
        std::lock_guard<std::mutex> lock(render_mutex_);
        if (frames > 0) RenderLocked(static_cast<uint64_t>(frames), false);
    }
    void SetCapture(bool on) {
        std::lock_guard<std::mutex> lock(render_mutex_);
        capture_ = on;
    }
    std::vector<int16_t> TakeCapture() {
        std::lock_guard<std::mutex> lock(render_mutex_);
        std::vector<int16_t> out;
        out.swap(captured_);
        return out;
    }
    const char* Name() {
        std::lock_guard<std::mutex> lock(mutex_);
        return name_;
    }

private:
    static uint64_t FramesAt(uint64_t us) { return us * kMixRate / 1000000; }

    // The clock-driven output: mixes from the last frame mixed up to the clock's time.
    static void FollowClock(uint64_t now_us);

    // Under render_mutex_: mixes frames chunk by chunk. With feed, the driven feeders make a pass
    // before the first chunk and then every kFeedFrames (once per frame of the game), as a refill
    // thread polls between the chunks of a real device.
    void RenderLocked(uint64_t frames, bool feed) {
        uint64_t since_feed = kFeedFrames;
        while (frames > 0) {
            const int n = static_cast<int>(std::min<uint64_t>(frames, kChunkFrames));
            if (feed && since_feed + n > kFeedFrames) {
                RunMixFeederPass();
                since_feed = 0;
            }
            since_feed += n;
            TheMixer().RenderChunk(chunk_, n);
            if (capture_) captured_.insert(captured_.end(), chunk_, chunk_ + 2 * n);
            frames -= n;
        }
    }

    static void Callback(void* self, Uint8* stream, int len) {
        auto* out = reinterpret_cast<int16_t*>(stream);
        int frames = len / 4;
        while (frames > 0) {
            const int n = std::min(frames, kChunkFrames);
            TheMixer().RenderChunk(out, n);
            out += 2 * n;
            frames -= n;
        }
    }

    SDL_AudioDeviceID OpenDevice() {
        SDL_AudioSpec want{}, have{};
        want.freq = kMixRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = kChunkFrames;
        want.callback = &Output::Callback;
        want.userdata = this;
        return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    }

    bool OpenSdl() {
        snd_lib_error_set_handler(IgnoreAlsaError);
        std::string why;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            device_ = OpenDevice();
            if (device_) {
                dummy_fallback_ = false;
                const char* driver = SDL_GetCurrentAudioDriver();
                name_ = driver && std::strcmp(driver, "dummy") == 0 ? "dummy" : "sdl";
                SDL_PauseAudioDevice(device_, 0);
                return true;
            }
            why = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        } else {
            why = SDL_GetError();
        }
        // No sound device: SDL's dummy driver keeps the cursors running in real time, silently.
        if (SDL_AudioInit("dummy") == 0) {
            device_ = OpenDevice();
            if (device_) {
                dummy_fallback_ = true;
                name_ = "dummy";
                LogWrite("audio: no sound device opens (" + why + "); playing silently on SDL's dummy driver");
                SDL_PauseAudioDevice(device_, 0);
                return true;
            }
            SDL_AudioQuit();
        }
        LogWrite("audio: no audio output opens: " + std::string(SDL_GetError()));
        return false;
    }
    void CloseSdl() {
        if (!device_) return;
        SDL_CloseAudioDevice(device_);
        device_ = 0;
        if (dummy_fallback_) SDL_AudioQuit();
        else SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    std::mutex mutex_;   // users, mode and device
    int users_ = 0;
    bool manual_ = false;
    bool dummy_fallback_ = false;
    SDL_AudioDeviceID device_ = 0;
    const char* name_ = "";

    std::mutex render_mutex_;   // the manual and the clock-driven device's render and capture
    bool clock_driven_ = false;    // also under mutex_ to change
    uint64_t clock_frames_ = 0;    // frames of the clock's time mixed so far
    int16_t chunk_[kChunkFrames * 2];
    bool capture_ = false;
    std::vector<int16_t> captured_;
};

Output& TheOutput() {
    static Output output;
    return output;
}

void Output::FollowClock(uint64_t now_us) {
    Output& output = TheOutput();
    std::lock_guard<std::mutex> lock(output.render_mutex_);
    const uint64_t target = FramesAt(now_us);
    if (!output.clock_driven_ || target <= output.clock_frames_) return;
    output.RenderLocked(target - output.clock_frames_, true);
    output.clock_frames_ = target;
}

class Device final : public AudioDevice {
public:
    ~Device() override {
        if (initialized_) TheOutput().Release();
    }
    AudioResult Initialize() override {
        if (initialized_) return AudioResult::kOk;
        if (g_fault.load() == AudioFault::kInitialize || !TheOutput().Acquire()) return AudioResult::kNoDriver;
        initialized_ = true;
        return AudioResult::kOk;
    }
    AudioResult SetCooperativeLevel(Window*, int level) override {
        if (!initialized_) return AudioResult::kNotInitialized;
        if (g_fault.load() == AudioFault::kCooperativeLevel || level < kCooperativeNormal || level > 3)
            return AudioResult::kInvalidParam;
        state_->level = level;
        return AudioResult::kOk;
    }
    AudioResult CreateSoundBuffer(const BufferDesc& desc, std::unique_ptr<SoundBuffer>* buffer) override {
        if (!buffer) return AudioResult::kInvalidParam;
        buffer->reset();
        if (!initialized_) return AudioResult::kNotInitialized;
        if (desc.size != 20) return AudioResult::kInvalidParam;
        if (desc.flags & kBufferPrimary) {
            if (desc.buffer_bytes != 0 || desc.format) return AudioResult::kInvalidParam;
            *buffer = std::make_unique<PrimaryBuffer>(state_);
            return AudioResult::kOk;
        }
        if (!desc.format) return AudioResult::kInvalidParam;
        if (!IsPlayablePcm(*desc.format)) return AudioResult::kBadFormat;
        if (desc.buffer_bytes < kMinBufferBytes || desc.buffer_bytes > kMaxBufferBytes ||
            desc.buffer_bytes < desc.format->block_align)
            return AudioResult::kInvalidParam;
        auto memory = std::make_shared<std::vector<uint8_t>>(desc.buffer_bytes, uint8_t{0});
        WaveFormatEx format = *desc.format;
        format.cb_size = 0;
        *buffer = std::make_unique<Voice>(std::move(memory), format, desc.flags);
        return AudioResult::kOk;
    }
    AudioResult DuplicateSoundBuffer(SoundBuffer* original, std::unique_ptr<SoundBuffer>* duplicate) override {
        if (!duplicate) return AudioResult::kInvalidParam;
        duplicate->reset();
        if (!initialized_) return AudioResult::kNotInitialized;
        auto* voice = dynamic_cast<Voice*>(original);
        if (!voice) return AudioResult::kInvalidCall;
        *duplicate = voice->Duplicate();
        return AudioResult::kOk;
    }

private:
    bool initialized_ = false;
    std::shared_ptr<DeviceState> state_ = std::make_shared<DeviceState>();
};

} // namespace

std::unique_ptr<AudioDevice> AudioDevice::Create() {
    if (g_fault.load() == AudioFault::kCreate) return nullptr;
    return std::make_unique<Device>();
}

void SetAudioFocus(bool focused) { g_focus.store(focused); }
bool GetAudioFocus() { return g_focus.load(); }

void LoseAllSoundBuffers() {
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> lock(mixer.mutex);
    for (Voice* voice : mixer.voices) voice->Lose();
}

void UseManualAudioOutput(bool manual) { TheOutput().SetManual(manual); }
void RenderManualAudio(int frames) { TheOutput().RenderManual(frames); }
void SetAudioCapture(bool on) { TheOutput().SetCapture(on); }
std::vector<int16_t> TakeCapturedAudio() { return TheOutput().TakeCapture(); }
uint64_t GetSoundBufferCommitCount() { return g_commits.load(); }
void SetAudioFaultForTest(AudioFault fault) { g_fault.store(fault); }
const char* GetAudioOutputName() { return TheOutput().Name(); }

} // namespace platform
