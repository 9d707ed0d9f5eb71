// DemoFiles.h -- the mover demo files of the animated screens: pictures filled in file order and
// movers given by #ObjectData lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/ScreenEffect.h"
#include "game/StageData.h"

namespace zuderadeDoruVAV3ed {

// A mover demo's file: #MaxImageFile, #ImageFileName, #MaxInstance, #ObjectData (18 values:
// start x, y, target x, y, start w, h, target w, h, rate, alpha speed, start alpha, target alpha,
// source left, top, right, bottom, draw mode, picture number). Each mover gets its start record,
// its picture (none when the number is outside the list) and stays inactive; a short #ObjectData
// line is reported and its missing values stay 0. #ObjectData lines beyond #MaxInstance are
// reported and skipped. complete (when given) gets 1 per mover whose record was whole. 0; 1 when
// the file cannot be read (reported).
int LoadMoverDemo(const std::string& file, const char* caller, CDemoPictures& pictures, std::vector<CMover>& movers,
                  std::vector<uint8_t>* complete = nullptr);

} // namespace zuderadeDoruVAV3ed
