// Tests of the singletons, the app initializer's end of run, and the per-thread COM counts.
#include "sdk/thread/AppInitializer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/log.h"
#include "sdk/thread/ComInit.h"
#include "sdk/thread/Singleton.h"
#include "sdk/thread/Thread.h"

using namespace zuderadeDoruVAV3ed;

namespace {

std::string g_order;   // destruction order of the test singletons
std::atomic<int> g_constructed{0};

struct First {
    First() { g_constructed.fetch_add(1); }
    ~First() { g_order += "1"; }
};
struct Second {
    ~Second() { g_order += "2"; }
};
struct Third {
    ~Third() { g_order += "3"; }
};

TEST(Singleton, CreatedOnceEvenWhenThreadsRace) {
    SetThreadsMayExist(true);
    int constructed_before = g_constructed.load();
    std::vector<std::thread> threads;
    std::vector<First*> seen(8);
    for (int i = 0; i < 8; ++i) threads.emplace_back([&seen, i] { seen[i] = CSingleton<First>::Get(); });
    for (auto& t : threads) t.join();
    for (First* p : seen) EXPECT_EQ(p, seen[0]);
    EXPECT_EQ(g_constructed.load() - constructed_before, 1);
    DestroySingletons();
    SetThreadsMayExist(false);
    EXPECT_FALSE(CSingleton<First>::Exists());
}

TEST(Singleton, DestroyedInReverseOrderOfCreation) {
    g_order.clear();
    CSingleton<Second>::Get();
    CSingleton<Third>::Get();
    CSingleton<First>::Get();
    DestroySingletons();
    EXPECT_EQ(g_order, "132");
    EXPECT_FALSE(CSingleton<Second>::Exists());
    CSingleton<Second>::Get();   // made anew on the next use
    EXPECT_TRUE(CSingleton<Second>::Exists());
    DestroySingletons();
}

class SleepyThread : public CThread {
public:
    explicit SleepyThread(std::atomic<bool>* ended) : ended_(ended) {}
    ~SleepyThread() override { Stop(); }

protected:
    void ThreadProc() override {
        Sleep(50);
        ended_->store(true);
    }

private:
    std::atomic<bool>* ended_;
};

TEST(AppInitializer, RecordsArgumentsAndEndsTheRunInOrder) {
    std::atomic<bool> thread_ended{false};
    int module = 0;
    g_order.clear();
    {
        CAppInitializer initializer(&module, nullptr, "-x", 5);
        EXPECT_TRUE(ThreadsMayExist());
        EXPECT_EQ(CAppInitializer::GetInstanceHandle(), &module);
        EXPECT_EQ(CAppInitializer::GetPrevInstanceHandle(), nullptr);
        EXPECT_EQ(CAppInitializer::GetCommandLine(), "-x");
        EXPECT_EQ(CAppInitializer::GetShowCommand(), 5);
        CSingleton<Second>::Get();
        ASSERT_EQ(CThreadManager::StartThread(new SleepyThread(&thread_ended)), 0);
    }
    // The destructor waited for the thread, then destroyed the singletons and cleared the flag.
    EXPECT_TRUE(thread_ended.load());
    EXPECT_EQ(g_order, "2");
    EXPECT_FALSE(CSingleton<Second>::Exists());
    EXPECT_FALSE(ThreadsMayExist());
}

TEST(ComInit, CountsPerThreadAndIgnoresUnpairedCalls) {
    std::vector<std::string> logged;
    platform::SetLogCaptureForTest([&](std::string_view text) { logged.emplace_back(text); });
    EXPECT_EQ(COMInitializeThisThread(), 1);
    EXPECT_EQ(COMInitializeThisThread(), 2);
    int other_thread_count = -1;
    std::thread([&] { other_thread_count = COMInitializeThisThread(); }).join();
    EXPECT_EQ(other_thread_count, 1);
    EXPECT_EQ(COMUninitializeThisThread(), 1);
    EXPECT_EQ(COMUninitializeThisThread(), 0);
    EXPECT_TRUE(logged.empty());
    EXPECT_EQ(COMUninitializeThisThread(), 0);   // unpaired: logged, count stays 0
    EXPECT_EQ(logged.size(), 1u);
    EXPECT_EQ(COMInitializeThisThread(), 1);
    EXPECT_EQ(COMUninitializeThisThread(), 0);
    platform::SetLogCaptureForTest(nullptr);
}

} // namespace
