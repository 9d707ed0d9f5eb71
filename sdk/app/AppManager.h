// AppManager.h -- the registry of applications: which application, window and listener each thread runs.
//
// Every operation answers for the calling thread; a thread without an application gets a null
// window and application, and hooks offered on such a thread are logged and ignored.
#pragma once

#include <cstdint>
#include <map>
#include <thread>

#include "sdk/app/WinHook.h"
#include "sdk/thread/CriticalSection.h"

namespace zuderadeDoruVAV3ed {

class CAppFrame;
class CAppListener;

class CAppManager {
public:
    // The singleton, created on first use.
    static CAppManager* GetInstance();

    // The window of the calling thread's application; null when the thread has none.
    WindowHandle GetHWnd();
    static WindowHandle StaticGetHWnd();

    // Hooks on the calling thread's application window, offered every message in the order added.
    void AddWinHook(IWinHook* hook);
    static void StaticAddWinHook(IWinHook* hook);
    // Removes the hook from every application's window, waiting for a call of it that runs on
    // another thread, so it may be destroyed on any thread once this returns.
    void DelWinHook(IWinHook* hook);

    // The calling thread's application; null when the thread has none.
    CAppFrame* GetMyApp();
    // The application that owns window; null when none does.
    CAppFrame* FindApp(WindowHandle window);
    // Posts a message to the application that owns window, from any thread; false when none does.
    bool PostToWindow(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);

    // Called by the frame on its own thread: the calling thread runs app (null: runs none).
    void RegisterApp(CAppFrame* app);
    void UnregisterApp(CAppFrame* app);
    // Called by CAppListener: the calling thread's listener.
    void RegisterListener(CAppListener* listener);
    void UnregisterListener(CAppListener* listener);
    CAppListener* GetMyListener();

private:
    struct ThreadEntry {
        CAppFrame* app = nullptr;
        CAppListener* listener = nullptr;
    };

    CCriticalSection lock_;                            // guards entries_
    std::map<std::thread::id, ThreadEntry> entries_;   // by thread id
};

} // namespace zuderadeDoruVAV3ed
