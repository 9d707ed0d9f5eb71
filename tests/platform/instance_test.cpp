// Tests of the single-instance name lock and raise requests within one process.
#include "platform/instance.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

using platform::InstanceLock;

namespace {

std::string UniqueName(const char* what) { return std::string("ff-test-") + what + "-" + std::to_string(getpid()); }

// Raise requests arrive through the listener thread: poll for a while.
bool WaitForRaise() {
    for (int i = 0; i < 200; ++i) {
        if (platform::TakeRaiseRequest()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(InstanceLock, NameIsExclusiveUntilReleased) {
    std::string name = UniqueName("exclusive");
    InstanceLock first, second;
    EXPECT_EQ(first.Acquire(name), InstanceLock::Result::kAcquired);
    EXPECT_EQ(first.Acquire(name), InstanceLock::Result::kAcquired);   // held already
    EXPECT_TRUE(first.IsHeld());
    EXPECT_EQ(second.Acquire(name), InstanceLock::Result::kHeldElsewhere);
    EXPECT_FALSE(second.IsHeld());
    InstanceLock other;
    EXPECT_TRUE(other.TryAcquire(name + "-other"));   // another name is independent
    first.Release();
    EXPECT_FALSE(first.IsHeld());
    EXPECT_TRUE(second.TryAcquire(name));
}

TEST(InstanceLock, RaiseRequestsReachTheHolderOncePerRequest) {
    while (platform::TakeRaiseRequest()) {
    }
    std::string name = UniqueName("raise");
    EXPECT_FALSE(InstanceLock::RequestRaise(name));   // nobody holds it
    InstanceLock holder;
    ASSERT_TRUE(holder.TryAcquire(name));
    EXPECT_TRUE(InstanceLock::RequestRaise(name));
    EXPECT_TRUE(InstanceLock::RequestRaise(name));
    EXPECT_TRUE(WaitForRaise());
    EXPECT_TRUE(WaitForRaise());
    EXPECT_FALSE(platform::TakeRaiseRequest());
    holder.Release();
    EXPECT_FALSE(InstanceLock::RequestRaise(name));
}

TEST(InstanceLock, LongNamesAreCutNotOverflowed) {
    std::string name(300, 'n');
    InstanceLock a, b;
    EXPECT_TRUE(a.TryAcquire(name + std::to_string(getpid())));
    EXPECT_EQ(b.Acquire(name + std::to_string(getpid())), InstanceLock::Result::kHeldElsewhere);
}

} // namespace
