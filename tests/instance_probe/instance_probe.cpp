// instance_probe.cpp -- a program that runs only once per user: the single-instance check in use.
//
//   instance_probe [name] [run_ms]
// Holds name (default "Hopf") for run_ms milliseconds (default 10000) and prints "raise" for
// each bring-to-front request from a second copy. A second copy prints "second" and exits 3.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/clock.h"
#include "platform/instance.h"
#include "sdk/thread/AppInitializer.h"
#include "sdk/thread/Mutex.h"

using namespace zuderadeDoruVAV3ed;

int main(int argc, char** argv) {
    std::string name = argc > 1 ? argv[1] : "Hopf";
    long run_ms = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 10000;
    CAppInitializer initializer(nullptr, nullptr, "", 1);
    CMutex mutex;
    if (!CheckSingleInstance(&mutex, name)) {
        std::printf("second\n");
        return 3;
    }
    std::printf("running\n");
    std::fflush(stdout);
    uint64_t end = platform::MonotonicMs() + static_cast<uint64_t>(run_ms);
    while (platform::MonotonicMs() < end) {
        // The window pump's poll, in small.
        while (platform::TakeRaiseRequest()) {
            std::printf("raise\n");
            std::fflush(stdout);
        }
        platform::SleepMs(5);
    }
    return 0;
}
