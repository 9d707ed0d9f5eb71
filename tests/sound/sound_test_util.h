// sound_test_util.h -- what the sound tests share: sound files made on the spot, a tone stream
// registered with the object creater, the log capture and waiting on the refill thread.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/log.h"
#include "sdk/app/ObjectCreater.h"
#include "sdk/sound/WaveStream.h"

namespace soundtest {

inline void Put16(std::string& out, uint16_t v) { out.append({static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}); }
inline void Put32(std::string& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}
inline void PutChunk(std::string& out, const char* id, const std::string& body) {
    out.append(id, 4);
    Put32(out, static_cast<uint32_t>(body.size()));
    out += body;
    if (body.size() & 1) out.push_back('\0');
}

inline std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint32_t fmt_size = 16) {
    std::string fmt;
    Put16(fmt, tag);
    Put16(fmt, channels);
    Put32(fmt, rate);
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    Put32(fmt, rate * align);
    Put16(fmt, align);
    Put16(fmt, bits);
    if (fmt_size >= 18) Put16(fmt, static_cast<uint16_t>(fmt_size - 18));
    fmt.resize(fmt_size, '\0');
    return fmt;
}

// Frames over which the mixer fades out a stopped sound and fades in one that starts loud.
constexpr int kMixerFadeFrames = 256;

// The sample value of frame i, channel c, of every 16-bit test sound: distinct along the sound,
// and 0 at its start, as a sound the mixer does not fade in.
inline int16_t ToneSample(uint64_t i, int c) { return static_cast<int16_t>((i * (37 + c) + 30000) % 60001 - 30000); }

inline std::string PcmBytes(uint32_t frames, uint16_t channels, uint16_t bits) {
    std::string data;
    for (uint32_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            if (bits == 16) Put16(data, static_cast<uint16_t>(ToneSample(i, c)));
            else data.push_back(static_cast<char>((ToneSample(i, c) >> 8) + 128));
        }
    return data;
}

struct WavSpec {
    uint32_t rate = 22050;
    uint16_t channels = 1;
    uint16_t bits = 16;
    uint32_t frames = 22050;
    uint16_t tag = 1;
    uint32_t fmt_size = 16;
    std::string trailing;      // chunk bytes after the data chunk
    size_t cut_to = 0;         // when non-zero, the file is cut to this many bytes
};

inline std::string WavBytes(const WavSpec& spec) {
    std::string body = "WAVE";
    PutChunk(body, "fmt ", FmtBody(spec.tag, spec.channels, spec.rate, spec.bits, spec.fmt_size));
    PutChunk(body, "data", PcmBytes(spec.frames, spec.channels, spec.bits));
    body += spec.trailing;
    std::string file = "RIFF";
    Put32(file, static_cast<uint32_t>(body.size()));
    file += body;
    if (spec.cut_to && spec.cut_to < file.size()) file.resize(spec.cut_to);
    return file;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Processor time this thread has used.
inline double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a shell command; true when it exits 0.
inline bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// Every log text while it lives.
class LogCapture {
public:
    LogCapture() {
        platform::SetLogCaptureForTest([this](std::string_view text) {
            std::lock_guard<std::mutex> lock(mutex_);
            texts_.emplace_back(text);
        });
    }
    ~LogCapture() { platform::SetLogCaptureForTest({}); }
    bool Contains(std::string_view part) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& text : texts_)
            if (text.find(part) != std::string::npos) return true;
        return false;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> texts_;
};

// Polls until done() holds; false after a generous time (the refill thread may be slow on a busy
// machine, but it must get there).
inline bool WaitFor(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A stream of ToneSample frames, 44100 Hz stereo 16-bit, registered as "CTestToneStream" for
// the extension "tone". It counts the bytes it delivers and may deliver short reads.
struct ToneConfig {
    std::atomic<uint32_t> frames{44100};
    std::atomic<uint32_t> max_read{0xFFFFFFFF};   // bytes per Read at most
    std::atomic<uint64_t> delivered{0};
    std::atomic<int> opens{0};
    std::atomic<int> end_reads{0};   // reads that met the end and delivered nothing
    std::atomic<uint64_t> commits_at_end{0};   // buffer commits when the end was first met
};

inline ToneConfig& Tone() {
    static ToneConfig config;
    return config;
}

class CToneStream final : public zuderadeDoruVAV3ed::IWaveStream {
public:
    int Open(const char*) override {
        format_ = {platform::kWaveFormatPcm, 2, 44100, 176400, 4, 16, 0};
        frames_ = Tone().frames;
        position_ = 0;
        ++Tone().opens;
        return 0;
    }
    int Close() override { return 0; }
    int GetLength() override { return static_cast<int>(uint64_t{frames_} * 1000 / 44100); }
    int SetCurrentPos(int ms) override {
        if (ms < 0 || (ms >= GetLength() && frames_ > 0)) return 2;
        position_ = static_cast<uint32_t>(uint64_t(ms) * 44100 / 1000);
        return 0;
    }
    int GetCurrentPos() override { return static_cast<int>(uint64_t{position_} * 1000 / 44100); }
    uint32_t Read(void* buffer, uint32_t bytes) override {
        uint32_t frames = std::min<uint32_t>(bytes, Tone().max_read) / 4;
        frames = std::min(frames, frames_ - position_);
        auto* out = static_cast<int16_t*>(buffer);
        for (uint32_t i = 0; i < frames; ++i) {
            out[2 * i] = ToneSample(position_ + i, 0);
            out[2 * i + 1] = ToneSample(position_ + i, 1);
        }
        position_ += frames;
        Tone().delivered += frames * 4;
        if (frames == 0 && Tone().end_reads++ == 0) Tone().commits_at_end = platform::GetSoundBufferCommitCount();
        return frames * 4;
    }
    zuderadeDoruVAV3ed::WAVEFORMATEX* GetFormat() override { return &format_; }

private:
    alignas(8) zuderadeDoruVAV3ed::WAVEFORMATEX format_{};
    uint32_t frames_ = 0;
    uint32_t position_ = 0;
};

inline void RegisterToneStream() {
    zuderadeDoruVAV3ed::RegisterClassAs<zuderadeDoruVAV3ed::IWaveStream, CToneStream>(
        zuderadeDoruVAV3ed::GetObjectCreater(), "CTestToneStream");
}

} // namespace soundtest
