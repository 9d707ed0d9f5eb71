// sync.h -- events: manual- or auto-reset, wait with a time limit, wait for any of several.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

// A manual-reset event stays set until Reset; an auto-reset event lets one waiter through and
// clears itself. Waits use real time (steady clock).
class Event {
public:
    explicit Event(bool manual_reset, bool initially_set = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // True when the event was set within timeout_ms (an auto-reset event is then cleared).
    bool Wait(uint32_t timeout_ms = kWaitForever);

    // Index of the first set event among events (the one taken: an auto-reset event is cleared,
    // the others are left alone), or -1 when timeout_ms ran out first or events is empty.
    static int WaitAny(const std::vector<Event*>& events, uint32_t timeout_ms = kWaitForever);

private:
    struct Waiter;
    bool TryTake();   // under mutex_: set? (auto-reset clears)
    void AddWaiter(const std::shared_ptr<Waiter>& waiter);
    void RemoveWaiter(const Waiter* waiter);

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool manual_reset_;
    bool set_;
    std::vector<std::shared_ptr<Waiter>> waiters_;   // WaitAny callers to notify
};

} // namespace platform
