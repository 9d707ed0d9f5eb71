// AppFrame.cpp -- the application frame's thread, window and message pump.
#include "sdk/app/AppFrame.h"

#include "platform/clock.h"
#include "platform/video.h"
#include "sdk/app/AppManager.h"
#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

namespace {

// Window creation is serialised across all frames.
CCriticalSection& WindowCreationLock() {
    static CCriticalSection lock;
    return lock;
}

// Messages handled in one pump, so that a hook posting on every message cannot hold the pump.
constexpr int kMaxMessagesPerPump = 4096;
// Passes over the last messages after the body has ended.
constexpr int kMaxClosingPumps = 64;

} // namespace

CAppFrame::CAppFrame() = default;

CAppFrame::~CAppFrame() {
    // The thread must end before the members it uses go.
    Stop();
}

int CAppFrame::OnPreCreate(CAppFrameOption&) { return 0; }

void CAppFrame::MainThread() {
    while (PumpMessages()) platform::FrameClock().SleepUs(10000);
}

void CAppFrame::ThreadProc() {
    CAppFrameOption option;
    if (OnPreCreate(option) != 0) {
        CErrorLog::Out("CAppFrame::OnPreCreateが失敗を返したのでウィンドウを作らない");
        return;
    }
    {
        CCriticalLock lock(&WindowCreationLock());
        platform::WindowOptions options;
        options.caption = option.caption;
        options.client_width = option.width;
        options.client_height = option.height;
        window_ = platform::Window::Create(options);
    }
    if (!window_) {
        CErrorLog::Out("CAppFrame::ThreadProcでウィンドウの作成に失敗");
        return;
    }
    CAppManager::GetInstance()->RegisterApp(this);

    MainThread();

    // The body has ended: destroy the window's side and take the last messages.
    PostMessage(kMsgDestroy);
    for (int pass = 0; pass < kMaxClosingPumps && !quit_posted_; ++pass) PumpMessages();

    CAppManager::GetInstance()->UnregisterApp(this);
    CCriticalLock lock(&WindowCreationLock());
    window_.reset();
}

void CAppFrame::GatherWindowEvents() {
    if (!window_) return;
    window_->Pump();
    platform::WindowEvent event;
    while (window_->NextEvent(event)) {
        switch (event.type) {
        case platform::WindowEventType::kClose:
            PostMessage(kMsgClose);
            break;
        case platform::WindowEventType::kActivate:
            PostMessage(kMsgActivateApp, 1);
            PostMessage(kMsgActivate, 1);
            break;
        case platform::WindowEventType::kDeactivate:
            PostMessage(kMsgActivate, 0);
            PostMessage(kMsgActivateApp, 0);
            break;
        case platform::WindowEventType::kMinimize:
            PostMessage(kMsgSize, kSizeMinimized);
            break;
        case platform::WindowEventType::kRestore:
            PostMessage(kMsgSize, kSizeRestored);
            break;
        }
    }
    // Messages that devices posted to the window from other threads.
    platform::PostedMessage posted;
    while (platform::TakePostedMessage(window_.get(), posted)) PostMessage(posted.message, posted.wparam, posted.lparam);
}

bool CAppFrame::PumpMessages() {
    GatherWindowEvents();
    for (int handled = 0; handled < kMaxMessagesPerPump; ++handled) {
        Message message;
        {
            CCriticalLock lock(&queue_lock_);
            if (queue_.empty()) break;
            message = queue_.front();
            queue_.pop_front();
        }
        if (message.message == kMsgQuit) {
            // The window is gone: nothing further is dispatched and the thread is to end.
            quit_posted_ = true;
            InvalidateThread();
            break;
        }
        Dispatch(message);
    }
    id_list_.Run();
    return IsThreadValid();
}

void CAppFrame::Dispatch(const Message& message) {
    if (hooks_->Dispatch(window_.get(), message.message, message.wparam, message.lparam) != 0) return;
    WndProc(window_.get(), message.message, message.wparam, message.lparam);
}

intptr_t CAppFrame::WndProc(WindowHandle, uint32_t message, uintptr_t, intptr_t) {
    switch (message) {
    case kMsgClose:
        // Closing only asks the main loop to end; the window stays until the body returns.
        InvalidateThread();
        return 0;
    case kMsgDestroy:
        PostMessage(kMsgQuit);
        return 0;
    default:
        return 0;
    }
}

void CAppFrame::PostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    CCriticalLock lock(&queue_lock_);
    queue_.push_back(Message{message, wparam, lparam});
}

void CAppFrame::AddWinHook(IWinHook* hook) { hooks_->Add(hook); }

void CAppFrame::DelWinHook(IWinHook* hook) { hooks_->Remove(hook); }

} // namespace zuderadeDoruVAV3ed
