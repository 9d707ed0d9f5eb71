// usage.h -- the example programs' help: "--help" or "-h" as the only argument prints the usage.
#pragma once

#include <cstdio>
#include <cstring>

// True when the program was asked for its help; the usage is then on stdout.
inline bool PrintUsageWhenAsked(int argc, char** argv, const char* usage) {
    if (argc != 2 || (std::strcmp(argv[1], "--help") != 0 && std::strcmp(argv[1], "-h") != 0)) return false;
    std::fputs(usage, stdout);
    return true;
}
