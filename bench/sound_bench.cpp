// sound_bench.cpp -- what sound costs: the mixer (32 static sounds and 2 streams, 10 s of audio
// on the manual device) against SDL2's own mixing of as many streams, and the refill thread of a
// streamed sound per second of audio against the bare decoding of the same file. Costs are CPU
// time as a share of one core; the table at the end gives each as a ratio to its peer.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "sdk/app/ObjectCreater.h"
#include "sdk/sound/DirectSound.h"
#include "sdk/sound/WaveOutput.h"
#include "sdk/sound/WaveStaticSound.h"
#include "sdk/sound/WaveStreamSound.h"

using namespace zuderadeDoruVAV3ed;

namespace {

constexpr int kSeconds = 10;
constexpr int kFrames = 44100 * kSeconds;
constexpr int kChunk = 11025;   // a quarter second per render call
constexpr int kStatics = 32, kStreams = 2;

double ThreadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}
double ProcessCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void Put(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A WAV of a sweeping tone.
void WriteWav(const std::filesystem::path& path, uint32_t rate, uint16_t channels, uint32_t frames) {
    std::string data;
    for (uint32_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) Put(data, static_cast<uint16_t>((i * (37 + c) + i * i / 4096) % 50000 - 25000), 2);
    std::string wav = "RIFF";
    Put(wav, 36 + static_cast<uint32_t>(data.size()), 4);
    wav += "WAVEfmt ";
    Put(wav, 16, 4);
    Put(wav, 1, 2);
    Put(wav, channels, 2);
    Put(wav, rate, 4);
    Put(wav, rate * channels * 2, 4);
    Put(wav, channels * 2, 2);
    Put(wav, 16, 2);
    wav += "data";
    Put(wav, static_cast<uint32_t>(data.size()), 4);
    wav += data;
    std::ofstream(path, std::ios::binary).write(wav.data(), static_cast<std::streamsize>(wav.size()));
}

// Files, device and output shared by every case.
struct World {
    World() {
        dir = std::filesystem::temp_directory_path() / ("sound_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        effect = (dir / "effect.wav").string();
        music = (dir / "music.wav").string();
        WriteWav(effect, 22050, 1, 22050);
        WriteWav(music, 44100, 2, 44100 * 30);
        ogg = (dir / "music.ogg").string();
        if (std::system(("oggenc -Q -q 4 -o '" + ogg + "' '" + music + "' >/dev/null 2>&1").c_str()) != 0) ogg.clear();
        if (GetObjectCreater()->LoadPlugIn("../plugin/or.dll") != 0) ogg.clear();
        platform::UseManualAudioOutput(true);
        device = std::make_unique<CDirectSound>();
        output = std::make_unique<CWaveOutputDirectSound>(device.get());
        output->GetStreamFactory()->GetStreamFactory()->GetExtensionMap()->SetStr("ogg", "CVorbisStream");
    }
    ~World() {
        output.reset();
        device.reset();
        GetObjectCreater()->ReleasePlugIn("../plugin/or.dll");
        std::error_code error;
        std::filesystem::remove_all(dir, error);
    }
    std::filesystem::path dir;
    std::string effect, music, ogg;
    std::unique_ptr<CDirectSound> device;
    std::unique_ptr<CWaveOutputDirectSound> output;
};

World& TheWorld() {
    static World world;
    return world;
}

std::map<std::string, double> g_share;   // case -> CPU share of one core (%)

void Report(benchmark::State& state, const std::string& name, double cpu_seconds, int iterations) {
    const double share = 100.0 * cpu_seconds / iterations / kSeconds;
    state.counters["core_share_%"] = share;
    g_share[name] = share;
}

// 32 looping static sounds and 2 looping streams, mixed for 10 s; the mixing thread's CPU time.
void BM_Mix_Ours(benchmark::State& state) {
    World& w = TheWorld();
    std::vector<std::unique_ptr<CWaveStaticSound>> statics;
    for (int i = 0; i < kStatics; ++i) {
        statics.push_back(std::make_unique<CWaveStaticSound>(w.output.get()));
        statics.back()->Open(w.effect);
        statics.back()->SetLoopPlay(true);
        statics.back()->Play();
    }
    std::vector<std::unique_ptr<CWaveStreamSound>> streams;
    for (int i = 0; i < kStreams; ++i) {
        streams.push_back(std::make_unique<CWaveStreamSound>(w.output.get()));
        streams.back()->Open(i == 1 && !w.ogg.empty() ? w.ogg : w.music);
        streams.back()->SetLoopPlay(true);
        streams.back()->Play();
    }
    double cpu = 0;
    int iterations = 0;
    for (auto _ : state) {
        for (int done = 0; done < kFrames; done += kChunk) {
            const double before = ThreadCpu();
            platform::RenderManualAudio(kChunk);
            cpu += ThreadCpu() - before;
            // The refill threads poll in real time: give them the quarter second's turn.
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        ++iterations;
    }
    Report(state, "mix/ours", cpu, iterations);
    streams.clear();
    statics.clear();
}
BENCHMARK(BM_Mix_Ours)->Name("mix/ours")->Iterations(3)->Unit(benchmark::kMillisecond);

// The same number of 16-bit stereo streams mixed by SDL2 into a chunk, for as many frames.
void BM_Mix_Sdl(benchmark::State& state) {
    std::vector<std::vector<int16_t>> sources(kStatics + kStreams, std::vector<int16_t>(2 * kChunk));
    for (size_t s = 0; s < sources.size(); ++s)
        for (size_t i = 0; i < sources[s].size(); ++i) sources[s][i] = static_cast<int16_t>((i * (s + 3)) % 2000 - 1000);
    std::vector<int16_t> out(2 * kChunk);
    double cpu = 0;
    int iterations = 0;
    for (auto _ : state) {
        const double before = ThreadCpu();
        for (int done = 0; done < kFrames; done += kChunk) {
            std::fill(out.begin(), out.end(), int16_t{0});
            for (const auto& source : sources)
                SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), reinterpret_cast<const Uint8*>(source.data()),
                                   AUDIO_S16SYS, static_cast<Uint32>(out.size() * 2), SDL_MIX_MAXVOLUME);
            benchmark::DoNotOptimize(out.data());
        }
        cpu += ThreadCpu() - before;
        ++iterations;
    }
    Report(state, "mix/SDL2", cpu, iterations);
}
BENCHMARK(BM_Mix_Sdl)->Name("mix/SDL2")->Iterations(3)->Unit(benchmark::kMillisecond);

// One looping streamed sound played for 10 s: the CPU time of everything but the rendering
// thread, which is the refill thread's.
void RefillCase(benchmark::State& state, const std::string& name, const std::string& file) {
    if (file.empty()) {
        state.SkipWithError("no such file (oggenc or the plug-in missing)");
        return;
    }
    World& w = TheWorld();
    double cpu = 0;
    int iterations = 0;
    for (auto _ : state) {
        CWaveStreamSound sound(w.output.get());
        sound.Open(file);
        sound.SetLoopPlay(true);
        const double process_before = ProcessCpu(), thread_before = ThreadCpu();
        sound.Play();
        for (int done = 0; done < kFrames; done += kChunk) {
            platform::RenderManualAudio(kChunk);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        sound.Stop();
        cpu += (ProcessCpu() - process_before) - (ThreadCpu() - thread_before);
        ++iterations;
    }
    Report(state, name, cpu, iterations);
}

// The bare reader: 10 s decoded in pieces of half a second.
void DecodeCase(benchmark::State& state, const std::string& name, const std::string& file) {
    if (file.empty()) {
        state.SkipWithError("no such file (oggenc or the plug-in missing)");
        return;
    }
    World& w = TheWorld();
    double cpu = 0;
    int iterations = 0;
    std::vector<char> piece(88200);
    for (auto _ : state) {
        const double before = ThreadCpu();
        KTL::smart_ptr<IWaveStream> stream = w.output->GetStreamFactory()->GetStreamFactory()->CreateStream(file);
        uint64_t total = 0;
        while (total < uint64_t{kFrames} * 4) {
            const uint32_t n = stream->Read(piece.data(), static_cast<uint32_t>(piece.size()));
            if (n == 0 || n > piece.size()) break;
            total += n;
        }
        cpu += ThreadCpu() - before;
        ++iterations;
    }
    Report(state, name, cpu, iterations);
}

void BM_Refill_Ogg(benchmark::State& state) { RefillCase(state, "refill/ogg", TheWorld().ogg); }
void BM_Decode_Ogg(benchmark::State& state) { DecodeCase(state, "decode/ogg", TheWorld().ogg); }
void BM_Refill_Wav(benchmark::State& state) { RefillCase(state, "refill/wav", TheWorld().music); }
void BM_Decode_Wav(benchmark::State& state) { DecodeCase(state, "decode/wav", TheWorld().music); }
BENCHMARK(BM_Refill_Ogg)->Name("refill/ogg")->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Ogg)->Name("decode/ogg")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refill_Wav)->Name("refill/wav")->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Wav)->Name("decode/wav")->Iterations(3)->Unit(benchmark::kMillisecond);

void PrintRatio(const char* ours, const char* peer) {
    if (!g_share.count(ours) || !g_share.count(peer) || g_share[peer] <= 0) return;
    std::printf("%-12s %8.3f %% of a core   %-12s %8.3f %%   ratio %.2f\n", ours, g_share[ours], peer, g_share[peer],
                g_share[ours] / g_share[peer]);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nCPU share of one core per second of audio (ours vs peer):\n");
    PrintRatio("mix/ours", "mix/SDL2");
    PrintRatio("refill/ogg", "decode/ogg");
    PrintRatio("refill/wav", "decode/wav");
    benchmark::Shutdown();
    return 0;
}
