// function_callback.h -- bound calls: an operation with stored arguments, invoked later.
#pragma once

#include <tuple>
#include <utility>

#include "sdk/ktl/smart_ptr.h"

namespace KTL {

// Base of every bound call. Invoke runs it; the destructor does nothing further.
class function_callback {
public:
    virtual ~function_callback() = default;
    virtual void Invoke() = 0;
    void operator()() { Invoke(); }
};

// A callable (function pointer, lambda) with its arguments stored by value.
template <class F, class... Args>
class bound_call final : public function_callback {
public:
    explicit bound_call(F f, Args... args) : f_(std::move(f)), args_(std::move(args)...) {}
    void Invoke() override { std::apply(f_, args_); }
private:
    F f_;
    std::tuple<Args...> args_;
};

// A member function called on an object the call does not own, with stored arguments.
template <class T, class R, class... Params>
class bound_member_call final : public function_callback {
public:
    using Member = R (T::*)(Params...);
    bound_member_call(T* object, Member member, std::decay_t<Params>... args)
        : object_(object), member_(member), args_(std::move(args)...) {}
    void Invoke() override {
        std::apply([this](auto&... a) { (object_->*member_)(a...); }, args_);
    }
private:
    T* object_;
    Member member_;
    std::tuple<std::decay_t<Params>...> args_;
};

template <class F, class... Args>
smart_ptr<function_callback> make_bound_call(F f, Args... args) {
    return smart_ptr<function_callback>(new bound_call<F, Args...>(std::move(f), std::move(args)...));
}

template <class T, class R, class... Params, class... Args>
smart_ptr<function_callback> make_bound_member_call(T* object, R (T::*member)(Params...), Args&&... args) {
    return smart_ptr<function_callback>(
        new bound_member_call<T, R, Params...>(object, member, std::forward<Args>(args)...));
}

} // namespace KTL
