// Application frame: its thread and window, the pump with hooks, close and destroy, the app
// manager's per-thread answers, listeners and periodic callbacks from the pump.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/sync.h"
#include "sdk/app/AppFrame.h"
#include "sdk/app/AppListener.h"
#include "sdk/app/AppManager.h"

using namespace zuderadeDoruVAV3ed;

namespace {

constexpr uint32_t kMsgTest = kMsgUser + 7;

struct Seen {
    char who;
    uint32_t message;
    bool operator==(const Seen&) const = default;
};

// Messages seen by hooks and the window procedure, in order (the frame's own thread writes).
struct Journal {
    std::mutex mutex;
    std::vector<Seen> seen;
    void Add(char who, uint32_t message) {
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back({who, message});
    }
    // Only the entries of one message.
    std::vector<char> Of(uint32_t message) {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<char> who;
        for (const Seen& s : seen)
            if (s.message == message) who.push_back(s.who);
        return who;
    }
};

class RecordingHook : public IWinHook {
public:
    RecordingHook(char name, intptr_t answer, Journal* journal) : name_(name), answer_(answer), journal_(journal) {}
    intptr_t WndProc(WindowHandle, uint32_t message, uintptr_t, intptr_t) override {
        journal_->Add(name_, message);
        if (on_message) on_message(message);
        return answer_;
    }
    std::function<void(uint32_t)> on_message;

private:
    char name_;
    intptr_t answer_;
    Journal* journal_;
};

// A frame whose body is given by the test; the window procedure is journalled as 'W'.
class TestApp : public CAppFrame {
public:
    explicit TestApp(Journal* journal) : journal_(journal) {}
    ~TestApp() override { Stop(); }

    std::function<void(TestApp&)> body;
    int pre_create_result = 0;
    bool main_thread_ran = false;

    intptr_t WndProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        journal_->Add('W', message);
        intptr_t answer = CAppFrame::WndProc(window, message, wparam, lparam);
        // Queued behind the quit: the window is gone by then, so it must never be dispatched.
        if (message == kMsgDestroy && post_after_destroy) PostMessage(post_after_destroy);
        return answer;
    }
    uint32_t post_after_destroy = 0;

