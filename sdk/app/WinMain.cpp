// WinMain.cpp -- the process's start-up and shut-down around the application thread.
#include "sdk/app/WinMain.h"

#include <memory>

#include "platform/instance.h"
#include "sdk/app/AppFrame.h"
#include "sdk/app/ObjectCreater.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/ktl/exception.h"
#include "sdk/thread/Mutex.h"
#include "sdk/thread/Thread.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr const char kDecoderPlugIn[] = "plugin/or.dll";
constexpr const char kInstanceName[] = "Hopf";
} // namespace

int WinMain(InstanceHandle instance, InstanceHandle previous_instance, const std::string& command_line,
            int show_command, AppFactory make_app) {
    KTL::InstallExceptionReporter();

    // 1. The mutex holder, then the initializer: from here on threads may exist.
    CMutex mutex;
    auto initializer = std::make_unique<CAppInitializer>(instance, previous_instance, command_line, show_command);

    // 2. The decoder plug-in; without it only its formats are missing.
    GetObjectCreater()->LoadPlugIn(kDecoderPlugIn);

    // 3. A running copy is asked to show its window, and this one ends.
    if (CheckSingleInstance(&mutex, platform::InstanceName(kInstanceName))) {
        // 4. The application thread; the start returns once it runs.
        CAppFrame* app = make_app ? make_app() : nullptr;
        if (!app)
            CErrorLog::Out("WinMainでアプリケーションを作れない");
        else if (CThreadManager::StartThread(app) != 0)
            CErrorLog::Out("WinMainでアプリケーションのスレッドを開始できない");
    }

    // 5. Waits for every thread and destroys the singletons.
    initializer.reset();

    // 6. The plug-in goes last; the mutex holder releases the name on return.
    GetObjectCreater()->ReleasePlugIn(kDecoderPlugIn);
    return 0;
}

} // namespace zuderadeDoruVAV3ed
