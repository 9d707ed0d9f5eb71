// audio_mix.cpp -- the mixer lines' gains and the list of attached sources.
#include "platform/audio_mix.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace platform {

namespace {

constexpr int kLineCount = static_cast<int>(AudioLine::kCount);

std::atomic<float> g_line_gain[kLineCount] = {1.0f, 1.0f, 1.0f, 1.0f};

struct AttachedSource {
    IAudioSource* source;
    AudioLine line;
};

// Held while sources mix, so that Detach waits for a Mix in progress.
std::mutex g_sources_mutex;
std::vector<AttachedSource> g_sources;

int LineIndex(AudioLine line) {
    int i = static_cast<int>(line);
    return i >= 0 && i < kLineCount ? i : 0;
}

} // namespace

float GetAudioLineGain(AudioLine line) {
    return g_line_gain[LineIndex(line)].load(std::memory_order_relaxed);
}

void SetAudioLineGain(AudioLine line, float gain) {
    g_line_gain[LineIndex(line)].store(std::clamp(gain, 0.0f, 1.0f), std::memory_order_relaxed);
}

void ResetAudioLineGains() {
    for (auto& gain : g_line_gain) gain.store(1.0f, std::memory_order_relaxed);
}

void AttachAudioSource(IAudioSource* source, AudioLine line) {
    if (!source) return;
    std::lock_guard<std::mutex> lock(g_sources_mutex);
    for (AttachedSource& s : g_sources)
        if (s.source == source) {
            s.line = line;
            return;
        }
    g_sources.push_back({source, line});
}

void DetachAudioSource(IAudioSource* source) {
    std::lock_guard<std::mutex> lock(g_sources_mutex);
    std::erase_if(g_sources, [source](const AttachedSource& s) { return s.source == source; });
}

void MixAudioSources(float* stereo, int frames) {
    if (frames <= 0) return;
    std::lock_guard<std::mutex> lock(g_sources_mutex);
    if (g_sources.empty()) return;
    // Kept per mixing thread, so the audio callback allocates only when a larger chunk first comes.
    thread_local std::vector<float> scratch;
    for (const AttachedSource& s : g_sources) {
        float gain = GetAudioLineGain(s.line);
        scratch.assign(static_cast<size_t>(frames) * 2, 0.0f);
        s.source->Mix(scratch.data(), frames);
        for (size_t i = 0; i < scratch.size(); ++i) stereo[i] += scratch[i] * gain;
    }
}

} // namespace platform
