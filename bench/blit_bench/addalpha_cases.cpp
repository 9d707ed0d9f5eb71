// addalpha_cases.cpp -- constant-alpha add blitters (kinds 6 and 8) beside SDL2's additive
// blend with alpha modulation and pixman's ADD through a solid mask, on the same memory; and
// beside our own scalar route, to show what the vector routes bring.
#include <pixman.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/blit_bench/harness.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltParam.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/ConstAlphaVector.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_bench;

namespace {

constexpr uint8_t kAlpha = 128;

pixman_format_code_t PixmanFormat(int type) {
    switch (type) {
    case kSurfaceRGB565: return PIXMAN_r5g6b5;
    case kSurfaceXRGB8888: return PIXMAN_x8r8g8b8;
    default: return PIXMAN_x8r8g8b8;
    }
}

pixman_image_t* PixmanOver(Plane& p, int type, int w, int h) {
    return pixman_image_create_bits(PixmanFormat(type), w, h, reinterpret_cast<uint32_t*>(p.pixels.data()),
                                    w * PixelSize(type));
}

struct Case {
    std::string name;
    std::string routine;
    int type;
    bool keyed;
};

void RegisterCase(const Case& c) {
    const int W = kScreenW, H = kScreenH;
    auto source = std::make_shared<Plane>(c.type, W, H, c.keyed ? kKeyPercent : 0);
    auto dest = std::make_shared<Plane>(c.type, W, H, 0, 43);
    BltRoutine routine = Routine(c.routine);
    if (!routine) {
        std::fprintf(stderr, "no routine %s\n", c.routine.c_str());
        return;
    }
    const double pixels = double(W) * H;
    const BltParam param = c.keyed ? MakeKeyAlphaParam(ConvertColorKey(c.type, kKeyArgb), PixelSize(c.type), kAlpha)
                                   : BltParam::FromWord(kAlpha);

    for (bool vector : {true, false}) {
        benchmark::RegisterBenchmark((c.name + (vector ? "/ours" : "/scalar")).c_str(), [=](benchmark::State& state) {
            SetConstAlphaVectorRoutes(vector);
            BltInfo info;
            for (auto _ : state) {
                routine(source->desc, dest->desc, param, info);
                benchmark::ClobberMemory();
            }
            SetConstAlphaVectorRoutes(true);
            SetRate(state, pixels);
        });
    }

    if (source->sdl && dest->sdl) {
        benchmark::RegisterBenchmark((c.name + "/SDL2").c_str(), [=](benchmark::State& state) {
            SDL_SetSurfaceBlendMode(source->sdl, SDL_BLENDMODE_ADD);
            SDL_SetSurfaceAlphaMod(source->sdl, kAlpha);
            SDL_SetColorKey(source->sdl, c.keyed ? SDL_TRUE : SDL_FALSE,
                            SDL_MapRGB(source->sdl->format, kKeyArgb >> 16 & 255, kKeyArgb >> 8 & 255, kKeyArgb & 255));
            for (auto _ : state) {
                SDL_Rect to{0, 0, W, H};
                SDL_BlitSurface(source->sdl, nullptr, dest->sdl, &to);
                benchmark::ClobberMemory();
            }
            SDL_SetSurfaceBlendMode(source->sdl, SDL_BLENDMODE_NONE);
            SDL_SetSurfaceAlphaMod(source->sdl, 255);
            SetRate(state, pixels);
        });
    }

    // pixman has no colour key: beside the keyed cases it draws every pixel.
    benchmark::RegisterBenchmark((c.name + "/pixman").c_str(), [=](benchmark::State& state) {
        pixman_image_t* src = PixmanOver(*source, c.type, W, H);
        pixman_image_t* dst = PixmanOver(*dest, c.type, W, H);
        pixman_color_t colour{0, 0, 0, static_cast<uint16_t>(kAlpha * 257)};
        pixman_image_t* mask = pixman_image_create_solid_fill(&colour);
        for (auto _ : state) {
            pixman_image_composite32(PIXMAN_OP_ADD, src, mask, dst, 0, 0, 0, 0, 0, 0, W, H);
            benchmark::ClobberMemory();
        }
        pixman_image_unref(mask);
        pixman_image_unref(dst);
        pixman_image_unref(src);
        SetRate(state, pixels);
    });
}

void RegisterCases() {
    InitAlphaTables();
    const Case cases[] = {
        {"addalpha_XRGB8888_XRGB8888", "BltAddAlpha_XRGB8888_XRGB8888", kSurfaceXRGB8888, false},
        {"addalpha_RGB565_RGB565", "BltAddAlpha_RGB565_RGB565", kSurfaceRGB565, false},
        {"addalpha_keyed_XRGB8888_XRGB8888", "BltAddAlphaKeyed_XRGB8888_XRGB8888", kSurfaceXRGB8888, true},
        {"addalpha_keyed_RGB565_RGB565", "BltAddAlphaKeyed_RGB565_RGB565", kSurfaceRGB565, true},
    };
    for (const Case& c : cases) RegisterCase(c);
}

const BlitBenchCases kAddAlphaCases(&RegisterCases);

} // namespace
