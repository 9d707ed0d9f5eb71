// AppListener.cpp -- forwarding to the thread's application.
#include "sdk/app/AppListener.h"

#include "platform/clock.h"
#include "sdk/app/AppFrame.h"
#include "sdk/app/AppManager.h"
#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

CAppListener::CAppListener() {
    CAppManager* manager = CAppManager::GetInstance();
    manager->RegisterListener(this);
    app_ = manager->GetMyApp();
    if (!app_) CErrorLog::Out("CAppListener::CAppListenerでこのスレッドのアプリケーションが見つからない");
}

CAppListener::~CAppListener() { CAppManager::GetInstance()->UnregisterListener(this); }

void CAppListener::Run() { Main(); }

int CAppListener::Wait(uint32_t ms) {
    platform::Clock& clock = platform::FrameClock();
    if (clock.IsVirtual()) {
        clock.SleepUs(static_cast<uint64_t>(ms) * 1000);
        return app_ && !app_->IsThreadValid() ? 1 : 0;
    }
    if (!app_) {
        platform::SleepMs(ms);
        return 0;
    }
    return app_->Sleep(ms);
}

void CAppListener::PostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (app_) app_->PostMessage(message, wparam, lparam);
}

CAppFrame* CAppListener::GetApp() { return app_; }

bool CAppListener::IsThreadValid() {
    // Without an application nothing could ever stop the body: end it at once.
    return app_ && app_->PumpMessages();
}

bool CAppListener::IsMainApp() { return app_ && app_->IsMainApp(); }

void CAppListener::SetMainApp(bool main_app) {
    if (app_) app_->SetMainApp(main_app);
}

} // namespace zuderadeDoruVAV3ed
