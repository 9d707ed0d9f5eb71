// Thread.cpp -- CThread on std::thread with platform events, and the thread manager.
#include "sdk/thread/Thread.h"

#include <system_error>

#include "sdk/ktl/exception.h"
#include "sdk/thread/Singleton.h"

namespace zuderadeDoruVAV3ed {

namespace {
// Set when the running body deletes its own thread object: Run must not touch it afterwards.
thread_local bool t_object_deleted = false;
} // namespace

CThread::~CThread() {
    if (IsCallerTheThread()) {
        // The body deletes its own object: nobody is left to wait for it.
        t_object_deleted = true;
        InvalidateThread();
        CCriticalLock lock(&start_stop_lock_);
        if (thread_.joinable()) thread_.detach();
        return;
    }
    Stop();
}

bool CThread::IsCallerTheThread() const {
    return thread_id_.load(std::memory_order_acquire) == std::this_thread::get_id();
}

void CThread::Run() {
    thread_id_.store(std::this_thread::get_id(), std::memory_order_release);
    running_event_.Set();
    t_object_deleted = false;
    ThreadProc();   // an exception escaping here ends the program (reported by the terminate handler)
    if (t_object_deleted) return;   // this object is gone
    ended_event_.Set();
}

int CThread::Start() {
    if (IsCallerTheThread()) return 2;
    CCriticalLock lock(&start_stop_lock_);
    InvalidateThread();
    if (JoinLocked() != 0) return 1;
    stop_event_.Reset();
    interrupt_event_.Reset();
    running_event_.Reset();
    ended_event_.Reset();
    try {
        thread_ = std::thread(&CThread::Run, this);
    } catch (const std::system_error&) {
        ended_event_.Set();
        return 1;
    }
    running_event_.Wait();
    return 0;
}

int CThread::JoinLocked() {
    if (!thread_.joinable()) return 0;
    try {
        thread_.join();
    } catch (const std::system_error&) {
        return 1;
    }
    thread_id_.store(std::thread::id(), std::memory_order_release);
    return 0;
}

int CThread::Stop() {
    InvalidateThread();
    if (IsCallerTheThread()) return 2;
    CCriticalLock lock(&start_stop_lock_);
    return JoinLocked();
}

void CThread::InvalidateThread() { stop_event_.Set(); }

bool CThread::IsThreadValid() const { return !stop_event_.IsSet(); }

int CThread::Sleep(uint32_t ms) {
    // The interrupt is looked at first: an interrupted thread throws even when also stopped.
    int woken = platform::Event::WaitAny({&interrupt_event_, &stop_event_}, ms);
    if (woken == 0) throw KTL::CInterruptedException();
    return woken == 1 ? 1 : 0;
}

void CThread::Interrupt() { interrupt_event_.Set(); }

bool CThread::WaitForEnd() {
    if (IsCallerTheThread()) return false;
    // Wait outside the lock, so Stop and Start stay usable by others meanwhile.
    ended_event_.Wait();
    CCriticalLock lock(&start_stop_lock_);
    JoinLocked();
    return true;
}

bool CThread::IsRunning() const { return !ended_event_.IsSet(); }

std::thread::id CThread::GetThreadId() const { return thread_id_.load(std::memory_order_acquire); }

CThreadManager::~CThreadManager() { WaitAll(); }

CThreadManager* CThreadManager::GetInstance() { return CSingleton<CThreadManager>::Get(); }

int CThreadManager::StartThread(CThread* thread) {
    if (!thread) return 1;
    return GetInstance()->Add(thread);
}

int CThreadManager::Add(CThread* thread) {
    // Started before it is listed, so a WaitAll running meanwhile never finds it unstarted
    // (it would see it as ended and destroy it under Start). Outside the lock: the new thread
    // may itself start threads through the manager. One that fails to start is listed all the
    // same (not running) and goes with the others in WaitAll.
    int result = thread->Start();
    CCriticalLock lock(&lock_);
    threads_.emplace_back(thread);
    return result;
}

void CThreadManager::WaitAll() {
    CCriticalLock waiting(&wait_lock_);
    const std::thread::id self = std::this_thread::get_id();
    for (;;) {
        // The next thread to wait for; a thread of the manager never waits for itself.
        CThread* next = nullptr;
        {
            CCriticalLock lock(&lock_);
            for (const auto& thread : threads_) {
                if (thread->GetThreadId() != self) {
                    next = thread.get();
                    break;
                }
            }
        }
        if (!next) return;
        next->WaitForEnd();
        std::unique_ptr<CThread> ended;
        {
            CCriticalLock lock(&lock_);
            for (auto it = threads_.begin(); it != threads_.end(); ++it) {
                if (it->get() == next) {
                    ended = std::move(*it);
                    threads_.erase(it);
                    break;
                }
            }
        }
        // ended is destroyed here, outside the lock.
    }
}

void CThreadManager::StopAll() {
    CCriticalLock lock(&lock_);
    for (const auto& thread : threads_) thread->InvalidateThread();
}

size_t CThreadManager::GetCount() {
    CCriticalLock lock(&lock_);
    return threads_.size();
}

} // namespace zuderadeDoruVAV3ed
