// CThreadManager: single ownership of what it is handed (also of bodies that delete their own
// object), and WaitAll called by a managed thread while another thread waits for all.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "sdk/thread/Thread.h"
#include "tests/deadline.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// A thread whose body is given by the test; counts its destructions.
class BodyThread : public CThread {
public:
    BodyThread(std::function<void(BodyThread&)> body, std::atomic<int>* destroyed = nullptr)
        : body_(std::move(body)), destroyed_(destroyed) {}
    ~BodyThread() override {
        if (destroyed_) destroyed_->fetch_add(1);
        Stop();
    }
    using CThread::Sleep;

protected:
    void ThreadProc() override { body_(*this); }

private:
    std::function<void(BodyThread&)> body_;
    std::atomic<int>* destroyed_;
};

// Bodies that delete their own object at once, after a pause, or not at all, side by side:
// every object is destroyed exactly once, by its body or by the manager, and WaitAll still
// waits for every thread.
TEST(ThreadManagerOwnership, SelfDeletingBodiesAreDestroyedOnce) {
    CThreadManager* manager = CThreadManager::GetInstance();
    constexpr int kEach = 20;
    std::atomic<int> destroyed{0};
    std::atomic<int> finished{0};
    // A body that deletes its object also deletes itself (the function lives in the object):
    // what it uses afterwards is copied out first.
    const std::function<void(BodyThread&)> bodies[] = {
        [&](BodyThread& self) {   // deletes itself at once
            std::atomic<int>* done = &finished;
            delete &self;
            done->fetch_add(1);
        },
        [&](BodyThread& self) {   // deletes itself after a pause
            std::atomic<int>* done = &finished;
            self.Sleep(5);
            delete &self;
            done->fetch_add(1);
        },
        [&](BodyThread& self) {   // leaves its object to the manager
            self.Sleep(5);
            finished.fetch_add(1);
        },
    };
    for (int i = 0; i < kEach; ++i)
        for (const auto& body : bodies) ASSERT_EQ(CThreadManager::StartThread(new BodyThread(body, &destroyed)), 0);
    manager->WaitAll();
    EXPECT_EQ(finished.load(), 3 * kEach);   // WaitAll returned only after every body ended
    EXPECT_EQ(destroyed.load(), 3 * kEach);
    EXPECT_EQ(manager->GetCount(), 0u);
}

// The main thread waits for all; meanwhile a managed thread starts a child and waits for all
// too (skipping itself). Neither waits for the other's lock.
TEST(ThreadManagerOwnership, WaitAllFromAManagedThreadWhileAnotherWaits) {
    CThreadManager* manager = CThreadManager::GetInstance();
    std::atomic<bool> child_ended{false};
    std::atomic<bool> inner_returned{false};
    testutil::MustFinish("WaitAll of the main and of a managed thread", [&] {
        ASSERT_EQ(CThreadManager::StartThread(new BodyThread([&](BodyThread& self) {
                      CThreadManager::StartThread(new BodyThread([&](BodyThread& child) {
                          child.Sleep(100);
                          child_ended = true;
                      }));
                      self.Sleep(50);   // the main thread is in WaitAll by now (on a quiet machine)
                      CThreadManager::GetInstance()->WaitAll();
                      inner_returned = child_ended.load();
                  })),
                  0);
        manager->WaitAll();
    });
    EXPECT_TRUE(child_ended.load());
    EXPECT_TRUE(inner_returned.load());   // the inner WaitAll waited for the child
    EXPECT_EQ(manager->GetCount(), 0u);
}

} // namespace
