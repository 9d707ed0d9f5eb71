// Tests of CThread (start, stop, sleep and interrupt results) and CThreadManager.
#include "sdk/thread/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "sdk/ktl/exception.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// A thread whose body is a function given by the test.
class TestThread : public CThread {
public:
    explicit TestThread(std::function<void(TestThread&)> body) : body_(std::move(body)) {}
    ~TestThread() override { Stop(); }
    using CThread::Sleep;
    std::atomic<int> runs{0};

protected:
    void ThreadProc() override {
        runs.fetch_add(1);
        body_(*this);
    }

private:
    std::function<void(TestThread&)> body_;
};

// Loops until asked to stop, sleeping 1 ms at a time.
void LoopUntilStopped(TestThread& self) {
    while (self.IsThreadValid())
        if (self.Sleep(1)) break;
}

TEST(Thread, StartReturnsOnceRunningAndStopWaitsForTheEnd) {
    std::atomic<bool> finished{false};
    TestThread thread([&](TestThread& self) {
        LoopUntilStopped(self);
        finished = true;
    });
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.Stop(), 0);   // nothing started: nothing to wait for
    EXPECT_EQ(thread.Start(), 0);
    EXPECT_TRUE(thread.IsRunning());   // the thread runs when Start returns
    EXPECT_TRUE(thread.IsThreadValid());
    EXPECT_NE(thread.GetThreadId(), std::thread::id());
    EXPECT_EQ(thread.Stop(), 0);
    EXPECT_TRUE(finished.load());
    EXPECT_EQ(thread.runs.load(), 1);
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_FALSE(thread.IsThreadValid());
}

TEST(Thread, StartAgainStopsTheRunningThreadFirst) {
    TestThread thread(LoopUntilStopped);
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_EQ(thread.Start(), 0);
    EXPECT_TRUE(thread.IsThreadValid());   // the new run is not asked to stop
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_EQ(thread.Stop(), 0);
    EXPECT_EQ(thread.runs.load(), 2);
}

TEST(Thread, SleepResults) {
    std::atomic<int> timed_out{-1};
    std::atomic<int> stopped{-1};
    platform::Event slept(true);
    TestThread thread([&](TestThread& self) {
        timed_out = self.Sleep(5);
        slept.Set();
        stopped = self.Sleep(60000);
    });
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(slept.Wait(5000));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(thread.Stop(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));   // woken, not timed out
    EXPECT_EQ(timed_out.load(), 0);
    EXPECT_EQ(stopped.load(), 1);
}

TEST(Thread, InterruptThrowsFromSleep) {
    std::atomic<bool> interrupted{false};
    platform::Event sleeping(true);
    TestThread thread([&](TestThread& self) {
        sleeping.Set();
        try {
            self.Sleep(60000);
        } catch (const KTL::CInterruptedException&) {
            interrupted = true;
        }
        LoopUntilStopped(self);
    });
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(sleeping.Wait(5000));
    thread.Interrupt();
    EXPECT_EQ(thread.Stop(), 0);
    EXPECT_TRUE(interrupted.load());
}

TEST(Thread, StopFromTheThreadItselfReturnsTwo) {
    std::atomic<int> result{-1};
    std::atomic<int> restart{-1};
    TestThread thread([&](TestThread& self) {
        result = self.Stop();
        restart = self.Start();
    });
    ASSERT_EQ(thread.Start(), 0);
    EXPECT_TRUE(thread.WaitForEnd());
    EXPECT_EQ(result.load(), 2);
    EXPECT_EQ(restart.load(), 2);
    EXPECT_FALSE(thread.IsThreadValid());
}

