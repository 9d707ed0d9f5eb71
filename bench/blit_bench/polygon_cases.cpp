// polygon_cases.cpp -- polygon blits: a 640 x 480 destination filled by two textured triangles,
// copied and blended, beside SDL2's software renderer (SDL_RenderGeometry onto a surface) and
// pixman's triangle compositing with a nearest-sampled, scaled source. Thin and small shapes,
// copied, beside the same walk without its source texel check ("unchecked"), for the cost that
// every row pays.
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/blit_bench/harness.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/SurfaceInfo.h"
#include "sdk/draw/blit/PolygonFrame.h"
#include "sdk/draw/blit/PolygonOps.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

// The copy routine's walk, with its source texel check as the walk decides or turned off
// (for the benchmark only): one piece of code for both, so that they differ in the check alone.
struct PolygonScanProbe {
    [[gnu::noinline]] static void Copy(const CSurfaceInfo& source, const CSurfaceInfo& dest, const PolygonInfo& polygon, bool unchecked) {
        PolygonScan scan;
        if (!scan.Begin(source, PixelXRGB8888::kSize, dest, polygon)) return;
        if (unchecked) scan.check_ = false;
        PolyDrawSpans<PixelXRGB8888, PixelXRGB8888>(scan, source.GetPitch(), OpPolyCopy<PixelXRGB8888, PixelXRGB8888>(BltParam{}));
    }
};

} // namespace zuderadeDoruVAV3ed

using namespace zuderadeDoruVAV3ed;
using namespace blit_bench;

