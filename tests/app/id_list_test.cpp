// Periodic callbacks: due times on the frame clock, removal by key, changes during a run.
#include <gtest/gtest.h>

#include <vector>

#include "platform/clock.h"
#include "sdk/app/IdList.h"

using namespace zuderadeDoruVAV3ed;

namespace {

class IdListTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetFrameClockForTest(&clock_); }
    void TearDown() override { platform::SetFrameClockForTest(nullptr); }
    void AdvanceMs(uint64_t ms) { clock_.Advance(ms * 1000); }

    platform::VirtualClock clock_;
    CIdList list_;
};

KTL::smart_ptr<KTL::function_callback> Counter(int* count) {
    return KTL::make_bound_call([count] { ++*count; });
}

} // namespace

TEST_F(IdListTest, FirstDelayThenEveryInterval) {
    int calls = 0;
    int key = 0;
    EXPECT_EQ(list_.Add(&key, 50, 20, 0, Counter(&calls)), 0);
    list_.Run();
    AdvanceMs(49);
    list_.Run();
    EXPECT_EQ(calls, 0);
    AdvanceMs(1);
    list_.Run();
    EXPECT_EQ(calls, 1);
    list_.Run();   // not due again at once
    EXPECT_EQ(calls, 1);
    for (int i = 0; i < 5; ++i) {
        AdvanceMs(20);
        list_.Run();
    }
    EXPECT_EQ(calls, 6);
}

TEST_F(IdListTest, AStallCallsOnceAndKeepsTheIntervalFromThen) {
    int calls = 0;
    int key = 0;
    list_.Add(&key, 20, 20, 0, Counter(&calls));
    AdvanceMs(1000);
    list_.Run();
    list_.Run();
    EXPECT_EQ(calls, 1);
    AdvanceMs(19);
    list_.Run();
    EXPECT_EQ(calls, 1);
    AdvanceMs(1);
    list_.Run();
    EXPECT_EQ(calls, 2);
}

TEST_F(IdListTest, RemoveTakesEveryEntryOfTheKeyOnly) {
    int a_calls = 0, b_calls = 0;
    int key_a = 0, key_b = 0;
    list_.Add(&key_a, 0, 10, 0, Counter(&a_calls));
    list_.Add(&key_a, 0, 10, 0, Counter(&a_calls));
    list_.Add(&key_b, 0, 10, 0, Counter(&b_calls));
    EXPECT_EQ(list_.Remove(&key_a), 2);
    EXPECT_EQ(list_.Remove(&key_a), 0);
    EXPECT_EQ(list_.GetCount(), 1u);
    list_.Run();
    EXPECT_EQ(a_calls, 0);
    EXPECT_EQ(b_calls, 1);
}

TEST_F(IdListTest, EmptyCallIsRefused) {
    int key = 0;
    EXPECT_NE(list_.Add(&key, 0, 10, 0, KTL::smart_ptr<KTL::function_callback>()), 0);
    EXPECT_EQ(list_.GetCount(), 0u);
    list_.Run();
}

TEST_F(IdListTest, EntriesMayChangeTheListWhileTheyRun) {
    // The first entry removes itself and the third and adds a fourth; the removed ones are
    // neither called nor destroyed while running, the new one waits for the next run.
    std::vector<int> order;
    int key_self = 0, key_third = 0, key_new = 0, key_second = 0;
    list_.Add(&key_self, 0, 10, 0, KTL::make_bound_call([&] {
        order.push_back(1);
        list_.Remove(&key_self);
        list_.Remove(&key_third);
        list_.Add(&key_new, 0, 10, 0, KTL::make_bound_call([&] { order.push_back(4); }));
    }));
    list_.Add(&key_second, 0, 10, 0, KTL::make_bound_call([&] { order.push_back(2); }));
    list_.Add(&key_third, 0, 10, 0, KTL::make_bound_call([&] { order.push_back(3); }));
    list_.Run();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    AdvanceMs(10);
    list_.Run();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 2, 4}));
}
