// smart_ptr.h -- the template library's reference-counted pointer with tested access.
//
// A smart_ptr is three words: the typed pointer of the element it points at, that element's
// index within its allocation, and the shared holder. The holder keeps the reference count
// (atomic: refill threads share sound objects with the game), whether it owns the object, the
// element size and count, and an optional call run after the object is destroyed.
// Every access through -> * [] tests the pointer: null throws CNullPointerException, an index
// outside the allocation throws CIndexOutOfBoundsException. Nothing catches them.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <new>
#include <type_traits>
#include <utility>

#include "sdk/ktl/exception.h"

namespace KTL {

// The shared part behind every smart_ptr to one allocation.
class smart_holder_base {
public:
    smart_holder_base(bool owning, size_t element_size, size_t element_count)
        : owning_(owning), element_size_(element_size), element_count_(element_count) {}
    virtual ~smart_holder_base() = default;   // deletes the holder only

    void AddRef() { count_.fetch_add(1, std::memory_order_relaxed); }
    // Counts down; at zero destroys the object (when owned), runs the after-destroy call and
    // deletes the holder.
    void Release() {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
        if (owning_) DestroyObject();
        if (after_destroy_) after_destroy_();
        delete this;
    }

    long GetRefCount() const { return count_.load(std::memory_order_acquire); }
    bool IsOwning() const { return owning_; }
    size_t GetElementSize() const { return element_size_; }
    size_t GetElementCount() const { return element_count_; }
    void SetAfterDestroy(std::function<void()> call) { after_destroy_ = std::move(call); }

protected:
    virtual void DestroyObject() = 0;

private:
    std::atomic<long> count_{1};
    bool owning_;
    size_t element_size_;
    size_t element_count_;
    std::function<void()> after_destroy_;   // runs after the object's destructor
};

template <class T>
class smart_single_holder final : public smart_holder_base {
public:
    smart_single_holder(T* object, bool owning) : smart_holder_base(owning, sizeof(T), 1), object_(object) {}
protected:
    void DestroyObject() override { delete object_; }
private:
    T* object_;
};

template <class T>
class smart_array_holder final : public smart_holder_base {
public:
    smart_array_holder(T* objects, size_t count, bool owning)
        : smart_holder_base(owning, sizeof(T), count), objects_(objects) {}
protected:
    void DestroyObject() override { delete[] objects_; }
private:
    T* objects_;
};

template <class T>
class smart_ptr {
public:
    using element_type = T;

    smart_ptr() = default;
    smart_ptr(std::nullptr_t) {}

    // Takes ownership of one object (or, with owning false, points at it without owning it).
    explicit smart_ptr(T* object, bool owning = true) {
        if (object) {
            ptr_ = object;
            holder_ = new smart_single_holder<T>(object, owning);
        }
    }

    smart_ptr(const smart_ptr& other) : ptr_(other.ptr_), index_(other.index_), holder_(other.holder_) {
        if (holder_) holder_->AddRef();
    }
    smart_ptr(smart_ptr&& other) noexcept : ptr_(other.ptr_), index_(other.index_), holder_(other.holder_) {
        other.ptr_ = nullptr;
        other.index_ = 0;
        other.holder_ = nullptr;
    }
    // Up-cast from a derived class (pointer adjusted as the language does).
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>>>
    smart_ptr(const smart_ptr<U>& other) : ptr_(other.ptr_), index_(other.index_), holder_(other.holder_) {
        if (holder_) holder_->AddRef();
    }

    ~smart_ptr() { release(); }

    smart_ptr& operator=(const smart_ptr& other) {
        if (this != &other) {
            smart_ptr copy(other);
            swap(copy);
        }
        return *this;
    }
    smart_ptr& operator=(smart_ptr&& other) noexcept {
        if (this != &other) {
            smart_ptr moved(std::move(other));
            swap(moved);
        }
        return *this;
    }
    smart_ptr& operator=(std::nullptr_t) {
        release();
        return *this;
    }

    // An owning array of n value-initialised elements (n bytes for smart_ptr<uint8_t>).
    static smart_ptr MakeArray(size_t n) {
        if (n == 0) return smart_ptr();
        T* objects = new T[n]();
        return smart_ptr(objects, 0, new smart_array_holder<T>(objects, n, true));
    }
    // A pointer to an object owned elsewhere (a member of another object): never destroyed here.
    static smart_ptr NotOwned(T* object) { return smart_ptr(object, false); }

