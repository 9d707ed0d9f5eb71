// IdList.h -- an application's periodic callbacks, run from its message pump on its own thread.
//
// Times are milliseconds of the frame clock, so the callbacks follow a virtual clock too. An
// entry may add or remove entries (itself included) while it runs.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "sdk/ktl/function_callback.h"
#include "sdk/ktl/smart_ptr.h"
#include "sdk/thread/CriticalSection.h"

namespace zuderadeDoruVAV3ed {

class CIdList {
public:
    CIdList() = default;
    virtual ~CIdList() = default;
    CIdList(const CIdList&) = delete;
    CIdList& operator=(const CIdList&) = delete;

    // Calls call first_delay_ms from now and then every interval_ms, until the key is removed.
    // flag is kept with the entry (the system passes 0 and gives it no meaning). 0 on success,
    // 1 when call is empty.
    virtual int Add(const void* key, uint32_t first_delay_ms, uint32_t interval_ms, int flag,
                    const KTL::smart_ptr<KTL::function_callback>& call);
    // Removes every entry of key; returns how many there were.
    virtual int Remove(const void* key);

    // Runs each entry that is due, once at most per call; the application's pump calls this.
    void Run();
    size_t GetCount();

private:
    struct Entry {
        const void* key;
        uint64_t due_ms;       // frame-clock time of the next call
        uint32_t interval_ms;
        int flag;
        KTL::smart_ptr<KTL::function_callback> call;
        bool removed = false;  // set when removed while a run holds it
    };

    CCriticalSection lock_;                       // guards entries_ (never held during a call)
    std::vector<std::shared_ptr<Entry>> entries_; // in the order added
};

} // namespace zuderadeDoruVAV3ed
