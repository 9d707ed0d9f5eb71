// Singleton.h -- lazily created singletons, destroyed at exit in the reverse order of creation.
//
// Creation takes the singleton's own lock only while the threads-may-exist flag is set
// (CAppInitializer sets it); before that the program is single-threaded. DestroySingletons
// (run by CAppInitializer's destructor) deletes them newest first; a later Get creates anew.
#pragma once

#include <atomic>
#include <functional>

#include "sdk/thread/CriticalSection.h"

namespace zuderadeDoruVAV3ed {

bool ThreadsMayExist();
void SetThreadsMayExist(bool may_exist);

// Registers a destroy call; DestroySingletons runs them newest first.
void RegisterSingletonDestroyer(std::function<void()> destroy);
void DestroySingletons();

template <class T>
class CSingleton {
public:
    static T* Get() {
        if (T* existing = instance_.load(std::memory_order_acquire)) return existing;
        if (ThreadsMayExist()) {
            CCriticalLock lock(&lock_);
            return Create();
        }
        return Create();
    }
    static bool Exists() { return instance_.load(std::memory_order_acquire) != nullptr; }

private:
    // Second test inside the lock: another thread may have created it meanwhile.
    static T* Create() {
        T* existing = instance_.load(std::memory_order_acquire);
        if (existing) return existing;
        T* created = new T();
        instance_.store(created, std::memory_order_release);
        RegisterSingletonDestroyer([] { delete instance_.exchange(nullptr, std::memory_order_acq_rel); });
        return created;
    }
    static inline std::atomic<T*> instance_{nullptr};
    static inline CCriticalSection lock_;
};

} // namespace zuderadeDoruVAV3ed
