// BackGround.cpp -- the background's layers and the gradient backdrop.
#include "game/BackGround.h"

#include <algorithm>
#include <cstdlib>

#include "game/BackGround25D.h"
#include "game/BackObject.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/WaveLayer.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr char kBgFile[] = "GameData/Stage/Game/LoadList/Bg.ltd";
constexpr char kAirFile[] = "GameData/Stage/Game/LoadList/BgLoopAir.ltd";
constexpr int32_t kAllFill = 1200;       // camera height (pixels) from which only the fill shows
constexpr int32_t kFillStart = 720;      // camera height above which the top rows are fill
constexpr int32_t kLowest = -240;        // the bands stay as at this height below it
constexpr int kStripWidth = 64;

// A whole number of up to 32 bits, decimal or "0x" hexadecimal; 0 when there is none.
uint32_t ReadColour(CStringScanner& scanner) {
    std::string word;
    if (scanner.GetStr(word) != 0) return 0;
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    return static_cast<uint32_t>(std::strtoll(word.c_str(), nullptr, hex ? 16 : 10));
}

} // namespace

void CBackGround::Create(GameCamera* camera) {
    camera_ = camera;
    gradient_.reset(new CFastPlane());
    gradient_->SetSystemMemoryFlag(true);
    layers_[0].reset(new CWaveLayer());
    layers_[1].reset(new CBackObject(StagePath(kBgFile)));
    layers_[2].reset(new CBackObject(StagePath(kAirFile)));
    layers_[3].reset(new CBackGround25D());
    for (auto& layer : layers_) layer->Create(camera);
    Load();
}

void CBackGround::Load() {
    const std::string file = StagePath(kBgFile);
    ReadKeywordFile(file, "CBackGround::Load", [&](CStringScanner& scanner) {
        if (scanner.IsMatch("#FillColor")) {
            fill_ = ReadColour(scanner);
        } else if (scanner.IsMatch("#BackColorGraphicFileName")) {
            std::string name;
            scanner.GetStr(name);
            if (gradient_->Load(name) != 0) ReportDataFailure("CBackGround::Load", name, "画像が読めない");
        }
    });
}

void CBackGround::Reset() {
    for (auto& layer : layers_)
        if (layer) layer->Reset();
}

void CBackGround::Move() {
    for (auto& layer : layers_)
        if (layer) layer->Move();
}

void CBackGround::Draw(ISurface* destination) {
    if (!camera_) return;
    DrawBackdrop(destination);
    for (auto& layer : layers_)
        if (layer) layer->Draw(destination);
}

void CBackGround::DrawBackdrop(ISurface* destination) {
    const int32_t cy = camera_->y;
    // The fill is put on the destination itself, beneath everything replayed later.
    if ((cy & ~1023) >= kAllFill * 1024) {
        if (destination) {
            destination->SetFillColor(fill_);
            const RECT all{0, 0, 640, 480};
            destination->Clear(&all);
        }
        return;
    }
    const int32_t c = std::max(cy, kLowest * 1024) >> 10;
    int32_t top = 0;
    if (c > kFillStart) {
        top = c - kFillStart;
        if (destination) {
            destination->SetFillColor(fill_);
            const RECT rows{0, 0, 640, top};
            destination->Clear(&rows);
        }
    }
    // Picture row r lands on screen row r + c - 720 (row 960 is the water line at height 0);
    // above 720 pixels the picture starts right under the fill.
    const RECT band{0, std::max(kFillStart - c, 0), kStripWidth, kAllFill - c};
    for (int x = 0; x < 640; x += kStripWidth)
        DrawPlaneCopy(DrawListAt(destination, 10000), gradient_.get(), x, top, nullptr, &band, nullptr);
}

} // namespace zuderadeDoruVAV3ed
