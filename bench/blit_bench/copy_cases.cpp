// copy_cases.cpp -- copy blitters (kinds 0 and 1) beside memcpy of the same bytes, SDL2's software
// blits and pixman's SRC composites (nearest filter for stretches) on the same formats and memory.
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/blit_bench/harness.h"
#include "sdk/draw/BltParam.h"
#include "sdk/draw/PixelConvert.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_bench;

namespace {

// What one case blits: the whole source onto the destination, or many sprites, optionally
// stretched to dst_w x dst_h.
struct Case {
    std::string name;      // case name, the routine's name without the kind is in it
    std::string routine;   // our routine
    int dst_type, src_type;
    int src_w, src_h, dst_w, dst_h;
    bool keyed = false;
    bool sprites = false;  // kSpritesPerIteration sprites of the source's size per iteration
};

// Positions of the sprites, spread over the screen and fully inside it.
std::vector<SDL_Point> SpritePositions() {
    std::vector<SDL_Point> at;
    std::mt19937 rng(5);
    for (int i = 0; i < kSpritesPerIteration; ++i)
        at.push_back({static_cast<int>(rng() % (kScreenW - kSpriteSize)), static_cast<int>(rng() % (kScreenH - kSpriteSize))});
    return at;
}

void RegisterCase(const Case& c) {
    auto source = std::make_shared<Plane>(c.src_type, c.src_w, c.src_h, c.keyed ? kKeyPercent : 0);
    // Sprites land on a whole screen; the other cases fill their destination exactly.
    auto dest = c.sprites ? std::make_shared<Plane>(c.dst_type, kScreenW, kScreenH)
                          : std::make_shared<Plane>(c.dst_type, c.dst_w, c.dst_h);
    auto at = std::make_shared<std::vector<SDL_Point>>(c.sprites ? SpritePositions() : std::vector<SDL_Point>{{0, 0}});
    bool stretched = !c.sprites && (c.src_w != c.dst_w || c.src_h != c.dst_h);
    double pixels = c.sprites ? double(kSpriteSize) * kSpriteSize * kSpritesPerIteration : double(c.dst_w) * c.dst_h;
    BltRoutine routine = Routine(c.routine);
    if (!routine) {
        std::fprintf(stderr, "no routine %s\n", c.routine.c_str());
        return;
    }

    benchmark::RegisterBenchmark((c.name + "/ours").c_str(), [=](benchmark::State& state) {
        BltParam param = BltParam::FromWord(ConvertColorKey(c.src_type, kKeyArgb));
        SIZE size{c.dst_w, c.dst_h};
        for (auto _ : state) {
            for (const SDL_Point& p : *at) {
                POINT pos{p.x, p.y};
                BltInfo info;
                info.pos = &pos;
                info.size = stretched ? &size : nullptr;
                routine(source->desc, dest->desc, param, info);
            }
            benchmark::ClobberMemory();
        }
        SetRate(state, pixels);
    });

    // The bandwidth ceiling: the destination's bytes copied row by row from the source.
    benchmark::RegisterBenchmark((c.name + "/memcpy").c_str(), [=](benchmark::State& state) {
        int row = (c.sprites ? kSpriteSize : c.dst_w) * PixelSize(c.dst_type);
        int rows = c.sprites ? kSpriteSize : c.dst_h;
        int src_pitch = source->desc.GetPitch(), dst_pitch = dest->desc.GetPitch();
        int src_bytes = static_cast<int>(source->pixels.size());
        for (auto _ : state) {
            for (const SDL_Point& p : *at) {
                uint8_t* d = dest->desc.PixelAt(p.x, p.y);
                for (int y = 0; y < rows; ++y) {
                    int from = (y * src_pitch) % (src_bytes - row + 1);
                    std::memcpy(d + static_cast<ptrdiff_t>(y) * dst_pitch, source->pixels.data() + from, row);
                }
            }
            benchmark::ClobberMemory();
        }
        SetRate(state, pixels);
    });

    if (!source->sdl || !dest->sdl) return;
    benchmark::RegisterBenchmark((c.name + "/SDL2").c_str(), [=](benchmark::State& state) {
        SDL_SetColorKey(source->sdl, c.keyed ? SDL_TRUE : SDL_FALSE,
                        SDL_MapRGB(source->sdl->format, kKeyArgb >> 16 & 255, kKeyArgb >> 8 & 255, kKeyArgb & 255));
        for (auto _ : state) {
            for (const SDL_Point& p : *at) {
                SDL_Rect to{p.x, p.y, c.dst_w, c.dst_h};
                if (stretched)
                    SDL_BlitScaled(source->sdl, nullptr, dest->sdl, &to);
                else
                    SDL_BlitSurface(source->sdl, nullptr, dest->sdl, &to);
            }
            benchmark::ClobberMemory();
        }
        SetRate(state, pixels);
    });

    // pixman has no colour key.
    if (c.keyed || !source->pixman || !dest->pixman) return;
    benchmark::RegisterBenchmark((c.name + "/pixman").c_str(), [=](benchmark::State& state) {
        if (stretched) {
            pixman_transform_t scale;
            pixman_transform_init_scale(&scale, pixman_double_to_fixed(double(c.src_w) / c.dst_w),
                                        pixman_double_to_fixed(double(c.src_h) / c.dst_h));
            pixman_image_set_transform(source->pixman, &scale);
            pixman_image_set_filter(source->pixman, PIXMAN_FILTER_NEAREST, nullptr, 0);
        }
        for (auto _ : state) {
            for (const SDL_Point& p : *at)
                pixman_image_composite32(PIXMAN_OP_SRC, source->pixman, nullptr, dest->pixman, 0, 0, 0, 0, p.x, p.y,
                                         c.dst_w, c.dst_h);
            benchmark::ClobberMemory();
        }
        pixman_image_set_transform(source->pixman, nullptr);
        SetRate(state, pixels);
    });
}

void RegisterCases() {
    const int W = kScreenW, H = kScreenH, S = kSpriteSize;
    const Case cases[] = {
        // 1:1 full screen, same type and converting.
        {"screen_XRGB8888_XRGB8888", "BltCopy_XRGB8888_XRGB8888", kSurfaceXRGB8888, kSurfaceXRGB8888, W, H, W, H},
        {"screen_ARGB8888_ARGB8888", "BltCopy_ARGB8888_ARGB8888", kSurfaceARGB8888, kSurfaceARGB8888, W, H, W, H},
        {"screen_RGB565_RGB565", "BltCopy_RGB565_RGB565", kSurfaceRGB565, kSurfaceRGB565, W, H, W, H},
        {"screen_RGB888_RGB888", "BltCopy_RGB888_RGB888", kSurfaceRGB888, kSurfaceRGB888, W, H, W, H},
        {"screen_XRGB8888_RGB565", "BltCopy_XRGB8888_RGB565", kSurfaceXRGB8888, kSurfaceRGB565, W, H, W, H},
        {"screen_XRGB8888_RGB888", "BltCopy_XRGB8888_RGB888", kSurfaceXRGB8888, kSurfaceRGB888, W, H, W, H},
        {"screen_RGB565_XRGB8888", "BltCopy_RGB565_XRGB8888", kSurfaceRGB565, kSurfaceXRGB8888, W, H, W, H},
        {"screen_ARGB8888_ABGR8888", "BltCopy_ARGB8888_ABGR8888", kSurfaceARGB8888, kSurfaceABGR8888, W, H, W, H},
        {"screen_RGB888_XRGB8888", "BltCopy_RGB888_XRGB8888", kSurfaceRGB888, kSurfaceXRGB8888, W, H, W, H},
        {"screen_BGR888_XRGB8888", "BltCopy_BGR888_XRGB8888", kSurfaceBGR888, kSurfaceXRGB8888, W, H, W, H},
        {"screen_RGB555_XRGB8888", "BltCopy_RGB555_XRGB8888", kSurfaceRGB555, kSurfaceXRGB8888, W, H, W, H},
        {"screen_XRGB8888_RGB555", "BltCopy_XRGB8888_RGB555", kSurfaceXRGB8888, kSurfaceRGB555, W, H, W, H},
        {"screen_ARGB8888_RGB888", "BltCopy_ARGB8888_RGB888", kSurfaceARGB8888, kSurfaceRGB888, W, H, W, H},
        {"screen_RGB565_RGB888", "BltCopy_RGB565_RGB888", kSurfaceRGB565, kSurfaceRGB888, W, H, W, H},
        {"screen_RGB888_RGB565", "BltCopy_RGB888_RGB565", kSurfaceRGB888, kSurfaceRGB565, W, H, W, H},
        {"screen_RGB565_RGB555", "BltCopy_RGB565_RGB555", kSurfaceRGB565, kSurfaceRGB555, W, H, W, H},
        // Keyed, about 30% key pixels.
        {"screen_keyed_XRGB8888_XRGB8888", "BltCopyKeyed_XRGB8888_XRGB8888", kSurfaceXRGB8888, kSurfaceXRGB8888, W, H, W, H, true},
        {"screen_keyed_RGB565_RGB565", "BltCopyKeyed_RGB565_RGB565", kSurfaceRGB565, kSurfaceRGB565, W, H, W, H, true},
        {"screen_keyed_RGB888_RGB888", "BltCopyKeyed_RGB888_RGB888", kSurfaceRGB888, kSurfaceRGB888, W, H, W, H, true},
        {"screen_keyed_XRGB8888_RGB565", "BltCopyKeyed_XRGB8888_RGB565", kSurfaceXRGB8888, kSurfaceRGB565, W, H, W, H, true},
        {"screen_keyed_RGB565_XRGB8888", "BltCopyKeyed_RGB565_XRGB8888", kSurfaceRGB565, kSurfaceXRGB8888, W, H, W, H, true},
        {"screen_keyed_XRGB8888_RGB888", "BltCopyKeyed_XRGB8888_RGB888", kSurfaceXRGB8888, kSurfaceRGB888, W, H, W, H, true},
        // 64 x 64 sprites: the per-call cost shows.
        {"sprite64_XRGB8888_XRGB8888", "BltCopy_XRGB8888_XRGB8888", kSurfaceXRGB8888, kSurfaceXRGB8888, S, S, S, S, false, true},
        {"sprite64_keyed_XRGB8888_XRGB8888", "BltCopyKeyed_XRGB8888_XRGB8888", kSurfaceXRGB8888, kSurfaceXRGB8888, S, S, S, S, true, true},
        {"sprite64_keyed_RGB565_RGB565", "BltCopyKeyed_RGB565_RGB565", kSurfaceRGB565, kSurfaceRGB565, S, S, S, S, true, true},
        // Stretched twice up and about two thirds down.
        {"stretch2x_XRGB8888_XRGB8888", "BltCopy_XRGB8888_XRGB8888", kSurfaceXRGB8888, kSurfaceXRGB8888, W / 2, H / 2, W, H},
        {"stretch066_XRGB8888_XRGB8888", "BltCopy_XRGB8888_XRGB8888", kSurfaceXRGB8888, kSurfaceXRGB8888, W, H, 426, 320},
        {"stretch2x_RGB565_RGB565", "BltCopy_RGB565_RGB565", kSurfaceRGB565, kSurfaceRGB565, W / 2, H / 2, W, H},
        {"stretch2x_RGB888_RGB888", "BltCopy_RGB888_RGB888", kSurfaceRGB888, kSurfaceRGB888, W / 2, H / 2, W, H},
        {"stretch2x_XRGB8888_RGB565", "BltCopy_XRGB8888_RGB565", kSurfaceXRGB8888, kSurfaceRGB565, W / 2, H / 2, W, H},
        {"stretch066_RGB565_RGB565", "BltCopy_RGB565_RGB565", kSurfaceRGB565, kSurfaceRGB565, W, H, 426, 320},
        // Stretched only vertically: the rows themselves are 1:1.
        {"stretch1x2_XRGB8888_XRGB8888", "BltCopy_XRGB8888_XRGB8888", kSurfaceXRGB8888, kSurfaceXRGB8888, W, H / 2, W, H},
        {"stretch2x_keyed_XRGB8888_XRGB8888", "BltCopyKeyed_XRGB8888_XRGB8888", kSurfaceXRGB8888, kSurfaceXRGB8888, W / 2, H / 2, W, H, true},
    };
    for (const Case& c : cases) RegisterCase(c);
}

const BlitBenchCases kCopyCases(&RegisterCases);

} // namespace
