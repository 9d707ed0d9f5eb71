// Tests of the recursive critical section and its scoped lock.
#include "sdk/thread/CriticalSection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/sync.h"
#include "sdk/ktl/exception.h"

using namespace zuderadeDoruVAV3ed;

namespace {

TEST(CriticalSection, OwnerEntersAgainAndMustLeaveAsOften) {
    CCriticalSection section;
    section.Enter();
    section.Enter();
    EXPECT_TRUE(section.IsOwnedByCurrentThread());
    EXPECT_EQ(section.GetEntryCount(), 2);
    section.Leave();
    // Still held once: another thread must not get in.
    std::atomic<bool> entered{false};
    std::thread other([&] {
        section.Enter();
        entered = true;
        section.Leave();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(entered.load());
    section.Leave();
    other.join();
    EXPECT_TRUE(entered.load());
    EXPECT_FALSE(section.IsOwnedByCurrentThread());
    EXPECT_EQ(section.GetEntryCount(), 0);
}

TEST(CriticalSection, LeaveWithoutOwningThrows) {
    CCriticalSection section;
    EXPECT_THROW(section.Leave(), KTL::CIllegalMonitorStateException);
    section.Enter();
    bool thrown = false;
    std::thread other([&] {
        try {
            section.Leave();
        } catch (const KTL::CIllegalMonitorStateException&) {
            thrown = true;
        }
    });
    other.join();
    EXPECT_TRUE(thrown);
    EXPECT_TRUE(section.IsOwnedByCurrentThread());   // the failed Leave changed nothing
    section.Leave();
    EXPECT_THROW(section.Leave(), KTL::CIllegalMonitorStateException);
}

TEST(CriticalSection, LockLeavesEarlyOnceAndOnDestruction) {
    CCriticalSection section;
    {
        CCriticalLock outer(&section);
        {
            CCriticalLock inner(&section);
            EXPECT_EQ(section.GetEntryCount(), 2);
            inner.Leave();
            EXPECT_EQ(section.GetEntryCount(), 1);
            inner.Leave();   // a second early Leave does nothing
            EXPECT_EQ(section.GetEntryCount(), 1);
        }
        EXPECT_EQ(section.GetEntryCount(), 1);
    }
    EXPECT_FALSE(section.IsOwnedByCurrentThread());
}

// Unsynchronised counting under the lock: a broken lock loses increments (and TSan reports it).
TEST(CriticalSection, ExcludesOtherThreads) {
    CCriticalSection section;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                CCriticalLock lock(&section);
                CCriticalLock again(&section);   // recursion inside the exclusion
                ++counter;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, 80000);
}

} // namespace