    // Starts the thread and waits until it has ended (false after 10 s).
    bool RunToEnd() { return Start() == 0 && WaitForEnd(); }
    bool WaitForEnd() {
        for (int i = 0; i < 1000 && IsRunning(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return !IsRunning();
    }

protected:
    int OnPreCreate(CAppFrameOption& option) override {
        option.caption = "テスト";
        return pre_create_result;
    }
    void MainThread() override {
        main_thread_ran = true;
        if (body) body(*this);
    }

private:
    Journal* journal_;
};

} // namespace

TEST(AppFrame, HooksRunInOrderAndTheFirstNonZeroAnswerEndsTheDispatch) {
    Journal journal;
    RecordingHook a('a', 0, &journal), b('b', 1, &journal), c('c', 1, &journal);
    TestApp app(&journal);
    app.body = [&](TestApp& self) {
        CAppManager::StaticAddWinHook(&a);
        CAppManager::StaticAddWinHook(&b);
        CAppManager::StaticAddWinHook(&c);
        CAppManager::StaticAddWinHook(&b);   // a second add keeps the first place
        self.PostMessage(kMsgTest);
        self.PumpMessages();
        // Without b the message reaches c; without any answering hook, the window procedure.
        CAppManager::GetInstance()->DelWinHook(&b);
        self.PostMessage(kMsgTest + 1);
        self.PumpMessages();
        CAppManager::GetInstance()->DelWinHook(&c);
        self.PostMessage(kMsgTest + 2);
        self.PumpMessages();
        CAppManager::GetInstance()->DelWinHook(&a);
    };
    ASSERT_TRUE(app.RunToEnd());
    EXPECT_EQ(journal.Of(kMsgTest), (std::vector<char>{'a', 'b'}));
    EXPECT_EQ(journal.Of(kMsgTest + 1), (std::vector<char>{'a', 'c'}));
    EXPECT_EQ(journal.Of(kMsgTest + 2), (std::vector<char>{'a', 'W'}));
}

TEST(AppFrame, CloseEndsTheBodyThenDestroyPostsQuit) {
    Journal journal;
    RecordingHook hook('h', 0, &journal);
    TestApp app(&journal);
    app.post_after_destroy = kMsgTest + 9;
    platform::Event ready(true);
    int pumps = 0;
    app.body = [&](TestApp& self) {
        CAppManager::StaticAddWinHook(&hook);
        ready.Set();
        while (self.PumpMessages()) {
            ++pumps;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    ASSERT_EQ(app.Start(), 0);
    ASSERT_TRUE(ready.Wait(5000));
    app.PostMessage(kMsgClose);   // from another thread, as the window's close would
    ASSERT_TRUE(app.WaitForEnd());
    EXPECT_GE(pumps, 0);
    // The close went through the hook to the window procedure; only after the body ended did
    // the destroy follow; the quit it posted is taken by the pump, not dispatched.
    EXPECT_EQ(journal.Of(kMsgClose), (std::vector<char>{'h', 'W'}));
    EXPECT_EQ(journal.Of(kMsgDestroy), (std::vector<char>{'h', 'W'}));
    EXPECT_TRUE(journal.Of(kMsgQuit).empty());
    EXPECT_TRUE(journal.Of(kMsgTest + 9).empty());
    // The window's own activation arrives first, as for a newly shown window.
    EXPECT_FALSE(journal.Of(kMsgActivateApp).empty());
    CAppManager::GetInstance()->DelWinHook(&hook);
}

TEST(AppFrame, ManagerAnswersPerThread) {
    Journal journal;
    TestApp app(&journal);
    CAppFrame* seen_app = nullptr;
    WindowHandle seen_window = nullptr;
    CAppFrame* found_by_window = nullptr;
    app.body = [&](TestApp& self) {
        seen_app = CAppManager::GetInstance()->GetMyApp();
        seen_window = CAppManager::StaticGetHWnd();
        found_by_window = CAppManager::GetInstance()->FindApp(seen_window);
    };
    ASSERT_TRUE(app.RunToEnd());
    EXPECT_EQ(seen_app, &app);
    EXPECT_NE(seen_window, nullptr);
    EXPECT_EQ(found_by_window, &app);
    // This thread runs no application: null answers, and hooks are ignored safely.
    EXPECT_EQ(CAppManager::GetInstance()->GetMyApp(), nullptr);
    EXPECT_EQ(CAppManager::StaticGetHWnd(), nullptr);
    RecordingHook hook('x', 1, &journal);
    CAppManager::StaticAddWinHook(&hook);
    CAppManager::GetInstance()->DelWinHook(&hook);
    // After the thread ended the application is gone from the manager.
    EXPECT_EQ(CAppManager::GetInstance()->FindApp(seen_window), nullptr);
    EXPECT_FALSE(CAppManager::GetInstance()->PostToWindow(seen_window, kMsgTest, 0, 0));
}

TEST(AppFrame, HooksMayRemoveThemselvesAndOthersMayPostFromAnyThread) {
    Journal journal;
    RecordingHook first('1', 0, &journal), second('2', 0, &journal);
    first.on_message = [&](uint32_t message) {
        if (message == kMsgTest) CAppManager::GetInstance()->DelWinHook(&first);
    };
    TestApp app(&journal);
    app.body = [&](TestApp& self) {
        CAppManager::StaticAddWinHook(&first);
        CAppManager::StaticAddWinHook(&second);
        WindowHandle window = CAppManager::StaticGetHWnd();
        std::thread poster([&] { CAppManager::GetInstance()->PostToWindow(window, kMsgTest, 0, 0); });
        poster.join();
        self.PumpMessages();
        self.PostMessage(kMsgTest + 1);
        self.PumpMessages();
        CAppManager::GetInstance()->DelWinHook(&second);
    };
    ASSERT_TRUE(app.RunToEnd());
    EXPECT_EQ(journal.Of(kMsgTest), (std::vector<char>{'1', '2', 'W'}));
    EXPECT_EQ(journal.Of(kMsgTest + 1), (std::vector<char>{'2', 'W'}));
}

TEST(AppFrame, PeriodicCallbacksRunFromThePumpOnTheAppThread) {
    platform::VirtualClock clock;
    platform::SetFrameClockForTest(&clock);
    Journal journal;
    TestApp app(&journal);
    std::thread::id app_thread, callback_thread;
    int calls = 0;
    app.body = [&](TestApp& self) {
        app_thread = std::this_thread::get_id();
        int key = 0;
        self.GetIdList()->Add(&key, 20, 20, 0, KTL::make_bound_call([&] {
            callback_thread = std::this_thread::get_id();
            ++calls;
        }));
        self.PumpMessages();
        clock.Advance(20'000);
        self.PumpMessages();
        clock.Advance(40'000);
        self.PumpMessages();
        self.GetIdList()->Remove(&key);
    };
    ASSERT_TRUE(app.RunToEnd());
    platform::SetFrameClockForTest(nullptr);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(callback_thread, app_thread);
}

TEST(AppFrame, RefusedOptionsMakeNoWindowAndRunNoBody) {
    Journal journal;
    TestApp app(&journal);
    app.pre_create_result = 1;
    ASSERT_TRUE(app.RunToEnd());
    EXPECT_FALSE(app.main_thread_ran);
}

TEST(AppListener, ForwardsToTheThreadsApplication) {
    struct Results {
        CAppFrame* app = nullptr;
        bool valid_before = false, valid_after = true, main_app = false, registered = false, unregistered = false;
        int wait_result = -1;
    } r;
    struct Body : CAppListener {
        explicit Body(Results* r) : r(r) {}
        Results* r;
        void Main() override {
            r->app = GetApp();
            r->valid_before = IsThreadValid();
            SetMainApp(true);
            r->main_app = IsMainApp();
            PostMessage(kMsgClose);   // as the window's close: the next pump ends the body
            r->valid_after = IsThreadValid();
            r->wait_result = Wait(5000);   // the stop event ends the wait at once
        }
    };
    Journal journal;
    TestApp app(&journal);
    app.body = [&](TestApp&) {
        {
            Body body(&r);
            r.registered = CAppManager::GetInstance()->GetMyListener() == &body;
            body.Run();
        }
        r.unregistered = CAppManager::GetInstance()->GetMyListener() == nullptr;
    };
    ASSERT_TRUE(app.RunToEnd());
    EXPECT_EQ(r.app, &app);
    EXPECT_TRUE(r.registered);
    EXPECT_TRUE(r.unregistered);
    EXPECT_TRUE(r.valid_before);
    EXPECT_TRUE(r.main_app);
    EXPECT_FALSE(r.valid_after);
    EXPECT_EQ(r.wait_result, 1);
    EXPECT_EQ(journal.Of(kMsgClose), (std::vector<char>{'W'}));
}

TEST(AppListener, WithoutAnApplicationTheBodyEndsAtOnce) {
    struct Body : CAppListener {
        void Main() override {}
    } body;
    EXPECT_EQ(body.GetApp(), nullptr);
    EXPECT_FALSE(body.IsThreadValid());
    EXPECT_FALSE(body.IsMainApp());
    body.PostMessage(kMsgTest);   // nowhere to go: ignored
}
