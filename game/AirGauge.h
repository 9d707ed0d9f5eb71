// AirGauge.h -- CAirGauge: the frame and filling of the player's air, the filling emptying from
// the left as the amount falls.
#pragma once

#include <cstdint>
#include <string>

#include "game/StageData.h"
#include "sdk/draw/SurfaceInfo.h"

namespace zuderadeDoruVAV3ed {

class CAirGauge {
public:
    CAirGauge();
    ~CAirGauge();

    // Makes the picture plane, then Load.
    void Create(const std::string& file = StagePath(kInterfaceFile));
    // Reads the #Gauge keys over zeros and loads the picture.
    void Load(const std::string& file = StagePath(kInterfaceFile));
    // The filling (its right part, amount / 256 of it) and the frame, keyed, at layer 2000.
    void Draw();

    int GetAmount() const { return amount_; }
    // Clamped to 0..255.
    void SetAmount(int amount);
    // The width of filling Draw shows for the amount.
    int32_t GetFillWidth() const;
    CFastPlane* GetPicture() const { return picture_.get(); }

private:
    KTL::smart_ptr<CFastPlane> picture_;
    int32_t frame_x_ = 0, frame_y_ = 0;
    int32_t fill_x_ = 0, fill_y_ = 0;   // relative to the frame
    RECT frame_rect_{};
    RECT fill_rect_{};
    int32_t full_right_ = 0;            // the filling rectangle's right edge as read
    uint8_t amount_ = 0;
};

} // namespace zuderadeDoruVAV3ed