// A body may delete its own object (nobody is then left to wait for it): after the body
// returns the thread must not touch the object again.
TEST(Thread, BodyThatDeletesItsOwnObject) {
    struct SelfDeleting : CThread {
        explicit SelfDeleting(std::atomic<int>* ended) : ended_(ended) {}
        ~SelfDeleting() override { Stop(); }   // from the thread itself: 2, no wait
        void ThreadProc() override {
            std::atomic<int>* ended = ended_;
            delete this;
            ended->fetch_add(1);
        }
        std::atomic<int>* ended_;
    };
    std::atomic<int> ended{0};
    for (int i = 0; i < 20; ++i) ASSERT_EQ((new SelfDeleting(&ended))->Start(), 0);
    for (int i = 0; i < 500 && ended.load() < 20; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ended.load(), 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));   // the detached threads finish
}

TEST(ThreadManager, OwnsStartsAndWaitsForAll) {
    // Each body sleeps a little and ends by itself; WaitAll waits for both and destroys them.
    struct Counted : TestThread {
        Counted(std::function<void(TestThread&)> body, std::atomic<int>* destroyed)
            : TestThread(std::move(body)), destroyed_(destroyed) {}
        ~Counted() override { destroyed_->fetch_add(1); }
        std::atomic<int>* destroyed_;
    };
    std::atomic<int> ended{0};
    std::atomic<int> destroyed{0};
    auto ends_soon = [&](TestThread& self) {
        self.Sleep(20);
        ended.fetch_add(1);
    };
    EXPECT_EQ(CThreadManager::StartThread(nullptr), 1);
    CThreadManager* manager = CThreadManager::GetInstance();
    EXPECT_EQ(manager, CThreadManager::GetInstance());
    ASSERT_EQ(manager->GetCount(), 0u);
    ASSERT_EQ(CThreadManager::StartThread(new Counted(ends_soon, &destroyed)), 0);
    ASSERT_EQ(CThreadManager::StartThread(new Counted(ends_soon, &destroyed)), 0);
    EXPECT_EQ(manager->GetCount(), 2u);
    manager->WaitAll();
    EXPECT_EQ(ended.load(), 2);
    EXPECT_EQ(destroyed.load(), 2);
    EXPECT_EQ(manager->GetCount(), 0u);
}

TEST(ThreadManager, StopAllAsksEveryThreadToStop) {
    CThreadManager* manager = CThreadManager::GetInstance();
    ASSERT_EQ(CThreadManager::StartThread(new TestThread(LoopUntilStopped)), 0);
    ASSERT_EQ(CThreadManager::StartThread(new TestThread(LoopUntilStopped)), 0);
    manager->StopAll();
    manager->WaitAll();
    EXPECT_EQ(manager->GetCount(), 0u);
}

// Threads handed over by a thread the manager does not own, while another waits for all:
// a listed thread is always a started one, never destroyed before it has run.
TEST(ThreadManager, ThreadsHandedOverFromOutsideWhileWaiting) {
    CThreadManager* manager = CThreadManager::GetInstance();
    constexpr int kThreads = 1000;
    std::atomic<bool> done{false};
    std::atomic<int> ran{0};
    std::thread adder([&] {
        for (int i = 0; i < kThreads; ++i)
            CThreadManager::StartThread(new TestThread([&](TestThread&) { ran.fetch_add(1); }));
        done = true;
    });
    while (!done.load()) manager->WaitAll();
    adder.join();
    manager->WaitAll();
    EXPECT_EQ(ran.load(), kThreads);
    EXPECT_EQ(manager->GetCount(), 0u);
}

TEST(ThreadManager, ThreadsStartedWhileWaitingAreWaitedFor) {
    CThreadManager* manager = CThreadManager::GetInstance();
    std::atomic<bool> child_ended{false};
    ASSERT_EQ(CThreadManager::StartThread(new TestThread([&](TestThread& self) {
                  self.Sleep(20);
                  CThreadManager::StartThread(new TestThread([&](TestThread& child) {
                      child.Sleep(30);
                      child_ended = true;
                  }));
              })),
              0);
    manager->WaitAll();
    EXPECT_TRUE(child_ended.load());
    EXPECT_EQ(manager->GetCount(), 0u);
}

} // namespace
