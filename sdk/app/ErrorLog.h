// ErrorLog.h -- the error log now lives in sdk/base; this name is kept for code that still
// includes it from here.
#pragma once

#include "sdk/base/ErrorLog.h"
