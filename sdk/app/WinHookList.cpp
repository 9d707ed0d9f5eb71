// WinHookList.cpp -- a window's hooks: a snapshot per dispatch, removal that waits for a running call.
#include "sdk/app/WinHookList.h"

#include <algorithm>

namespace zuderadeDoruVAV3ed {

bool CWinHookList::IsListed(IWinHook* hook) const {
    return std::find(hooks_.begin(), hooks_.end(), hook) != hooks_.end();
}

void CWinHookList::Add(IWinHook* hook) {
    if (!hook) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!IsListed(hook)) hooks_.push_back(hook);
}

void CWinHookList::Remove(IWinHook* hook) {
    if (!hook) return;
    std::unique_lock<std::mutex> lock(mutex_);
    hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
    const std::thread::id self = std::this_thread::get_id();
    call_ended_.wait(lock, [&] {
        return std::none_of(calls_.begin(), calls_.end(), [&](const Call& c) { return c.hook == hook && c.thread != self; });
    });
}

intptr_t CWinHookList::Dispatch(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    std::vector<IWinHook*> snapshot;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        snapshot = hooks_;
    }
    const std::thread::id self = std::this_thread::get_id();
    for (IWinHook* hook : snapshot) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!IsListed(hook)) continue;   // removed by an earlier hook or another thread
            calls_.push_back(Call{hook, self});
        }
        // Ends the call's record also when the hook throws (which ends the program).
        struct CallEnd {
            CWinHookList* list;
            IWinHook* hook;
            std::thread::id thread;
            ~CallEnd() {
                {
                    std::lock_guard<std::mutex> lock(list->mutex_);
                    auto& calls = list->calls_;
                    auto it = std::find_if(calls.rbegin(), calls.rend(),
                                           [&](const Call& c) { return c.hook == hook && c.thread == thread; });
                    if (it != calls.rend()) calls.erase(std::next(it).base());
                }
                list->call_ended_.notify_all();
            }
        };
        intptr_t answer;
        {
            CallEnd end{this, hook, self};
            answer = hook->WndProc(window, message, wparam, lparam);
        }
        if (answer != 0) return answer;
    }
    return 0;
}

} // namespace zuderadeDoruVAV3ed
