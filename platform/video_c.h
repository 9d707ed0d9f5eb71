// video_c.h -- private to platform/: what the SDL and the headless window share.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "platform/video.h"

struct SDL_Window;

namespace platform::video_internal {

// Event queue, pump counting, the automatic close, raise requests and frame dumps: everything
// of a window that does not depend on the back-end.
class WindowCommon : public Window {
public:
    WindowCommon();
    ~WindowCommon() override;
    bool NextEvent(WindowEvent& event) override;
    void Present(const void* pixels, int pitch, int width, int height) final;

protected:
    void Queue(WindowEventType type) { events_.push_back(WindowEvent{type}); }
    // The back-end's pump calls this last: feeds the input layer's per-pump step, answers
    // raise requests and counts the pump (queueing the close of FLYINGFISH_MAX_FRAMES).
    void FinishPump();
    // The back-end's part of Present; the arguments have been checked.
    virtual void ShowFrame(const void* pixels, int pitch, int width, int height) = 0;

private:
    void DumpFrame(const void* pixels, int pitch, int width, int height);

    std::deque<WindowEvent> events_;   // gathered by Pump, taken by NextEvent
    long max_frames_ = 0;              // 0: no automatic close
    long pumps_ = 0;
    std::string dump_dir_;             // "" : no dumps
    long dump_every_ = 1;
    long presents_ = 0;                // frames presented so far: the dump's frame number
    bool dump_failed_ = false;         // logged once
    bool bad_frame_logged_ = false;
};

// The posted-message queue of a window lives from its construction to its destruction.
void OpenPostQueue(Window* window);
void ClosePostQueue(Window* window);

// Null when SDL's video cannot start or offers no real display.
std::unique_ptr<Window> CreateSdlWindow(const WindowOptions& options);
std::unique_ptr<Window> CreateHeadlessWindow(const WindowOptions& options);

// Whether a window manager runs to carry out the window's full-screen request; true where it
// cannot be told.
bool WindowManagerRuns(SDL_Window* window);

// Writes an XRGB8888 frame as a 24-bit BMP file; false when the file cannot be written.
bool WriteBmp(const std::string& path, const void* pixels, int pitch, int width, int height);

} // namespace platform::video_internal
