// SurfaceInfo.h -- the pixel formats, geometry records and the surface descriptor that every
// blit, effect and polygon blit runs on.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

// Pixel formats; byte 0 is at the lowest address, 16-bit words are little-endian.
enum SurfaceType : int32_t {
    kSurfaceUnknown = 0,
    kSurfacePAL8 = 2,       // 8-bit palette index (no blitter serves it)
    kSurfaceRGB565 = 3,     // word: red 11-15, green 5-10, blue 0-4
    kSurfaceRGB555 = 4,     // word: red 10-14, green 5-9, blue 0-4, bit 15 written 0
    kSurfaceRGB888 = 5,     // bytes B, G, R
    kSurfaceBGR888 = 6,     // bytes R, G, B
    kSurfaceXRGB8888 = 7,   // bytes B, G, R, spare
    kSurfaceXBGR8888 = 8,   // bytes R, G, B, spare
    kSurfaceARGB4565 = 10,  // RGB565 word, alpha 0..15 in byte 2, byte 3 spare
    kSurfaceARGB4555 = 11,  // RGB555 word, alpha 0..15 in byte 2, byte 3 spare
    kSurfaceARGB8888 = 12,  // bytes B, G, R, alpha
    kSurfaceABGR8888 = 13,  // bytes R, G, B, alpha
};

// Bytes per pixel of a type (0 for types without pixels of their own here).
constexpr int PixelSize(int type) {
    switch (type) {
    case kSurfacePAL8: return 1;
    case kSurfaceRGB565: case kSurfaceRGB555: return 2;
    case kSurfaceRGB888: case kSurfaceBGR888: return 3;
    case kSurfaceXRGB8888: case kSurfaceXBGR8888: case kSurfaceARGB4565: case kSurfaceARGB4555:
    case kSurfaceARGB8888: case kSurfaceABGR8888: return 4;
    default: return 0;
    }
}
constexpr bool HasAlpha(int type) {
    return type == kSurfaceARGB4565 || type == kSurfaceARGB4555 || type == kSurfaceARGB8888 ||
           type == kSurfaceABGR8888;
}

// Blit kinds of CSurfaceInfo::GeneralBlt.
enum BltKind : int32_t {
    kBltCopy = 0,
    kBltCopyKeyed = 1,
    kBltAdd = 2,
    kBltSub = 3,
    kBltAddKeyed = 4,
    kBltSubKeyed = 5,
    kBltAddAlpha = 6,
    kBltSubAlpha = 7,
    kBltAddAlphaKeyed = 8,
    kBltSubAlphaKeyed = 9,
    kBltAlphaBlend = 10,
    kBltBlendConst = 14,
    kBltBlendConstKeyed = 15,
    kBltBlendRates = 16,
    kBltBlendRatesKeyed = 17,
};

struct POINT { int32_t x, y; };
struct SIZE { int32_t cx, cy; };
struct RECT { int32_t left, top, right, bottom; };

// One rectangle blit. Null members take their defaults.
struct BltInfo {
    const POINT* pos = nullptr;   // destination position; null = (0, 0)
    const SIZE* size = nullptr;   // destination size; null = the clipped source size, else stretch
    const RECT* src = nullptr;    // source rectangle; null = the whole source
    const RECT* clip = nullptr;   // destination clip; null = the whole destination
    int32_t anchor = 0;           // 0..8: which point of the destination rectangle pos names
};

// Parameter of kinds 16 and 17 as the caller passes it: the low byte of each field is used.
struct BltRatesParam { uint32_t src_rate, dst_rate; };

// One polygon blit: source vertex i is the source position that destination vertex i takes.
struct PolygonInfo {
    const POINT* srcPoints = nullptr;   // count points
    const POINT* dstPoints = nullptr;   // count points, in order around a convex polygon
    const RECT* clip = nullptr;         // destination area that may be written; null = all
    uint8_t srcEndExclusive = 0;        // non-zero: each source step is divided by one more
    int32_t count = 0;                  // points in each array
};

// Modes of CSurfaceInfo::PolygonBlt (the values of the matching blit kinds).
enum PolyBltMode : int32_t {
    kPolyBltCopy = 0,         // every source texel copied
    kPolyBltCopyKeyed = 1,    // texels equal to the source's colour key skipped
    kPolyBltAlphaBlend = 10,  // texels blended in by the source's alpha
};

