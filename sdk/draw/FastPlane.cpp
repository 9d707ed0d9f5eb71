// FastPlane.cpp -- memory planes: creation, picture adoption and the colour key by position.
#include "sdk/draw/FastPlane.h"

#include <new>

#include "sdk/base/ErrorLog.h"
#include "sdk/draw/Bmp.h"
#include "sdk/draw/FastDraw.h"
#include "sdk/draw/PixelConvert.h"

namespace zuderadeDoruVAV3ed {

int AlphaTwinType(int type) {
    switch (type) {
    case kSurfaceRGB565: case kSurfaceARGB4565: return kSurfaceARGB4565;
    case kSurfaceRGB555: case kSurfaceARGB4555: return kSurfaceARGB4555;
    case kSurfaceBGR888: case kSurfaceXBGR8888: case kSurfaceABGR8888: return kSurfaceABGR8888;
    default: return kSurfaceARGB8888;
    }
}

namespace {

// Rows start on 4-byte boundaries.
int32_t PitchOf(int width, int type) {
    return (width * PixelSize(type) + 3) & ~3;
}

bool SizeAcceptable(int width, int height) {
    return width > 0 && height > 0 && width <= kBmpMaxSide && height <= kBmpMaxSide &&
           int64_t{width} * height <= kBmpMaxPixels;
}

} // namespace

CFastPlane::CFastPlane(CFastDraw* owner) : owner_(owner) {}

CFastPlane::~CFastPlane() {
    GetSurfaceInfo()->Invalidate();
}

int CFastPlane::GetDisplayType(bool alpha) const {
    const CFastDraw* display = owner_ ? owner_ : CFastDraw::GetCurrent();
    const int type = display ? display->GetSurfaceType() : kSurfaceXRGB8888;
    return alpha ? AlphaTwinType(type) : type;
}

int CFastPlane::Load(const std::string& file_name) {
    const int result = LoadImage(file_name);
    if (result == 0) SetColorKeyPos(0, 0);
    return result;
}

KTL::smart_ptr<ISurface> CFastPlane::CreateInstance() {
    return KTL::smart_ptr<ISurface>(new CFastPlane(owner_));
}

int CFastPlane::CreateSurface(int width, int height, bool alpha) {
    if (!SizeAcceptable(width, height)) {
        CErrorLog::Out("CFastPlane::CreateSurface サイズが不正 %d x %d", width, height);
        return 1;
    }
    if (GetSurfaceInfo()->IsLocked()) {
        CErrorLog::Out("CFastPlane::CreateSurface Lock中のサーフェスは作り直せない");
        return 1;
    }
    const int type = GetDisplayType(alpha);
    const int32_t pitch = PitchOf(width, type);
    std::vector<uint8_t> pixels;
    try {
        pixels.assign(static_cast<size_t>(pitch) * height, 0);
    } catch (const std::bad_alloc&) {
        CErrorLog::Out("CFastPlane::CreateSurface メモリが足りない %d x %d", width, height);
        return 1;
    }
    Install(std::move(pixels), pitch, width, height, type);
    SetColorKeyPos(0, 0);
    return 0;
}

int CFastPlane::AdoptPicture(const CBmpImage& picture) {
    if (!SizeAcceptable(picture.width, picture.height)) return 1;
    if (GetSurfaceInfo()->IsLocked()) {
        CErrorLog::Out("CFastPlane::Load Lock中のサーフェスには読み込めない");
        return 1;
    }
    const int type = GetDisplayType(picture.has_alpha);
    const int32_t pitch = PitchOf(picture.width, type);
    std::vector<uint8_t> pixels;
    try {
        pixels.resize(static_cast<size_t>(pitch) * picture.height);
    } catch (const std::bad_alloc&) {
        CErrorLog::Out("CFastPlane::Load メモリが足りない %d x %d", picture.width, picture.height);
        return 1;
    }
    for (int32_t y = 0; y < picture.height; ++y)
        ConvertPixelRow(pixels.data() + static_cast<size_t>(y) * pitch, type, picture.Row(y), kSurfaceARGB8888,
                        picture.width);
    Install(std::move(pixels), pitch, picture.width, picture.height, type);
    return 0;
}

void CFastPlane::Install(std::vector<uint8_t>&& pixels, int32_t pitch, int width, int height, int type) {
    pixels_ = std::move(pixels);
    GetSurfaceInfo()->Init(pixels_.data(), pitch, width, height, type);
}

void CFastPlane::Release() {
    if (GetSurfaceInfo()->IsLocked()) return;
    GetSurfaceInfo()->Invalidate();
    pixels_.clear();
    pixels_.shrink_to_fit();
}

KTL::smart_ptr<ISurface> CTextFastPlane::CreateInstance() {
    return KTL::smart_ptr<ISurface>(new CTextFastPlane(GetOwner()));
}

} // namespace zuderadeDoruVAV3ed
