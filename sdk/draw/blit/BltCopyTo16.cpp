// BltCopyTo16.cpp -- instantiates the copy blitters of BltCopyTo16.def.
#include "sdk/draw/blit/BltDefine.h"
#include "sdk/draw/blit/CopyOps.h"

namespace zuderadeDoruVAV3ed {
#include "sdk/draw/blit/BltCopyTo16.def"
} // namespace zuderadeDoruVAV3ed
