// Mutex.h -- CMutex, the named single-instance lock of the process, and CheckSingleInstance.
#pragma once

#include <string>

#include "platform/instance.h"

namespace zuderadeDoruVAV3ed {

// Holds a per-user name for as long as it lives; the kernel frees it when the process dies.
class CMutex {
public:
    CMutex() = default;
    ~CMutex() { Release(); }   // releases the name
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    platform::InstanceLock& GetLock() { return lock_; }
    bool IsHeld() const { return lock_.IsHeld(); }
    void Release() { lock_.Release(); }

private:
    platform::InstanceLock lock_;
};

// True when no other copy holds name (mutex now holds it). False when another copy runs: that
// copy has been asked to bring its main window to the front. When the lock itself cannot be
// made (or mutex is null) the failure is logged and the answer is true, so the program runs.
bool CheckSingleInstance(CMutex* mutex, const std::string& name);

} // namespace zuderadeDoruVAV3ed
