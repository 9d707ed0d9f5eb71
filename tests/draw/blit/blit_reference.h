// blit_reference.h -- a slow, plainly written model of pixel formats and of the copy kinds,
// written from the format descriptions alone, and test surfaces with canary bytes around them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sdk/draw/SurfaceInfo.h"

namespace blit_test {

using zuderadeDoruVAV3ed::BltInfo;
using zuderadeDoruVAV3ed::CSurfaceInfo;
using zuderadeDoruVAV3ed::POINT;
using zuderadeDoruVAV3ed::RECT;
using zuderadeDoruVAV3ed::SIZE;

// The ten pixel types, in table order.
extern const int kTypes[10];
const char* TypeName(int type);

// One channel: its bits in the little-endian pixel value (bits 0 = the type has no such channel).
struct RefChannel {
    int shift, bits;
};
struct RefFormat {
    int type;
    int size;        // bytes per pixel
    RefChannel r, g, b, a;
    int key_bits;    // bits of a source pixel that a colour key compares
};
const RefFormat& Format(int type);

// Channels as 8-bit values.
struct RefColour {
    int r, g, b, a;
};
uint32_t RefLoad(const RefFormat& f, const uint8_t* p);
void RefStore(const RefFormat& f, uint8_t* p, uint32_t v);
RefColour RefUnpack(const RefFormat& f, uint32_t v);
uint32_t RefPack(const RefFormat& f, RefColour c);
// The colour key 0xAARRGGBB as a pixel value of the type.
uint32_t RefKey(const RefFormat& f, uint32_t argb);

// Pixel memory with canary bytes before, after and between rows; bottom_up stores row 0 last
// (negative pitch). desc describes it.
struct TestSurface {
    TestSurface(int type, int width, int height, bool bottom_up, int pad, std::mt19937& rng);
    TestSurface(const TestSurface& other);
    TestSurface& operator=(const TestSurface&) = delete;

    uint8_t* Pixel(int x, int y) { return origin + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * size; }

    int type, width, height, size;
    int32_t pitch;
    std::vector<uint8_t> memory;   // everything, canaries included
    uint8_t* origin;               // pixel (0, 0)
    CSurfaceInfo desc;
};

// The source column (or row) that each of n destination pixels takes when a source length of
// src_len is drawn at dst_len: the error walk, unclipped, simulated step by step.
std::vector<int> RefStretchWalk(int src_len, int dst_len);

// Calls draw(destination pixel, source pixel) for every destination pixel that a blit of info
// draws, with the source pixel the walk takes for it; the key test is the caller's.
void RefForEachPixel(TestSurface& dest, TestSurface& source, const BltInfo& info,
                     const std::function<void(uint8_t* d, const uint8_t* s)>& draw);

// True when the source pixel matches the colour key 0xAARRGGBB in the bits keys compare.
bool RefKeyMatches(const RefFormat& f, uint32_t pixel, uint32_t key_argb);

// What a copy (kind 0) or keyed copy (kind 1) does, drawn into dest.memory.
void RefCopyBlt(TestSurface& dest, TestSurface& source, const BltInfo& info, bool keyed, uint32_t key_argb);

// One random blit: everything that BltInfo can say, each part sometimes left out.
struct RandomBlt {
    std::optional<POINT> pos;
    std::optional<SIZE> size;
    std::optional<RECT> src;
    std::optional<RECT> clip;
    int anchor = 0;

    BltInfo Info() const;
};

int Uniform(std::mt19937& rng, int lo, int hi);
bool Chance(std::mt19937& rng, int percent);
// Random source rectangles, positions, sizes (1:1, stretched, empty), clips and anchors for a
// source of sw x sh onto a destination of dw x dh.
RandomBlt MakeRandomBlt(std::mt19937& rng, int sw, int sh, int dw, int dh);
// A pixel of the key's colour: the key in the bits keys compare and random bits elsewhere, or
// half the time random bits also where the compared bits hold no colour (the spare byte of
// XRGB8888 and XBGR8888, bit 15 of RGB555), which the key then matches only when they are 0.
uint32_t RefKeyPixel(const RefFormat& f, uint32_t key_argb, std::mt19937& rng);
// Random source pixels, about a third of them of the key's colour (RefKeyPixel).
void FillSource(TestSurface& s, uint32_t key_argb, std::mt19937& rng);
// One random case of a conformance suite: a source (key pixels included, its key set) and a
// destination of random sizes up to max_w x max_h, either row order and padding, and a blit.
struct RandomCase {
    RandomCase(int src_type, int dst_type, int max_w, int max_h, std::mt19937& rng);
    TestSurface source, dest;
    uint32_t key_argb;
    RandomBlt blt;
};

// The offset of the first byte where two memories of one size differ (the size when equal).
size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// The blit and both surfaces in words, for failure messages.
std::string Describe(const RandomBlt& b, const TestSurface& d, const TestSurface& s);

} // namespace blit_test
