// polygon_reference.cpp -- the reference model of polygon blits.
#include "polygon_reference.h"

#include <algorithm>

namespace blit_test {

using namespace zuderadeDoruVAV3ed;

namespace {

constexpr int64_t kOne = 1 << 18, kHalf = 1 << 17;

int64_t Floor18(int64_t v) {
    return v >= 0 ? v / kOne : -((-v + kOne - 1) / kOne);
}

struct Edge {
    POINT a, b;     // destination, a above b
    POINT sa, sb;   // source positions of the same vertices
};

// One side of the polygon from its top vertex to its bottom vertex, horizontal edges left out.
std::vector<Edge> Side(const PolygonInfo& p, int top, int bottom, int dir) {
    std::vector<Edge> side;
    const int n = p.count;
    for (int i = top; i != bottom; i = (i + dir + n) % n) {
        int j = (i + dir + n) % n;
        if (p.dstPoints[i].y != p.dstPoints[j].y)
            side.push_back({p.dstPoints[i], p.dstPoints[j], p.srcPoints[i], p.srcPoints[j]});
    }
    return side;
}

// Position and source position of a side at a row: the lowest edge that starts at or above the
// row, stepped from its start (steps truncated toward zero).
struct SideAt {
    int64_t x, u, v;
};
SideAt At(const std::vector<Edge>& side, int row, int e) {
    const Edge* edge = &side.front();
    for (const Edge& candidate : side)
        if (candidate.a.y <= row) edge = &candidate;
    int64_t h = edge->b.y - edge->a.y, k = row - edge->a.y;
    int64_t dx = (edge->b.x - edge->a.x) * kOne / h;
    int64_t du = (edge->sb.x - edge->sa.x) * kOne / (h + e);
    int64_t dv = (edge->sb.y - edge->sa.y) * kOne / (h + e);
    return {edge->a.x * kOne + kHalf + k * dx, edge->sa.x * kOne + kHalf + k * du, edge->sa.y * kOne + kHalf + k * dv};
}

int Field(uint32_t v, int shift, int bits) {
    return static_cast<int>((v >> shift) & ((1u << bits) - 1));
}

// A channel blended by the source alpha a out of 255, each share rounded down.
int Mix(int a, int s, int d) {
    return a * s / 255 + d * (255 - a) / 255;
}

bool IsWordType(int t) {
    return t == kSurfaceRGB565 || t == kSurfaceRGB555 || t == kSurfaceARGB4565 || t == kSurfaceARGB4555;
}
bool IsCellType(int t) {
    return t == kSurfaceARGB4565 || t == kSurfaceARGB4555;
}

void Copy(const RefFormat& df, const RefFormat& sf, uint8_t* d, const uint8_t* s) {
    uint32_t t = RefLoad(sf, s);
    if (df.type == sf.type && !IsCellType(df.type)) {
        RefStore(df, d, t);                                   // every byte, spare bits included
    } else if (IsCellType(df.type)) {
        d[0] = s[0], d[1] = s[1];                             // colour word, then alpha byte or 15
        d[2] = IsCellType(sf.type) ? s[2] : 0x0F;
    } else if (IsWordType(df.type)) {
        RefStore(df, d, t & (df.type == kSurfaceRGB555 ? 0x7FFFu : 0xFFFFu));
    } else {
        RefColour c = RefUnpack(sf, t);
        c.a = 255;                                            // onto an alpha type: opaque
        RefStore(df, d, RefPack(df, c));                      // spare byte 0
    }
}

void Blend(const RefFormat& df, const RefFormat& sf, uint8_t* d, const uint8_t* s) {
    uint32_t t = RefLoad(sf, s), o = RefLoad(df, d);
    if (IsWordType(df.type) && IsCellType(sf.type) && !IsCellType(df.type)) {
        // Whole fields weighed in fifteenths by the level.
        int level = s[2] & 15;
        uint32_t w = 0;
        for (RefChannel c : {df.r, df.g, df.b}) {
            int ft = Field(t, c.shift, c.bits), fd = Field(o, c.shift, c.bits);
            w |= static_cast<uint32_t>(ft * level / 15 + fd * (15 - level) / 15) << c.shift;
        }
        d[0] = static_cast<uint8_t>(w), d[1] = static_cast<uint8_t>(w >> 8);
        return;
    }
    RefColour tc = RefUnpack(sf, t), dc = RefUnpack(df, o);
    if (IsWordType(df.type)) {
        // 8-bit channels from the words; no equality test.
        int a = IsCellType(sf.type) ? 16 * (s[2] & 15) : 255;
        RefColour c{Mix(a, tc.r, dc.r), Mix(a, tc.g, dc.g), Mix(a, tc.b, dc.b), 0};
        uint32_t w = RefPack(df, c);
        d[0] = static_cast<uint8_t>(w), d[1] = static_cast<uint8_t>(w >> 8);
        return;
    }
    if (tc.r == dc.r && tc.g == dc.g && tc.b == dc.b) return;   // same colour: untouched
    int a = sf.a.bits ? tc.a : 255;
    RefColour c{Mix(a, tc.r, dc.r), Mix(a, tc.g, dc.g), Mix(a, tc.b, dc.b), 255};
    RefStore(df, d, RefPack(df, c));
}

} // namespace

void RefPolygonWalk(const PolygonInfo& p, int dest_w, int dest_h, int src_w, int src_h, const std::function<void(int, int, int, int)>& visit) {
    const int n = p.count;
    const POINT* v = p.dstPoints;
    int top = 0, bottom = 0;
    for (int i = 0; i < n; ++i) {
        if (v[i].y < v[top].y || (v[i].y == v[top].y && v[i].x < v[top].x)) top = i;
        if (v[i].y > v[bottom].y || (v[i].y == v[bottom].y && v[i].x > v[bottom].x)) bottom = i;
    }
    // Twice the signed area: positive when the array runs clockwise on screen, and then the
    // left side is the one walked backward.
    int64_t area2 = 0;
    for (int i = 0; i < n; ++i) area2 += int64_t(v[i].x) * v[(i + 1) % n].y - int64_t(v[(i + 1) % n].x) * v[i].y;
    int left_dir = area2 < 0 ? 1 : -1;
    std::vector<Edge> left = Side(p, top, bottom, left_dir), right = Side(p, top, bottom, -left_dir);
    const int e = p.srcEndExclusive ? 1 : 0;

    int cl = 0, ct = 0, cr = dest_w, cb = dest_h;
    if (p.clip) {
        cl = std::max(cl, p.clip->left), ct = std::max(ct, p.clip->top);
        cr = std::min(cr, p.clip->right), cb = std::min(cb, p.clip->bottom);
    }
    if (cl >= cr || ct >= cb) return;
    for (int y = std::max<int>(v[top].y, ct); y <= std::min<int>(v[bottom].y, cb - 1); ++y) {
        SideAt l = At(left, y, e), r = At(right, y, e);
        int64_t lim_l = cl * kOne + kHalf, lim_r = cr * kOne - kHalf;
        if (r.x < lim_l || l.x > lim_r) continue;
        int64_t xl = Floor18(l.x), xr = Floor18(r.x);
        int64_t first = l.x < lim_l ? cl : xl, last = r.x > lim_r ? cr - 1 : xr;
        // The texels of the span's pixels from its end texels; the accumulators start at the
        // pixel that the span starts from.
        auto texels = [&](int64_t ul, int64_t vl, int64_t ur, int64_t vr) {
            int64_t su = xr == xl ? 0 : (ur - ul) * kOne / (xr - xl + e);
            int64_t sv = xr == xl ? 0 : (vr - vl) * kOne / (xr - xl + e);
            int64_t j = Floor18(lim_l - l.x), au = l.x < lim_l ? j * su : kHalf, av = l.x < lim_l ? j * sv : kHalf;
            std::vector<std::pair<int, int>> t;
            for (int64_t m = 0; first + m <= last; ++m)
                t.emplace_back(static_cast<int>(ul + Floor18(au + m * su)), static_cast<int>(vl + Floor18(av + m * sv)));
            return t;
        };
        auto t = texels(Floor18(l.u), Floor18(l.v), Floor18(r.u), Floor18(r.v));
        if (std::any_of(t.begin(), t.end(), [&](auto p) { return p.first < 0 || p.second < 0 || p.first >= src_w || p.second >= src_h; })) {
            auto in = [](int64_t c, int size) { return std::clamp<int64_t>(c, 0, size - 1); };
            t = texels(in(Floor18(l.u), src_w), in(Floor18(l.v), src_h), in(Floor18(r.u), src_w), in(Floor18(r.v), src_h));
        }
        for (size_t m = 0; m < t.size(); ++m) visit(static_cast<int>(first + m), y, t[m].first, t[m].second);
    }
}

void RefPolygonPixel(int mode, int dst_type, int src_type, uint32_t key_argb, uint8_t* d, const uint8_t* s) {
    const RefFormat& df = Format(dst_type);
    const RefFormat& sf = Format(src_type);
    if (mode == 10) {
        Blend(df, sf, d, s);
        return;
    }
    if (mode == 1) {
        uint32_t mask = sf.key_bits == 32 ? 0xFFFFFFFFu : (1u << sf.key_bits) - 1;
        if ((RefLoad(sf, s) & mask) == (RefKey(sf, key_argb) & mask)) return;
    }
    Copy(df, sf, d, s);
}

bool RefPolygonBlt(int mode, TestSurface& dest, TestSurface& source, const PolygonInfo& polygon) {
    bool inside = true;
    uint32_t key = source.desc.GetColorKey();
    RefPolygonWalk(polygon, dest.width, dest.height, source.width, source.height, [&](int x, int y, int u, int v) {
        if (u < 0 || v < 0 || u >= source.width || v >= source.height) {
            inside = false;
            return;
        }
        if (inside) RefPolygonPixel(mode, dest.type, source.type, key, dest.Pixel(x, y), source.Pixel(u, v));
    });
    return inside;
}

} // namespace blit_test
