// Messages that a device posts to the window from another thread reach the frame's hooks
// through the pump, in the order posted; posting to a window that is gone is refused.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/video.h"
#include "sdk/app/AppFrame.h"
#include "sdk/app/AppManager.h"

using namespace zuderadeDoruVAV3ed;

namespace {

class Recorder : public IWinHook {
public:
    intptr_t WndProc(WindowHandle, uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        if (message < kMsgUser) return 0;
        seen.push_back({message, wparam, lparam});
        return 1;
    }
    std::vector<platform::PostedMessage> seen;
};

class PostApp : public CAppFrame {
public:
    ~PostApp() override { Stop(); }
    Recorder recorder;
    WindowHandle window = nullptr;

protected:
    void MainThread() override {
        CAppManager::StaticAddWinHook(&recorder);
        window = GetHWnd();
        std::thread device([w = window] {
            for (intptr_t i = 0; i < 3; ++i) platform::PostWindowMessage(w, kMsgUser + 1, 1, i);
        });
        device.join();
        PumpMessages();
        CAppManager::GetInstance()->DelWinHook(&recorder);
    }
};

TEST(PostedMessage, DevicePostsReachTheHooksThroughThePump) {
    PostApp app;
    ASSERT_EQ(app.Start(), 0);
    for (int i = 0; i < 1000 && app.IsRunning(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(app.IsRunning());
    ASSERT_EQ(app.recorder.seen.size(), 3u);
    for (intptr_t i = 0; i < 3; ++i) {
        EXPECT_EQ(app.recorder.seen[i].message, kMsgUser + 1);
        EXPECT_EQ(app.recorder.seen[i].lparam, i);
    }
    // The frame's window is gone with its thread.
    EXPECT_FALSE(platform::PostWindowMessage(app.window, kMsgUser + 1, 1, 0));
}

} // namespace
