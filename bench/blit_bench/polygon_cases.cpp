// polygon_cases.cpp -- polygon blits: a 640 x 480 destination filled by two textured triangles,
// copied and blended, beside SDL2's software renderer (SDL_RenderGeometry onto a surface) and
// pixman's triangle compositing with a nearest-sampled, scaled source.
#include <pixman.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/blit_bench/harness.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/SurfaceInfo.h"

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

void RegisterCases() {
    InitAlphaTables();
    const Case cases[] = {
        {"polygon_quad_copy_XRGB8888_XRGB8888", kPolyBltCopy, kSurfaceXRGB8888, kSurfaceXRGB8888},
        {"polygon_quad_blend_XRGB8888_ARGB8888", kPolyBltAlphaBlend, kSurfaceXRGB8888, kSurfaceARGB8888},
        {"polygon_quad_blend_ARGB8888_ARGB8888", kPolyBltAlphaBlend, kSurfaceARGB8888, kSurfaceARGB8888},
    };
    for (const Case& c : cases) RegisterCase(c);
}

const BlitBenchCases kCases(&RegisterCases);

} // namespace
