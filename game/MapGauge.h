// MapGauge.h -- CMapGauge: the course map with a marker of the player's progress towards the goal.
#pragma once

#include <cstdint>
#include <string>

#include "game/StageData.h"

namespace zuderadeDoruVAV3ed {

class CMapGauge {
public:
    static constexpr int32_t kTrackWidth = 256;   // pixels of the map the marker travels

    CMapGauge();
    ~CMapGauge();

    // Reads #MapImageFile and #MapGaugePos over zeros and loads both pictures.
    void Load(const std::string& file = StagePath(kInterfaceFile));
    // The map keyed at layer 2000, the marker keyed and centred on its x at layer 1999.
    void Draw();

    // From the player's world x and the goal line (both 22.10): the player's pixel, the progress
    // (x * 256 / goal in pixels, 0 when the goal is under 256 pixels, clamped to the track) and
    // the marker x := map x + progress.
    void SetProgress(int32_t player_x, int32_t goal_line);
    int32_t GetProgress() const { return progress_; }
    int32_t GetPixel() const { return pixel_; }
    void SetMarkerX(int32_t x) { marker_x_ = x; }
    int32_t GetMarkerX() const { return marker_x_; }
    int32_t GetMarkerY() const { return marker_y_; }

private:
    KTL::smart_ptr<CFastPlane> pictures_[2];   // 0 the map, 1 the marker
    int32_t map_x_ = 0, map_y_ = 0;
    int32_t marker_x_ = 0, marker_y_ = 0;
    int32_t pixel_ = 0, progress_ = 0;
};

} // namespace zuderadeDoruVAV3ed
