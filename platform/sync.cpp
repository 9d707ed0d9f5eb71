// sync.cpp -- events on the standard library's mutexes and condition variables.
//
// WaitAny registers a waiter of its own with every event it watches; Set wakes it. Locks are
// always taken event first, waiter second, so Set and WaitAny cannot deadlock.
#include "platform/sync.h"

#include <algorithm>
#include <chrono>

namespace platform {

struct Event::Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool signalled = false;   // some watched event was set since the last look
};

Event::Event(bool manual_reset, bool initially_set) : manual_reset_(manual_reset), set_(initially_set) {}

Event::~Event() = default;

void Event::Set() {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
    cv_.notify_all();
    for (const auto& waiter : waiters_) {
        std::lock_guard<std::mutex> waiter_lock(waiter->mutex);
        waiter->signalled = true;
        waiter->cv.notify_one();
    }
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = false;
}

bool Event::IsSet() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return set_;
}

bool Event::TryTake() {
    if (!set_) return false;
    if (!manual_reset_) set_ = false;
    return true;
}

bool Event::Wait(uint32_t timeout_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (timeout_ms == kWaitForever) {
        cv_.wait(lock, [this] { return set_; });
    } else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] { return set_; })) {
        return false;
    }
    return TryTake();
}

void Event::AddWaiter(const std::shared_ptr<Waiter>& waiter) { waiters_.push_back(waiter); }

void Event::RemoveWaiter(const Waiter* waiter) {
    std::lock_guard<std::mutex> lock(mutex_);
    waiters_.erase(std::remove_if(waiters_.begin(), waiters_.end(),
                                  [waiter](const std::shared_ptr<Waiter>& w) { return w.get() == waiter; }),
                   waiters_.end());
}

int Event::WaitAny(const std::vector<Event*>& events, uint32_t timeout_ms) {
    if (events.empty()) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    auto waiter = std::make_shared<Waiter>();
    size_t registered = 0;
    int taken = -1;

    // First look: take a set event at once, else register with it (under its own lock, so a Set
    // after this look is sure to signal the waiter).
    for (size_t i = 0; i < events.size() && taken < 0; ++i) {
        std::lock_guard<std::mutex> lock(events[i]->mutex_);
        if (events[i]->TryTake()) {
            taken = static_cast<int>(i);
        } else {
            events[i]->AddWaiter(waiter);
            ++registered;
        }
    }

    while (taken < 0) {
        {
            std::unique_lock<std::mutex> lock(waiter->mutex);
            if (timeout_ms == kWaitForever) {
                waiter->cv.wait(lock, [&] { return waiter->signalled; });
            } else if (!waiter->cv.wait_until(lock, deadline, [&] { return waiter->signalled; })) {
                break;   // timed out
            }
            waiter->signalled = false;
        }
        // Another waiter may have taken an auto-reset event first: look again, in order.
        for (size_t i = 0; i < events.size(); ++i) {
            std::lock_guard<std::mutex> lock(events[i]->mutex_);
            if (events[i]->TryTake()) {
                taken = static_cast<int>(i);
                break;
            }
        }
    }

    for (size_t i = 0; i < registered; ++i) events[i]->RemoveWaiter(waiter.get());
    return taken;
}

} // namespace platform
