// end_signal.cpp -- SIGTERM and SIGINT taken as a request to end.
#include "platform/end_signal.h"

#include <atomic>
#include <csignal>
#include <mutex>

namespace platform {

namespace {

std::atomic<bool> g_end_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnEndSignal(int) { g_end_requested.store(true); }

} // namespace

void CatchEndSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : {SIGTERM, SIGINT}) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction action {};
            action.sa_handler = OnEndSignal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND | SA_RESTART;
            sigaction(signal, &action, nullptr);
        }
    });
}

bool TakeEndRequest() { return g_end_requested.exchange(false); }

} // namespace platform
