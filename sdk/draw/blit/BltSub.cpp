// BltSub.cpp -- instantiates the saturating subtract blitters of BltSub.def.
#include "sdk/draw/blit/BltDefine.h"
#include "sdk/draw/blit/AddSubOps.h"

namespace zuderadeDoruVAV3ed {
#include "sdk/draw/blit/BltSub.def"
} // namespace zuderadeDoruVAV3ed