namespace {

constexpr int kTexture = 256;

struct Case {
    std::string name;
    int mode;               // PolyBltMode
    int dst_type, src_type;
};

pixman_format_code_t PixmanFormat(int type) {
    return type == kSurfaceARGB8888 ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8;
}

void RegisterCase(const Case& c) {
    auto source = std::make_shared<Plane>(c.src_type, kTexture, kTexture);
    auto dest = std::make_shared<Plane>(c.dst_type, kScreenW, kScreenH);
    const double pixels = double(kScreenW) * kScreenH;
    const bool blend = c.mode == kPolyBltAlphaBlend;

    benchmark::RegisterBenchmark((c.name + "/ours").c_str(), [=](benchmark::State& state) {
        // Two triangles sharing the diagonal; every pixel of the destination is drawn.
        const int R = kScreenW - 1, B = kScreenH - 1, T = kTexture - 1;
        const POINT dst_a[3] = {{0, 0}, {R, 0}, {R, B}}, src_a[3] = {{0, 0}, {T, 0}, {T, T}};
        const POINT dst_b[3] = {{0, 0}, {R, B}, {0, B}}, src_b[3] = {{0, 0}, {T, T}, {0, T}};
        const PolygonInfo a{src_a, dst_a, nullptr, 0, 3}, b{src_b, dst_b, nullptr, 0, 3};
        for (auto _ : state) {
            dest->desc.PolygonBlt(c.mode, &source->desc, &a, nullptr);
            dest->desc.PolygonBlt(c.mode, &source->desc, &b, nullptr);
            benchmark::ClobberMemory();
        }
        SetRate(state, pixels);
    });

    if (source->sdl && dest->sdl) {
        benchmark::RegisterBenchmark((c.name + "/SDL2").c_str(), [=](benchmark::State& state) {
            SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(dest->sdl);
            SDL_Texture* texture = renderer ? SDL_CreateTextureFromSurface(renderer, source->sdl) : nullptr;
            if (!texture) {
                state.SkipWithError("no SDL software renderer");
                if (renderer) SDL_DestroyRenderer(renderer);
                return;
            }
            SDL_SetTextureBlendMode(texture, blend ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
            SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
            const float W = kScreenW, H = kScreenH;
            const SDL_Color white{255, 255, 255, 255};
            const SDL_Vertex v[4] = {{{0, 0}, white, {0, 0}}, {{W, 0}, white, {1, 0}}, {{W, H}, white, {1, 1}}, {{0, H}, white, {0, 1}}};
            const int indices[6] = {0, 1, 2, 0, 2, 3};
            for (auto _ : state) {
                SDL_RenderGeometry(renderer, texture, v, 4, indices, 6);
                SDL_RenderFlush(renderer);
                benchmark::ClobberMemory();
            }
            SDL_DestroyTexture(texture);
            SDL_DestroyRenderer(renderer);
            SetRate(state, pixels);
        });
    }

    benchmark::RegisterBenchmark((c.name + "/pixman").c_str(), [=](benchmark::State& state) {
        pixman_image_t* src = pixman_image_create_bits(PixmanFormat(c.src_type), kTexture, kTexture,
                                                       reinterpret_cast<uint32_t*>(source->pixels.data()), kTexture * 4);
        pixman_image_t* dst = pixman_image_create_bits(PixmanFormat(c.dst_type), kScreenW, kScreenH,
                                                       reinterpret_cast<uint32_t*>(dest->pixels.data()), kScreenW * 4);
        // Destination space to texture space, sampled at the nearest texel.
        pixman_transform_t scale;
        pixman_transform_init_scale(&scale, pixman_double_to_fixed(double(kTexture) / kScreenW),
                                    pixman_double_to_fixed(double(kTexture) / kScreenH));
        pixman_image_set_transform(src, &scale);
        pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
        auto fx = [](int v) { return pixman_int_to_fixed(v); };
        const pixman_triangle_t tris[2] = {
            {{fx(0), fx(0)}, {fx(kScreenW), fx(0)}, {fx(kScreenW), fx(kScreenH)}},
            {{fx(0), fx(0)}, {fx(kScreenW), fx(kScreenH)}, {fx(0), fx(kScreenH)}},
        };
        for (auto _ : state) {
            pixman_composite_triangles(blend ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, src, dst, PIXMAN_a8, 0, 0, 0, 0, 2, tris);
            benchmark::ClobberMemory();
        }
        pixman_image_unref(src);
        pixman_image_unref(dst);
        SetRate(state, pixels);
    });
}

// A shape copied from a square texture: destination and source points, the flag and the
// texture's side.
struct Shape {
    std::string name;
    std::vector<POINT> dst, src;
    uint8_t flag = 0;
    int texture = kTexture;
};

PolygonInfo Info(const Shape& s) {
    return PolygonInfo{s.src.data(), s.dst.data(), nullptr, s.flag, static_cast<int32_t>(s.dst.size())};
}

// The w x h rectangle at (x, y), corners clockwise; one pixel wide or high, corners coincide.
std::vector<POINT> Upright(int x, int y, int w, int h) {
    return {{x, y}, {x + w - 1, y}, {x + w - 1, y + h - 1}, {x, y + h - 1}};
}

// The pixels a polygon draws onto the screen.
double Pixels(const CSurfaceInfo& source, const CSurfaceInfo& dest, const PolygonInfo& info) {
    PolygonScan scan;
    PolygonSpan span;
    double pixels = 0;
    if (scan.Begin(source, PixelXRGB8888::kSize, dest, info))
        while (scan.NextSpan(span)) pixels += span.last - span.first + 1;
    return pixels;
}

void RegisterShape(const Shape& shape) {
    auto source = std::make_shared<Plane>(kSurfaceXRGB8888, shape.texture, shape.texture);
    auto dest = std::make_shared<Plane>(kSurfaceXRGB8888, kScreenW, kScreenH);
    const double pixels = Pixels(source->desc, dest->desc, Info(shape));
    const std::string name = "polygon_" + shape.name + "_copy_XRGB8888";

    for (const bool unchecked : {false, true}) {
        benchmark::RegisterBenchmark((name + (unchecked ? "/unchecked" : "/ours")).c_str(), [=](benchmark::State& state) {
            const PolygonInfo info = Info(shape);
            for (auto _ : state) {
                PolygonScanProbe::Copy(source->desc, dest->desc, info, unchecked);
                benchmark::ClobberMemory();
            }
            SetRate(state, pixels);
        });
    }
}

void RegisterShapes() {
    // The 16 x 16 square of corners (+-8, +-8) turned 30 degrees about (320, 240), rounded.
    std::vector<POINT> turned;
    for (POINT c : Upright(-8, -8, 17, 17)) {
        const double a = 3.14159265358979 / 6;
        turned.push_back({int(std::lround(320 + c.x * std::cos(a) - c.y * std::sin(a))), int(std::lround(240 + c.x * std::sin(a) + c.y * std::cos(a)))});
    }
    const int T = kTexture - 1;
    const Shape shapes[] = {
        {"1x480", Upright(320, 0, 1, 480), Upright(100, 0, 1, kTexture)},
        {"2x480", Upright(320, 0, 2, 480), Upright(100, 0, 2, kTexture)},
        {"8x480", Upright(320, 0, 8, 480), Upright(100, 0, 8, kTexture)},
        {"sliver", {{0, 0}, {639, 479}, {638, 479}}, {{0, 0}, {T, T}, {T - 1, T}}},
        {"4x4", Upright(320, 240, 4, 4), Upright(0, 0, 4, 4)},
        {"8x8", Upright(320, 240, 8, 8), Upright(0, 0, 8, 8)},
        // A large texture drawn small: 32 texels a pixel.
        {"2048x2048_to_64x64", Upright(320, 240, 64, 64), Upright(0, 0, 2048, 2048), 0, 2048},
        {"16x16_turned30", turned, Upright(0, 0, 16, 16)},
        {"16x16", Upright(320, 240, 16, 16), Upright(0, 0, 16, 16)},
        {"64x64", Upright(320, 240, 64, 64), Upright(0, 0, 64, 64)},
        {"640x480", Upright(0, 0, kScreenW, kScreenH), Upright(0, 0, kTexture, kTexture)},
        // Source points on the far edges with the flag: every row checks its texels (and, 4:1
        // down, stays inside without the check too).
        {"64x64_far_edge", Upright(320, 240, 64, 64), {{0, 0}, {kTexture, 0}, {kTexture, kTexture}, {0, kTexture}}, 1},
    };
    for (const Shape& s : shapes) RegisterShape(s);
}

void RegisterCases() {
    InitAlphaTables();
    const Case cases[] = {
        {"polygon_quad_copy_XRGB8888_XRGB8888", kPolyBltCopy, kSurfaceXRGB8888, kSurfaceXRGB8888},
        {"polygon_quad_blend_XRGB8888_ARGB8888", kPolyBltAlphaBlend, kSurfaceXRGB8888, kSurfaceARGB8888},
        {"polygon_quad_blend_ARGB8888_ARGB8888", kPolyBltAlphaBlend, kSurfaceARGB8888, kSurfaceARGB8888},
    };
    for (const Case& c : cases) RegisterCase(c);
    RegisterShapes();
}

const BlitBenchCases kCases(&RegisterCases);

} // namespace