    void reset() { release(); }
    void reset(T* object, bool owning = true) {
        smart_ptr next(object, owning);
        swap(next);
    }
    void swap(smart_ptr& other) noexcept {
        std::swap(ptr_, other.ptr_);
        std::swap(index_, other.index_);
        std::swap(holder_, other.holder_);
    }

    // Tested access.
    T* operator->() const { return checked(); }
    T& operator*() const { return *checked(); }
    T& operator[](std::ptrdiff_t i) const {
        if (!ptr_) throw CNullPointerException();
        std::ptrdiff_t at = static_cast<std::ptrdiff_t>(index_) + i;
        if (at < 0 || static_cast<size_t>(at) >= holder_->GetElementCount()) throw CIndexOutOfBoundsException();
        return ptr_[i];
    }

    // Untested access, for callers that have checked (or hand the pointer to C-style code).
    T* get() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    bool IsNull() const { return ptr_ == nullptr; }

    // The same allocation, n elements further on (shares the holder).
    smart_ptr operator+(std::ptrdiff_t n) const {
        if (!ptr_) throw CNullPointerException();
        if (holder_) holder_->AddRef();
        return smart_ptr(ptr_ + n, static_cast<size_t>(static_cast<std::ptrdiff_t>(index_) + n), holder_);
    }
    smart_ptr& operator+=(std::ptrdiff_t n) {
        if (!ptr_) throw CNullPointerException();
        ptr_ += n;
        index_ = static_cast<size_t>(static_cast<std::ptrdiff_t>(index_) + n);
        return *this;
    }

    size_t GetIndex() const { return index_; }
    // Elements of the allocation (0 when null).
    size_t GetCount() const { return holder_ ? holder_->GetElementCount() : 0; }
    long GetRefCount() const { return holder_ ? holder_->GetRefCount() : 0; }
    bool IsOwning() const { return holder_ && holder_->IsOwning(); }

    // Sets the call that runs after the object has been destroyed (null pointer: ignored).
    void SetAfterDestroy(std::function<void()> call) const {
        if (holder_) holder_->SetAfterDestroy(std::move(call));
    }

    template <class U> bool operator==(const smart_ptr<U>& other) const { return ptr_ == other.get(); }
    bool operator==(std::nullptr_t) const { return ptr_ == nullptr; }

private:
    template <class U> friend class smart_ptr;
    template <class U, class V> friend smart_ptr<U> smart_ptr_static_cast(const smart_ptr<V>&);
    template <class U, class V> friend smart_ptr<U> smart_ptr_dynamic_cast(const smart_ptr<V>&);

    // Adopts one reference of the holder (the caller counted it).
    smart_ptr(T* ptr, size_t index, smart_holder_base* holder) : ptr_(ptr), index_(index), holder_(holder) {}

    T* checked() const {
        if (!ptr_) throw CNullPointerException();
        if (index_ >= holder_->GetElementCount()) throw CIndexOutOfBoundsException();
        return ptr_;
    }
    void release() {
        smart_holder_base* holder = holder_;
        ptr_ = nullptr;
        index_ = 0;
        holder_ = nullptr;
        if (holder) holder->Release();
    }

    T* ptr_ = nullptr;                    // the element at index_
    size_t index_ = 0;                    // element index within the allocation
    smart_holder_base* holder_ = nullptr; // shared; null exactly when ptr_ is null
};

// Down-cast without a check (the caller knows the type).
template <class U, class V>
smart_ptr<U> smart_ptr_static_cast(const smart_ptr<V>& from) {
    if (!from.ptr_) return smart_ptr<U>();
    from.holder_->AddRef();
    return smart_ptr<U>(static_cast<U*>(from.ptr_), from.index_, from.holder_);
}

// Down-cast with a check: null when the object is not a U.
template <class U, class V>
smart_ptr<U> smart_ptr_dynamic_cast(const smart_ptr<V>& from) {
    U* to = from.ptr_ ? dynamic_cast<U*>(from.ptr_) : nullptr;
    if (!to) return smart_ptr<U>();
    from.holder_->AddRef();
    return smart_ptr<U>(to, from.index_, from.holder_);
}

} // namespace KTL
