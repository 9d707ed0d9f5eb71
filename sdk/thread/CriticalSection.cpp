// CriticalSection.cpp -- the recursive lock: a plain mutex held by the owner, plus a count.
#include "sdk/thread/CriticalSection.h"

#include "sdk/ktl/exception.h"

namespace zuderadeDoruVAV3ed {

void CCriticalSection::Enter() {
    const std::thread::id self = std::this_thread::get_id();
    // Only the owner itself can see its own id here, so this test needs no lock.
    if (owner_.load(std::memory_order_relaxed) == self) {
        ++count_;
        return;
    }
    mutex_.lock();
    owner_.store(self, std::memory_order_relaxed);
    count_ = 1;
}

void CCriticalSection::Leave() {
    if (owner_.load(std::memory_order_relaxed) != std::this_thread::get_id()) {
        throw KTL::CIllegalMonitorStateException();
    }
    if (--count_ > 0) return;
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    mutex_.unlock();
}

bool CCriticalSection::IsOwnedByCurrentThread() const {
    return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

int CCriticalSection::GetEntryCount() const { return IsOwnedByCurrentThread() ? count_ : 0; }

} // namespace zuderadeDoruVAV3ed
