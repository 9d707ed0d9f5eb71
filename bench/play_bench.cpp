// play_bench.cpp -- one whole play frame of the game (move, deferred draw, flush onto the 640 x 480
// back plane, conversion for presentation) on the busiest stage, beside outside peers in the same
// run: SDL2 converting and blitting a whole frame, and pixman compositing one over another.
//
//   play_bench [--data BUILD_DIR] [benchmark options]
//
// The data folder is the build's generated GameData (default: the folder the program lies in).
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <unistd.h>

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/BitmapFont.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/InputRecorder.h"
#include "game/PlayScene.h"
#include "game/ScreenEffect.h"
#include "sdk/app/Rand.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/input/VirtualKey.h"

using namespace zuderadeDoruVAV3ed;
namespace fs = std::filesystem;

namespace {

constexpr int kW = 640, kH = 480;
constexpr int kStage = 3;           // the longest course with the most fish in view
constexpr int kWarmUpFrames = 450;  // into the course, past the start demo

// Holds right, and up for the last 30 of every 120 frames, so the fish swims, leaps and eats.
class SwimmingKeys : public CKeyBase {
public:
    int32_t Input() override {
        FlipKeys();
        ClearCurrentKeys();
        CurrentKeys()[4] = 0xFF;
        if (frame_ % 120 >= 90) CurrentKeys()[1] = 0xFF;
        ++frame_;
        return 0;
    }

private:
    long frame_ = 0;
};

// The registry and a live play of the stage, taken into the course.
class PlayFrame {
public:
    PlayFrame() {
        registry_ = CGameObjectRegistry::GetInstance();
        registry_->CreateObjects();
        registry_->GetRandom()->SetSeed(1);
        registry_->GetFontSet()->Load();
        CGameState* state = registry_->GetGameState();
        state->Reset(nullptr);
        LoadGameSettings(*state);
        state->current_stage = kStage;
        registry_->GetScreenEffect()->Init();
        CDefaultKeyInput* input = registry_->GetInput();
        input->AddDevice(KTL::smart_ptr<CKeyBase>::NotOwned(&keys_));
        for (int button = 1; button <= 5; ++button) input->AddKey(button, 2, button);
        back_.SetSystemMemoryFlag(true);
        back_.CreateSurface(kW, kH);
        screen_.assign(static_cast<size_t>(kW) * kH, 0);
        Restart();
    }
    ~PlayFrame() {
        play_.reset();
        recorder_.reset();
        registry_->ReleaseObjects();
    }

    // A fresh play, run on to the warm-up frame.
    void Restart() {
        play_ = std::make_unique<CGameMainScene>();
        recorder_ = std::make_unique<CInputRecorder>(KTL::smart_ptr<CKeyBase>(registry_->GetInputPtr()));
        recorder_->SetRecording(true);
        play_->Load(nullptr, recorder_.get());
        recorder_->Reset();
        for (int i = 0; i < kWarmUpFrames; ++i) Frame();
    }

    // One frame as the main loop runs it.
    void Frame() {
        registry_->GetInput()->Input();
        play_->OnMove();
        play_->OnDraw(&back_);
        records_ = registry_->GetDrawListPlane()->GetRecords().size();
        FlushDrawRecords(*registry_->GetDrawListPlane(), &back_);
        Present();
    }

    // Draw records of the last frame.
    size_t Records() const { return records_; }
    bool Playing() const { return play_->GetState() == CGameMainScene::kPlay; }
    CSurfaceInfo* Back() { return back_.GetSurfaceInfo(); }

private:
    // The back plane converted for the screen, row by row (ARGB8888, opaque).
    void Present() {
        CSurfaceInfo* info = back_.GetSurfaceInfo();
        CSurfaceLockGuard lock(*info);
        for (int y = 0; y < kH; ++y)
            ConvertPixelRow(&screen_[static_cast<size_t>(y) * kW], kSurfaceARGB8888, info->PixelAt(0, y),
                            info->GetSurfaceType(), kW);
    }

    CGameObjectRegistry* registry_ = nullptr;
    SwimmingKeys keys_;
    CFastPlane back_;
    std::vector<uint32_t> screen_;
    size_t records_ = 0;
    std::unique_ptr<CInputRecorder> recorder_;
    std::unique_ptr<CGameMainScene> play_;
};

void SetFrameRate(benchmark::State& state) {
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void PlayFrameOurs(benchmark::State& state) {
    PlayFrame frame;
    double records = 0;
    for (auto _ : state) {
        frame.Frame();
        records += static_cast<double>(frame.Records());
        if (!frame.Playing()) {   // the goal or the timer: begin again in the course
            state.PauseTiming();
            frame.Restart();
            state.ResumeTiming();
        }
    }
    state.counters["draws"] = benchmark::Counter(records, benchmark::Counter::kAvgIterations);
    SetFrameRate(state);
}

// SDL2: converting a whole XRGB8888 frame to ARGB8888, and a whole-frame alpha blit.
void FrameSdlConvert(benchmark::State& state) {
    std::vector<uint32_t> src(static_cast<size_t>(kW) * kH, 0x00336699), dst(src.size());
    for (auto _ : state) {
        SDL_ConvertPixels(kW, kH, SDL_PIXELFORMAT_XRGB8888, src.data(), kW * 4, SDL_PIXELFORMAT_ARGB8888, dst.data(),
                          kW * 4);
        benchmark::DoNotOptimize(dst.data());
    }
    SetFrameRate(state);
}

void FrameSdlBlend(benchmark::State& state) {
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_XRGB8888);
    SDL_FillRect(src, nullptr, 0x80336699);
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
    for (auto _ : state) SDL_BlitSurface(src, nullptr, dst, nullptr);
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
    SetFrameRate(state);
}

// pixman: one whole frame composited OVER another.
void FramePixmanOver(benchmark::State& state) {
    std::vector<uint32_t> a(static_cast<size_t>(kW) * kH, 0x80336699), b(a.size(), 0xFF102030);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, a.data(), kW * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, b.data(), kW * 4);
    for (auto _ : state) pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kW, kH);
    pixman_image_unref(src);
    pixman_image_unref(dst);
    SetFrameRate(state);
}

class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto it = run.counters.find("frames/s");
            if (it != run.counters.end() && run.run_type == Run::RT_Iteration) rates[run.benchmark_name()] = it->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char** argv) {
    fs::path data = fs::absolute(fs::path(argv[0])).parent_path().parent_path();
    std::vector<char*> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) data = argv[++i];
        else args.push_back(argv[i]);
    }
    if (!fs::is_directory(data / "GameData") || chdir(data.c_str()) != 0) {
        std::fprintf(stderr, "play_bench: no GameData in %s (give --data BUILD_DIR)\n", data.c_str());
        return 2;
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RegisterBenchmark("play_frame/ours", PlayFrameOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("frame/SDL2 convert", FrameSdlConvert)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("frame/SDL2 blend", FrameSdlBlend)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("frame/pixman over", FramePixmanOver)->Unit(benchmark::kMillisecond);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double ours = reporter.rates["play_frame/ours"];
    if (ours <= 0) return 0;
    std::printf("\none play frame: %.3f ms (%.1f%% of a 33.3 ms frame)\n", 1000.0 / ours, 100.0 * 30.0 / ours);
    for (const auto& [name, rate] : reporter.rates)
        if (name != "play_frame/ours" && rate > 0)
            std::printf("  %-20s %.3f ms a frame; a play frame costs %.2f of these\n", name.c_str(), 1000.0 / rate,
                        rate / ours);
    return 0;
}
