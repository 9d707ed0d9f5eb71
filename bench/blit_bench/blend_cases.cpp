// blend_cases.cpp -- the add/subtract and blend blitters beside SDL2's software blend modes
// (BLEND, alpha modulation, ADD) and pixman's composites (OVER, OVER with a solid mask, ADD) on
// the same formats and the same memory, and beside our own scalar route.
#include <pixman.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/blit_bench/harness.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/BltDispatch.h"
#include "sdk/draw/blit/BltVector.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_bench;

namespace {

constexpr uint8_t kAlpha = 128;   // the constant alpha of kind 14 and its peers

enum class Peer { kNone, kBlend, kAlphaMod, kAdd };

struct Case {
    std::string name;
    int kind;
    int dst_type, src_type;
    Peer peer;
};

pixman_format_code_t PixmanFormat(int type) {
    switch (type) {
    case kSurfaceRGB565: return PIXMAN_r5g6b5;
    case kSurfaceXRGB8888: return PIXMAN_x8r8g8b8;
    case kSurfaceARGB8888: return PIXMAN_a8r8g8b8;
    default: return PixmanFormat(kSurfaceXRGB8888);
    }
}

struct PixmanImage {
    explicit PixmanImage(Plane& plane, int type, int w, int h)
        : image(pixman_image_create_bits(PixmanFormat(type), w, h, reinterpret_cast<uint32_t*>(plane.pixels.data()),
                                         w * PixelSize(type))) {}
    ~PixmanImage() { pixman_image_unref(image); }
    pixman_image_t* image;
};

// Our routine through the dispatch (so kind 14 takes its forwarding step), at the vector level
// chosen; the level is put back to the best one afterwards.
void RegisterOurs(const Case& c, const std::string& suffix, BltVectorLevel level, std::shared_ptr<Plane> source,
                  std::shared_ptr<Plane> dest) {
    benchmark::RegisterBenchmark((c.name + suffix + "/ours").c_str(), [=](benchmark::State& state) {
        SetBltVectorLevel(level);
        uint32_t param = c.kind == kBltBlendRates ? 100u | 150u << 8 : kAlpha;
        for (auto _ : state) {
            switch (c.kind) {
            case kBltAdd: DispatchBltAdd(source->desc, dest->desc, BltInfo{}, 0); break;
            case kBltSub: DispatchBltSub(source->desc, dest->desc, BltInfo{}, 0); break;
            case kBltAlphaBlend: DispatchBltAlphaBlend(source->desc, dest->desc, BltInfo{}, 0); break;
            case kBltBlendConst: DispatchBltBlendConst(source->desc, dest->desc, BltInfo{}, param); break;
            case kBltBlendRates: DispatchBltBlendRates(source->desc, dest->desc, BltInfo{}, param); break;
            default: break;
            }
            benchmark::ClobberMemory();
        }
        SetBltVectorLevel(BltVectorBest());
        SetRate(state, double(kScreenW) * kScreenH);
    });
}

void RegisterCase(const Case& c) {
    const int w = kScreenW, h = kScreenH;
    auto source = std::make_shared<Plane>(c.src_type, w, h);
    auto dest = std::make_shared<Plane>(c.dst_type, w, h, 0, 43);
    RegisterOurs(c, "", BltVectorBest(), source, dest);
    if (c.dst_type == kSurfaceXRGB8888 || c.dst_type == kSurfaceRGB565)
        RegisterOurs(c, "_scalar", BltVectorLevel::kScalar, source, dest);
    if (c.peer == Peer::kNone) return;

    // SDL2 under the case's name and, where there is a scalar row, under that one as well, so the
    // ratio table shows both routes against it.
    bool has_scalar = c.dst_type == kSurfaceXRGB8888 || c.dst_type == kSurfaceRGB565;
    for (std::string suffix : {std::string(), std::string("_scalar")}) {
        if (!source->sdl || !dest->sdl || (!suffix.empty() && !has_scalar)) break;
        benchmark::RegisterBenchmark((c.name + suffix + "/SDL2").c_str(), [=](benchmark::State& state) {
            SDL_SetSurfaceBlendMode(source->sdl, c.peer == Peer::kAdd ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
            SDL_SetSurfaceAlphaMod(source->sdl, c.peer == Peer::kAlphaMod ? kAlpha : 255);
            for (auto _ : state) {
                SDL_Rect to{0, 0, w, h};
                SDL_BlitSurface(source->sdl, nullptr, dest->sdl, &to);
                benchmark::ClobberMemory();
            }
            SDL_SetSurfaceBlendMode(source->sdl, SDL_BLENDMODE_NONE);
            SDL_SetSurfaceAlphaMod(source->sdl, 255);
            SetRate(state, double(w) * h);
        });
    }

    benchmark::RegisterBenchmark((c.name + "/pixman").c_str(), [=](benchmark::State& state) {
        PixmanImage src(*source, c.src_type, w, h), dst(*dest, c.dst_type, w, h);
        pixman_image_t* mask = nullptr;
        if (c.peer == Peer::kAlphaMod) {
            pixman_color_t colour{0, 0, 0, static_cast<uint16_t>(kAlpha * 257)};
            mask = pixman_image_create_solid_fill(&colour);
        }
        pixman_op_t op = c.peer == Peer::kAdd ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
        for (auto _ : state) {
            pixman_image_composite32(op, src.image, mask, dst.image, 0, 0, 0, 0, 0, 0, w, h);
            benchmark::ClobberMemory();
        }
        if (mask) pixman_image_unref(mask);
        SetRate(state, double(w) * h);
    });
}

void RegisterCases() {
    InitAlphaTables();
    const Case cases[] = {
        {"blend10_XRGB8888_ARGB8888", kBltAlphaBlend, kSurfaceXRGB8888, kSurfaceARGB8888, Peer::kBlend},
        {"blend10_ARGB8888_ARGB8888", kBltAlphaBlend, kSurfaceARGB8888, kSurfaceARGB8888, Peer::kBlend},
        {"blend14_XRGB8888_XRGB8888", kBltBlendConst, kSurfaceXRGB8888, kSurfaceXRGB8888, Peer::kAlphaMod},
        {"blend14_RGB565_RGB565", kBltBlendConst, kSurfaceRGB565, kSurfaceRGB565, Peer::kAlphaMod},
        {"blend14_XRGB8888_ARGB8888", kBltBlendConst, kSurfaceXRGB8888, kSurfaceARGB8888, Peer::kAlphaMod},
        {"blend16_XRGB8888_XRGB8888", kBltBlendRates, kSurfaceXRGB8888, kSurfaceXRGB8888, Peer::kNone},
        {"add2_XRGB8888_XRGB8888", kBltAdd, kSurfaceXRGB8888, kSurfaceXRGB8888, Peer::kAdd},
        {"add2_RGB565_RGB565", kBltAdd, kSurfaceRGB565, kSurfaceRGB565, Peer::kAdd},
        {"add2_XRGB8888_ARGB8888", kBltAdd, kSurfaceXRGB8888, kSurfaceARGB8888, Peer::kAdd},
        {"sub3_XRGB8888_XRGB8888", kBltSub, kSurfaceXRGB8888, kSurfaceXRGB8888, Peer::kNone},
        {"sub3_RGB565_RGB565", kBltSub, kSurfaceRGB565, kSurfaceRGB565, Peer::kNone},
    };
    for (const Case& c : cases) RegisterCase(c);
}

const BlitBenchCases kBlendCases(&RegisterCases);

} // namespace
