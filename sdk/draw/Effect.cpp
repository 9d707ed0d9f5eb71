// Effect.cpp -- whole-surface effects in place: fade (kind 1) and saturating add-colour (kind 2).
//
// Both change only colour channels: alpha bytes and alpha levels stay, spare bytes and bit 15
// of RGB555 are written 0. 16-bit channels are worked on in their own precision: a fade widens
// them with zero fill, scales through AlphaMulTable and truncates back, so repeated fades keep
// darkening; an added colour is first rounded up to the channel's precision, so a small colour
// such as 0x060606 still brightens a 16-bit surface, and reaches white no later than on a 32-bit
// one (a widen-add-truncate would drop it and leave the surface as it was).
#include <algorithm>
#include <cstring>

#include "sdk/base/ErrorLog.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/draw/Surface.h"
#include "sdk/draw/SurfaceInfo.h"
#include "sdk/draw/blit/PixelTraits.h"

namespace zuderadeDoruVAV3ed {

namespace {

// Calls op(channels) on every pixel of area; T gives the colour layout, Step the bytes from one
// pixel to the next (4 for the alpha cells, whose colour word alone is rewritten).
template <class T, int Step, class Op>
void ForEachPixel(CSurfaceInfo& surface, const RECT& area, Op op) {
    for (int32_t y = area.top; y < area.bottom; ++y) {
        uint8_t* p = surface.PixelAt(area.left, y);
        for (int32_t x = area.left; x < area.right; ++x, p += Step) T::Store(p, op(T::Load(p)));
    }
}

// Runs the colour operation with the traits of the surface's type.
template <class MakeOp>
bool ForEachPixelOfType(CSurfaceInfo& surface, const RECT& area, MakeOp make_op) {
    switch (surface.GetSurfaceType()) {
    case kSurfaceARGB4565: ForEachPixel<PixelRGB565, 4>(surface, area, make_op(PixelRGB565{})); return true;
    case kSurfaceARGB4555: ForEachPixel<PixelRGB555, 4>(surface, area, make_op(PixelRGB555{})); return true;
    default:
        return VisitPixelType(surface.GetSurfaceType(), [&](auto t) {
            using T = decltype(t);
            ForEachPixel<T, T::kSize>(surface, area, make_op(t));
        });
    }
}

// Fade: every colour channel c becomes AlphaMulTable[level][c].
struct FadeOp {
    template <class T>
    auto operator()(T) const {
        const uint8_t* row = AlphaMulTable[level];
        return [row](uint32_t v) {
            Rgba8 c = T::Unpack(v);
            c.r = row[c.r];
            c.g = row[c.g];
            c.b = row[c.b];
            return T::Pack(c);
        };
    }
    int level;
};

// Add colour: every colour channel gains the colour's channel, capped at the channel's top.
struct AddColorOp {
    template <class T>
    auto operator()(T) const {
        if constexpr (T::kByteChannels) {
            return [r = add.r, g = add.g, b = add.b](uint32_t v) {
                Rgba8 c = T::Unpack(v);
                c.r = static_cast<uint8_t>(std::min(255, c.r + r));
                c.g = static_cast<uint8_t>(std::min(255, c.g + g));
                c.b = static_cast<uint8_t>(std::min(255, c.b + b));
                return T::Pack(c);
            };
        } else {
            // Field arithmetic in the word's own precision, the addend rounded up to it.
            static constexpr uint32_t kG = T::kGMask;
            const uint32_t r = (add.r * 31u + 254) / 255, g = (add.g * kG + 254) / 255, b = (add.b * 31u + 254) / 255;
            return [r, g, b](uint32_t v) {
                const uint32_t red = std::min(31u, ((v >> T::kRShift) & 31) + r);
                const uint32_t green = std::min(kG, ((v >> 5) & kG) + g);
                const uint32_t blue = std::min(31u, (v & 31) + b);
                return red << T::kRShift | green << 5 | blue;
            };
        }
    }
    Rgba8 add;
};

} // namespace

int CSurfaceInfo::GeneralEffect(int kind, const RECT* rect, const void* param) {
    if (kind != kEffectFade && kind != kEffectAddColor) {
        CErrorLog::Out("CSurfaceInfo::GeneralEffect 未対応の効果 %d", kind);
        return 1;
    }
    if (!param) {
        CErrorLog::Out("CSurfaceInfo::GeneralEffect パラメータが無い (効果 %d)", kind);
        return 1;
    }
    if (!IsValid() || !IsPixelType(GetSurfaceType())) return 1;
    RECT area;
    if (!ClipToSurface(*this, rect, area)) return 0;

    uint32_t value;
    std::memcpy(&value, param, 4);
    CSurfaceLockGuard lock(*this);
    if (lock.Failed()) return 1;
    if (kind == kEffectFade) {
        // Levels outside 0..255 are held to the range rather than wrapped.
        const int level = std::clamp(static_cast<int32_t>(value), 0, 255);
        ForEachPixelOfType(*this, area, FadeOp{level});
    } else {
        const Rgba8 add{static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
        ForEachPixelOfType(*this, area, AddColorOp{add});
    }
    return 0;
}

} // namespace zuderadeDoruVAV3ed
