// AirGauge.cpp -- the air gauge.
#include "game/AirGauge.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kGaugeLayer = 2000;
} // namespace

CAirGauge::CAirGauge() = default;
CAirGauge::~CAirGauge() = default;

void CAirGauge::Create(const std::string& file) {
    picture_.reset(new CFastPlane());
    picture_->SetSystemMemoryFlag(true);
    Load(file);
}

void CAirGauge::Load(const std::string& file) {
    frame_x_ = frame_y_ = fill_x_ = fill_y_ = full_right_ = 0;
    frame_rect_ = fill_rect_ = RECT{};
    amount_ = 0;
    std::vector<std::string> lines;
    if (!ReadDataLines(file, "CAirGauge::Load", lines)) return;
    CStringScanner scanner;
    for (const std::string& line : lines) {
        scanner.SetText(line);
        if (scanner.IsMatch("#GaugeGraphic")) {
            std::string name;
            scanner.GetStr(name);
            picture_ = LoadPicture(name, "CAirGauge::Load");
        } else if (scanner.IsMatch("#GaugeFramePos")) {
            ReadScreenPoint(scanner, frame_x_, frame_y_, "CAirGauge::Load", "#GaugeFramePos");
        } else if (scanner.IsMatch("#GaugeGainPos")) {
            ReadScreenPoint(scanner, fill_x_, fill_y_, "CAirGauge::Load", "#GaugeGainPos");
        } else if (scanner.IsMatch("#GaugeFrameRect")) {
            ReadRect(scanner, frame_rect_);
        } else if (scanner.IsMatch("#GaugeGainRect")) {
            ReadRect(scanner, fill_rect_);
            full_right_ = fill_rect_.right;
        } else if (scanner.IsMatch("#GaugeGain")) {
            int gain = 0;
            scanner.GetNum(gain);
            amount_ = static_cast<uint8_t>(gain);   // only the low byte counts
        }
    }
}

void CAirGauge::SetAmount(int amount) { amount_ = static_cast<uint8_t>(std::clamp(amount, 0, 255)); }

int32_t CAirGauge::GetFillWidth() const {
    return static_cast<int32_t>(((static_cast<uint32_t>(full_right_) & 0x3FFFFFu) * 4u * amount_) >> 10);
}

void CAirGauge::Draw() {
    CDrawListPlane* deferred = GetDeferredPlane();
    if (!deferred) return;
    deferred->SetLayer(kGaugeLayer);
    const int32_t w = GetFillWidth();
    fill_rect_.left = fill_rect_.right - w;
    // An empty gauge draws no filling; the filling keeps its place and empties from the left.
    if (w > 0)
        DrawPlaneCopyKeyed(deferred, picture_.get(), frame_x_ + fill_x_ + full_right_ - w, frame_y_ + fill_y_, nullptr,
                           &fill_rect_, nullptr);
    DrawPlaneCopyKeyed(deferred, picture_.get(), frame_x_, frame_y_, nullptr, &frame_rect_, nullptr);
}

} // namespace zuderadeDoruVAV3ed
