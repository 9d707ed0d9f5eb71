// MapGauge.cpp -- the map gauge.
#include "game/MapGauge.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kMapLayer = 2000;
constexpr int kMarkerLayer = 1999;
} // namespace

CMapGauge::CMapGauge() = default;
CMapGauge::~CMapGauge() = default;

void CMapGauge::Load(const std::string& file) {
    map_x_ = map_y_ = marker_x_ = marker_y_ = pixel_ = progress_ = 0;
    std::vector<std::string> lines;
    if (!ReadDataLines(file, "CMapGauge::Load", lines)) return;
    CStringScanner scanner;
    for (const std::string& line : lines) {
        scanner.SetText(line);
        if (scanner.IsMatch("#MapImageFile")) {
            for (auto& picture : pictures_) {
                std::string name;
                scanner.GetStr(name);
                picture = LoadPicture(name, "CMapGauge::Load");
            }
        } else if (scanner.IsMatch("#MapGaugePos")) {
            ReadScreenPoint(scanner, map_x_, map_y_, "CMapGauge::Load", "#MapGaugePos");
            marker_y_ = map_y_;
        }
    }
}

void CMapGauge::SetProgress(int32_t player_x, int32_t goal_line) {
    pixel_ = player_x >> 10;
    const int32_t per_step = goal_line >> 18;   // the goal's pixels / 256
    progress_ = per_step > 0 ? (player_x / per_step) >> 10 : 0;
    progress_ = std::clamp(progress_, 0, kTrackWidth);
    marker_x_ = map_x_ + progress_;
}

void CMapGauge::Draw() {
    CDrawListPlane* deferred = GetDeferredPlane();
    if (!deferred) return;
    deferred->SetLayer(kMapLayer);
    DrawPlaneCopyKeyed(deferred, pictures_[0].get(), map_x_, map_y_, nullptr, nullptr, nullptr);
    deferred->SetLayer(kMarkerLayer);
    int width = 0, height = 0;
    if (pictures_[1]) pictures_[1]->GetSize(width, height);
    DrawPlaneCopyKeyed(deferred, pictures_[1].get(), marker_x_ - (width >> 1), marker_y_, nullptr, nullptr, nullptr);
}

} // namespace zuderadeDoruVAV3ed
