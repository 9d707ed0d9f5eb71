// polygon_reference.h -- a slow, plainly written model of polygon blits: which texel every
// destination pixel takes (each row worked out on its own, from the vertices), and what each
// mode does with one pixel (the channel arithmetic written out, no tables).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "blit_reference.h"
#include "sdk/draw/SurfaceInfo.h"

namespace blit_test {

using zuderadeDoruVAV3ed::PolygonInfo;

// Calls visit(x, y, u, v) for every destination pixel (x, y) that the polygon covers inside the
// clip (limited to dest_w x dest_h), with the source texel (u, v) it takes, in drawing order.
// A span that would read outside the src_w x src_h source takes its end texels clamped into it.
// The polygon must be drawable (convex, within range).
void RefPolygonWalk(const PolygonInfo& polygon, int dest_w, int dest_h, int src_w, int src_h,
                    const std::function<void(int x, int y, int u, int v)>& visit);

// What mode 0, 1 or 10 does to the destination pixel d with the texel s for a pair of types;
// key_argb is the source's colour key (mode 1).
void RefPolygonPixel(int mode, int dst_type, int src_type, uint32_t key_argb, uint8_t* d, const uint8_t* s);

// The whole blit drawn into dest.memory by the model. False (and nothing more drawn) when a
// pixel would take a texel outside the source.
bool RefPolygonBlt(int mode, TestSurface& dest, TestSurface& source, const PolygonInfo& polygon);

} // namespace blit_test
