// ComInit.cpp -- per-thread initialisation counts (each thread keeps its own).
#include "sdk/thread/ComInit.h"

#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

namespace {
thread_local int t_com_count = 0;
} // namespace

int COMInitializeThisThread() { return ++t_com_count; }

int COMUninitializeThisThread() {
    if (t_com_count == 0) {
        CErrorLog::Out("COMUninitializeThisThread 初期化されていないスレッドからの呼び出し");
        return 0;
    }
    return --t_com_count;
}

} // namespace zuderadeDoruVAV3ed
