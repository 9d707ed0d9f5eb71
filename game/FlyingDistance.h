// FlyingDistance.h -- CFlyingDistance: the length of the current leap while the fish is in the
// air, and the list of the best leaps of this run.
//
// A leap runs from the take-off (the first point above the surface) to the last point in the air
// before the fish falls back in; its length is the horizontal distance between them. Frames at
// exactly y = 0 change nothing: the fish is taken to be on the side it was last seen on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/StageData.h"

namespace zuderadeDoruVAV3ed {

class CFlyingDistance {
public:
    static constexpr int kMaxEntries = 32;

    enum Phase : int { kUnderWater = 0, kTakeOff = 1, kSplashDown = 2, kInAir = 3 };

    struct Entry {
        int32_t x = 0, y = 0;      // screen position
        std::string text;          // 8 characters, plain digits
        int32_t value = 0;         // the leap's length in world units
    };

    // Sets the current text to "0000.00m", reads the #FlyingDistance keys (up to and including
    // #FlyingDistanceNextHiPos) over zeros, then Reset.
    void Load(const std::string& file = StagePath(kInterfaceFile));
    // Points and phase cleared; every best entry blank with the value 0.
    void Reset();
    // The fish's position this frame (world units).
    void Track(int32_t x, int32_t y);
    // The best entries with font 0, and the current leap with font 1 while in the air.
    void Draw();

    // The glyph-coded text (for the blurred font) of a length in world units, a metre being
    // 2^meter_shift pixels; clamped to 0 .. 9999.99 m.
    static void FormatLeap(int32_t length, int meter_shift, std::string& text);

    int GetPhase() const { return phase_; }
    // The current leap's length: |last point in the air - take-off| in x.
    int32_t GetLeap() const;
    // The best leap of this run (0 while the list is empty).
    int32_t GetBestJump() const { return entries_.empty() ? 0 : entries_[0].value; }
    const std::vector<Entry>& GetEntries() const { return entries_; }
    const std::string& GetText() const { return text_; }
    int GetMeterShift() const { return meter_shift_; }
    int GetDrawCount() const { return draw_count_; }

private:
    // At splash-down: the leap goes into the list before the first shorter entry.
    void InsertJump();

    int32_t x_ = 0, y_ = 0;                   // the point of the last frame
    int side_ = 0;                            // -1 under, 1 above: the last non-zero y's side
    int32_t take_off_x_ = 0, take_off_y_ = 0;
    int32_t air_x_ = 0, air_y_ = 0;           // the last point in the air
    bool take_off_valid_ = false;             // a take-off was seen since the last insert
    int32_t text_x_ = 0, text_y_ = 0;
    int32_t hi_x_ = 0, hi_y_ = 0, hi_dx_ = 0, hi_dy_ = 0;
    int meter_shift_ = 0;
    int draw_count_ = 0;
    std::string text_;
    std::vector<Entry> entries_;
    int phase_ = kUnderWater;
};

} // namespace zuderadeDoruVAV3ed
