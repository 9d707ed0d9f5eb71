// video.h -- the main window and the screen: an SDL2 window or a headless stand-in.
//
// The back-end is chosen once per process: FLYINGFISH_VIDEO=headless|sdl; by default SDL when
// DISPLAY or WAYLAND_DISPLAY is set and SDL's video starts, else headless. Both back-ends count
// pumps (FLYINGFISH_MAX_FRAMES=N delivers a close after N) and write presented frames as BMP
// files when FLYINGFISH_DUMP=DIR[:EVERY] is set. The window must be used from the thread that
// created it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct WindowOptions {
    std::string caption;       // UTF-8
    int client_width = 640;
    int client_height = 480;
};

enum class WindowEventType {
    kClose,        // the user (or FLYINGFISH_MAX_FRAMES) asks the window to close
    kActivate,     // the window gained the input focus
    kDeactivate,   // the window lost it
    kMinimize,
    kRestore,
};

struct WindowEvent {
    WindowEventType type;
};

class Window {
public:
    // A new window of the process's back-end; null when it cannot be created.
    static std::unique_ptr<Window> Create(const WindowOptions& options);
    virtual ~Window() = default;

    // One pass of the message pump: gathers the system's events into the queue (keyboard and
    // joystick events go to the input layer), counts the pump, answers raise requests of a
    // second copy (instance.h) and, after FLYINGFISH_MAX_FRAMES pumps, queues a close.
    virtual void Pump() = 0;
    // The next queued event; false when the queue is empty.
    virtual bool NextEvent(WindowEvent& event) = 0;

    // Full screen: a borderless full-desktop window with the picture scaled to fit (nearest
    // neighbour); the video mode is never changed. false when refused.
    virtual bool SetFullScreen(bool full_screen) = 0;
    virtual void Raise() = 0;
    virtual bool IsHeadless() const = 0;
    virtual bool HasFocus() const = 0;

    // Shows one frame: XRGB8888 pixels (bytes B, G, R, spare), pitch in bytes (may be negative).
    virtual void Present(const void* pixels, int pitch, int width, int height) = 0;
};

// Messages posted to a window from any thread (a device telling of an event); the window's owner
// takes them in its pump. Numbers are the SDK's message numbers.
struct PostedMessage {
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
};
// false when window does not exist (any more): posting to a closed window is harmless.
bool PostWindowMessage(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// The oldest message posted to window; false when none is waiting.
bool TakePostedMessage(Window* window, PostedMessage& message);

// Whether the display accepts a depth of bits per pixel (32, 24 or 16). FLYINGFISH_DEPTHS
// (for example "16" or "24,16") lists the ones that work; by default all three do.
bool DisplayDepthAvailable(int bits_per_pixel);

} // namespace platform
