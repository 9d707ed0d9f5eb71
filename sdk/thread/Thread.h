// Thread.h -- thread objects with a stop event and interruptible sleep, and their manager.
//
// The body runs in ThreadProc and polls IsThreadValid / Sleep:
//   class CWorker : public CThread {
//       ~CWorker() override { Stop(); }   // stop before the derived part goes away
//       void ThreadProc() override {
//           while (IsThreadValid()) { DoOnePass(); if (Sleep(20)) break; }
//       }
//   };
// A derived class whose body uses its own members must call Stop in its own destructor: the
// base destructor runs too late for that. A body may delete its own object (delete this); the
// thread then runs on without it and nobody waits for it but the thread manager.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "platform/sync.h"
#include "sdk/thread/CriticalSection.h"

namespace zuderadeDoruVAV3ed {

class CThreadManager;

class CThread {
public:
    CThread() = default;
    virtual ~CThread();   // stops the thread if it still runs
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Stops and waits for a running thread first, then starts a new one; returns 0 once it
    // runs, 1 when it could not be created (2 when called from the thread itself).
    int Start();
    // Sets the stop event and, unless called from the thread itself (2), waits until the thread
    // has ended (0; also when no thread was started; 1 when the wait fails).
    int Stop();
    // Sets the stop event without waiting.
    void InvalidateThread();
    // True while the thread has not been asked to stop.
    bool IsThreadValid() const;
    // Waits ms or until the stop or interrupt event is set: 0 when the time ran out, 1 when the
    // stop event ended the wait. Throws CInterruptedException when the thread was interrupted.
    int Sleep(uint32_t ms);
    // Interrupts the thread's current or next Sleep.
    void Interrupt();
    // Waits, without asking it to stop, until the thread has ended (at once when none runs or
    // when called from the thread itself: then false).
    bool WaitForEnd();
    // True from a successful Start until the body has returned.
    bool IsRunning() const;
    // The running thread's id (default id when none was started).
    std::thread::id GetThreadId() const;
    platform::Event& GetStopEvent() { return stop_event_; }

protected:
    // The body, run on the new thread.
    virtual void ThreadProc() = 0;

private:
    friend class CThreadManager;

    void Run();
    bool IsCallerTheThread() const;
    int JoinLocked();   // under start_stop_lock_: waits for the thread and forgets it

    CCriticalSection start_stop_lock_;          // taken by Start, Stop and WaitForEnd
    std::thread thread_;                        // under start_stop_lock_
    std::atomic<std::thread::id> thread_id_{};  // of the running thread
    platform::Event stop_event_{true};          // manual reset: stays set once asked
    platform::Event interrupt_event_{false};    // auto reset: one interrupt, one throw
    platform::Event running_event_{true};       // set once the body is about to run
    // Set while no body runs. Shared with the running thread and the manager, so that it
    // outlives an object whose body deletes it.
    const std::shared_ptr<platform::Event> ended_event_ = std::make_shared<platform::Event>(true, true);
    std::atomic<CThreadManager*> manager_{nullptr};   // the manager that lists it, if any
};

// The registry of started threads, which waits for all of them.
//
// Ownership is single: the manager owns every thread object it is handed and destroys it once
// its body has returned, unless the body deletes its own object first. That delete hands the
// object back (the manager forgets it without destroying it) and the manager then only waits
// for the thread's end.
class CThreadManager {
public:
    CThreadManager() = default;
    ~CThreadManager();   // waits for what is left
    static CThreadManager* GetInstance();
    // Takes ownership of thread, starts it and returns once it runs (non-zero: not started; it
    // stays owned and is destroyed by WaitAll). Null: 1.
    static int StartThread(CThread* thread);
    // Waits until every started thread has ended (also those started meanwhile), then destroys
    // those it still owns. A thread of the manager that calls it skips itself; any number of
    // threads may wait at once (two managed threads waiting for each other wait for ever).
    void WaitAll();
    // Sets the stop event of every thread whose object still exists.
    void StopAll();
    size_t GetCount();

private:
    friend class CThread;

    struct Entry {
        std::unique_ptr<CThread> thread;           // null once its body deleted the object
        std::shared_ptr<platform::Event> ended;    // the thread's end, also without the object
        std::thread::id id;                        // of the thread, to skip itself in WaitAll
    };

    int Add(CThread* thread);
    // Called by a thread object that its own body deletes: forget it without destroying it.
    void Forget(CThread* thread);

    CCriticalSection lock_;
    std::vector<Entry> threads_;   // under lock_
};

} // namespace zuderadeDoruVAV3ed
