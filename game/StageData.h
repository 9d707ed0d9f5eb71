// StageData.h -- what the interface and demo readers share besides the helpers of GameObject.h:
// the file names, rectangles and fixed-point values, the picture list and the mover records of the
// demo files, and the live buttons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/GameObject.h"
#include "sdk/draw/SurfaceInfo.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CFastPlane;
class CDrawListPlane;
class CMover;
class CStringScanner;

// The play's interface and demo files; the stage number goes in after "Stage".
constexpr const char kInterfaceFile[] = "GameData/Stage/Game/LoadList/InterFace.ltd";
constexpr const char kGameMainMenuFile[] = "GameData/Stage/Game/LoadList/GameMainMenu.ltd";
constexpr const char kStageStartDemoFile[] = "GameData/Stage/Game/LoadList/StageStartDemo.ltd";
constexpr const char kStageEndDemoFile[] = "GameData/Stage/Game/LoadList/StageEndDemo.ltd";
constexpr const char kStageEndScoreShowFile[] = "GameData/Stage/Game/LoadList/StageEndScoreShow.ltd";

// Four numbers: left, top, right, bottom, each held to +-kMaxScreenPixels (a missing one stays
// as it was).
void ReadRect(CStringScanner& scanner, RECT& rect);

// Whole pixels to 22.10 units and a decimal to (int)(value * 1024), both saturating.
int32_t PixelsToFixed(int64_t pixels);
int32_t DecimalToFixed(float value);

// Counts read from a file are cut to this (a broken file must not ask for unbounded memory).
constexpr int kMaxDemoEntries = 256;

// Reads a count after a keyword and cuts it to 0 .. kMaxDemoEntries (logged when cut).
int ReadDemoCount(CStringScanner& scanner, const char* caller);

// The pictures of a demo file: "#MaxImageFile n" makes n empty slots, each "#ImageFileName"
// loads the next one. Names past the slots are reported and left out.
class CDemoPictures {
public:
    // true when the line was one of the two keys.
    bool ReadLine(CStringScanner& scanner, const std::string& file, const char* caller);
    // A fresh list of count empty slots (cut to 0 .. kMaxDemoEntries).
    void Create(int count);
    // Loads the next picture; one past the list's size is reported and skipped.
    void LoadNext(const std::string& name, const std::string& file, const char* caller);
    // The picture of a slot; null outside the list.
    CFastPlane* Get(int index) const;
    int GetCount() const { return static_cast<int>(pictures_.size()); }
    void Clear();

private:
    std::vector<KTL::smart_ptr<CFastPlane>> pictures_;
    size_t next_ = 0;
};

// Reads the 18 values of an "#ObjectData" line after its key into the mover's start record,
// rate, source rectangle, draw mode and plane (null when the picture number is outside the
// list, so the mover draws nothing). Alphas are clamped to 0..255, positions and sizes to
// +-kMaxScreenPixels, the rate to one that arrives (ArrivingRate) and the alpha speed to +-255,
// and an end alpha that the alpha can never reach is set to its start (each logged). false when
// values are missing (the mover keeps what was read).
bool ReadMoverData(CStringScanner& scanner, const CDemoPictures& pictures, CMover& mover);

// The registry's deferred-draw plane (null before the registry is filled).
CDrawListPlane* GetDeferredPlane();
// Pushed this frame on the live key input of the registry (false without one).
bool IsLiveButtonPush(int button);

} // namespace zuderadeDoruVAV3ed
