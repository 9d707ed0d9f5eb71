// Tests of bound calls: stored arguments, member calls, and their use as after-destroy calls.
#include "sdk/ktl/function_callback.h"

#include <gtest/gtest.h>

#include <string>

using namespace KTL;

namespace {

struct Recorder {
    std::string log;
    void Add(std::string text, int n) { log += text + std::to_string(n) + ";"; }
    int Removed(void* which) {
        removed = which;
        return 0;
    }
    void* removed = nullptr;
};

TEST(FunctionCallback, StoredArgumentsAreCopiedAtBinding) {
    int total = 0;
    int n = 4;
    smart_ptr<function_callback> call = make_bound_call([&total](int a, int b) { total += a * b; }, n, 10);
    n = 100;   // later changes do not reach the stored copy
    call->Invoke();
    (*call)();
    EXPECT_EQ(total, 80);
}

TEST(FunctionCallback, MemberCallRunsOnTheObject) {
    Recorder recorder;
    std::string text = "x";
    smart_ptr<function_callback> call = make_bound_member_call(&recorder, &Recorder::Add, text, 2);
    text = "changed";
    call->Invoke();
    call->Invoke();
    EXPECT_EQ(recorder.log, "x2;x2;");
}

// The sound factory's pattern: the holder of an object runs a bound call after its destructor.
TEST(FunctionCallback, BoundMemberCallAsAfterDestroyCall) {
    struct Sound {
        explicit Sound(bool* alive) : alive_(alive) { *alive_ = true; }
        ~Sound() { *alive_ = false; }
        bool* alive_;
    };
    Recorder factory;
    bool alive = false;
    bool alive_at_call = true;
    {
        smart_ptr<Sound> sound(new Sound(&alive));
        void* address = sound.get();
        smart_ptr<function_callback> removal = make_bound_member_call(&factory, &Recorder::Removed, address);
        sound.SetAfterDestroy([removal, &alive, &alive_at_call] {
            alive_at_call = alive;
            removal->Invoke();
        });
        smart_ptr<Sound> copy = sound;
        EXPECT_EQ(factory.removed, nullptr);
    }
    EXPECT_FALSE(alive_at_call);
    EXPECT_NE(factory.removed, nullptr);
}

} // namespace
