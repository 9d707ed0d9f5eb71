// ErrorLog.cpp -- formats log texts and hands them to the platform's log device.
#include "sdk/base/ErrorLog.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "platform/log.h"

namespace zuderadeDoruVAV3ed {

namespace {

void Write(void (*device)(std::string_view), const char* format, va_list args) {
    if (!format) return;
    char text[CErrorLog::kMaxText];
    if (std::vsnprintf(text, sizeof text, format, args) < 0) return;
    device(text);
}

} // namespace

void CErrorLog::Out(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Write(platform::LogWrite, format, args);
    va_end(args);
}

void CErrorLog::Notice(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Write(platform::LogNotice, format, args);
    va_end(args);
}

} // namespace zuderadeDoruVAV3ed
