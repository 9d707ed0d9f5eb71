// Singleton.cpp -- the threads-may-exist flag and the registry of singleton destroyers.
#include "sdk/thread/Singleton.h"

#include <mutex>
#include <vector>

namespace zuderadeDoruVAV3ed {

namespace {

std::atomic<bool> g_threads_may_exist{false};

// Function-local so it exists before any singleton of another file's static initialiser.
struct DestroyerList {
    std::mutex mutex;
    std::vector<std::function<void()>> destroyers;   // in the order of creation
};

DestroyerList& Destroyers() {
    static DestroyerList* list = new DestroyerList;   // never destroyed: usable at any exit stage
    return *list;
}

} // namespace

bool ThreadsMayExist() { return g_threads_may_exist.load(std::memory_order_acquire); }

void SetThreadsMayExist(bool may_exist) { g_threads_may_exist.store(may_exist, std::memory_order_release); }

void RegisterSingletonDestroyer(std::function<void()> destroy) {
    DestroyerList& list = Destroyers();
    std::lock_guard<std::mutex> lock(list.mutex);
    list.destroyers.push_back(std::move(destroy));
}

void DestroySingletons() {
    DestroyerList& list = Destroyers();
    // Newest first; each runs outside the lock, since a destructor may use (and so create and
    // register) another singleton, which is then destroyed next.
    for (;;) {
        std::function<void()> destroy;
        {
            std::lock_guard<std::mutex> lock(list.mutex);
            if (list.destroyers.empty()) return;
            destroy = std::move(list.destroyers.back());
            list.destroyers.pop_back();
        }
        destroy();
    }
}

} // namespace zuderadeDoruVAV3ed
