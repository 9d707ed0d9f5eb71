// Tests of the single-instance name lock and raise requests within one process.
#include "platform/instance.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstring>
#include <future>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
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

// A holder that hangs and never takes its requests: once its queue is full, further requests
// fail at once instead of holding the asking copy for ever.
TEST(InstanceLock, RequestsToAHungHolderNeverBlock) {
    std::string name = UniqueName("hung");
    int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(server, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string id = "flyingfish-" + std::to_string(getuid()) + "-" + name;
    std::memcpy(address.sun_path + 1, id.data(), id.size());
    socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + id.size());
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(listen(server, 1), 0);
    InstanceLock second;
    ASSERT_EQ(second.Acquire(name), InstanceLock::Result::kHeldElsewhere);   // the same name

    auto requests = std::async(std::launch::async, [&] {
        int delivered = 0;
        for (int i = 0; i < 20; ++i) delivered += InstanceLock::RequestRaise(name) ? 1 : 0;
        return delivered;
    });
    bool finished = requests.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    close(server);   // frees a request stuck waiting, so the test itself cannot hang
    ASSERT_TRUE(finished);
    EXPECT_LT(requests.get(), 20);
}

} // namespace
