// AppFrame.h -- the application frame: a thread that owns a window, its message pump and its hooks.
//
//   class CMyApp : public CAppFrame {
//       int OnPreCreate(CAppFrameOption& option) override { option.caption = "..."; return 0; }
//       void MainThread() override { while (PumpMessages()) { OneFrame(); } }
//   };
//   CThreadManager::StartThread(new CMyApp);
//
// On its thread the frame calls OnPreCreate, creates the window, registers itself with the app
// manager and calls MainThread; afterwards it posts kMsgDestroy and pumps the last messages.
// Closing the window only sets the thread's stop event, which the main loop sees in the pump.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "sdk/app/IdList.h"
#include "sdk/app/WinHook.h"
#include "sdk/app/WinHookList.h"
#include "sdk/thread/CriticalSection.h"
#include "sdk/thread/Thread.h"

namespace zuderadeDoruVAV3ed {

// wparam of kMsgSize.
enum : uintptr_t {
    kSizeRestored = 0,
    kSizeMinimized = 1,
};

// The window options OnPreCreate fills.
struct CAppFrameOption {
    std::string caption;      // UTF-8 (CP932 text is converted for display)
    std::string class_name;   // kept for the record; windows here have no classes
    int width = 640;          // client area
    int height = 480;
    uint32_t style = 0;       // the system's style bits; the window is never resizable by the user
};

class CAppFrame : public CThread {
public:
    CAppFrame();
    ~CAppFrame() override;

    // --- message handling
    // The window procedure, reached when no hook answered: kMsgClose sets the stop event,
    // kMsgDestroy posts kMsgQuit; everything else answers 0.
    virtual intptr_t WndProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);

    // --- window owner
    // One pass of the pump: gathers the window's events, offers every pending message to the
    // hooks and the window procedure, runs the due periodic callbacks, then answers whether
    // the stop event is still clear. Called on the frame's own thread. The pump never pauses.
    bool PumpMessages();
    // Queues a message for the next pump; any thread.
    void PostMessage(uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0);
    bool IsMainApp() const { return main_app_; }
    void SetMainApp(bool main_app) { main_app_ = main_app; }
    WindowHandle GetHWnd() const { return window_.get(); }
    // Hooks in the order added; a hook added twice is kept once. Removal from another thread
    // waits for a call of the hook that runs meanwhile (see CWinHookList).
    void AddWinHook(IWinHook* hook);
    void DelWinHook(IWinHook* hook);
    // The hook list; shared, so that a remover holding it may outlive the frame.
    std::shared_ptr<CWinHookList> GetWinHooks() const { return hooks_; }
    // The periodic callbacks that the pump runs.
    virtual CIdList* GetIdList() { return &id_list_; }

protected:
    // Fills the window options; non-zero ends the thread without a window. Default: 640 x 480.
    virtual int OnPreCreate(CAppFrameOption& option);
    // The application's body on the frame's thread. Default: pumps until the window closes.
    virtual void MainThread();

    void ThreadProc() override;

private:
    struct Message {
        uint32_t message;
        uintptr_t wparam;
        intptr_t lparam;
    };

    void GatherWindowEvents();
    void Dispatch(const Message& message);

    std::unique_ptr<platform::Window> window_;   // created and destroyed on the frame's thread
    CCriticalSection queue_lock_;                // guards queue_
    std::deque<Message> queue_;
    // Under its own lock, called outside any lock: a hook may call the app manager or wait
    // for a thread that does.
    const std::shared_ptr<CWinHookList> hooks_ = std::make_shared<CWinHookList>();
    CIdList id_list_;
    bool main_app_ = false;
    bool quit_posted_ = false;                   // kMsgQuit reached the pump
};

} // namespace zuderadeDoruVAV3ed
