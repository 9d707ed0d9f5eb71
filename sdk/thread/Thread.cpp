// Thread.cpp -- CThread on std::thread with platform events, and the thread manager.
#include "sdk/thread/Thread.h"

#include <system_error>

#include "sdk/ktl/exception.h"
#include "sdk/thread/Singleton.h"

namespace zuderadeDoruVAV3ed {

CThread::~CThread() {
    if (IsCallerTheThread()) {
        // The body deletes its own object: the manager must not destroy it again, and nobody
        // is left to wait for the thread.
        if (CThreadManager* manager = manager_.load(std::memory_order_acquire)) manager->Forget(this);
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
    // Taken before the body runs: the body may delete this object.
    const std::shared_ptr<platform::Event> ended = ended_event_;
    thread_id_.store(std::this_thread::get_id(), std::memory_order_release);
    running_event_.Set();
    ThreadProc();   // an exception escaping here ends the program (reported by the terminate handler)
    ended->Set();
}

int CThread::Start() {
    if (IsCallerTheThread()) return 2;
    CCriticalLock lock(&start_stop_lock_);
    InvalidateThread();
    if (JoinLocked() != 0) return 1;
    stop_event_.Reset();
    interrupt_event_.Reset();
    running_event_.Reset();
    ended_event_->Reset();
    try {
        thread_ = std::thread(&CThread::Run, this);
    } catch (const std::system_error&) {
        ended_event_->Set();
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
    ended_event_->Wait();
    CCriticalLock lock(&start_stop_lock_);
    JoinLocked();
    return true;
}

bool CThread::IsRunning() const { return !ended_event_->IsSet(); }

std::thread::id CThread::GetThreadId() const { return thread_id_.load(std::memory_order_acquire); }

CThreadManager::~CThreadManager() { WaitAll(); }

CThreadManager* CThreadManager::GetInstance() { return CSingleton<CThreadManager>::Get(); }

int CThreadManager::StartThread(CThread* thread) {
    if (!thread) return 1;
    return GetInstance()->Add(thread);
}

int CThreadManager::Add(CThread* thread) {
    // Started under the lock, so the entry is listed before a body that deletes its own object
    // can ask to be forgotten (Forget waits for the lock), and a WaitAll never finds it
    // unstarted. The new thread may itself start threads: it waits here until Start returns.
    // One that fails to start is listed all the same (ended) and goes with the others.
    CCriticalLock lock(&lock_);
    thread->manager_.store(this, std::memory_order_release);
    int result = thread->Start();
    threads_.push_back(Entry{std::unique_ptr<CThread>(thread), thread->ended_event_, thread->GetThreadId()});
    return result;
}

void CThreadManager::Forget(CThread* thread) {
    CCriticalLock lock(&lock_);
    for (Entry& entry : threads_) {
        if (entry.thread.get() == thread) {
            (void)entry.thread.release();   // the body destroys it
            return;
        }
    }
}

void CThreadManager::WaitAll() {
    const std::thread::id self = std::this_thread::get_id();
    for (;;) {
        // The next thread to wait for; a thread of the manager never waits for itself. Only its
        // end event is touched outside the lock: the object may go meanwhile.
        std::shared_ptr<platform::Event> ended;
        {
            CCriticalLock lock(&lock_);
            for (const Entry& entry : threads_) {
                if (entry.id != self) {
                    ended = entry.ended;
                    break;
                }
            }
        }
        if (!ended) return;
        ended->Wait();
        // Whoever takes the entry first destroys what the manager still owns of it.
        std::unique_ptr<CThread> finished;
        {
            CCriticalLock lock(&lock_);
            for (auto it = threads_.begin(); it != threads_.end(); ++it) {
                if (it->ended == ended) {
                    finished = std::move(it->thread);
                    threads_.erase(it);
                    break;
                }
            }
        }
        // finished is destroyed here, outside the lock (its destructor joins the thread).
    }
}

void CThreadManager::StopAll() {
    CCriticalLock lock(&lock_);
    for (const Entry& entry : threads_)
        if (entry.thread) entry.thread->InvalidateThread();
}

size_t CThreadManager::GetCount() {
    CCriticalLock lock(&lock_);
    return threads_.size();
}

} // namespace zuderadeDoruVAV3ed
