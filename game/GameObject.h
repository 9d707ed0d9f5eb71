// GameObject.h -- what the play objects share: the camera record, the object interface, world to
// screen conversion, wrapping 32-bit arithmetic and the reading of their keyword files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sdk/draw/FastPlane.h"
#include "sdk/draw/Surface.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CDrawListPlane;
class CStringScanner;
class CSprite;

// The play scene's camera, in 22.10 units (1 pixel = 1024). World y grows upward; the screen
// centre (320, 240) shows the camera point.
struct GameCamera {
    int32_t target_x = 0;
    int32_t target_y = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t prev_x = 0;
    int32_t prev_y = 0;
    int32_t follow = 0;   // share of the distance closed per frame, 1024 = all
};

// A play object: made once per stage, reset on a retry, moved every play frame and drawn.
class IGameObject {
public:
    virtual void Create(GameCamera* camera) = 0;
    virtual void Load() = 0;
    virtual void Reset() = 0;
    virtual void Move() = 0;
    virtual void Draw(ISurface* destination) = 0;
    virtual ~IGameObject() = default;
};

// Two's-complement wrapping arithmetic, so extreme data never makes undefined behaviour.
inline int32_t WrapAdd(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
inline int32_t WrapSub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
inline int32_t WrapMul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

// Screen position of a world point seen by the camera (arithmetic shifts).
inline int32_t ScreenX(int32_t x, const GameCamera& camera) {
    return static_cast<int32_t>((int64_t{x} - camera.x + 320 * 1024) >> 10);
}
inline int32_t ScreenY(int32_t y, const GameCamera& camera) {
    return static_cast<int32_t>((int64_t{camera.y} - y + 240 * 1024) >> 10);
}

// A decimal of a data file in 22.10: (int)(value * 1024), truncated, held to the 32-bit range.
int32_t ToFixed(float value);
// A whole number of pixels in 22.10 (value << 10, wrapping).
inline int32_t PixelsToFixed(int value) { return WrapMul(value, 1024); }

// A per-stage data path: the current stage's number inserted after its first "Stage".
std::string StagePath(const std::string& path);
// The lines of a keyword file, "//" comments left out; false (logged and counted with caller)
// when it cannot be read.
bool ReadDataLines(const std::string& file, const char* caller, std::vector<std::string>& lines);
// Hands every line of a keyword file but the "//" comments to line, the scanner at its start.
// false (logged and counted) when the file cannot be read.
bool ReadKeywordFile(const std::string& file, const char* caller, const std::function<void(CStringScanner&)>& line);
// A new system-memory picture loaded from a file; a picture that cannot be loaded stays empty
// and is logged and counted with caller.
KTL::smart_ptr<CFastPlane> LoadPicture(const std::string& file, const char* caller);
// The registry's deferred-draw plane with its layer set; destination when the registry has none.
ISurface* DrawListAt(ISurface* destination, int32_t layer);
// The sprite's current frame passes the view test at a world point: the frame's right and
// bottom values reach the camera's 640 x 480 view (inclusive). False without a frame.
bool SpriteInView(const CSprite& sprite, int32_t x, int32_t y, const GameCamera& camera);
// The next number of the registry's random generator; 0 without one.
uint32_t NextRandom();

} // namespace zuderadeDoruVAV3ed
