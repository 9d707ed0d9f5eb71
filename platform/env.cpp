// env.cpp -- environment controls.
#include "platform/env.h"

#include <cerrno>
#include <cstdlib>

namespace platform {

std::string GetEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

long GetEnvInt(const char* name, long fallback) {
    std::string value = GetEnv(name);
    if (value.empty()) return fallback;
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(value.c_str(), &end, 10);
    return (end && *end == '\0' && errno == 0) ? n : fallback;   // out of range: fallback too
}

} // namespace platform
