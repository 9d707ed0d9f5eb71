// BltAlphaBlend.cpp -- instantiates the per-pixel alpha blend blitters of BltAlphaBlend.def.
#include "sdk/draw/blit/BltDefine.h"
#include "sdk/draw/blit/BlendOps.h"

namespace zuderadeDoruVAV3ed {
#include "sdk/draw/blit/BltAlphaBlend.def"
} // namespace zuderadeDoruVAV3ed
