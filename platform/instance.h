// instance.h -- the single-instance name lock and the "bring your window to the front" request.
//
// The lock is an abstract-namespace Unix socket bound to a name made of the user id and the
// lock's name: exclusive per user, and freed by the kernel when the holding process dies, so
// no lock file is ever left behind. A second copy connects to it to ask for a raise; the
// holder's listener thread only accepts requests from processes of the same user.
#pragma once

#include <string>

namespace platform {

class InstanceLock {
public:
    enum class Result {
        kAcquired,        // this process holds the name now (or held it already)
        kHeldElsewhere,   // another process holds it
        kFailed,          // the lock could not be made at all (no sockets, no threads)
    };

    InstanceLock() = default;
    ~InstanceLock();   // releases
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Result Acquire(const std::string& name);
    // True when this process now holds the name (also when it held it already).
    bool TryAcquire(const std::string& name) { return Acquire(name) == Result::kAcquired; }
    // Asks the holder of name to raise its window; true when the request was delivered.
    static bool RequestRaise(const std::string& name);
    // Gives the name up and ends the listener (nothing when not held).
    void Release();
    bool IsHeld() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    struct Listener;
    Listener* listener_ = nullptr;   // thread that receives raise requests
};

// True once per raise request received by this process; the window pump polls it.
bool TakeRaiseRequest();

// The program's single-instance name: FLYINGFISH_INSTANCE when it is set and not empty (tests
// run their copies under names of their own, apart from every other copy), else default_name.
std::string InstanceName(const std::string& default_name);

} // namespace platform
