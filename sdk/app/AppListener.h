// AppListener.h -- the base of an object that runs the body of an application on its thread.
//
// Constructed on the application's thread (registering as that thread's listener); its
// operations forward to the thread's application, found through the app manager.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

class CAppFrame;

class CAppListener {
public:
    CAppListener();
    virtual ~CAppListener();
    CAppListener(const CAppListener&) = delete;
    CAppListener& operator=(const CAppListener&) = delete;

    // Runs Main.
    virtual void Run();
    // Waits ms or until the thread is asked to stop: 0 when the time ran out, 1 otherwise.
    // On a virtual frame clock the clock moves on by ms instead.
    virtual int Wait(uint32_t ms);
    virtual void PostMessage(uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0);
    // The application of the thread that constructed this object (null when there was none).
    virtual CAppFrame* GetApp();
    // Pumps the application's messages; true while the thread is not asked to stop.
    virtual bool IsThreadValid();
    // The body.
    virtual void Main() = 0;
    virtual bool IsMainApp();
    virtual void SetMainApp(bool main_app);

private:
    CAppFrame* app_;   // found once, at construction
};

} // namespace zuderadeDoruVAV3ed
