// Tests of platform events: reset kinds, timeouts, WaitAny across threads.
#include "platform/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using platform::Event;

namespace {

uint64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
}

TEST(Event, ManualResetStaysSetAutoResetLetsOneThrough) {
    Event manual(true);
    EXPECT_FALSE(manual.Wait(0));
    manual.Set();
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    manual.Reset();
    EXPECT_FALSE(manual.IsSet());

    Event automatic(false, true);
    EXPECT_TRUE(automatic.Wait(0));
    EXPECT_FALSE(automatic.Wait(0));   // cleared by the first wait
}

TEST(Event, WaitTimesOutAfterRoughlyTheTime) {
    Event event(true);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.Wait(30));
    EXPECT_GE(ElapsedMs(start), 29u);
}

TEST(Event, SetFromAnotherThreadWakesWaiter) {
    Event event(false);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        event.Set();
    });
    EXPECT_TRUE(event.Wait(5000));
    setter.join();
}

TEST(Event, WaitAnyReturnsFirstSetAndTakesOnlyThat) {
    Event a(false), b(false), c(true);
    b.Set();
    c.Set();
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 0), 1);
    EXPECT_FALSE(b.IsSet());   // auto-reset taken
    EXPECT_TRUE(c.IsSet());    // not looked at
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 0), 2);
    EXPECT_TRUE(c.IsSet());    // manual stays set
    c.Reset();
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 20), -1);
    EXPECT_EQ(Event::WaitAny({}, 0), -1);
}

TEST(Event, WaitAnyWakesOnALaterSet) {
    Event a(true), b(true);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        b.Set();
    });
    EXPECT_EQ(Event::WaitAny({&a, &b}), 1);
    setter.join();
}

// Many threads compete for one auto-reset event: each Set lets exactly one waiter through.
TEST(Event, AutoResetHandsEachSetToOneWaiter) {
    Event token(false);
    Event quit(true);
    std::atomic<int> taken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            while (Event::WaitAny({&token, &quit}) == 0) taken.fetch_add(1);
        });
    }
    for (int i = 0; i < 200; ++i) {
        token.Set();
        while (token.IsSet()) std::this_thread::yield();
    }
    quit.Set();
    for (auto& t : waiters) t.join();
    EXPECT_EQ(taken.load(), 200);
}

} // namespace
