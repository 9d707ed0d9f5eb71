// BltCopyTo24.cpp -- instantiates the copy blitters of BltCopyTo24.def.
#include "sdk/draw/blit/BltDefine.h"
#include "sdk/draw/blit/CopyOps.h"

namespace zuderadeDoruVAV3ed {
#include "sdk/draw/blit/BltCopyTo24.def"
} // namespace zuderadeDoruVAV3ed
