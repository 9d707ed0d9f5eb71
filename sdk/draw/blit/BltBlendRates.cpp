// BltBlendRates.cpp -- instantiates the two-rate blend blitters of BltBlendRates.def.
#include "sdk/draw/blit/BltDefine.h"
#include "sdk/draw/blit/BlendOps.h"

namespace zuderadeDoruVAV3ed {
#include "sdk/draw/blit/BltBlendRates.def"
} // namespace zuderadeDoruVAV3ed
