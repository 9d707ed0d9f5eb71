// SurfaceInfo.cpp -- the surface descriptor: description of the pixel memory and its lock.
#include "sdk/draw/SurfaceInfo.h"

#include <cstdint>
#include <cstdlib>

#include "sdk/base/ErrorLog.h"
#include "sdk/ktl/exception.h"

namespace zuderadeDoruVAV3ed {

void CSurfaceInfo::Init(void* pixels, int32_t pitch, int32_t width, int32_t height, int32_t type) {
    // A description that would let a blit leave the memory stays invalid: Lock then answers -1.
    int64_t row_bytes = static_cast<int64_t>(width) * PixelSize(type);
    bool empty = width == 0 || height == 0;
    if (width < 0 || height < 0 || (!empty && (!pixels || std::llabs(pitch) < row_bytes))) {
        CErrorLog::Out("CSurfaceInfo::Initに失敗 (幅 %d, 高さ %d, ピッチ %d)", width, height, pitch);
        Invalidate();
        return;
    }
    pixels_ = pixels;
    pitch_ = pitch;
    width_ = width;
    height_ = height;
    type_ = type;
    valid_ = true;
}

void CSurfaceInfo::Invalidate() {
    valid_ = false;
    pixels_ = nullptr;
    pitch_ = 0;
    width_ = 0;
    height_ = 0;
}

int CSurfaceInfo::Lock() {
    if (!valid_) return -1;
    if (locked_) throw KTL::CRuntimeException("２重Lock(CSurfaceInfo::Lock)");
    locked_ = true;
    int result = OnLock();
    // A lock that failed is no lock: leaving the flag set would make the next blit throw.
    if (result != 0) locked_ = false;
    return result;
}

void CSurfaceInfo::Unlock() {
    if (!locked_) throw KTL::CRuntimeException("２重UnlockCSurfaceInfo::Unlock");
    locked_ = false;
    OnUnlock();
}

namespace {

// The bytes from the lowest to the highest pixel byte of a surface: [begin, end).
struct ByteSpan {
    uintptr_t begin = 0, end = 0;
};

ByteSpan SpanOf(const CSurfaceInfo& surface) {
    const int64_t row = static_cast<int64_t>(surface.GetWidth()) * PixelSize(surface.GetSurfaceType());
    if (row <= 0 || surface.GetHeight() <= 0) return {};
    const int64_t rows = static_cast<int64_t>(surface.GetHeight() - 1) * surface.GetPitch();
    const uintptr_t first = reinterpret_cast<uintptr_t>(surface.GetPtr());
    // A negative pitch puts the last row lowest in memory.
    if (rows < 0) return {first - static_cast<uintptr_t>(-rows), first + static_cast<uintptr_t>(row)};
    return {first, first + static_cast<uintptr_t>(rows + row)};
}

} // namespace

bool CSurfaceInfo::SharesMemoryWith(const CSurfaceInfo& other) const {
    const ByteSpan a = SpanOf(*this), b = SpanOf(other);
    return a.begin < a.end && b.begin < b.end && a.begin < b.end && b.begin < a.end;
}

} // namespace zuderadeDoruVAV3ed
