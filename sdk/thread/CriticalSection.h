// CriticalSection.h -- recursive lock (owner thread and entry count) and its scoped guard.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace zuderadeDoruVAV3ed {

// The owner may enter again; it must leave as often as it entered before others get in.
class CCriticalSection {
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter();
    // Leaving a section the calling thread does not hold throws CIllegalMonitorStateException.
    void Leave();
    bool IsOwnedByCurrentThread() const;
    // The owner's entry count when the caller is the owner, else 0.
    int GetEntryCount() const;

private:
    std::mutex mutex_;                   // held while owned
    std::atomic<std::thread::id> owner_{};
    int count_ = 0;                      // entries of the owner; touched by the owner only
};

// Enters on construction; may leave once early; on destruction leaves as often as it entered.
class CCriticalLock {
public:
    explicit CCriticalLock(CCriticalSection* section) : section_(section) { section_->Enter(); }
    ~CCriticalLock() { if (entered_) section_->Leave(); }
    CCriticalLock(const CCriticalLock&) = delete;
    CCriticalLock& operator=(const CCriticalLock&) = delete;

    // Leaves early; later calls and the destructor then do nothing.
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
