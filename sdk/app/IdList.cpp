// IdList.cpp -- periodic callbacks by the frame clock.
#include "sdk/app/IdList.h"

#include "platform/clock.h"
#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

namespace {
uint64_t NowMs() { return platform::FrameClock().NowUs() / 1000; }
} // namespace

int CIdList::Add(const void* key, uint32_t first_delay_ms, uint32_t interval_ms, int flag,
                 const KTL::smart_ptr<KTL::function_callback>& call) {
    if (!call) {
        CErrorLog::Out("CIdList::Addに空のコールバックが渡された");
        return 1;
    }
    auto entry = std::make_shared<Entry>(Entry{key, NowMs() + first_delay_ms, interval_ms, flag, call});
    CCriticalLock lock(&lock_);
    entries_.push_back(std::move(entry));
    return 0;
}

int CIdList::Remove(const void* key) {
    CCriticalLock lock(&lock_);
    int removed = 0;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if ((*it)->key == key) {
            (*it)->removed = true;
            it = entries_.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    return removed;
}

void CIdList::Run() {
    // Calls run without the lock on a snapshot, so an entry may change the list; an entry
    // removed meanwhile is skipped, and one added meanwhile waits for the next run.
    std::vector<std::shared_ptr<Entry>> snapshot;
    {
        CCriticalLock lock(&lock_);
        snapshot = entries_;
    }
    for (const auto& entry : snapshot) {
        uint64_t now = NowMs();
        KTL::smart_ptr<KTL::function_callback> call;
        {
            CCriticalLock lock(&lock_);
            if (entry->removed || now < entry->due_ms) continue;
            // After a stall the entry runs once and keeps its rhythm from now, instead of catching up.
            entry->due_ms += entry->interval_ms;
            if (entry->due_ms <= now) entry->due_ms = now + entry->interval_ms;
            call = entry->call;
        }
        call->Invoke();
    }
}

size_t CIdList::GetCount() {
    CCriticalLock lock(&lock_);
    return entries_.size();
}

} // namespace zuderadeDoruVAV3ed
