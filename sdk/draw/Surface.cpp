// Surface.cpp -- the shared behaviour of every surface: forwarding to its descriptor, colour
// key and fill colour, clearing, picture loading and saving.
#include "sdk/draw/Surface.h"

#include <algorithm>
#include <cstring>

#include "sdk/base/ErrorLog.h"
#include "sdk/draw/Bmp.h"
#include "sdk/draw/PixelConvert.h"
#include "sdk/draw/blit/PixelTraits.h"
#include "sdk/file/File.h"

namespace zuderadeDoruVAV3ed {

bool ClipToSurface(const CSurfaceInfo& surface, const RECT* rect, RECT& area) {
    area = RECT{0, 0, surface.GetWidth(), surface.GetHeight()};
    if (rect) {
        area.left = std::max(area.left, rect->left);
        area.top = std::max(area.top, rect->top);
        area.right = std::min(area.right, rect->right);
        area.bottom = std::min(area.bottom, rect->bottom);
    }
    return area.left < area.right && area.top < area.bottom;
}

uint32_t PixelToARGB(const uint8_t* p, int type) {
    uint8_t argb[4];
    ConvertPixelRow(argb, kSurfaceARGB8888, p, type, 1);
    return static_cast<uint32_t>(argb[0]) | static_cast<uint32_t>(argb[1]) << 8 |
           static_cast<uint32_t>(argb[2]) << 16 | static_cast<uint32_t>(argb[3]) << 24;
}

void ARGBToPixel(uint32_t argb, uint8_t* p, int type) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 8),
                              static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 24)};
    ConvertPixelRow(p, type, bytes, kSurfaceARGB8888, 1);
}

ISurface::ISurface() : info_(new CSurfaceInfo()) {}

ISurface::~ISurface() = default;

int ISurface::GeneralBlt(int kind, CSurfaceInfo* source, const BltInfo* info, const void* param) {
    if (!source) return 1;
    return info_->GeneralBlt(kind, source, info, param);
}

int ISurface::GeneralEffect(int kind, const RECT* rect, const void* param) {
    return info_->GeneralEffect(kind, rect, param);
}

int ISurface::FadeEffect(int level, const RECT* rect) {
    const uint32_t param = static_cast<uint32_t>(level);
    return GeneralEffect(kEffectFade, rect, &param);
}

int ISurface::AddColorEffect(uint32_t rgb, const RECT* rect) {
    return GeneralEffect(kEffectAddColor, rect, &rgb);
}

int ISurface::Effect3(uint32_t param, const RECT* rect) { return GeneralEffect(kEffect3, rect, &param); }

int ISurface::Effect4(const RECT* rect) { return GeneralEffect(kEffect4, rect, nullptr); }

int ISurface::Effect5(uint32_t param, const RECT* rect) { return GeneralEffect(kEffect5, rect, &param); }

int ISurface::PolygonBlt(int mode, CSurfaceInfo* source, const PolygonInfo* info, const void* param) {
    if (!source) return 1;
    return info_->PolygonBlt(mode, source, info, param);
}

int ISurface::SetColorKey(uint32_t rgb) {
    info_->SetColorKey(rgb & 0xFFFFFF);
    return 0;
}

uint32_t ISurface::GetColorKey() {
    return info_->GetColorKey();
}

int ISurface::SetColorKeyPos(int x, int y) {
    CSurfaceInfo* info = info_.get();
    if (!info->IsValid() || !IsPixelType(info->GetSurfaceType()) || x < 0 || y < 0 ||
        x >= info->GetWidth() || y >= info->GetHeight()) {
        CErrorLog::Out("ISurface::SetColorKeyPos 位置(%d, %d)が範囲外", x, y);
        return 1;
    }
    CSurfaceLockGuard lock(*info);
    if (lock.Failed()) return 1;
    // The key is a colour, 0x00RRGGBB, whichever call sets it: the pixel's alpha is dropped.
    info->SetColorKey(PixelToARGB(info->PixelAt(x, y), info->GetSurfaceType()) & 0x00FFFFFFu);
    return 0;
}

