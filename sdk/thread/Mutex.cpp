// Mutex.cpp -- the single-instance check.
#include "sdk/thread/Mutex.h"

#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

bool CheckSingleInstance(CMutex* mutex, const std::string& name) {
    if (!mutex) {
        CErrorLog::Out("CheckSingleInstance mutexがNULL");
        return true;
    }
    using Result = platform::InstanceLock::Result;
    // Two rounds: a holder that is just ending refuses the raise request, and then the name
    // is free for us a moment later.
    for (int round = 0; round < 2; ++round) {
        Result result = mutex->GetLock().Acquire(name);
        if (result == Result::kAcquired) return true;
        if (result == Result::kFailed) {
            CErrorLog::Out("CheckSingleInstance %sの多重起動チェックができない", name.c_str());
            return true;
        }
        if (platform::InstanceLock::RequestRaise(name)) {
            CErrorLog::Out("CheckSingleInstance %sは既に起動しているので前面に出して終了する", name.c_str());
            return false;
        }
    }
    CErrorLog::Out("CheckSingleInstance 起動中の%sに前面表示を依頼できない", name.c_str());
    return false;
}

} // namespace zuderadeDoruVAV3ed
