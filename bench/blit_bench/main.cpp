// main.cpp -- blit_bench's entry: registers every case file's cases, runs them, and prints each
// case's speed beside every peer measured in the same run, as ratios.
#include <cstdio>
#include <cstring>
#include <map>
#include <random>

#include "bench/blit_bench/harness.h"
#include "sdk/draw/PixelConvert.h"

using namespace zuderadeDoruVAV3ed;

namespace blit_bench {

namespace {

std::vector<std::function<void()>>& CaseLists() {
    static std::vector<std::function<void()>> lists;
    return lists;
}

// Keeps each run's rate so that the ratios can be printed after the run.
class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto it = run.counters.find("Mpix/s");
            if (it != run.counters.end() && run.run_type == Run::RT_Iteration) rates[run.benchmark_name()] = it->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;   // "<case>/<implementation>" -> Mpix/s
};

// One line per case: our Mpix/s, then every peer's Mpix/s and our speed as a multiple of it.
void PrintRatios(const std::map<std::string, double>& rates) {
    std::map<std::string, std::map<std::string, double>> cases;   // case -> implementation -> Mpix/s
    for (const auto& [name, rate] : rates) {
        size_t slash = name.rfind('/');
        if (slash != std::string::npos) cases[name.substr(0, slash)][name.substr(slash + 1)] = rate;
    }
    std::printf("\n%-40s %9s   peers: Mpix/s (ours as a multiple)\n", "case", "ours");
    for (const auto& [base, impls] : cases) {
        auto ours = impls.find("ours");
        if (ours == impls.end()) continue;
        std::printf("%-40s %9.1f  ", base.c_str(), ours->second);
        for (const auto& [peer, rate] : impls)
            if (peer != "ours") std::printf("  %s %.1f (%.2fx)", peer.c_str(), rate, rate > 0 ? ours->second / rate : 0.0);
        std::printf("\n");
    }
}

} // namespace

uint32_t SdlFormat(int type) {
    switch (type) {
    case kSurfaceRGB565: return SDL_PIXELFORMAT_RGB565;
    case kSurfaceRGB555: return SDL_PIXELFORMAT_RGB555;
    case kSurfaceRGB888: return SDL_PIXELFORMAT_BGR24;       // bytes B, G, R
    case kSurfaceBGR888: return SDL_PIXELFORMAT_RGB24;       // bytes R, G, B
    case kSurfaceXRGB8888: return SDL_PIXELFORMAT_XRGB8888;
    case kSurfaceXBGR8888: return SDL_PIXELFORMAT_XBGR8888;
    case kSurfaceARGB8888: return SDL_PIXELFORMAT_ARGB8888;
    case kSurfaceABGR8888: return SDL_PIXELFORMAT_ABGR8888;
    default: return SDL_PIXELFORMAT_UNKNOWN;
    }
}

pixman_format_code_t PixmanFormat(int type) {
    switch (type) {
    case kSurfaceRGB565: return PIXMAN_r5g6b5;
    case kSurfaceRGB555: return PIXMAN_x1r5g5b5;
    case kSurfaceRGB888: return PIXMAN_r8g8b8;   // bytes B, G, R
    case kSurfaceBGR888: return PIXMAN_b8g8r8;   // bytes R, G, B
    case kSurfaceXRGB8888: return PIXMAN_x8r8g8b8;
    case kSurfaceXBGR8888: return PIXMAN_x8b8g8r8;
    case kSurfaceARGB8888: return PIXMAN_a8r8g8b8;
    case kSurfaceABGR8888: return PIXMAN_a8b8g8r8;
    default: return pixman_format_code_t(0);
    }
}

Plane::Plane(int type, int w, int h, int key_percent, uint32_t seed) {
    const int size = PixelSize(type);
    const int pitch = (w * size + 3) & ~3;
    pixels.resize(static_cast<size_t>(pitch) * h);
    std::mt19937 rng(seed);
    uint32_t key = ConvertColorKey(type, kKeyArgb);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t v = static_cast<int>(rng() % 100) < key_percent ? key : static_cast<uint32_t>(rng());
            std::memcpy(&pixels[static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * size], &v, size);
        }
    }
    desc.Init(pixels.data(), pitch, w, h, type);
    desc.SetColorKey(kKeyArgb);
    if (SdlFormat(type) != SDL_PIXELFORMAT_UNKNOWN)
        sdl = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), w, h, size * 8, pitch, SdlFormat(type));
    if (sdl) SDL_SetSurfaceBlendMode(sdl, SDL_BLENDMODE_NONE);
    if (PixmanFormat(type) != 0)
        pixman = pixman_image_create_bits(PixmanFormat(type), w, h, reinterpret_cast<uint32_t*>(pixels.data()), pitch);
}

Plane::~Plane() {
    if (sdl) SDL_FreeSurface(sdl);
    if (pixman) pixman_image_unref(pixman);
}

BltRoutine Routine(const std::string& name) {
    for (const BltRoutineEntry& e : GetBltRegistry())
        if (name == e.name) return e.routine;
    return nullptr;
}

void SetRate(benchmark::State& state, double pixels_per_iteration) {
    state.counters["Mpix/s"] = benchmark::Counter(pixels_per_iteration / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
}

BlitBenchCases::BlitBenchCases(std::function<void()> register_cases) {
    CaseLists().push_back(std::move(register_cases));
}

} // namespace blit_bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (const auto& register_cases : blit_bench::CaseLists()) register_cases();
    blit_bench::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    blit_bench::PrintRatios(reporter.rates);
    benchmark::Shutdown();
    return 0;
}