class CSurfaceInfo {
public:
    CSurfaceInfo() = default;
    virtual ~CSurfaceInfo() = default;

    // Describes memory owned elsewhere; the descriptor becomes valid.
    void Init(void* pixels, int32_t pitch, int32_t width, int32_t height, int32_t type);
    // Not valid any more (Lock answers -1).
    void Invalidate();

    // -1 when not valid; throws CRuntimeException when already locked; else the lock handler's
    // result. A failed handler leaves the descriptor unlocked.
    virtual int Lock();
    // Throws CRuntimeException when not locked; else clears the flag and runs the unlock handler.
    virtual void Unlock();

    // kind: BltKind; source: the source's descriptor; info: may be null (all defaults);
    // param: the kind's parameter (see sdk/draw/BltDispatch.h). 0 done, 1 lock failed, kind not
    // served or bad arguments, 2 the pair of surface types is not served. Defined in BltDispatch.cpp.
    int GeneralBlt(int kind, CSurfaceInfo* source, const BltInfo* info, const void* param);
    // Whole-surface effects (1 fade, ...); rect null = the whole surface. 0 done, 1 not served.
    // Defined with the effects in Effect.cpp.
    int GeneralEffect(int kind, const RECT* rect, const void* param);
    // Texture-mapped polygon blit (mode: PolyBltMode): 0 done (also when nothing was drawn or
    // the polygon is rejected), 1 lock failed, mode not served, no source or the source is this
    // descriptor, 2 the pair of surface types is not served. Defined in PolygonDispatch.cpp.
    int PolygonBlt(int mode, CSurfaceInfo* source, const PolygonInfo* info, const void* param);

    bool IsValid() const { return valid_; }
    bool IsLocked() const { return locked_; }
    uint8_t* GetPtr() const { return static_cast<uint8_t*>(pixels_); }
    int32_t GetPitch() const { return pitch_; }
    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }
    int32_t GetSurfaceType() const { return type_; }
    uint32_t GetColorKey() const { return color_key_; }
    void SetColorKey(uint32_t argb) { color_key_ = argb; }
    uint32_t GetFillColor() const { return fill_color_; }
    void SetFillColor(uint32_t argb) { fill_color_ = argb; }
    // True when the pixel memory of the two surfaces overlaps anywhere from their first to their
    // last row (compared as whole spans, so rows interleaved by a wide pitch count as overlap).
    // Meaningful while both are locked.
    bool SharesMemoryWith(const CSurfaceInfo& other) const;
    // Address of pixel (x, y); meaningful while locked.
    uint8_t* PixelAt(int32_t x, int32_t y) const {
        return GetPtr() + static_cast<int64_t>(y) * pitch_ + static_cast<int64_t>(x) * PixelSize(type_);
    }

protected:
    // Lock and unlock handlers: memory surfaces need nothing (0 = locked).
    virtual int OnLock() { return 0; }
    virtual void OnUnlock() {}

private:
    bool valid_ = false;
    void* pixels_ = nullptr;   // pixel (0, 0)
    int32_t pitch_ = 0;        // bytes from one row to the next; negative for bottom-up memory
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool locked_ = false;
    int32_t type_ = kSurfaceUnknown;
    uint32_t color_key_ = 0;   // 0xAARRGGBB
    uint32_t fill_color_ = 0;  // 0xAARRGGBB
};

// Holds one lock for a scope: Unlock on destruction when the Lock succeeded, so an exception
// that passes through releases the surface.
class CSurfaceLockGuard {
public:
    explicit CSurfaceLockGuard(CSurfaceInfo& surface) : surface_(surface), result_(surface.Lock()) {}
    ~CSurfaceLockGuard() {
        if (result_ == 0) surface_.Unlock();
    }
    CSurfaceLockGuard(const CSurfaceLockGuard&) = delete;
    CSurfaceLockGuard& operator=(const CSurfaceLockGuard&) = delete;

    bool Failed() const { return result_ != 0; }

private:
    CSurfaceInfo& surface_;
    int result_;   // Lock's result; 0 = held
};

} // namespace zuderadeDoruVAV3ed
