// deadline.h -- runs a step that must not deadlock; a step still running after a generous limit
// ends the whole test program with a failure instead of hanging the test run.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

namespace testutil {

// Runs step on a thread of its own and waits for it. The limit is for a deadlock, not for
// speed: a busy machine never comes near it. A deadlocked step cannot be undone, so the program
// ends at once (exit code 1) with the reason on stderr.
inline void MustFinish(const char* what, const std::function<void()>& step,
                       std::chrono::seconds limit = std::chrono::seconds(60)) {
    std::packaged_task<void()> task(step);
    std::future<void> done = task.get_future();
    std::thread runner(std::move(task));
    if (done.wait_for(limit) != std::future_status::ready) {
        std::fprintf(stderr, "DEADLOCK: %s did not finish within %lld s\n", what,
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    runner.join();
    done.get();   // passes on an exception of the step
}

} // namespace testutil
