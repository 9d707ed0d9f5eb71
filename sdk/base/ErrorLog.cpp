// ErrorLog.cpp -- formats log texts and hands them to the platform's log device.
#include "sdk/base/ErrorLog.h"

#include <cstdarg>
#include <cstdio>

#include "platform/log.h"

namespace zuderadeDoruVAV3ed {

void CErrorLog::Out(const char* format, ...) {
    if (!format) return;
    char text[kMaxText];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) return;
    platform::LogWrite(text);
}

} // namespace zuderadeDoruVAV3ed
