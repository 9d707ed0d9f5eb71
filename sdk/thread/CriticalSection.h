// CriticalSection.h -- recursive lock (owner thread and entry count) and its scoped guard.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace zuderadeDoruVAV3ed {

class CCriticalSection {
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter();
    // Leaving a section the calling thread does not hold throws CIllegalMonitorStateException.
    void Leave();
    bool IsOwnedByCurrentThread() const;
    int GetEntryCount() const;   // of the owner; meaningful to the owner only

private:
    std::recursive_mutex mutex_;
    std::atomic<std::thread::id> owner_{};
    int count_ = 0;
};

// Enters on construction; may leave once early; on destruction leaves as often as it entered.
class CCriticalLock {
public:
    explicit CCriticalLock(CCriticalSection* section) : section_(section) { section_->Enter(); }
    ~CCriticalLock() { if (entered_) section_->Leave(); }
    CCriticalLock(const CCriticalLock&) = delete;
    CCriticalLock& operator=(const CCriticalLock&) = delete;

    void Leave() {
        if (entered_) {
            entered_ = false;
            section_->Leave();
        }
    }

private:
    CCriticalSection* section_;
    bool entered_ = true;
};

} // namespace zuderadeDoruVAV3ed