int ISurface::SetColorKeyRGB(int r, int g, int b) {
    return SetColorKey(static_cast<uint32_t>(r & 0xFF) << 16 | static_cast<uint32_t>(g & 0xFF) << 8 |
                       static_cast<uint32_t>(b & 0xFF));
}

int ISurface::GetSize(int& width, int& height) {
    if (!info_->IsValid()) {
        width = height = 0;
        return 1;
    }
    width = info_->GetWidth();
    height = info_->GetHeight();
    return 0;
}

int ISurface::GetSurfaceType() {
    return info_->GetSurfaceType();
}

int ISurface::LoadImage(const std::string& file_name) {
    CFile file;
    if (file.ReadWithArchive(file_name) != 0) {
        CErrorLog::Out("ISurface::LoadImage ファイルが読めない %s", file_name.c_str());
        return 1;
    }
    CBmpImage picture;
    std::string reason;
    if (DecodeBmp(file.GetData(), file.GetSize(), picture, reason) != 0) {
        CErrorLog::Out("ISurface::LoadImage 画像の読み込みに失敗 %s (%s)", file_name.c_str(), reason.c_str());
        return 2;
    }
    return AdoptPicture(picture) == 0 ? 0 : 3;
}

int ISurface::AdoptPicture(const CBmpImage&) {
    return 1;
}

int ISurface::Clear(const RECT* rect) {
    CSurfaceInfo* info = info_.get();
    const int type = info->GetSurfaceType();
    if (!info->IsValid() || !IsPixelType(type)) return 1;
    RECT area;
    if (!ClipToSurface(*info, rect, area)) return 0;

    CSurfaceLockGuard lock(*info);
    if (lock.Failed()) return 1;
    // One row of the fill pixel, then copied to every row of the area.
    const int size = PixelSize(type);
    const size_t row_bytes = static_cast<size_t>(area.right - area.left) * size;
    uint8_t* first = info->PixelAt(area.left, area.top);
    ARGBToPixel(info->GetFillColor(), first, type);
    for (size_t done = size; done < row_bytes;) {
        const size_t n = std::min(done, row_bytes - done);
        std::memcpy(first + done, first, n);
        done += n;
    }
    for (int32_t y = area.top + 1; y < area.bottom; ++y) std::memcpy(info->PixelAt(area.left, y), first, row_bytes);
    return 0;
}

int ISurface::SetFillColor(uint32_t argb) {
    info_->SetFillColor(argb);
    return 0;
}

uint32_t ISurface::GetFillColor() {
    return info_->GetFillColor();
}

int ISurface::Load(const std::string& file_name) {
    return LoadImage(file_name);
}

int ISurface::Save(const std::string& file_name) {
    return SaveBmp(file_name, false, "ISurface::Save");
}

int ISurface::Save2(const std::string& file_name) {
    return SaveBmp(file_name, true, "ISurface::Save2");
}

int ISurface::SaveBmp(const std::string& file_name, bool with_alpha, const char* caller) {
    CSurfaceInfo* info = info_.get();
    const int type = info->GetSurfaceType();
    if (!info->IsValid() || !IsPixelType(type) || info->GetWidth() <= 0 || info->GetHeight() <= 0) {
        CErrorLog::Out("%s 保存する画像が無い %s", caller, file_name.c_str());
        return 1;
    }
    CBmpImage picture;
    {
        CSurfaceLockGuard lock(*info);
        if (lock.Failed()) return 1;
        picture.width = info->GetWidth();
        picture.height = info->GetHeight();
        picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height * 4);
        for (int32_t y = 0; y < picture.height; ++y)
            ConvertPixelRow(picture.Row(y), kSurfaceARGB8888, info->PixelAt(0, y), type, picture.width);
    }
    const std::vector<uint8_t> bytes = EncodeBmp(picture, with_alpha);
    if (CFile::Write(file_name, bytes.data(), bytes.size()) != 0) {
        CErrorLog::Out("%s 書き込みに失敗 %s", caller, file_name.c_str());
        return 2;
    }
    return 0;
}

CSurfaceInfo* ISurface::GetSurfaceInfo() {
    return info_.get();
}

} // namespace zuderadeDoruVAV3ed
