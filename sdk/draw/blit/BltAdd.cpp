// BltAdd.cpp -- instantiates the saturating add blitters of BltAdd.def.
#include "sdk/draw/blit/BltDefine.h"
#include "sdk/draw/blit/AddSubOps.h"

namespace zuderadeDoruVAV3ed {
#include "sdk/draw/blit/BltAdd.def"
} // namespace zuderadeDoruVAV3ed
