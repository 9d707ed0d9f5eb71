// Tests of smart_ptr: counting, ownership, tested access, casts, after-destroy calls.
#include "sdk/ktl/smart_ptr.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace KTL;

namespace {

struct Tracked {
    explicit Tracked(int* destroyed) : destroyed_(destroyed) {}
    virtual ~Tracked() { ++*destroyed_; }
    int* destroyed_;
    int value = 7;
};
struct Other {
    virtual ~Other() = default;
    int other = 3;
};
struct Derived : Other, Tracked {
    explicit Derived(int* destroyed) : Tracked(destroyed) {}
};

TEST(SmartPtr, CountsCopiesAndDestroysAtZero) {
    int destroyed = 0;
    {
        smart_ptr<Tracked> a(new Tracked(&destroyed));
        EXPECT_EQ(a.GetRefCount(), 1);
        {
            smart_ptr<Tracked> b = a;
            smart_ptr<Tracked> c;
            c = b;
            EXPECT_EQ(a.GetRefCount(), 3);
        }
        EXPECT_EQ(destroyed, 0);
        a = smart_ptr<Tracked>(new Tracked(&destroyed));   // releases the first
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(SmartPtr, NotOwnedIsNeverDestroyed) {
    int destroyed = 0;
    Tracked member(&destroyed);
    {
        smart_ptr<Tracked> p = smart_ptr<Tracked>::NotOwned(&member);
        smart_ptr<Tracked> q = p;
        EXPECT_EQ(q->value, 7);
    }
    EXPECT_EQ(destroyed, 0);
}

TEST(SmartPtr, TestedAccessThrows) {
    smart_ptr<Tracked> empty;
    EXPECT_THROW(empty->value, CNullPointerException);
    EXPECT_THROW(*empty, CNullPointerException);
    smart_ptr<int> array = smart_ptr<int>::MakeArray(4);
    array[3] = 9;
    EXPECT_EQ(array[3], 9);
    EXPECT_EQ(array[0], 0);   // value-initialised
    EXPECT_THROW(array[4], CIndexOutOfBoundsException);
    EXPECT_THROW(array[-1], CIndexOutOfBoundsException);
    smart_ptr<int> tail = array + 3;
    EXPECT_EQ(*tail, 9);
    EXPECT_THROW(tail[1], CIndexOutOfBoundsException);
    tail += 1;
    EXPECT_THROW(*tail, CIndexOutOfBoundsException);
    smart_ptr<uint8_t> bytes = smart_ptr<uint8_t>::MakeArray(16);
    EXPECT_EQ(bytes.GetCount(), 16u);
    EXPECT_THROW(bytes[16], CIndexOutOfBoundsException);
}

TEST(SmartPtr, UpAndDownCastsAdjustPointersAndShareTheCount) {
    int destroyed = 0;
    {
        smart_ptr<Derived> d(new Derived(&destroyed));
        smart_ptr<Tracked> t = d;   // second base: pointer adjusted
        smart_ptr<Other> o = d;
        EXPECT_EQ(t->value, 7);
        EXPECT_EQ(o->other, 3);
        EXPECT_EQ(d.GetRefCount(), 3);
        smart_ptr<Derived> back = smart_ptr_dynamic_cast<Derived>(t);
        ASSERT_TRUE(back);
        EXPECT_EQ(back.get(), d.get());
        smart_ptr<Derived> back2 = smart_ptr_static_cast<Derived>(o);
        EXPECT_EQ(back2.get(), d.get());
        d = nullptr;
        t = nullptr;
        o = nullptr;
        back = nullptr;
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);   // destroyed once, through the original type
    int unrelated_destroyed = 0;
    smart_ptr<Tracked> plain(new Tracked(&unrelated_destroyed));
    EXPECT_FALSE(smart_ptr_dynamic_cast<Derived>(plain));
}

TEST(SmartPtr, AfterDestroyCallRunsAfterTheDestructor) {
    int destroyed = 0;
    int seen_at_call = -1;
    {
        smart_ptr<Tracked> p(new Tracked(&destroyed));
        p.SetAfterDestroy([&] { seen_at_call = destroyed; });
    }
    EXPECT_EQ(seen_at_call, 1);
}

TEST(SmartPtr, CountIsAtomicAcrossThreads) {
    int destroyed = 0;
    smart_ptr<Tracked> shared(new Tracked(&destroyed));
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([shared] {
            for (int i = 0; i < 20000; ++i) {
                smart_ptr<Tracked> copy = shared;
                smart_ptr<Tracked> moved = std::move(copy);
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(shared.GetRefCount(), 1);
    shared = nullptr;
    EXPECT_EQ(destroyed, 1);
}

} // namespace
