// BltCopyToX32.cpp -- instantiates the copy blitters of BltCopyToX32.def.
#include "sdk/draw/blit/BltDefine.h"
#include "sdk/draw/blit/CopyOps.h"

namespace zuderadeDoruVAV3ed {
#include "sdk/draw/blit/BltCopyToX32.def"
} // namespace zuderadeDoruVAV3ed
