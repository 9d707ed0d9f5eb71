// Window hooks run outside every lock: a hook may wait for a thread that uses the app manager,
// hooks removed during a dispatch are skipped, and removal from another thread waits for a
// call of the hook that is running.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "platform/sync.h"
#include "sdk/app/AppFrame.h"
#include "sdk/app/AppManager.h"
#include "tests/deadline.h"

using namespace zuderadeDoruVAV3ed;

namespace {

constexpr uint32_t kMsgHookTest = kMsgUser + 21;

class FunctionHook : public IWinHook {
public:
    explicit FunctionHook(std::function<intptr_t(uint32_t)> on_message) : on_message_(std::move(on_message)) {}
    intptr_t WndProc(WindowHandle, uint32_t message, uintptr_t, intptr_t) override { return on_message_(message); }

private:
    std::function<intptr_t(uint32_t)> on_message_;
};

// A frame whose body is given by the test.
class BodyApp : public CAppFrame {
public:
    explicit BodyApp(std::function<void(BodyApp&)> body) : body_(std::move(body)) {}
    ~BodyApp() override { Stop(); }

protected:
    void MainThread() override { body_(*this); }

private:
    std::function<void(BodyApp&)> body_;
};

// Runs the body as an application thread to its end.
void RunApp(const char* what, std::function<void(BodyApp&)> body) {
    BodyApp app(std::move(body));
    testutil::MustFinish(what, [&] {
        ASSERT_EQ(app.Start(), 0);
        app.WaitForEnd();
    });
}

} // namespace

// The sound code's end-of-play hook waits for a thread that itself asks the app manager.
TEST(AppFrameHooks, AHookMayWaitForAThreadThatUsesTheAppManager) {
    std::atomic<bool> helper_found_app{false};
    FunctionHook hook([&](uint32_t message) -> intptr_t {
        if (message != kMsgHookTest) return 0;
        std::thread helper([&] {
            WindowHandle window = CAppManager::StaticGetHWnd();   // null: not an app thread
            helper_found_app = CAppManager::GetInstance()->FindApp(window) == nullptr;
            CAppManager::GetInstance()->DelWinHook(nullptr);
        });
        helper.join();
        return 1;
    });
    RunApp("a hook waiting for a thread that uses the app manager", [&](BodyApp& self) {
        CAppManager::StaticAddWinHook(&hook);
        self.PostMessage(kMsgHookTest);
        self.PumpMessages();
        CAppManager::GetInstance()->DelWinHook(&hook);
    });
    EXPECT_TRUE(helper_found_app.load());
}

// During one dispatch: a hook removed by an earlier hook is not called, a hook added by an
// earlier hook waits for the next message.
TEST(AppFrameHooks, RemovedDuringADispatchIsSkippedAddedWaitsForTheNext) {
    std::vector<char> calls;
    FunctionHook removed([&](uint32_t message) -> intptr_t {
        if (message >= kMsgHookTest) calls.push_back('r');
        return 0;
    });
    FunctionHook added([&](uint32_t message) -> intptr_t {
        if (message >= kMsgHookTest) calls.push_back('a');
        return 0;
    });
    FunctionHook first([&](uint32_t message) -> intptr_t {
        if (message != kMsgHookTest) return 0;
        calls.push_back('f');
        CAppManager::GetInstance()->DelWinHook(&removed);
        CAppManager::StaticAddWinHook(&added);
        return 0;
    });
    RunApp("hooks changed during a dispatch", [&](BodyApp& self) {
        CAppManager::StaticAddWinHook(&first);
        CAppManager::StaticAddWinHook(&removed);
        self.PostMessage(kMsgHookTest);
        self.PumpMessages();
        self.PostMessage(kMsgHookTest + 1);
        self.PumpMessages();
        CAppManager::GetInstance()->DelWinHook(&first);
        CAppManager::GetInstance()->DelWinHook(&added);
    });
    EXPECT_EQ(calls, (std::vector<char>{'f', 'a'}));
}

// A hook removed from another thread while it runs: the removal returns only after that call
// has ended, so the remover may destroy the hook at once.
TEST(AppFrameHooks, RemovalFromAnotherThreadWaitsForTheRunningCall) {
    platform::Event in_call(true), release(true);
    std::atomic<bool> call_ended{false};
    std::atomic<bool> ended_when_removed{false};
    std::atomic<int> calls_after_removal{0};
    std::atomic<bool> removed{false};
    FunctionHook hook([&](uint32_t message) -> intptr_t {
        if (message < kMsgHookTest) return 0;
        if (removed) calls_after_removal.fetch_add(1);
        if (message == kMsgHookTest) {
            in_call.Set();
            release.Wait(30000);
            call_ended = true;
        }
        return 0;
    });
    RunApp("removing a hook while it runs", [&](BodyApp& self) {
        CAppManager::StaticAddWinHook(&hook);
        std::thread remover([&] {
            in_call.Wait(30000);
            std::thread releaser([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                release.Set();
            });
            CAppManager::GetInstance()->DelWinHook(&hook);
            ended_when_removed = call_ended.load();
            removed = true;
            releaser.join();
        });
        self.PostMessage(kMsgHookTest);
        self.PumpMessages();
        remover.join();
        self.PostMessage(kMsgHookTest + 1);
        self.PumpMessages();
    });
    EXPECT_TRUE(ended_when_removed.load());
    EXPECT_EQ(calls_after_removal.load(), 0);
}
