// demo_draw.cpp -- composing and presenting the example's frame on the SDK's back plane.
#include "demo_draw.h"

#include <vector>

#include "platform/fs.h"
#include "sdk/app/AppManager.h"
#include "sdk/draw/Bmp.h"
#include "sdk/file/File.h"
#include "platform/video.h"

using namespace zuderadeDoruVAV3ed;
using namespace demo_draw;

namespace {

// Writes a picture made by colour(x, y) as a 24-bit BMP file; "" when that fails.
template <class Colour>
std::string WritePicture(const char* prefix, int width, int height, Colour colour) {
    CBmpImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            uint8_t* p = image.Row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(c);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c >> 16);
            p[3] = 255;
        }
    const std::vector<uint8_t> bytes = EncodeBmp(image, false);
    const std::string name = platform::MakeTemporaryFile(prefix);
    if (name.empty() || CFile::Write(name, bytes.data(), bytes.size()) != 0) return "";
    return name;
}

} // namespace

CDemoDraw::~CDemoDraw() {
    for (const std::string& name : files_)
        if (!name.empty()) platform::RemoveFile(name);
}

bool CDemoDraw::Prepare(int width, int height) {
    display_ = CFastDraw::Create();
    display_->BeginChangeDisplay();
    for (int depth : {32, 24, 16}) display_->TestDisplayMode(width, height, false, depth);
    if (display_->EndChangeDisplay() != 0) return false;

    files_[0] = WritePicture("frame_demo_picture", kPictureWidth, kPictureHeight, PictureColour);
    files_[1] = WritePicture("frame_demo_sheet", 2 * kFrameSize, kFrameSize,
                             [](int x, int y) { return SpriteColour(x / kFrameSize, x % kFrameSize, y); });
    files_[2] = platform::MakeTemporaryFile("frame_demo_sprite");
    const std::string definition = "#Plane \"" + files_[1] + "\"\n#Sprite 0\n#Frame 0 0 0 48 48\n#Frame 0 48 0 96 48\n";
    if (files_[0].empty() || files_[1].empty() || files_[2].empty() ||
        CFile::Write(files_[2], definition.data(), definition.size()) != 0)
        return false;

    picture_.reset(new CFastPlane(display_.get()));
    chara_.reset(new CSpriteChara());
    if (picture_->Load(files_[0]) != 0 || chara_->Load(files_[2]) != 0) return false;
    sprite_.SetChara(chara_);
    return true;
}

void CDemoDraw::Present(const uint32_t* pixels, int width, int height) {
    if (state_ == 0) state_ = Prepare(width, height) ? 1 : -1;
    if (state_ < 0) {
        if (WindowHandle window = CAppManager::StaticGetHWnd()) window->Present(pixels, width * 4, width, height);
        return;
    }
    CFastPlane* back = display_->GetBackPlane();
    // The demo's own picture as the background, converted to the display's type.
    CSurfaceInfo background;
    background.Init(const_cast<uint32_t*>(pixels), width * 4, width, height, kSurfaceXRGB8888);
    back->GeneralBlt(kBltCopy, &background, nullptr, nullptr);
    // The picture, faded where it lies, then the sprite's next frame over it.
    const POINT at{kPictureX, kPictureY};
    BltInfo info;
    info.pos = &at;
    back->GeneralBlt(kBltCopy, picture_->GetSurfaceInfo(), &info, nullptr);
    const RECT area{kPictureX, kPictureY, kPictureX + kPictureWidth, kPictureY + kPictureHeight};
    back->FadeEffect(kFadeLevel, &area);
    sprite_.BltNext(back, kSpriteX, kSpriteY, nullptr, nullptr);
    display_->OnDraw(nullptr, true);
}
