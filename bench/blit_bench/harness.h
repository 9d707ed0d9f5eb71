// harness.h -- what every case file of blit_bench shares: test planes seen by our blitters and by
// SDL2 over the same bytes, routine lookup by name, the rate counter, and case registration.
//
// Each case file registers its cases from a static BlitBenchCases object, so families add files
// without touching a central list. Cases are named "<case>/<implementation>": "ours" for our
// routine, any other name ("memcpy", "SDL2", "pixman", ...) for a peer measured in the same run.
// After the run, main prints one line per case with our speed as a ratio to each peer.
#pragma once

#include <benchmark/benchmark.h>

#include <SDL.h>
#include <pixman.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sdk/draw/SurfaceInfo.h"
#include "sdk/draw/blit/BltRoutines.h"

namespace blit_bench {

inline constexpr int kScreenW = 640, kScreenH = 480;
inline constexpr int kSpriteSize = 64, kSpritesPerIteration = 100;
inline constexpr int kKeyPercent = 30;
inline constexpr uint32_t kKeyArgb = 0xFFFF00FF;

// The SDL pixel format with the same memory layout as a surface type; UNKNOWN when SDL has none.
uint32_t SdlFormat(int type);
// The pixman format with the same memory layout as a surface type; 0 when pixman has none.
pixman_format_code_t PixmanFormat(int type);

// One picture seen by every side: our descriptor, an SDL surface and a pixman image over the same
// bytes (rows padded to 4 bytes, as pixman needs). Pixels are random (fixed seed), key_percent of
// them the colour key.
struct Plane {
    Plane(int type, int w, int h, int key_percent = 0, uint32_t seed = 42);
    ~Plane();
    Plane(const Plane&) = delete;
    Plane& operator=(const Plane&) = delete;

    std::vector<uint8_t> pixels;
    zuderadeDoruVAV3ed::CSurfaceInfo desc;
    SDL_Surface* sdl = nullptr;
    pixman_image_t* pixman = nullptr;
};

// The registered routine of that name; null when there is none.
zuderadeDoruVAV3ed::BltRoutine Routine(const std::string& name);

// Sets the "Mpix/s" counter that the ratio table reads.
void SetRate(benchmark::State& state, double pixels_per_iteration);

// Registers a family's cases before the run: `static BlitBenchCases cases(&RegisterMyCases);`
struct BlitBenchCases {
    explicit BlitBenchCases(std::function<void()> register_cases);
};

} // namespace blit_bench
