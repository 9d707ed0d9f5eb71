// Thread.h -- thread objects with a stop event and interruptible sleep, and their manager.
//
//   class CWorker : public CThread {
//       void ThreadProc() override {
//           while (IsThreadValid()) { DoOnePass(); if (Sleep(20)) break; }
//       }
//   };
#pragma once

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "platform/sync.h"
#include "sdk/thread/CriticalSection.h"

namespace zuderadeDoruVAV3ed {

class CThread {
public:
    CThread();
    virtual ~CThread();   // stops the thread if it still runs
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Stops and waits for a running thread first, then starts a new one; returns 0 once it
    // runs, non-zero when it could not be created.
    int Start();
    // Sets the stop event and, unless called from the thread itself (2), waits until the thread
    // has ended (0; 1 when the wait fails).
    int Stop();
    // Sets the stop event without waiting.
    void InvalidateThread();
    // True while the thread has not been asked to stop.
    bool IsThreadValid() const;
    // Waits ms or until the stop or interrupt event is set: 0 when the time ran out, 1 when an
    // event ended the wait. Throws CInterruptedException when the thread was interrupted.
    int Sleep(uint32_t ms);
    void Interrupt();
    bool IsRunning() const;
    std::thread::id GetThreadId() const;
    platform::Event& GetStopEvent() { return stop_event_; }

protected:
    // The body, run on the new thread.
    virtual void ThreadProc() = 0;

private:
    void Run();

    CCriticalSection start_stop_lock_;   // taken before anything else of this object
    std::thread thread_;
    std::thread::id thread_id_{};
    platform::Event stop_event_{true};
    platform::Event interrupt_event_{true};
    platform::Event running_event_{true};   // set once the body is about to run
    platform::Event ended_event_{true};
};

// The registry of started threads; it owns what it is handed and waits for all of them.
class CThreadManager {
public:
    static CThreadManager* GetInstance();
    // Takes ownership of thread, starts it and returns once it runs (non-zero: not started).
    static int StartThread(CThread* thread);
    // Waits until every started thread has ended, then destroys them.
    void WaitAll();
    // Sets the stop event of every running thread.
    void StopAll();
    size_t GetCount();

private:
    CCriticalSection lock_;
    std::vector<std::unique_ptr<CThread>> threads_;
};

} // namespace zuderadeDoruVAV3ed
