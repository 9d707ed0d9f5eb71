// WinHookList.h -- the hooks of one window, under a lock of their own, called outside any lock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "sdk/app/WinHook.h"

namespace zuderadeDoruVAV3ed {

class CWinHookList {
public:
    // Adds hook at the end; a hook already listed keeps its place. Null is ignored.
    void Add(IWinHook* hook);
    // Removes hook; afterwards it is not called again. A call of it running on another thread
    // is waited for, so the caller may destroy the hook at once (a hook that waits for the
    // remover meanwhile waits for ever). On the thread that calls it, nothing is waited for.
    void Remove(IWinHook* hook);
    // Offers a message to the hooks listed when it starts, in order, skipping those removed
    // meanwhile; returns the first non-zero answer (0: no hook answered). No lock is held while
    // a hook runs, so a hook may add, remove, pump again or wait for other threads.
    intptr_t Dispatch(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);

private:
    struct Call {
        IWinHook* hook;
        std::thread::id thread;
    };
    bool IsListed(IWinHook* hook) const;   // under mutex_

    std::mutex mutex_;
    std::condition_variable call_ended_;
    std::vector<IWinHook*> hooks_;   // under mutex_
    std::vector<Call> calls_;        // hooks running now, innermost last; under mutex_
};

} // namespace zuderadeDoruVAV3ed
