// AppManager.cpp -- per-thread applications and listeners under one lock.
#include "sdk/app/AppManager.h"

#include <memory>
#include <vector>

#include "sdk/app/AppFrame.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/thread/Singleton.h"

namespace zuderadeDoruVAV3ed {

CAppManager* CAppManager::GetInstance() { return CSingleton<CAppManager>::Get(); }

WindowHandle CAppManager::GetHWnd() {
    CAppFrame* app = GetMyApp();
    return app ? app->GetHWnd() : nullptr;
}

WindowHandle CAppManager::StaticGetHWnd() { return GetInstance()->GetHWnd(); }

void CAppManager::AddWinHook(IWinHook* hook) {
    CAppFrame* app = GetMyApp();
    if (!app) {
        CErrorLog::Out("CAppManager::AddWinHookでこのスレッドのアプリケーションが見つからない");
        return;
    }
    app->AddWinHook(hook);
}

void CAppManager::StaticAddWinHook(IWinHook* hook) { GetInstance()->AddWinHook(hook); }

void CAppManager::DelWinHook(IWinHook* hook) {
    // The lists are taken under the lock and changed outside it: a removal may wait for a
    // running hook, which may itself call the manager.
    std::vector<std::shared_ptr<CWinHookList>> lists;
    {
        CCriticalLock lock(&lock_);
        for (auto& [id, entry] : entries_)
            if (entry.app) lists.push_back(entry.app->GetWinHooks());
    }
    for (const auto& list : lists) list->Remove(hook);
}

CAppFrame* CAppManager::GetMyApp() {
    CCriticalLock lock(&lock_);
    auto it = entries_.find(std::this_thread::get_id());
    return it == entries_.end() ? nullptr : it->second.app;
}

CAppFrame* CAppManager::FindApp(WindowHandle window) {
    if (!window) return nullptr;
    CCriticalLock lock(&lock_);
    for (auto& [id, entry] : entries_)
        if (entry.app && entry.app->GetHWnd() == window) return entry.app;
    return nullptr;
}

bool CAppManager::PostToWindow(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    // Under the lock: the application cannot unregister (and end) between the find and the post.
    CCriticalLock lock(&lock_);
    CAppFrame* app = FindApp(window);
    if (!app) return false;
    app->PostMessage(message, wparam, lparam);
    return true;
}

void CAppManager::RegisterApp(CAppFrame* app) {
    CCriticalLock lock(&lock_);
    entries_[std::this_thread::get_id()].app = app;
}

void CAppManager::UnregisterApp(CAppFrame* app) {
    CCriticalLock lock(&lock_);
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.app == app) it->second.app = nullptr;
        if (!it->second.app && !it->second.listener)
            it = entries_.erase(it);
        else
            ++it;
    }
}

void CAppManager::RegisterListener(CAppListener* listener) {
    CCriticalLock lock(&lock_);
    entries_[std::this_thread::get_id()].listener = listener;
}

void CAppManager::UnregisterListener(CAppListener* listener) {
    CCriticalLock lock(&lock_);
    auto it = entries_.find(std::this_thread::get_id());
    if (it == entries_.end() || it->second.listener != listener) return;
    it->second.listener = nullptr;
    if (!it->second.app) entries_.erase(it);
}

CAppListener* CAppManager::GetMyListener() {
    CCriticalLock lock(&lock_);
    auto it = entries_.find(std::this_thread::get_id());
    return it == entries_.end() ? nullptr : it->second.listener;
}

} // namespace zuderadeDoruVAV3ed
